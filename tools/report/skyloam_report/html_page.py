"""A self-contained interactive HTML page: text sections and charts, with the
plotting library, the page script and every datum inlined, so the file opens
offline by double-click.

`render_page(title, sections, library)` takes Section values; each chart is an
option of the plotting library (plain JSON; `function_ref` stands for a
function of page.js) and, optionally, Choices that swap its series data from
a drop-down list.
"""
import html
import json
import math
import os
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))


@dataclass
class Choices:
    """A drop-down list over a chart: choosing names[i] merges patches[i] into
    its option (lists such as "series" merge by position)."""
    label: str
    names: list
    patches: list
    selected: int = 0


@dataclass
class Chart:
    id: str
    option: dict
    height: int = 440
    choices: Choices | None = None


@dataclass
class Section:
    title: str
    body: str = ""
    """HTML built with the helpers below (text is escaped there)."""
    charts: list = field(default_factory=list)


def function_ref(name, *args):
    """A function of page.js (with arguments bound), where an option needs code."""
    return {"$fn": name, "args": list(args)}


def text(value):
    return html.escape(str(value), quote=True)


def paragraph(value, css_class=None):
    attribute = f' class="{text(css_class)}"' if css_class else ""
    return f"<p{attribute}>{text(value)}</p>"


def table(headers, rows, numeric_columns=()):
    """An HTML table; cells are escaped, numeric columns right-aligned."""
    def cells(tag, values):
        return "".join(f'<{tag}{" class=num" if i in numeric_columns else ""}>{text(v)}</{tag}>'
                       for i, v in enumerate(values))
    body = "".join(f"<tr>{cells('td', row)}</tr>" for row in rows)
    return f"<table><thead><tr>{cells('th', headers)}</tr></thead><tbody>{body}</tbody></table>"


def _finite(value):
    """JSON has no NaN or infinity: they become null."""
    if isinstance(value, float):
        return value if math.isfinite(value) else None
    if isinstance(value, dict):
        return {k: _finite(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_finite(v) for v in value]
    return value


def script_json(value):
    """JSON that is safe inside a <script> element: no "<" at all, so neither
    "</" nor "<!--" can end or confuse it. NaN and infinities become null."""
    try:
        encoded = json.dumps(value, separators=(",", ":"), allow_nan=False)
    except ValueError:
        encoded = json.dumps(_finite(value), separators=(",", ":"), allow_nan=False)
    return encoded.replace("<", "\\u003c")


def script_code(code):
    """JavaScript that is safe inside a <script> element. "</" only occurs in
    string literals of minified code, where "<\\/" means the same."""
    return code.replace("</", "<\\/").replace("<!--", "<\\!--")


def _asset(name):
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return f.read()


def _chart_entry(chart):
    entry = {"id": chart.id, "option": chart.option}
    if chart.choices:
        entry["choices"] = {"label": chart.choices.label, "names": chart.choices.names,
                            "patches": chart.choices.patches, "selected": chart.choices.selected}
    return entry


def _section_html(section):
    charts = "".join(f'<div class="chart" id="{text(c.id)}" style="height:{int(c.height)}px"></div>'
                     for c in section.charts)
    return f"<section><h2>{text(section.title)}</h2>{section.body}{charts}</section>"


def render_page(title, sections, library):
    charts = [_chart_entry(c) for s in sections for c in s.charts]
    return "".join([
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">",
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
        f"<title>{text(title)}</title><style>{_asset('page.css')}</style></head><body>",
        f"<header><h1>{text(title)}</h1></header><main>",
        "".join(_section_html(s) for s in sections),
        f"</main><footer><details id=\"plotting-library-licence\"><summary>Charts drawn with "
        f"Apache ECharts {text(library.version)} (Apache License 2.0): licence and notice</summary>"
        f"<pre>{text(library.licence)}</pre></details></footer>\n",
        f"<script>{script_code(library.code)}</script>\n",
        f"<script type=\"application/json\" id=\"page-charts\">{script_json(charts)}</script>\n",
        f"<script>{script_code(_asset('page.js'))}</script>\n",
        "</body></html>\n"])

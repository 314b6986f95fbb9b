"""The network report as one self-contained interactive page, built like the
single-file report (html_page, page.js, the inlined plotting library): the
multipath RMS and weighted RMS of a chosen station per signal over time with
its station-days that stand out, those days listed, slip rates and median RMS
per station and signal, data completeness per station, and failed inputs.

`write_page(data, out)` takes what network_queries.network_data returns (the
stations one at a time) and a text file. Long spans are thinned per line, and
the points of all stations together are bounded, so the page stays a page.
"""
import datetime
import heapq

from skyloam_report.chart_options import LEGEND_TOP, base_option, rounded
from skyloam_report.html_page import Chart, Choices, Section, function_ref, paragraph, render_page, table
from skyloam_report.thinning import envelope
from skyloam_report.web_library import plotting_library

TITLE = "Network multipath report"
PAGE_POINTS = 400_000
"""Line points of the RMS chart over all stations together."""
STATION_POINTS = 20_000
"""Line points of one station at most: what the chart draws at once."""
MIN_LINE_POINTS = 40
GAP_DAYS = 7
"""A line breaks where consecutive days of a signal lie further apart than this."""
STANDOUT_MARKS = 500
"""Markers of one station's days that stand out at most (largest ratios)."""
TABLE_ROWS = 300
STANDOUT_COLOUR = "#d7191c"
DAY_MS = 86_400_000
_UNIX_ORDINAL = datetime.date(1970, 1, 1).toordinal()
SIGNAL_FIGURES = (("slips per 1000 estimates", "slips_per_1000", 3), ("slips per day", "slips_per_day", 2),
                  ("median RMS m", "median_rms", 4), ("median weighted RMS m", "median_weighted_rms", 4))
COMPLETENESS_BARS = (("days analysed", "days_ok", "#4daf4a"), ("days failed", "days_failed", STANDOUT_COLOUR),
                     ("days without a file", "days_missing", "#b0b7c0"))
HEAT_COLOURS = ["#ffffcc", "#fed976", "#fd8d3c", "#e31a1c", "#800026"]
SIGNAL_COLOURS = ["#1f77b4", "#ff7f0e", "#2ca02c", "#9467bd", "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22",
                  "#17becf", "#393b79", "#637939", "#8c6d31", "#843c39", "#7b4173", "#3182bd", "#e6550d",
                  "#31a354", "#756bb1", "#636363", "#6baed6"]
"""Twenty colours, so that a station's signals rarely share one (not red: the days that stand out)."""
DAY_LABELS = {"year": "{yyyy}", "month": "{MMM} {yyyy}", "day": "{d} {MMM}"}


def day_ms(day):
    """Unix milliseconds of the start of an ISO day: the time axis's unit."""
    return (datetime.date.fromisoformat(day).toordinal() - _UNIX_ORDINAL) * DAY_MS


def day_line(days, key, limit):
    """[day ms, value] points of one signal's days that have a value: each run
    of days without a gap of more than GAP_DAYS keeps its share of `limit`
    points (the lowest and highest of equal stretches), runs end with None."""
    points = [(day_ms(d["day"]), d[key]) for d in days if d["day"] and d[key] is not None and d[key] == d[key]]
    if not points:
        return []
    breaks = [i for i in range(1, len(points)) if points[i][0] - points[i - 1][0] > GAP_DAYS * DAY_MS]
    line = []
    for start, stop in zip([0] + breaks, breaks + [len(points)]):
        values = [v for _, v in points[start:stop]]
        share = max(2, limit * len(values) // len(points))
        line += [[points[start + i][0], rounded(values[i], 4)] for i in envelope(values, share)]
        line.append(None)
    return line[:-1]


def line_limit(station_count, signal_count):
    """Points per line: the page's and the station's budget shared out."""
    per_station = min(STATION_POINTS, PAGE_POINTS // max(station_count, 1))
    return max(MIN_LINE_POINTS, per_station // max(2 * signal_count, 1))


def standout_marks(standout_days):
    """[day ms, RMS, what] of the days that stand out, largest ratios first."""
    return [[day_ms(d["day"]), rounded(d["rms"], 4),
             f"{d['signal']}: {d['ratio']:.2f} × the median {d['median_rms']:.4f} m"]
            for d in standout_days[:STANDOUT_MARKS]]


def station_lines(station, limit):
    """What the RMS chart draws of one station: its signals, a line per
    signal of RMS and of weighted RMS, and the marks of the days that stand out."""
    signals = list(station["series"])
    return {"signals": signals,
            "rms": [day_line(station["series"][s], "rms", limit) for s in signals],
            "weighted_rms": [day_line(station["series"][s], "weighted_rms", limit) for s in signals],
            "standout": standout_marks(station["standout_days"])}


def rms_patch(lines, slots):
    """The RMS chart's series for one station, in `slots` series per panel
    (unused ones empty), matched to the chart's series by id."""
    series = []
    for key in ("rms", "weighted_rms"):
        for n in range(slots):
            used = n < len(lines["signals"])
            series.append({"id": f"{key}-{n}", "name": lines["signals"][n] if used else "",
                           "data": lines[key][n] if used else []})
    series.append({"id": "standout", "data": lines["standout"]})
    return {"series": series, "legend": {"data": lines["signals"] + ["stands out"]}}


def rms_chart(names, lines, selected):
    slots = max(len(station["signals"]) for station in lines)
    patches = [rms_patch(station, slots) for station in lines]
    line = {"type": "line", "symbolSize": 3, "connectNulls": False, "lineStyle": {"width": 1}}
    shown = patches[selected]["series"]
    series = [dict(line, xAxisIndex=n // slots, yAxisIndex=n // slots, **s) for n, s in enumerate(shown[:-1])]
    series.append({"type": "scatter", "name": "stands out", "symbolSize": 9, "z": 5, **shown[-1],
                   "itemStyle": {"color": STANDOUT_COLOUR, "borderColor": "#fff", "borderWidth": 1}})
    option = base_option("Code multipath per signal over time, one station",
                         "top: RMS per station-day, red: days that stand out; bottom: elevation-weighted RMS. "
                         "Long spans keep each stretch's lowest and highest day")
    for zoom in option["dataZoom"]:
        zoom["xAxisIndex"] = [0, 1]
    option.update({
        "legend": dict(patches[selected]["legend"], top=LEGEND_TOP, type="scroll"),
        "tooltip": {"trigger": "item", "confine": True, "formatter": function_ref("dayTooltip", "m")},
        "color": SIGNAL_COLOURS,
        "grid": [{"top": 100, "height": 235, "left": 70, "right": 40},
                 {"top": 385, "height": 160, "left": 70, "right": 40}],
        "xAxis": [{"type": "time", "gridIndex": n, "minInterval": DAY_MS,
                   "axisLabel": {"formatter": DAY_LABELS}} for n in (0, 1)],
        "yAxis": [{"type": "value", "gridIndex": 0, "name": "RMS m"},
                  {"type": "value", "gridIndex": 1, "name": "wRMS m"}],
        "series": series})
    return Chart("network-rms", option, height=640, choices=Choices("Station", names, patches, selected))


def signal_cells(names, summaries, signals, key, digits):
    """Heatmap cells [signal index, station index, value] of one per-signal figure."""
    column = {signal: x for x, signal in enumerate(signals)}
    return [[column[row["signal"]], y, rounded(row[key], digits)]
            for y, name in enumerate(names) for row in summaries[name] if row[key] is not None]


def signals_chart(names, summaries):
    signals = sorted({row["signal"] for rows in summaries.values() for row in rows})
    patches = []
    for label, key, digits in SIGNAL_FIGURES:
        cells = signal_cells(names, summaries, signals, key, digits)
        patches.append({"series": [{"data": cells, "tooltip": {"formatter": function_ref(
                            "heatTooltip", signals, names, label, True)}}],
                        "visualMap": [{"min": 0, "max": max((c[2] for c in cells), default=0) or 1,
                                       "text": [label, ""]}]})
    option = base_option("Slip rates and median RMS per station and signal", "over every day of each station",
                         zoom=("x", "y"))
    option.update({
        "grid": {"top": 80, "left": 110, "right": 190, "bottom": 90},
        "xAxis": {"type": "category", "data": signals, "axisLabel": {"rotate": 40}},
        "yAxis": {"type": "category", "data": names, "inverse": True, "axisLabel": {"fontSize": 10}},
        "visualMap": [dict(patches[0]["visualMap"][0], type="continuous", dimension=2, calculable=True,
                           right=50, top="middle", inRange={"color": HEAT_COLOURS})],
        "series": [dict(patches[0]["series"][0], type="heatmap", name="per station and signal",
                        progressive=0)]})
    return Chart("network-signals", option, height=min(900, max(380, 170 + 16 * len(names))),
                 choices=Choices("Figure", [label for label, _, _ in SIGNAL_FIGURES], patches))


def completeness_chart(names, completeness):
    bars = [{"type": "bar", "stack": "days", "name": label, "itemStyle": {"color": colour},
             "data": [completeness[n][key] for n in names]} for label, key, colour in COMPLETENESS_BARS]
    shares = [completeness[n]["epoch_coverage"] for n in names]
    coverage = [None if share is None else round(100 * share, 1) for share in shares]
    option = base_option("Data completeness per station",
                         "days of the station's span; diamonds: mean share of the day its epochs cover")
    option.update({
        "legend": {"top": LEGEND_TOP}, "tooltip": {"trigger": "axis", "confine": True},
        "grid": {"top": 90, "left": 70, "right": 70, "bottom": 110},
        "xAxis": {"type": "category", "data": names, "axisLabel": {"rotate": 40}},
        "yAxis": [{"type": "value", "name": "days"},
                  {"type": "value", "name": "coverage %", "min": 0, "max": 100}],
        "series": bars + [{"type": "scatter", "name": "epoch coverage %", "yAxisIndex": 1, "symbol": "diamond",
                           "symbolSize": 11, "itemStyle": {"color": "#1f3a5a"}, "data": coverage}]})
    return Chart("network-completeness", option, height=440)


def scrolling(table_html):
    """A table that scrolls within its section when long (hundreds of stations)."""
    return f'<div class="scroll">{table_html}</div>'


def _cut_note(shown, total, what):
    return paragraph(f"The first {shown} of {total} {what}.", "note") if total > shown else ""


def gather(data):
    """One pass over the stations: the RMS chart's lines, the per-signal
    summaries and completeness by station, and the days that stand out most
    over the network (with their total count)."""
    count = len(data["station_names"])
    gathered = {"lines": [], "summaries": {}, "completeness": {}, "standout": [], "standout_total": 0}
    for station in data["stations"]:
        name = station["station"]
        gathered["lines"].append(station_lines(station, line_limit(count, len(station["series"]))))
        gathered["summaries"][name] = station["signals"]
        gathered["completeness"][name] = station["completeness"]
        gathered["standout_total"] += len(station["standout_days"])
        rows = [dict(d, station=name) for d in station["standout_days"][:TABLE_ROWS]]
        gathered["standout"] = heapq.nlargest(TABLE_ROWS, gathered["standout"] + rows, key=lambda r: r["ratio"])
    return gathered


def overview_section(data):
    summary = data["summary"]
    if not summary["stations"]:
        return Section("Network", paragraph("The database holds no station-days.", "note"))
    days = summary["days_ok"] + summary["days_failed"]
    return Section("Network", paragraph(
        f"{summary['stations']} stations, {days} station-days from {summary['first_day']} to "
        f"{summary['last_day']}: {summary['days_ok']} analysed, {summary['days_failed']} failed.") + paragraph(
        f"A station-day stands out when its RMS of a signal exceeds {data['factor']:g} times the station's "
        "median RMS of that signal (signals with at least 3 days)."))


def standout_section(gathered, factor):
    rows = gathered["standout"]
    if not rows:
        return Section("Station-days that stand out", paragraph(
            f"No station-day has an RMS above {factor:g} times its station's median."))
    body = scrolling(table(["station", "signal", "day", "RMS m", "median RMS m", "ratio"],
                           [[r["station"], r["signal"], r["day"], f"{r['rms']:.4f}", f"{r['median_rms']:.4f}",
                             f"{r['ratio']:.2f}"] for r in rows], numeric_columns=(3, 4, 5)))
    return Section("Station-days that stand out", body + _cut_note(
        len(rows), gathered["standout_total"], "station-days that stand out, largest ratio first"))


def completeness_section(names, completeness):
    def coverage(share):
        return "-" if share is None else f"{share:.1%}"
    rows = [[n, c["first_day"] or "-", c["last_day"] or "-", c["days_ok"], c["days_failed"], c["days_missing"],
             coverage(c["epoch_coverage"])] for n, c in ((n, completeness[n]) for n in names)]
    body = scrolling(table(["station", "first day", "last day", "analysed", "failed", "days without a file",
                            "epoch coverage"], rows, numeric_columns=(3, 4, 5, 6)))
    return Section("Data completeness", body, [completeness_chart(names, completeness)])


def failures_section(failures):
    if not failures:
        return Section("Failed inputs", paragraph("None."))
    shown = failures[:TABLE_ROWS]
    body = scrolling(table(["file", "station", "day", "error"],
                           [[f["file"], f["station"] or "-", f["day"] or "-", f["error"] or "-"] for f in shown]))
    return Section("Failed inputs", body + _cut_note(len(shown), len(failures), "failed inputs"))


def network_sections(data):
    names = data["station_names"]
    gathered = gather(data)
    sections = [overview_section(data)]
    if any(lines["signals"] for lines in gathered["lines"]):
        shown = (names.index(gathered["standout"][0]["station"]) if gathered["standout"] else
                 next(n for n, lines in enumerate(gathered["lines"]) if lines["signals"]))
        sections += [Section("Multipath over time", "", [rms_chart(names, gathered["lines"], shown)]),
                     standout_section(gathered, data["factor"]),
                     Section("Per station and signal", "", [signals_chart(names, gathered["summaries"])])]
    elif names:
        sections.append(Section("Multipath over time",
                                paragraph("No station-day gave multipath statistics.", "note")))
    if names:
        sections.append(completeness_section(names, gathered["completeness"]))
    return sections + [failures_section(data["failures"])]


def write_page(data, out):
    out.write(render_page(TITLE, network_sections(data), plotting_library()))

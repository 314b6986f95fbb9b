"""The network report as a plain HTML page of tables, written station by station.

`write_page(data, out)` takes what network_queries.network_data returns and
a text file; everything else about the page's look lives here too.
"""
import html

STYLE = ("body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse;margin:.5em 0}"
         "td,th{border:1px solid #bbb;padding:2px 8px;text-align:right}"
         "td:first-child,th:first-child{text-align:left}.alert{background:#fdd}")


def _cell(value):
    if value is None:
        return "-"
    if isinstance(value, float):
        return f"{value:.4g}"
    return html.escape(str(value))


def _percent(share):
    return None if share is None else f"{share:.1%}"


def table(headers, rows, row_class=None):
    head = "".join(f"<th>{html.escape(h)}</th>" for h in headers)
    body = "".join(
        (f"<tr class='{row_class}'>" if row_class else "<tr>")
        + "".join(f"<td>{_cell(v)}</td>" for v in row) + "</tr>" for row in rows)
    return f"<table><tr>{head}</tr>{body}</table>\n"


def _station_section(station):
    name = html.escape(station["station"])
    c = station["completeness"]
    parts = [f"<h2 id='{name}'>{name}</h2>\n",
             table(["first day", "last day", "days analysed", "days failed", "days missing",
                    "epoch coverage"],
                   [[c["first_day"], c["last_day"], c["days_ok"], c["days_failed"],
                     c["days_missing"], _percent(c["epoch_coverage"])]]),
             table(["signal", "days", "median RMS m", "median wRMS m", "slips/day", "slips/1000"],
                   [[s["signal"], s["days"], s["median_rms"], s["median_weighted_rms"],
                     s["slips_per_day"], s["slips_per_1000"]] for s in station["signals"]])]
    if station["standout_days"]:
        parts.append("<h3>Days that stand out</h3>\n" + table(
            ["signal", "day", "RMS m", "median RMS m", "ratio"],
            [[d["signal"], d["day"], d["rms"], d["median_rms"], d["ratio"]]
             for d in station["standout_days"]], "alert"))
    for signal, days in station["series"].items():
        parts.append(f"<details><summary>{html.escape(signal)}: RMS over time</summary>\n" + table(
            ["day", "RMS m", "wRMS m", "count", "slips"],
            [[d["day"], d["rms"], d["weighted_rms"], d["count"], d["slips"]] for d in days])
            + "</details>\n")
    return "".join(parts)


def write_page(data, out):
    out.write("<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>Network multipath report"
              f"</title><style>{STYLE}</style></head><body>\n<h1>Network multipath report</h1>\n"
              f"<p>Days that stand out: RMS above {data['factor']:g} times the station's median "
              "RMS of the same signal.</p>\n")
    for station in data["stations"]:
        out.write(_station_section(station))
    out.write("<h2>Failed inputs</h2>\n")
    out.write(table(["file", "station", "day", "error"],
                    [[f["file"], f["station"], f["day"], f["error"]] for f in data["failures"]])
              if data["failures"] else "<p>None.</p>\n")
    out.write("</body></html>\n")

"""Tracking chart: for each satellite, when it had multipath arcs on any
signal, with the gaps inside a pass and the cycle slips marked."""
from collections import defaultdict

from skyloam_report.chart_options import LEGEND_TOP, base_option, clock_axis
from skyloam_report.html_page import Chart, function_ref
from skyloam_report.time_series_chart import SLIP_METHODS, SLIP_NAMES, SLIP_SYMBOLS

LONGEST_GAP = 3600.0
"""Untracked time up to this long between two tracked spans is a gap; longer
means the satellite set."""


def tracked_spans(intervals, join):
    """Sorted, merged (start, stop) spans; spans closer than `join` seconds merge."""
    merged = []
    for start, stop in sorted(intervals):
        if merged and start - merged[-1][1] <= join:
            merged[-1][1] = max(merged[-1][1], stop)
        else:
            merged.append([start, stop])
    return merged


def gaps_between(spans):
    """(stop, next start) between neighbouring spans at most LONGEST_GAP apart."""
    return [(a[1], b[0]) for a, b in zip(spans, spans[1:]) if b[0] - a[1] <= LONGEST_GAP]


def tracking_chart(columns, slips, arcs, t0, step, last):
    intervals = defaultdict(list)
    times = columns["time"]
    for arc in arcs:
        intervals[arc.satellite].append((times[arc.start], times[arc.stop - 1]))
    names = columns["satellites"]
    order = sorted(intervals, key=lambda s: names[s])
    row = {s: i for i, s in enumerate(order)}
    bars, gaps = [], []
    for satellite in order:
        spans = tracked_spans(intervals[satellite], 1.5 * step)
        bars += [[row[satellite], round(a - t0, 1), round(b - t0, 1)] for a, b in spans]
        gaps += [[row[satellite], round(a - t0, 1), round(b - t0, 1)] for a, b in gaps_between(spans)]
    marks = defaultdict(list)
    for t, satellite, method, phase in zip(slips["time"], slips["satellite"], slips["method"], slips["phase"]):
        if satellite in row:
            marks[method].append([round(t - t0, 1), row[satellite], f"{names[satellite]} {phase}"])
    rows = [names[s] for s in order]
    bar = {"type": "custom", "renderItem": function_ref("trackBar"), "encode": {"x": [1, 2], "y": 0},
           "tooltip": {"formatter": function_ref("intervalTooltip", t0, rows)}}
    series = [dict(bar, name="tracked (multipath arcs)", itemStyle={"color": "#4a90c2"}, data=bars),
              dict(bar, name="gap", itemStyle={"color": "#f4a261"}, data=gaps)]
    series += [{"type": "scatter", "name": SLIP_NAMES[m], "symbol": SLIP_SYMBOLS[m], "symbolSize": 7,
                "tooltip": {"formatter": function_ref("markTooltip", t0)}, "data": marks.get(m, [])}
               for m in SLIP_METHODS]
    option = base_option("Tracking", f"gaps: untracked up to {LONGEST_GAP / 60:g} min inside a pass",
                         zoom=("x", "y"))
    option.update({"legend": {"top": LEGEND_TOP}, "grid": {"top": 90, "left": 60, "right": 50, "bottom": 70},
                   "xAxis": clock_axis(t0, 0, last),
                   "yAxis": {"type": "category", "data": rows, "inverse": True,
                             "axisLabel": {"fontSize": 9, "interval": 0}},
                   "series": series})
    return Chart("tracking", option, height=max(420, 150 + 13 * len(rows)))

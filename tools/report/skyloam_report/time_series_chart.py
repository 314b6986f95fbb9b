"""Code multipath against time for a chosen satellite and signal: arcs in
alternating colours, and the satellite's cycle slips marked by detection
method."""
from collections import defaultdict

from skyloam_report.chart_options import LEGEND_TOP, base_option, clock_axis, point_tooltip, rounded
from skyloam_report.html_page import Chart, Choices, function_ref
from skyloam_report.thinning import envelope, stride_for

SLIP_METHODS = ("gf", "code_phase", "lli")
SLIP_SYMBOLS = {"gf": "triangle", "code_phase": "diamond", "lli": "pin"}
SLIP_NAMES = {"gf": "slip: geometry-free", "code_phase": "slip: code-minus-phase", "lli": "loss of lock (LLI)"}
POINTS = 60_000
"""Line points over all satellite signals together."""
MIN_PAIR_POINTS = 100
SLIP_MARKERS = 300
"""Markers per method and satellite at most (evenly spread beyond that)."""


def arc_line(times, values, t0, limit):
    """[seconds since t0, value] of one arc: its envelope of at most about
    `limit` points (from an evenly spread subset of at most 8 × limit rows)."""
    stride = stride_for(len(times), 8 * limit)
    times, values = times[::stride], values[::stride]
    return [[round(times[i] - t0), rounded(values[i], 3)] for i in envelope(values, limit)]


def pair_lines(columns, pair_arcs, t0, limit):
    """The two line series of one satellite signal: arcs 1, 3, 5 … and 2, 4, 6 …,
    each arc ended by a break."""
    lines = ([], [])
    total = sum(a.stop - a.start for a in pair_arcs)
    for n, arc in enumerate(pair_arcs):
        share = max(2, limit * (arc.stop - arc.start) // max(total, 1))
        rows = slice(arc.start, arc.stop)
        lines[n % 2].extend(arc_line(columns["time"][rows], columns["mp"][rows], t0, share))
        lines[n % 2].append(None)
    return lines


def slip_points(slips, satellite, t0, below):
    """{method: [seconds since t0, level, phase]} of one satellite's slips,
    a row of markers per method under the level `below`."""
    levels = {m: rounded(below * (1.1 + 0.1 * n), 3) for n, m in enumerate(SLIP_METHODS)}
    points = defaultdict(list)
    for t, sat, method, phase in zip(slips["time"], slips["satellite"], slips["method"], slips["phase"]):
        if sat == satellite:
            points[method].append([round(t - t0), levels.get(method, below), phase])
    return {m: p[::stride_for(len(p), SLIP_MARKERS)] for m, p in points.items()}


def _pairs(columns, arcs):
    pairs = defaultdict(list)
    for arc in arcs:
        pairs[arc.satellite, arc.signal].append(arc)
    names = columns["satellites"], columns["signals"]
    return sorted(pairs.items(), key=lambda item: (names[0][item[0][0]], names[1][item[0][1]]))


def _default_pair(pairs, slips):
    """A satellite signal with slips and the longest arcs on average."""
    slipped = set(slips["satellite"])
    def weight(item):
        (satellite, _), pair_arcs = item[1]
        return satellite in slipped, sum(a.stop - a.start for a in pair_arcs) / len(pair_arcs)
    return max(enumerate(pairs), key=weight)[0] if pairs else 0


def _lowest(lines):
    return min((p[1] for line in lines for p in line if p is not None and p[1] is not None), default=0.0)


def time_series_chart(columns, slips, arcs, t0, last):
    pairs = _pairs(columns, arcs)
    limit = max(MIN_PAIR_POINTS, POINTS // max(len(pairs), 1))
    patches = []
    for (satellite, _), pair_arcs in pairs:
        odd, even = pair_lines(columns, pair_arcs, t0, limit)
        marks = slip_points(slips, satellite, t0, min(_lowest((odd, even)), -0.1))
        patches.append({"series": [{"data": odd}, {"data": even}] +
                                  [{"data": marks.get(m, [])} for m in SLIP_METHODS]})
    selected = _default_pair(pairs, slips)
    names = [f"{columns['satellites'][sat]} {columns['signals'][sig]}" for (sat, sig), _ in pairs]
    line = {"type": "line", "showSymbol": False, "connectNulls": False, "lineStyle": {"width": 1}}
    shown = patches[selected]["series"] if patches else [{"data": []}] * (2 + len(SLIP_METHODS))
    series = [dict(line, name="arcs 1, 3, 5 …", **shown[0]), dict(line, name="arcs 2, 4, 6 …", **shown[1])]
    for n, method in enumerate(SLIP_METHODS):
        series.append({"type": "scatter", "name": SLIP_NAMES[method], "symbol": SLIP_SYMBOLS[method],
                       "symbolSize": 11, "z": 4, "tooltip": {"formatter": function_ref("markTooltip", t0)},
                       **shown[2 + n]})
    option = base_option("Code multipath of one satellite signal",
                         "arcs in alternating colours; markers: cycle slips of the satellite on any phase "
                         f"(at most {SLIP_MARKERS} per method)")
    option.update({"legend": {"top": LEGEND_TOP}, "grid": {"top": 90, "left": 70, "right": 40, "bottom": 70},
                   "tooltip": dict(point_tooltip(t0, "m"), trigger="axis", confine=True),
                   "xAxis": clock_axis(t0, 0, last), "yAxis": {"type": "value", "name": "multipath m"},
                   "series": series})
    choices = Choices("Satellite and signal", names, patches, selected) if patches else None
    return Chart("multipath-time", option, choices=choices)

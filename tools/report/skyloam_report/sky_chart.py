"""Sky plot: code multipath RMS per azimuth/elevation cell, per signal, on a
polar chart (north up, azimuth clockwise, zenith at the centre), with the
satellite tracks."""
from collections import Counter

from skyloam_report.arcs import signal_spans
from skyloam_report.chart_options import base_option, legend_choosing, rounded
from skyloam_report.html_page import Chart, function_ref
from skyloam_report.thinning import rms_by_key, stride_for

AZIMUTH_CELL = 10
ELEVATION_CELL = 5
MIN_CELL_COUNT = 3
BINNED_ROWS = 200_000
"""Rows binned per chart at most (an evenly spread subset beyond that)."""
TRACK_SPACING = 300.0
"""Seconds between the drawn points of a satellite track."""


def sky_cells(elevations, azimuths, values):
    """[elevation from, azimuth from, RMS, count] per cell with enough values."""
    rows = 90 // ELEVATION_CELL
    keys = [int(a % 360.0 // AZIMUTH_CELL) * rows + min(int(e // ELEVATION_CELL), rows - 1)
            if 0.0 <= e <= 90.0 and a == a else None for e, a in zip(elevations, azimuths)]
    cells = []
    for key, (rms, count) in sorted(rms_by_key(keys, values).items()):
        if count >= MIN_CELL_COUNT:
            azimuth, elevation = divmod(key, rows)
            cells.append([elevation * ELEVATION_CELL, azimuth * AZIMUTH_CELL, rounded(rms, 3), count])
    return cells


def satellite_tracks(columns, arcs, step):
    """{(satellite name, first row of the arc): [(elevation, azimuth), ...]}, a
    point every TRACK_SPACING seconds along each satellite's arcs of the
    signal it has most rows of."""
    rows = Counter()
    for arc in arcs:
        rows[arc.satellite, arc.signal] += arc.stop - arc.start
    best = {}
    for (satellite, signal), _ in rows.most_common():
        best.setdefault(satellite, signal)
    stride = max(1, round(TRACK_SPACING / step))
    elevation, azimuth, names = columns["elevation"], columns["azimuth"], columns["satellites"]
    tracks = {}
    for arc in arcs:
        if best[arc.satellite] == arc.signal:
            tracks[names[arc.satellite], arc.start] = [
                (elevation[i], azimuth[i]) for i in range(arc.start, arc.stop, stride)
                if elevation[i] == elevation[i]]
    return tracks


def sky_chart(columns, arcs, tracks):
    names = columns["signals"]
    spans = signal_spans(arcs)
    stride = stride_for(sum(b - a for a, b in spans.values()), BINNED_ROWS)
    series = []
    for signal, (start, stop) in spans.items():
        rows = slice(start, stop, stride)
        series.append({"type": "custom", "name": names[signal], "coordinateSystem": "polar",
                       "renderItem": function_ref("polarCell", ELEVATION_CELL, AZIMUTH_CELL),
                       "encode": {"radius": 0, "angle": 1, "tooltip": [2, 3]},
                       "tooltip": {"formatter": function_ref("cellTooltip", ELEVATION_CELL, AZIMUTH_CELL, "m")},
                       "data": sky_cells(columns["elevation"][rows], columns["azimuth"][rows],
                                         columns["mp"][rows])})
    highest = sorted(c[2] for s in series for c in s["data"])
    top = highest[int(0.95 * (len(highest) - 1))] if highest else 1.0
    series.append({"type": "scatter", "name": "satellite tracks", "coordinateSystem": "polar",
                   "symbolSize": 2, "itemStyle": {"color": "rgba(40,40,40,0.35)"},
                   "tooltip": {"formatter": function_ref("valuesTooltip", ["elevation °", "azimuth °",
                                                                            "satellite"])},
                   "data": [[rounded(e, 1), rounded(a, 1), name]
                            for (name, _), track in tracks.items() for e, a in track],
                   "z": 3})
    subtitle = (f"cells {AZIMUTH_CELL}° azimuth × {ELEVATION_CELL}° elevation with at least "
                f"{MIN_CELL_COUNT} estimates" + (f" (binned from 1 in {stride} estimates)" if stride > 1 else "")
                + "; grey: satellite tracks")
    option = base_option("Sky plot of code multipath RMS", subtitle, zoom=("radius",))
    option.update({
        "legend": legend_choosing([names[s] for s in spans],
                                  max(series[:-1], key=lambda s: len(s["data"]))["name"]),
        "polar": {"center": ["50%", "56%"], "radius": "70%"},
        "angleAxis": {"type": "value", "min": 0, "max": 360, "interval": 30, "startAngle": 90,
                      "clockwise": True, "axisLabel": {"formatter": "{value}°"}},
        "radiusAxis": {"type": "value", "min": 0, "max": 90, "interval": 15, "inverse": True,
                       "axisLabel": {"formatter": "{value}°", "showMinLabel": False, "showMaxLabel": False}},
        "visualMap": {"type": "continuous", "min": 0, "max": rounded(max(top, 1e-3), 3),
                      "dimension": 2, "seriesIndex": list(range(len(spans))), "calculable": True,
                      "text": ["RMS m", ""], "right": 10, "top": "middle",
                      "inRange": {"color": ["#2c7bb6", "#abd9e9", "#ffffbf", "#fdae61", "#d7191c"]}},
        "series": series})
    return Chart("sky-plot", option, height=640)

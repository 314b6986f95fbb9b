"""SNR spectra: the δSNR residuals of a chosen satellite's longest arc with
their Morlet scalogram (power, 95% red-noise significance), and the band
power of every satellite as a heatmap over time."""
import bisect
import math

import skyloam_mp as mp

from skyloam_report.chart_options import LEGEND_TOP, base_option, clock_axis, point_tooltip, rounded
from skyloam_report.html_page import Chart, Choices, function_ref
from skyloam_report.thinning import envelope, stride_for

SCALOGRAM_COLUMNS = 36
PERIOD_STEP = 2
"""Every PERIOD_STEP-th period of the transform is drawn."""
RESIDUAL_POINTS = 160
ARC_SAMPLES = 2048
"""The scalogram covers at most this many samples from the start of the
longest arc (a satellite rising: the low elevations that reflections reach)."""
ARC_GAP_FACTOR = 5.0
DECADES = 3
"""Heatmap colours span this many decades below the largest value."""
LEVELS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/"
"""One character per heatmap cell: tenths of decades above the lowest drawn level."""
EMPTY_CELL = "."
HEAT_COLOURS = ["#313695", "#4575b4", "#abd9e9", "#fee090", "#f46d43", "#a50026"]
BAND_POWER_BINS = 96


def tenths_of_decades(value):
    """log10 of a power in tenths (an int), None where it has no logarithm."""
    return round(10 * math.log10(value)) if value > 0 and math.isfinite(value) else None


def heatmap_rows(rows):
    """(rows as text of one LEVELS character per cell, lowest level): levels
    more than len(LEVELS) tenths below the highest are drawn as the lowest."""
    levels = [v for row in rows for v in row if v is not None]
    lowest = max(levels, default=0) - len(LEVELS) + 1
    encoded = ["".join(EMPTY_CELL if v is None else LEVELS[max(v - lowest, 0)] for v in row) for row in rows]
    return encoded, lowest


def heatmap_data(rows):
    """Series data of a heatmap of rows of tenths of decades, with its colour range."""
    encoded, lowest = heatmap_rows(rows)
    top = (lowest + len(LEVELS) - 1) / 10
    return function_ref("heatmapGrid", encoded, lowest), {"min": round(top - DECADES, 1) + 0.0,
                                                           "max": round(top, 1) + 0.0}


def period_label(seconds):
    if seconds < 120:
        return f"{seconds:.3g} s"
    return f"{seconds / 60:.3g} min" if seconds < 7200 else f"{seconds / 3600:.3g} h"


def clock(seconds):
    return f"{int(seconds // 3600) % 24:02d}:{int(seconds % 3600 // 60):02d}"


def scalogram_view(scalogram, offset):
    """The drawn part of a scalogram: column times (shifted by `offset`), period
    labels, rows of power (tenths of decades, a row per period), the
    time-averaged power and the significance level per period."""
    columns = range(0, len(scalogram["t"]), stride_for(len(scalogram["t"]), SCALOGRAM_COLUMNS))
    periods = range(0, len(scalogram["periods"]), PERIOD_STEP)
    power = scalogram["power"]
    rows = [[tenths_of_decades(power[p][c]) for c in columns] for p in periods]
    mean = [sum(power[p]) / len(power[p]) if power[p] else math.nan for p in periods]
    return {"times": [scalogram["t"][c] + offset for c in columns],
            "periods": [period_label(scalogram["periods"][p]) for p in periods],
            "rows": rows, "mean": [rounded(m, 6) for m in mean],
            "significance": [rounded(scalogram["significance"][p], 6) for p in periods]}


def _satellite_patch(residual, scalogram, t0):
    offset = residual["t0"] - t0
    view = scalogram_view(scalogram, offset)
    arc = slice(bisect.bisect_left(residual["t"], scalogram["t"][0]),
                bisect.bisect_right(residual["t"], scalogram["t"][-1]))
    times = [t + offset for t in residual["t"][arc]]
    values = residual["v"][arc]
    line = [[round(times[i]), rounded(values[i], 4)] for i in envelope(values, RESIDUAL_POINTS)]
    labels = [clock(t0 + t) for t in view["times"]]
    cells, colours = heatmap_data(view["rows"])
    return {"series": [{"data": line},
                       {"data": cells,
                        "tooltip": {"formatter": function_ref("heatTooltip", labels, view["periods"],
                                                              "power")}},
                       {"data": view["mean"]}, {"data": view["significance"]}],
            "xAxis": [clock_axis(t0, round(view["times"][0]), round(view["times"][-1])),
                      {"data": labels}, {}],
            "yAxis": [{}, {"data": view["periods"]}, {"data": view["periods"]}],
            "visualMap": [colours]}


def longest_arc(times, interval):
    """The row slice of the longest gap-free arc of `times` (the first of equal
    ones), at most ARC_SAMPLES rows from its start."""
    arcs = mp.split_arcs(times, interval, ARC_GAP_FACTOR)
    if not arcs:
        return slice(0, 0)
    start, stop = max(arcs, key=lambda a: (times[a[1] - 1] - times[a[0]], -a[0]))
    return slice(start, min(stop, start + ARC_SAMPLES))


def satellite_scalograms(snr):
    """{satellite: scalogram of its δSNR residuals (times since the residuals'
    t0)} for satellites with an arc long enough for one."""
    found = {}
    for satellite, residual in snr["residuals"].items():
        arc = longest_arc(residual["t"], snr["interval"])
        try:
            found[satellite] = mp.scalogram(residual["t"][arc], residual["v"][arc], snr["interval"],
                                             SCALOGRAM_COLUMNS)
        except ValueError:
            continue
    return found


def scalogram_chart(snr, t0):
    scalograms = satellite_scalograms(snr)
    names = list(scalograms)
    patches = [_satellite_patch(snr["residuals"][s], scalograms[s], t0) for s in names]
    if not patches:
        return None
    first = patches[0]
    option = base_option("δSNR residuals and Morlet scalogram of one satellite's longest arc",
                         f"longest arc (at most its first {ARC_SAMPLES} samples); power in decades; "
                         "right: time-averaged power against the 95% red-noise level",
                         zoom=())
    option.update({
        "grid": [{"top": 80, "height": 150, "left": 80, "right": 340},
                 {"top": 300, "bottom": 50, "left": 80, "right": 340},
                 {"top": 300, "bottom": 50, "right": 40, "width": 220}],
        "xAxis": [dict(first["xAxis"][0], gridIndex=0),
                  {"type": "category", "gridIndex": 1, "data": first["xAxis"][1]["data"], "name": "UTC"},
                  {"type": "log", "gridIndex": 2, "name": "power"}],
        "yAxis": [{"type": "value", "gridIndex": 0, "name": "δSNR (linear)"},
                  {"type": "category", "gridIndex": 1, "name": "period", "data": first["yAxis"][1]["data"]},
                  {"type": "category", "gridIndex": 2, "data": first["yAxis"][2]["data"],
                   "axisLabel": {"show": False}}],
        "dataZoom": [{"type": "inside", "xAxisIndex": [0]}, {"type": "slider", "xAxisIndex": [0], "top": 235},
                     {"type": "inside", "xAxisIndex": [1]}, {"type": "slider", "xAxisIndex": [1]}],
        "visualMap": [{"type": "continuous", "seriesIndex": 1, "dimension": 2, "calculable": True,
                       "right": 275, "top": 300, "itemHeight": 120, "itemWidth": 14, "text": ["log10", ""],
                       **first["visualMap"][0],
                       "inRange": {"color": HEAT_COLOURS}}],
        "legend": {"top": LEGEND_TOP, "right": 40, "data": ["time-averaged power", "95% significance"]},
        "series": [
            {"type": "line", "name": "δSNR residual", "xAxisIndex": 0, "yAxisIndex": 0,
             "symbolSize": 2, "lineStyle": {"width": 1}, "tooltip": point_tooltip(t0, ""),
             **first["series"][0]},
            {"type": "heatmap", "name": "power", "xAxisIndex": 1, "yAxisIndex": 1, "progressive": 0,
             **first["series"][1]},
            {"type": "line", "name": "time-averaged power", "xAxisIndex": 2, "yAxisIndex": 2,
             "symbolSize": 3, **first["series"][2]},
            {"type": "line", "name": "95% significance", "xAxisIndex": 2, "yAxisIndex": 2, "symbolSize": 3,
             "lineStyle": {"type": "dashed"}, "itemStyle": {"color": "#d7191c"}, **first["series"][3]}]})
    return Chart("snr-scalogram", option, height=640, choices=Choices("Satellite", names, patches))


def band_power_grid(snr, t0, bins):
    """(bin start times since t0, satellites, one grid per band: a row per
    satellite of mean band power per common time bin, in tenths of decades)."""
    satellites = list(snr["band_power"])
    times = [(snr["residuals"][s]["t0"] + t, s) for s in satellites for t in snr["band_power"][s]["t"]]
    if not times:
        return [], [], []
    first, last = min(t for t, _ in times), max(t for t, _ in times)
    width = max((last - first) / bins, 1e-9)
    def column(t):
        return min(int((t - first) / width), bins - 1)
    grids = []
    for band in range(len(snr["bands"])):
        rows = []
        for s in satellites:
            sums = [[0.0, 0] for _ in range(bins)]
            power = snr["band_power"][s]
            for t, value in zip(power["t"], power["power"][band]):
                cell = sums[column(snr["residuals"][s]["t0"] + t)]
                cell[0] += value
                cell[1] += 1
            rows.append([tenths_of_decades(total / n) if n else None for total, n in sums])
        grids.append(rows)
    return [first + k * width - t0 for k in range(bins)], satellites, grids


def band_power_chart(snr, t0):
    starts, satellites, grids = band_power_grid(snr, t0, BAND_POWER_BINS)
    if not satellites:
        return None
    labels = [clock(t0 + t) for t in starts]
    bands = [f"{lo:g}–{hi:g} s" for lo, hi in snr["bands"]]
    def patch(grid):
        cells, colours = heatmap_data(grid)
        return {"series": [{"data": cells}], "visualMap": [colours]}
    patches = [patch(g) for g in grids]
    option = base_option("SNR band power per satellite", "mean δSNR wavelet power per time bin, in decades",
                         zoom=("x", "y"))
    option.update({
        "grid": {"top": 80, "left": 60, "right": 110, "bottom": 70},
        "xAxis": {"type": "category", "data": labels, "name": "UTC"},
        "yAxis": {"type": "category", "data": satellites, "inverse": True,
                  "axisLabel": {"fontSize": 9, "interval": 0}},
        "visualMap": [{"type": "continuous", "dimension": 2, "calculable": True, "right": 10, "top": "middle",
                       "text": ["log10 power", ""], **patches[0]["visualMap"][0],
                       "inRange": {"color": HEAT_COLOURS}}],
        "series": [{"type": "heatmap", "name": "band power", "progressive": 0,
                    "tooltip": {"formatter": function_ref("heatTooltip", labels, satellites, "band power")},
                    **patches[0]["series"][0]}]})
    return Chart("snr-band-power", option, height=max(420, 150 + 12 * len(satellites)),
                 choices=Choices("Period band", bands, patches))

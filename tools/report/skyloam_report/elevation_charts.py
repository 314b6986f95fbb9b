"""Values against elevation per signal: a thinned scatter and a statistic in
5 degree bins (code multipath RMS, mean SNR)."""
from skyloam_report.arcs import signal_spans
from skyloam_report.chart_options import base_option, legend_choosing, rounded
from skyloam_report.html_page import Chart, function_ref
from skyloam_report.sky_chart import BINNED_ROWS
from skyloam_report.thinning import mean_by_key, rms_by_key, stride_for

ELEVATION_BIN = 5
SCATTER_POINTS = 30_000
"""Scatter points per chart, over all signals."""


def elevation_bins(elevations, values, statistic):
    """[bin centre, statistic, count] per 5 degree bin, `statistic` being
    rms_by_key or mean_by_key."""
    keys = [int(e // ELEVATION_BIN) if 0.0 <= e <= 90.0 else None for e in elevations]
    return [[(b + 0.5) * ELEVATION_BIN, rounded(value, 4), count]
            for b, (value, count) in sorted(statistic(keys, values).items())]


def scatter_points(elevations, values, limit, digits):
    """[elevation, value] pairs, both known, at most about `limit`, evenly spread."""
    stride = stride_for(len(elevations), limit)
    return [[round(e, 1), round(v, digits)]
            for e, v in zip(elevations[::stride], values[::stride]) if e == e and v == v]


def _elevation_chart(chart_id, title, columns, arcs, value_name, statistic, labels):
    names = columns["signals"]
    spans = signal_spans(arcs)
    stride = stride_for(sum(b - a for a, b in spans.values()), BINNED_ROWS)
    per_signal = SCATTER_POINTS // max(len(spans), 1)
    series = []
    for signal, (start, stop) in spans.items():
        rows = slice(start, stop, stride)
        elevations, values = columns["elevation"][rows], columns[value_name][rows]
        series.append({"type": "scatter", "name": names[signal], "symbolSize": 3, "large": True,
                       "itemStyle": {"opacity": 0.5},
                       "tooltip": {"formatter": function_ref("valuesTooltip", ["elevation °", labels["unit"]])},
                       "data": scatter_points(elevations, values, per_signal, labels["digits"])})
        series.append({"type": "line", "name": names[signal], "symbolSize": 6,
                       "lineStyle": {"width": 2.5}, "itemStyle": {"color": "#d7191c"},
                       "tooltip": {"formatter": function_ref(
                           "valuesTooltip", ["bin centre °", labels["statistic"], "estimates"])},
                       "data": elevation_bins(elevations, values, statistic)})
    subtitle = (f"dots: thinned estimates; red line: {labels['statistic']} per {ELEVATION_BIN}° bin"
                + (f" (binned from 1 in {stride} estimates)" if stride > 1 else ""))
    option = base_option(title, subtitle, zoom=("x", "y"))
    option.update({
        "legend": legend_choosing([names[s] for s in spans],
                                  max(series[::2], key=lambda s: len(s["data"]))["name"]),
        "grid": {"top": 90, "left": 70, "right": 60, "bottom": 70},
        "xAxis": {"type": "value", "name": "elevation °", "min": 0, "max": 90},
        "yAxis": {"type": "value", "name": labels["unit"], "scale": True},
        "series": series})
    return Chart(chart_id, option)


def multipath_elevation_chart(columns, arcs):
    return _elevation_chart("multipath-elevation", "Code multipath against elevation", columns, arcs,
                            "mp", rms_by_key, {"statistic": "RMS (m)", "unit": "multipath m", "digits": 3})


def snr_elevation_chart(columns, arcs):
    return _elevation_chart("snr-elevation", "SNR against elevation", columns, arcs, "snr", mean_by_key,
                            {"statistic": "mean SNR (dB-Hz)", "unit": "SNR dB-Hz", "digits": 1})

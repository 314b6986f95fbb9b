"""Pieces every chart option shares: title, tooltip, zoom, PNG export, and
compact numbers."""
import math

from skyloam_report.html_page import function_ref


def rounded(value, digits):
    """A float for the page, short in JSON (None for NaN and infinities)."""
    return round(value, digits) if math.isfinite(value) else None


def base_option(title, subtitle="", zoom=("x",)):
    """Title, hover tooltip, PNG export, restore and zoom (inside and slider
    for each axis in `zoom`; the toolbox box zoom for cartesian charts)."""
    features = {"saveAsImage": {"title": "PNG"}, "restore": {}}
    zooms = []
    for axis in zoom:
        index = {"x": "xAxisIndex", "y": "yAxisIndex", "radius": "radiusAxisIndex"}[axis]
        zooms += [{"type": "inside", index: 0, "filterMode": "none"},
                  {"type": "slider", index: 0, "filterMode": "none",
                   **({"orient": "vertical", "right": 8} if axis == "y" else {})}]
    if "x" in zoom or "y" in zoom:
        features["dataZoom"] = {}
    return {"animation": False, "useUTC": True,
            "title": {"text": title, "subtext": subtitle, "left": 10, "top": 0, "itemGap": 4},
            "tooltip": {"trigger": "item", "confine": True},
            "toolbox": {"right": 20, "feature": features},
            "dataZoom": zooms}


LEGEND_TOP = 40
"""Legends sit between the subtitle and the axis names above a grid at 90."""

TICK_STEPS = (60, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400)


def clock_axis(t0, first, last, name="UTC"):
    """A value axis from `first` to `last` (seconds since t0) labelled with
    UTC clock times at round steps."""
    step = next((s for s in TICK_STEPS if s >= (last - first) / 8), TICK_STEPS[-1])
    return {"type": "value", "name": name, "min": first, "max": last, "interval": step,
            "axisLabel": {"formatter": function_ref("clock", t0)}}


def legend_choosing(names, selected):
    """A legend that shows one of `names` at a time, `selected` first."""
    return {"data": names, "selectedMode": "single", "top": LEGEND_TOP, "type": "scroll",
            "selected": {name: name == selected for name in names}}


def point_tooltip(t0, unit):
    return {"formatter": function_ref("pointTooltip", t0, unit)}

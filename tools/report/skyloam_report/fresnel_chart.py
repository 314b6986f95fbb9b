"""First Fresnel zones of the ground around the station: one ellipse for each
azimuth at which a satellite rises or sets through 5, 10 and 15 degrees
elevation, for a horizontal reflector the antenna height below the antenna."""
import math

import skyloam_mp as mp

from skyloam_report.chart_options import LEGEND_TOP, base_option, rounded
from skyloam_report.html_page import Chart

ELEVATIONS = (5.0, 10.0, 15.0)
AZIMUTH_STEP = 10.0
"""Crossings closer than this in azimuth share one ellipse."""
ELLIPSE_POINTS = 24


def crossing_azimuths(track, elevation):
    """Azimuths (rounded to AZIMUTH_STEP) where a track of (elevation,
    azimuth) points passes through `elevation`, rising or setting. A track
    that starts or ends above it (below, the satellite went untracked) counts
    with the azimuth of that end: near the horizon azimuths change slowly."""
    def rounded_azimuth(azimuth):
        return round(azimuth / AZIMUTH_STEP) * AZIMUTH_STEP % 360.0
    found = {rounded_azimuth(a) for e, a in (track[:1] + track[-1:]) if e > elevation}
    for (e0, a0), (e1, a1) in zip(track, track[1:]):
        if (e0 - elevation) * (e1 - elevation) <= 0 and e0 != e1:
            turn = (a1 - a0 + 180.0) % 360.0 - 180.0
            azimuth = (a0 + turn * (elevation - e0) / (e1 - e0)) % 360.0
            found.add(rounded_azimuth(azimuth))
    return found


def ellipse(azimuth, a, b, distance):
    """[east, north] points (metres) of an ellipse centred `distance` from the
    antenna foot towards `azimuth`, semi-axis a along it and b across."""
    sin_az, cos_az = math.sin(math.radians(azimuth)), math.cos(math.radians(azimuth))
    points = []
    for k in range(ELLIPSE_POINTS + 1):
        angle = 2 * math.pi * k / ELLIPSE_POINTS
        along, across = distance + a * math.cos(angle), b * math.sin(angle)
        points.append([rounded(along * sin_az + across * cos_az, 3),
                       rounded(along * cos_az - across * sin_az, 3)])
    return points


def fresnel_chart(tracks, height):
    """`tracks`: {satellite: [(elevation, azimuth), ...] in time order}."""
    series, reach = [], 1.0
    for elevation in ELEVATIONS:
        a, b, distance = mp.fresnel_zone(elevation, height)
        azimuths = sorted(set().union(*(crossing_azimuths(t, elevation) for t in tracks.values())))
        data = []
        for azimuth in azimuths:
            data += ellipse(azimuth, a, b, distance) + [None]
        reach = max(reach, distance + a)
        series.append({"type": "line", "name": f"{elevation:g}° elevation", "symbolSize": 2,
                       "connectNulls": False, "lineStyle": {"width": 1, "opacity": 0.7},
                       "tooltip": {"formatter": f"{elevation:g}°: a {a:.2f} m, b {b:.2f} m, "
                                                f"centre {distance:.2f} m from the antenna"},
                       "data": data})
    series.append({"type": "scatter", "name": "antenna", "symbol": "triangle", "symbolSize": 10,
                   "itemStyle": {"color": "#000"}, "data": [[0, 0]]})
    limit = math.ceil(reach * 1.05)
    axis = {"type": "value", "min": -limit, "max": limit}
    option = base_option("First Fresnel zones (GPS L1)",
                         f"antenna {height:g} m above a horizontal reflector; ellipses where satellites "
                         f"rise or set through {', '.join(f'{e:g}' for e in ELEVATIONS)}°",
                         zoom=("x", "y"))
    option.update({"legend": {"top": LEGEND_TOP},
                   "grid": {"top": 90, "bottom": 60, "left": "center", "width": 560, "height": 560},
                   "xAxis": dict(axis, name="east m"), "yAxis": dict(axis, name="north m"),
                   "series": series})
    return Chart("fresnel-zones", option, height=720)

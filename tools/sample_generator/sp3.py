"""SP3-d orbit file writer.

Contract: `sp3_lines(scenario, satellites)` returns the lines of an SP3-d
position file (mixed systems, GPS time, ECEF in kilometres with six
decimals, clocks in microseconds) whose epochs, `scenario.sp3_interval`
apart on whole multiples of it, cover the observation span with
`MARGIN_EPOCHS` extra epochs on either side, so that nine-point
interpolation is centred everywhere inside the span.
"""
import math
from datetime import timedelta

from .geometry import gps_week_and_seconds, modified_julian_day, seconds_since_j2000

MARGIN_EPOCHS = 5
SATELLITES_PER_LINE = 17
MIN_SATELLITE_LINES = 5


def orbit_epochs(scenario):
    """Datetimes of the SP3 epochs."""
    step = scenario.sp3_interval
    day_start = scenario.start.replace(hour=0, minute=0, second=0, microsecond=0)
    offset = (scenario.start - day_start).total_seconds()
    first = math.floor(offset / step) - MARGIN_EPOCHS
    last = math.ceil((offset + (scenario.epoch_count - 1) * scenario.interval) / step) + MARGIN_EPOCHS
    return [day_start + timedelta(seconds=n * step) for n in range(first, last + 1)]


def satellite_list_lines(names):
    line_count = max(MIN_SATELLITE_LINES, math.ceil(len(names) / SATELLITES_PER_LINE))
    padded = names + ["  0"] * (line_count * SATELLITES_PER_LINE - len(names))
    lines = []
    for n in range(line_count):
        lead = f"+  {len(names):3d}   " if n == 0 else "+        "
        lines.append(lead + "".join(padded[n * SATELLITES_PER_LINE:(n + 1) * SATELLITES_PER_LINE]))
    lines += ["++       " + "  0" * SATELLITES_PER_LINE for _ in range(line_count)]
    return lines


def header_lines(scenario, epochs, names):
    first = epochs[0]
    week, seconds = gps_week_and_seconds(first)
    mjd, fraction = modified_julian_day(first)
    return [
        f"#dP{first.year:4d} {first.month:2d} {first.day:2d} {first.hour:2d} {first.minute:2d} "
        f"{first.second:11.8f} {len(epochs):7d} ORBIT IGS20 FIT  SIM",
        f"## {week:4d} {seconds:15.8f} {scenario.sp3_interval:14.8f} {mjd:5d} {fraction:15.13f}",
        *satellite_list_lines(names),
        "%c M  cc GPS ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc",
        "%c cc cc ccc ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc",
        "%f  1.2500000  1.025000000  0.00000000000  0.000000000000000",
        "%f  0.0000000  0.000000000  0.00000000000  0.000000000000000",
        "%i    0    0    0    0      0      0      0      0         0",
        "%i    0    0    0    0      0      0      0      0         0",
        "/* SYNTHETIC ORBITS: CIRCULAR, EARTH-FIXED FRAME",
        f"/* SEED {scenario.seed}; CLOCKS LINEAR IN TIME",
        "/* POSITIONS IN KM, CLOCKS IN MICROSECONDS",
        "/* GENERATED WITH THE MATCHING OBSERVATION FILE",
    ]


def position_line(satellite, t):
    x, y, z = satellite.position(t)
    clock = satellite.clock(t) * 1e6
    return f"P{satellite.name}{x / 1000.0:14.6f}{y / 1000.0:14.6f}{z / 1000.0:14.6f}{clock:14.6f}"


def sp3_lines(scenario, satellites):
    epochs = orbit_epochs(scenario)
    lines = header_lines(scenario, epochs, [s.name for s in satellites])
    for moment in epochs:
        lines.append(f"*  {moment.year:4d} {moment.month:2d} {moment.day:2d} {moment.hour:2d} "
                     f"{moment.minute:2d} {moment.second:11.8f}")
        t = seconds_since_j2000(moment)
        lines += [position_line(satellite, t) for satellite in satellites]
    lines.append("EOF")
    return lines

"""The report's estimates and slips as columns: the one place that knows how
they are stored, so the charts work on plain columns of equal length.

Estimate columns: "time" (Unix seconds), "mp", "elevation", "azimuth" and
"snr" (floats, NaN where absent), "satellite" and "signal" (indices into the
lists under "satellites" and "signals"), "arc" (numbered per signal). Rows
come grouped by signal, then satellite, then arc, in time order.

Slip columns: "time", "satellite" (index into the same "satellites" list),
"method" and "phase" (the slipping phase code), one row per slip record.
"""
import math
from datetime import datetime

ELEVATION_PLACEHOLDER = (45.0, 0.0)
"""Elevation and azimuth an estimate keeps when no orbit gave it real ones."""

ARC_GAP_FACTOR = 5.0


def _unix_seconds(texts):
    """Unix seconds of ISO epoch texts, each distinct text parsed once."""
    cache = {}
    def seconds(text):
        value = cache.get(text)
        if value is None:
            value = cache[text] = datetime.fromisoformat(text).timestamp()
        return value
    return [seconds(t) for t in texts]


def _signal_labels(statistics):
    """{(system letter, code): signal label} as the statistics name them."""
    return {(s["system"], s["code"]): s["signal"] for s in statistics}


def _indices():
    table, order = {}, []
    def index(name):
        found = table.get(name)
        if found is None:
            found = table[name] = len(order)
            order.append(name)
        return found
    return index, order


def _number_arcs(times, satellites, signals, slipped, interval):
    """Arc numbers per signal: a new arc where the satellite changes, the
    gap exceeds the arc-gap threshold, or a slip was found at that epoch."""
    gap = (interval or 30.0) * ARC_GAP_FACTOR
    arcs, counters = [], {}
    for i, (t, sat, sig) in enumerate(zip(times, satellites, signals)):
        same_run = i > 0 and sat == satellites[i - 1] and sig == signals[i - 1]
        if not same_run or t - times[i - 1] > gap or (sat, t) in slipped:
            counters[sig] = counters.get(sig, -1) + 1
        arcs.append(counters[sig])
    return arcs


def _estimate_rows(estimates, with_orbits, satellite_index, signal_index, labels):
    """The estimate columns that come straight from the estimates, in one pass."""
    names = ("mp", "elevation", "azimuth", "snr", "satellite", "signal")
    columns = {name: [] for name in names}
    mp, elevation, azimuth, snr, satellite, signal = (columns[n].append for n in names)
    nan = math.nan
    for e in estimates:
        mp(e["mp_value"])
        known = with_orbits and (e["elevation"], e["azimuth"]) != ELEVATION_PLACEHOLDER
        elevation(e["elevation"] if known else nan)
        azimuth(e["azimuth"] if known else nan)
        snr(nan if e["snr"] is None else e["snr"])
        satellite(satellite_index(e["satellite"]))
        signal(signal_index(labels[e["system"], e["signal"]]))
    return columns


def report_columns(report):
    """(estimate columns, slip columns) built from the report's values."""
    estimates, slips = report["estimates"], report["cycle_slips"]
    satellite_index, satellites = _indices()
    signal_index, signals = _indices()
    columns = _estimate_rows(estimates, report["elevations"] is not None, satellite_index, signal_index,
                             _signal_labels(report["statistics"]))
    columns["time"] = _unix_seconds(e["epoch"] for e in estimates)
    slip_times = _unix_seconds(s["epoch"] for s in slips)
    slip_satellites = [satellite_index(s["satellite"]) for s in slips]
    columns["arc"] = _number_arcs(columns["time"], columns["satellite"], columns["signal"],
                                  set(zip(slip_satellites, slip_times)), report["summary"]["interval"])
    columns.update(satellites=satellites, signals=signals)
    slip_columns = {"time": slip_times, "satellite": slip_satellites,
                    "method": [s["method"] for s in slips], "phase": [s["signal"] for s in slips]}
    return columns, slip_columns

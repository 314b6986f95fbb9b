"""Per-signal statistics over the estimates at or above the elevation cutoff.

`MultipathAnalyzer.analyze()` knows no orbits: every estimate leaves it at a
placeholder elevation and its statistics cover them all. Once orbits gave
real elevations, the report keeps to what the analyzer's cutoff means:
`statistics_at_or_above_cutoff` recomputes each signal's statistics over the
estimates with a real elevation at or above the cutoff and counts the
estimates left out (below the cutoff, or without an elevation from any orbit).
"""
import inspect
import math

import skyloam_mp as mp

# Elevation and azimuth of every estimate as analyze() gives it, before
# orbits; an estimate that still holds them got no elevation from any orbit.
ANALYZER_PLACEHOLDER = (45.0, 0.0)


def analyzer_cutoff(analyzer_options=None):
    """The elevation cutoff (degrees) of an analyzer made with these options."""
    options = analyzer_options or {}
    if "elevation_cutoff" in options:
        return float(options["elevation_cutoff"])
    return float(inspect.signature(mp.MultipathAnalyzer).parameters["elevation_cutoff"].default)


def elevation_weight(elevation):
    """The weight of the elevation-weighted RMS: 1 from 30 degrees, 0 at 0 and below."""
    if not elevation > 0.0:
        return 0.0
    if elevation >= 30.0:
        return 1.0
    return 1.0 / (4.0 * math.sin(math.radians(elevation)) ** 2)


def summarize(values, elevations):
    """count, mean, std_dev (population), rms, weighted_rms, min and max of one signal's values."""
    n = len(values)
    mean = sum(values) / n
    rms = math.sqrt(sum(v * v for v in values) / n)
    weights = [elevation_weight(e) for e in elevations]
    total = sum(weights)
    weighted = math.sqrt(sum(w * v * v for w, v in zip(weights, values)) / total) if total > 0 else rms
    return {"count": n, "mean": mean, "std_dev": math.sqrt(sum((v - mean) ** 2 for v in values) / n),
            "rms": rms, "weighted_rms": weighted, "min": min(values), "max": max(values)}


def statistics_at_or_above_cutoff(estimates, statistics, cutoff, placeholder=ANALYZER_PLACEHOLDER):
    """(statistics, counts) over the estimates with a real elevation >= cutoff.

    `estimates`: dicts with system, signal, mp_value, elevation, azimuth;
    `statistics`: the analyzer's per-signal dicts (signal label, system, code,
    cycle_slips, ...), in report order; `placeholder`: the (elevation,
    azimuth) that marks estimates no orbit reached. Signals left without
    estimates are dropped.
    """
    label_of = {(s["system"], s["code"]): s["signal"] for s in statistics}
    kept = {s["signal"]: ([], []) for s in statistics}
    below = without = 0
    for e in estimates:
        if (e["elevation"], e["azimuth"]) == placeholder:
            without += 1
        elif e["elevation"] < cutoff:
            below += 1
        else:
            label = label_of.get((e["system"], e["signal"]))
            if label is not None:
                kept[label][0].append(e["mp_value"])
                kept[label][1].append(e["elevation"])
    rows = [{**s, **summarize(*kept[s["signal"]])} for s in statistics if kept[s["signal"]][0]]
    counts = {"cutoff": cutoff, "kept": sum(r["count"] for r in rows), "below_cutoff": below,
              "without_elevation": without}
    return rows, counts

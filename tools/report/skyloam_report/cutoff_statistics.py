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

from skyloam_report.columns import label_blocks

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


def _split_by_cutoff(values, elevations, azimuths, cutoff, placeholder):
    """(kept values, their elevations, count below the cutoff, count without an elevation)."""
    kept, kept_elevations, below, without = [], [], 0, 0
    keep, keep_elevation = kept.append, kept_elevations.append
    placeholder_elevation, placeholder_azimuth = placeholder
    for value, elevation, azimuth in zip(values, elevations, azimuths):
        if elevation == placeholder_elevation and azimuth == placeholder_azimuth:
            without += 1
        elif elevation < cutoff:
            below += 1
        else:
            keep(value)
            keep_elevation(elevation)
    return kept, kept_elevations, below, without


def statistics_at_or_above_cutoff(columns, statistics, cutoff, placeholder=ANALYZER_PLACEHOLDER):
    """(statistics, counts) over the estimates with a real elevation >= cutoff.

    `columns`: the results' columns (`AnalysisResults.columns()`);
    `statistics`: the analyzer's per-signal dicts (signal label, system, code,
    cycle_slips, ...), in report order; `placeholder`: the (elevation,
    azimuth) that marks estimates no orbit reached. Signals left without
    estimates are dropped.
    """
    mp_values, elevations, azimuths = (memoryview(columns[n]) for n in ("mp", "elevation", "azimuth"))
    kept, below, without = {}, 0, 0
    for label, start, stop in label_blocks(columns):
        values, label_elevations, label_below, label_without = _split_by_cutoff(
            mp_values[start:stop], elevations[start:stop], azimuths[start:stop], cutoff, placeholder)
        kept[label] = (values, label_elevations)
        below, without = below + label_below, without + label_without
    rows = []
    for s in statistics:
        values, label_elevations = kept.get(s["signal"], ([], []))
        if values:
            rows.append({**s, **summarize(values, label_elevations)})
    counts = {"cutoff": cutoff, "kept": sum(r["count"] for r in rows), "below_cutoff": below,
              "without_elevation": without}
    return rows, counts

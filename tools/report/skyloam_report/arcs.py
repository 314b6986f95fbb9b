"""The arcs of the estimate columns (row ranges, found by columns.py), so the
charts touch only the rows they draw, however long the day."""
from dataclasses import dataclass


@dataclass(frozen=True)
class Arc:
    signal: int
    satellite: int
    start: int
    """First row of the arc."""
    stop: int
    """One past its last row."""


def signal_spans(arcs):
    """{signal: (first row, one past the last)}: each signal's rows are contiguous."""
    spans = {}
    for arc in arcs:
        start, _ = spans.get(arc.signal, (arc.start, arc.stop))
        spans[arc.signal] = (start, arc.stop)
    return spans


def median_step(times, arcs):
    """The typical time step between neighbouring rows of an arc (30 s when unknown)."""
    steps = sorted(times[a.start + 1] - times[a.start] for a in arcs if a.stop - a.start > 1)
    return steps[len(steps) // 2] if steps else 30.0

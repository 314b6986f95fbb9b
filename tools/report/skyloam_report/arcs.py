"""The arcs of the estimate columns: row ranges found by bisection, so the
charts touch only the rows they draw, however long the day."""
import bisect
from dataclasses import dataclass


@dataclass(frozen=True)
class Arc:
    signal: int
    satellite: int
    start: int
    """First row of the arc."""
    stop: int
    """One past its last row."""


def _regrouped(columns):
    """A copy of the columns with rows grouped by signal, then arc, in time order."""
    order = sorted(range(len(columns["time"])),
                   key=lambda i: (columns["signal"][i], columns["arc"][i], columns["time"][i]))
    regrouped = dict(columns)
    for name in ("time", "mp", "elevation", "azimuth", "snr", "satellite", "signal", "arc"):
        values = columns[name]
        regrouped[name] = [values[i] for i in order]
    return regrouped


def _homogeneous(values, start, stop, value):
    return list(values[start:stop]).count(value) == stop - start


def _ranges(values, start, stop):
    """(value, start, stop) for each run of equal values in a sorted range."""
    while start < stop:
        value = values[start]
        end = bisect.bisect_right(values, value, start, stop)
        yield value, start, end
        start = end


def _arc_ranges(columns):
    """[Arc] found by bisection, or None when the rows are not grouped by
    signal and arc (checked: every range holds one key, no key twice)."""
    signals, arcs, satellites = columns["signal"], columns["arc"], columns["satellite"]
    table, seen = [], set()
    for signal, start, stop in _ranges(signals, 0, len(signals)):
        if signal in seen or not _homogeneous(signals, start, stop, signal):
            return None
        seen.add(signal)
        numbers = set()
        for arc, arc_start, arc_stop in _ranges(arcs, start, stop):
            if arc in numbers or not _homogeneous(arcs, arc_start, arc_stop, arc):
                return None
            numbers.add(arc)
            table.append(Arc(signal, satellites[arc_start], arc_start, arc_stop))
    return table


def arc_table(columns):
    """(columns grouped by signal and arc, [Arc] in row order)."""
    table = _arc_ranges(columns)
    if table is None:
        columns = _regrouped(columns)
        table = _arc_ranges(columns)
    return columns, table


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

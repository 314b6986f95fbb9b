"""The charts' view of the analysis results: the columns of
`AnalysisResults.columns()` and `slip_columns()`, and the arcs found in them
by bisection, so that nothing walks every row of a long day in Python.

Chart columns: "time" (Unix seconds), "mp", "elevation", "azimuth" and "snr"
(NaN where absent; elevation and azimuth also where no orbit gave them),
"satellites" (names) and "signals" (labels such as GPSM1C, the statistics'
names). Arcs carry indices into those two lists.

Slip columns: "time", "satellite" (index into the same "satellites" list,
which lists satellites with slips but no estimates last), "method" and
"phase" (the slipping phase code), one row per slip record.
"""
import bisect
import math
import struct
from array import array

from skyloam_report.arcs import Arc

ELEVATION_PLACEHOLDER = (45.0, 0.0)
"""Elevation and azimuth an estimate keeps when no orbit gave it real ones."""

SYSTEM_LABELS = {"G": "GPS", "R": "GLO", "E": "GAL", "C": "BDS", "J": "QZS", "S": "SBS", "I": "IRN"}


def signal_label(satellite, code):
    """The label estimates are grouped under: GPSM1C for G05 and C1C."""
    return SYSTEM_LABELS.get(satellite[0], "MIX") + "M" + code[1:]


class _RowKeys:
    """A read-only sequence of one key per row, for bisection."""

    def __init__(self, count, key):
        self._count, self._key = count, key

    def __len__(self):
        return self._count

    def __getitem__(self, row):
        return self._key(row)


def _runs(keys, start, stop):
    """(key, start, stop) for each run of equal keys in a range sorted by key."""
    while start < stop:
        key = keys[start]
        end = bisect.bisect_right(keys, key, start, stop)
        yield key, start, end
        start = end


def label_blocks(columns):
    """(signal label, first row, one past the last) of each label's rows.
    Rows come grouped by label, in label order (then satellite, arc, time)."""
    satellite, signal = memoryview(columns["satellite"]), memoryview(columns["signal"])
    names, codes = columns["satellites"], columns["signals"]
    row_labels = _RowKeys(len(satellite), lambda row: signal_label(names[satellite[row]], codes[signal[row]]))
    return list(_runs(row_labels, 0, len(satellite)))


def result_arcs(columns, blocks):
    """[Arc] in row order, their signals indices into the blocks' labels.
    Within a label, rows come by satellite (in the satellite list's order),
    then arc, in time order."""
    satellite, arc = memoryview(columns["satellite"]), memoryview(columns["arc"])
    pair_arcs = _RowKeys(len(satellite), lambda row: (satellite[row], arc[row]))
    return [Arc(n, sat, start, stop)
            for n, (_, first, last) in enumerate(blocks)
            for (sat, _), start, stop in _runs(pair_arcs, first, last)]


def _copy(column):
    values = array("d")
    values.frombytes(memoryview(column).cast("B"))
    return values


def _without_placeholders(elevation, azimuth):
    """Copies with NaN where an estimate kept the placeholder angles. The
    search for the placeholder's bytes runs in C; only hits are looked at."""
    elevation, azimuth = _copy(elevation), _copy(azimuth)
    raw, pattern, width = elevation.tobytes(), struct.pack("d", ELEVATION_PLACEHOLDER[0]), elevation.itemsize
    at = raw.find(pattern)
    while at >= 0:
        row = at // width
        if at % width == 0 and azimuth[row] == ELEVATION_PLACEHOLDER[1]:
            elevation[row] = azimuth[row] = math.nan
        at = raw.find(pattern, at + 1)
    return elevation, azimuth


def _geometry(columns, elevations):
    """Elevation and azimuth columns, NaN wherever no orbit gave real ones."""
    count = len(columns["elevation"])
    if elevations is None:
        unknown = array("d", [math.nan]) * count
        return unknown, unknown
    if elevations["failed"] == 0:
        return memoryview(columns["elevation"]), memoryview(columns["azimuth"])
    return _without_placeholders(columns["elevation"], columns["azimuth"])


def _slip_columns(slips, satellites):
    """Satellites with slips but no estimates are added to `satellites`."""
    names, methods, codes = slips["satellites"], slips["methods"], slips["signals"]
    index = {name: n for n, name in enumerate(satellites)}
    for name in names:
        if name not in index:
            index[name] = len(satellites)
            satellites.append(name)
    return {"time": memoryview(slips["time"]).tolist(),
            "satellite": [index[names[s]] for s in memoryview(slips["satellite"])],
            "method": [methods[m] for m in memoryview(slips["method"])],
            "phase": [codes[c] for c in memoryview(slips["signal"])]}


def report_columns(report):
    """(chart columns, [Arc], slip columns) of a report."""
    columns = report["columns"]
    blocks = label_blocks(columns)
    elevation, azimuth = _geometry(columns, report["elevations"])
    chart = {"time": memoryview(columns["time"]), "mp": memoryview(columns["mp"]),
             "snr": memoryview(columns["snr"]), "elevation": elevation, "azimuth": azimuth,
             "satellites": list(columns["satellites"]), "signals": [label for label, _, _ in blocks]}
    slips = _slip_columns(report["slip_columns"], chart["satellites"])
    return chart, result_arcs(columns, blocks), slips

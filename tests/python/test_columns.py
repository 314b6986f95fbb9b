"""AnalysisResults.columns() and slip_columns(): buffers that hold the object lists' values."""
import array
import ctypes
import datetime
import gc
import math
import struct
import unittest

from rinex_text import observation_file
from support import skyloam_mp as mp, testdata

C = 299792458.0
L1, L2, L5 = C / 1575420000.0, C / 1227600000.0, C / 1176450000.0
TYPES = {"G": ["C1C", "L1C", "C2W", "L2W", "S1C"], "E": ["C1C", "L1C", "C5Q", "L5Q", "S1C"]}
# 1.5 ms after the minute: Unix seconds cannot say which millisecond, time_ms can.
START = datetime.datetime(2024, 1, 15, 0, 0, 0, 1500)
ESTIMATE_FORMATS = {"time": "d", "mp": "d", "elevation": "d", "azimuth": "d", "snr": "d",
                    "satellite": "i", "signal": "i", "arc": "i", "time_ms": "q"}
SLIP_FORMATS = {"time": "d", "magnitude": "d", "threshold": "d", "satellite": "i", "signal": "i",
                "method": "i", "time_ms": "q"}


def epochs(count=40, slip_at=25):
    """G12, E07 and G05 on two bands each; only band 1 has SNR; G05's L1C slips at `slip_at`."""
    rows = []
    for i in range(count):
        sats = {}
        for k, sat in enumerate(["G12", "E07", "G05"]):
            rng = 2.2e7 + 1e5 * k + 100.0 * i
            mp_value = 0.3 * math.sin(0.4 * i + k)
            code, phase, wavelength = ("C2W", "L2W", L2) if sat[0] == "G" else ("C5Q", "L5Q", L5)
            slip = 5 if sat == "G05" and i >= slip_at else 0
            sats[sat] = {"C1C": rng + mp_value, "L1C": rng / L1 + slip, code: rng - mp_value,
                         phase: rng / wavelength, "S1C": 40.0 + k}
        rows.append((30 * i, sats))
    return rows


def analyze(rows):
    data = mp.read_rinex_obs_bytes(observation_file(TYPES, rows, start=START).encode(), "c.rnx")
    return mp.MultipathAnalyzer(data, min_arc_seconds=0.0).analyze()


def values(column):
    return memoryview(column).tolist()


class _Buffer(ctypes.Structure):
    """Py_buffer, to see where a buffer's values are."""
    _fields_ = [("buf", ctypes.c_void_p), ("obj", ctypes.c_void_p), ("len", ctypes.c_ssize_t),
                ("itemsize", ctypes.c_ssize_t), ("readonly", ctypes.c_int), ("ndim", ctypes.c_int),
                ("format", ctypes.c_char_p), ("shape", ctypes.c_void_p),
                ("strides", ctypes.c_void_p), ("suboffsets", ctypes.c_void_p),
                ("internal", ctypes.c_void_p)]


_get_buffer = ctypes.PYFUNCTYPE(ctypes.c_int, ctypes.py_object, ctypes.POINTER(_Buffer),
                                ctypes.c_int)(("PyObject_GetBuffer", ctypes.pythonapi))
_release_buffer = ctypes.PYFUNCTYPE(None, ctypes.POINTER(_Buffer))(
    ("PyBuffer_Release", ctypes.pythonapi))


def address(column):
    view = _Buffer()
    if _get_buffer(column, ctypes.byref(view), 0) != 0:
        raise BufferError("no buffer")
    try:
        return view.buf
    finally:
        _release_buffer(ctypes.byref(view))


def iso_text(milliseconds):
    t = datetime.datetime(1970, 1, 1) + datetime.timedelta(milliseconds=milliseconds)
    return t.strftime("%Y-%m-%dT%H:%M:%S.") + f"{t.microsecond // 1000:03d}Z"


class EstimateColumns(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.results = analyze(epochs())
        cls.columns = cls.results.columns()

    def test_buffers_are_read_only_one_dimensional_arrays_of_their_format(self):
        n = self.results.total_estimates()
        self.assertEqual(list(self.columns), list(ESTIMATE_FORMATS) + ["satellites", "signals"])
        for name, code in ESTIMATE_FORMATS.items():
            with self.subTest(name=name):
                view = memoryview(self.columns[name])
                self.assertEqual((view.format, view.itemsize), (code, struct.calcsize(code)))
                self.assertEqual((view.ndim, view.shape, len(self.columns[name])), (1, (n,), n))
                self.assertTrue(view.readonly and view.c_contiguous)
                with self.assertRaises(TypeError):  # asks for a writable buffer
                    struct.pack_into(code, self.columns[name], 0, 0)
                as_bytes = array.array(code)
                as_bytes.frombytes(self.columns[name])  # a plain byte buffer
                self.assertEqual(as_bytes.tobytes(), view.tobytes())

    def test_rows_hold_the_values_of_the_estimates_in_their_order(self):
        c = {name: values(self.columns[name]) for name in ESTIMATE_FORMATS}
        rows = [(self.columns["satellites"][c["satellite"][i]],
                 self.columns["signals"][c["signal"][i]], iso_text(c["time_ms"][i]), c["mp"][i],
                 c["elevation"][i], c["azimuth"][i], None if math.isnan(c["snr"][i]) else c["snr"][i])
                for i in range(len(c["mp"]))]
        objects = [(e.satellite, e.signal, e.epoch, e.mp_value, e.elevation, e.azimuth, e.snr)
                   for e in self.results.estimates]
        self.assertEqual(rows, objects)
        self.assertEqual(self.columns["satellites"], ["E07", "G05", "G12"])
        self.assertEqual(self.columns["signals"], ["C1C", "C2W", "C5Q"])
        self.assertEqual(objects[0][2], "2024-01-15T00:00:00.001Z")
        self.assertEqual([round(t - ms / 1000, 6) for t, ms in zip(c["time"], c["time_ms"])],
                         [0.0005] * len(rows))

    def test_arcs_count_from_zero_per_satellite_signal(self):
        c = {name: values(self.columns[name]) for name in ("satellite", "signal", "arc")}
        arcs = {}
        for satellite, signal, arc in zip(c["satellite"], c["signal"], c["arc"]):
            key = self.columns["satellites"][satellite] + self.columns["signals"][signal]
            arcs.setdefault(key, []).append(arc)
        # The slip of G05's L1C starts a new arc on both its signals.
        self.assertEqual({k: a for k, a in arcs.items() if k.startswith("G05")},
                         {"G05C1C": [0] * 25 + [1] * 15, "G05C2W": [0] * 25 + [1] * 15})
        self.assertEqual({k: set(a) for k, a in arcs.items() if not k.startswith("G05")},
                         {"E07C1C": {0}, "E07C5Q": {0}, "G12C1C": {0}, "G12C2W": {0}})

    def test_columns_outlive_their_results(self):
        results = analyze(epochs())
        columns = results.columns()
        expected = [e.mp_value for e in results.estimates]
        view = memoryview(columns.pop("mp"))
        del results, columns
        gc.collect()
        self.assertEqual(view.tolist(), expected)

    def test_no_estimates_give_empty_columns(self):
        columns = analyze(epochs(count=5)).columns()
        self.assertEqual(columns["satellites"], [])
        self.assertEqual([memoryview(columns[n]).tolist() for n in ESTIMATE_FORMATS],
                         [[]] * len(ESTIMATE_FORMATS))
        self.assertEqual(repr(columns["mp"]), "Column(format='d', length=0)")


class SharedStorage(unittest.TestCase):
    """columns() hands out views of the results' own storage; compute_elevations
    writes angles that a column holds into fresh copies."""

    def test_two_calls_view_the_same_memory(self):
        results = analyze(epochs())
        first, second = results.columns(), results.columns()
        for name in ESTIMATE_FORMATS:
            self.assertEqual(address(first[name]), address(second[name]), name)

    def test_a_held_column_keeps_its_angles_when_elevations_are_computed(self):
        data = mp.read_rinex_obs(testdata("rinex2/ZIMM2350.15O"))
        results = mp.MultipathAnalyzer(data, max_epochs=200).analyze()
        before = results.columns()
        computed, _ = results.compute_elevations(mp.read_sp3(testdata("sp3/igs18590.sp3")),
                                                 data.approx_position)
        self.assertGreater(computed, 0)
        after = results.columns()
        self.assertEqual(set(values(before["elevation"])), {45.0})
        self.assertEqual(set(values(before["azimuth"])), {0.0})
        self.assertEqual(values(after["elevation"]), [e.elevation for e in results.estimates])
        self.assertEqual(values(after["azimuth"]), [e.azimuth for e in results.estimates])
        self.assertEqual(address(before["mp"]), address(after["mp"]))


class SlipColumns(unittest.TestCase):
    def test_rows_hold_the_values_of_the_cycle_slips(self):
        results = analyze(epochs())
        columns = results.slip_columns()
        self.assertEqual(list(columns), list(SLIP_FORMATS) + ["satellites", "signals", "methods"])
        self.assertEqual(columns["methods"], ["gf", "code_phase", "lli"])
        for name, code in SLIP_FORMATS.items():
            self.assertEqual(memoryview(columns[name]).format, code, name)
        c = {name: values(columns[name]) for name in SLIP_FORMATS}
        rows = [(columns["satellites"][c["satellite"][i]], iso_text(c["time_ms"][i]),
                 columns["methods"][c["method"][i]], columns["signals"][c["signal"][i]],
                 c["magnitude"][i], c["threshold"][i]) for i in range(len(c["time"]))]
        objects = [(s.satellite, s.epoch, s.method, s.signal, s.magnitude, s.threshold)
                   for s in results.cycle_slips]
        self.assertTrue(objects)
        self.assertEqual(rows, objects)


if __name__ == "__main__":
    unittest.main()

"""Repeated calls of every function and method, failing ones included, leak nothing.

Each group of calls runs a warm-up, then many more rounds; afterwards the
process's resident memory and the interpreter's count of allocated blocks
must be where they were (within a tolerance for allocator noise), and the
reference counts of the argument objects must be unchanged. In the sanitized
build the sanitizer's quarantine keeps freed memory resident, so there only
the reference counts are compared (the calls still run under the sanitizers).
"""
import gc
import math
import os
import sys
import tempfile
import unittest

import workload
from nav_text import gps_day
from support import skyloam_mp as mp

SANITIZED = bool(os.environ.get("SKYLOAM_SANITIZED"))
# Rounds after the warm-up are chosen per group so that a leak of 64 bytes
# per call (a few hundred bytes for the readers) outgrows the tolerance; a
# leaked Python object per call shows in the block count at once.
SCALE = 0.1 if SANITIZED else 1.0
RSS_TOLERANCE = 512 << 10
BLOCK_TOLERANCE = 100
PAGE = os.sysconf("SC_PAGE_SIZE")


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * PAGE


def failing(call, *errors):
    """A call that must raise one of `errors`; the exception is dropped at once."""
    def run():
        try:
            call()
        except errors:
            return
        raise AssertionError(f"{call} did not raise {errors}")
    return run


class LeakTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.obs_bytes, cls.obs_path, cls.sp3_path = workload.write_day(cls.dir.name, 60, 3, hours=2)
        cls.missing = os.path.join(cls.dir.name, "missing.rnx")
        cls.obs = mp.read_rinex_obs(cls.obs_path)
        cls.sp3 = mp.read_sp3(cls.sp3_path)
        cls.nav_bytes = gps_day(workload.satellites(3), date=(2015, 8, 23), toe_of_day=0.0).encode()
        cls.nav = mp.read_rinex_nav_bytes(cls.nav_bytes, "leak.15n")
        cls.epoch = mp.Epoch(2015, 8, 23, 0, 30, 0.0)
        cls.series = cls.obs.get_snr_series("G01", "S1C")[0]
        cls.y = [math.sin(0.3 * i) + 0.1 * (i % 7) for i in range(128)]

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def assert_flat(self, calls, rounds):
        rounds = max(10, int(rounds * SCALE))
        for _ in range(max(5, rounds // 10)):
            for call in calls:
                call()
        gc.collect()
        blocks, rss = sys.getallocatedblocks(), resident_bytes()
        for _ in range(rounds):
            for call in calls:
                call()
        gc.collect()
        if SANITIZED:
            return
        self.assertLess(sys.getallocatedblocks() - blocks, BLOCK_TOLERANCE,
                        "Python objects accumulate")
        self.assertLess(resident_bytes() - rss, RSS_TOLERANCE, "resident memory grows")

    def assert_refcounts_kept(self, arguments, run):
        before = [sys.getrefcount(a) for a in arguments]
        for _ in range(50):
            run()
        gc.collect()
        self.assertEqual([sys.getrefcount(a) for a in arguments], before)

    def test_identifiers_times_and_geometry(self):
        receiver = workload.RECEIVER
        satellite = mp.Ecef(15_600_000.0, 7_540_000.0, 20_140_000.0)
        calls = [
            lambda: mp.GnssSystem("g").name,
            failing(lambda: mp.GnssSystem("X"), ValueError),
            failing(lambda: mp.GnssSystem(""), ValueError),
            lambda: repr(mp.Satellite(" e05").system),
            failing(lambda: mp.Satellite("G4294967296"), ValueError),
            failing(lambda: mp.Satellite(7), TypeError),
            lambda: mp.Epoch(2024, 3, 1, second=30.25).to_gps_time(),
            lambda: (self.epoch.to_iso(), self.epoch.julian_date(), self.epoch.day_of_year()),
            lambda: str(mp.Epoch.parse("2024-03-01T12:00:30.25Z")),
            failing(lambda: mp.Epoch.parse("2024-03-01T12:00"), ValueError),
            failing(lambda: mp.Epoch("2024", 1, 2), TypeError),
            failing(lambda: mp.Epoch(2024, -1, 2), OverflowError),
            failing(lambda: mp.Epoch(2024), TypeError),
            lambda: mp.Geodetic(52.0, 4.5, 45.3).to_ecef().to_geodetic(),
            lambda: (receiver.magnitude(), receiver.distance(satellite)),
            lambda: mp.calculate_azel(receiver, satellite),
            failing(lambda: mp.calculate_azel(receiver, (1, 2, 3)), TypeError),
            lambda: (mp.get_frequency("R", 1, -7), mp.get_wavelength("G", 1), mp.version()),
            failing(lambda: mp.get_frequency("G", 256), OverflowError),
            failing(lambda: mp.get_frequency("G", 1, fcn="x"), TypeError),
        ]
        self.assert_flat(calls, 40000)
        text = "2024-03-01T12:00:30.25Z"
        self.assert_refcounts_kept([text, receiver, satellite], lambda: (
            mp.Epoch.parse(text), mp.calculate_azel(receiver, satellite),
            failing(lambda: mp.calculate_azel(receiver, text), TypeError)()))

    def test_observation_queries(self):
        obs, sp3 = self.obs, self.sp3
        calls = [
            lambda: (obs.version, obs.marker_name, obs.receiver_type, obs.antenna_type,
                     obs.approx_position, obs.interval, obs.num_epochs, obs.num_satellites),
            lambda: (obs.satellites(), obs.epochs(), obs.first_epoch(), obs.last_epoch(), repr(obs)),
            lambda: (obs.observation_types("G"), obs.glonass_fcn(), obs.satellites_by_system()),
            lambda: obs.snr_codes("G01"),
            failing(lambda: obs.snr_codes("X01"), ValueError),
            lambda: [(s.times, s.values, s.epochs_iso(), len(s), repr(s), s.satellite)
                     for s in obs.get_snr_series("G02")],
            failing(lambda: obs.get_snr_series("G01", "L1C"), ValueError),
            failing(lambda: obs.get_snr_series("G01", 5), TypeError),
            lambda: (sp3.satellites(), sp3.num_satellites, sp3.num_epochs, sp3.interval, repr(sp3)),
            lambda: (sp3.get_position("G01", self.epoch), sp3.get_position("R09", self.epoch)),
            lambda: mp.compute_elevation(sp3, workload.RECEIVER, "G02", self.epoch),
            failing(lambda: mp.compute_elevation(sp3, workload.RECEIVER, "G02", "now"), TypeError),
            lambda: (self.nav.satellites(), self.nav.version, self.nav.num_records,
                     self.nav.leap_seconds, repr(self.nav), self.nav.get_position("G01", self.epoch)),
            lambda: mp.compute_elevation(self.nav, workload.RECEIVER, "G02", self.epoch),
            failing(lambda: mp.compute_elevation(obs, workload.RECEIVER, "G02", self.epoch), TypeError),
        ]
        self.assert_flat(calls, 30000)
        satellite = "G02"
        self.assert_refcounts_kept([obs, sp3, satellite, self.epoch], lambda: (
            obs.get_snr_series(satellite), sp3.get_position(satellite, self.epoch),
            failing(lambda: obs.get_snr_series(satellite, "C1C"), ValueError)()))

    def test_readers(self):
        broken = self.obs_bytes.replace(b"> 2015 08 23 00 00", b"> 2015 08 23", 1)
        calls = [
            lambda: mp.read_rinex_obs(self.obs_path).num_epochs,
            lambda: mp.read_rinex_obs_bytes(self.obs_bytes, "leak.rnx").num_epochs,
            failing(lambda: mp.read_rinex_obs(self.missing), OSError),
            failing(lambda: mp.read_rinex_obs_bytes(broken, "leak_broken.rnx"), OSError),
            failing(lambda: mp.read_rinex_obs_bytes(self.obs_bytes, "leak.rnx.gz"), OSError),
            failing(lambda: mp.read_rinex_obs_bytes(bytearray(b"x"), "leak.rnx"), TypeError),
            lambda: mp.read_sp3(self.sp3_path).num_satellites,
            failing(lambda: mp.read_sp3(self.missing), OSError),
            failing(lambda: mp.read_sp3(None), TypeError),
            lambda: mp.read_rinex_nav_bytes(self.nav_bytes, "leak.15n").num_records,
            failing(lambda: mp.read_rinex_nav(self.missing), OSError),
            failing(lambda: mp.read_rinex_nav_bytes(self.obs_bytes, "leak.rnx"), OSError),
            failing(lambda: mp.read_rinex_nav_bytes(self.nav_bytes, "leak.15n.gz"), OSError),
        ]
        self.assert_flat(calls, 3000)
        name = "refcount.rnx"
        self.assert_refcounts_kept([self.obs_bytes, broken, name, self.obs_path], lambda: (
            mp.read_rinex_obs_bytes(self.obs_bytes, name), mp.read_rinex_obs(self.obs_path),
            failing(lambda: mp.read_rinex_obs_bytes(broken, name), OSError)()))

    def test_multipath_analysis(self):
        obs, sp3 = self.obs, self.sp3
        results = mp.MultipathAnalyzer(obs, min_arc_seconds=0.0).analyze()

        def set_angles():
            estimate = results.estimates[0]
            estimate.elevation = 30.0
            estimate.azimuth = 90
            failing(lambda: setattr(estimate, "elevation", "high"), TypeError)()
            failing(lambda: delattr(estimate, "azimuth"), AttributeError)()

        calls = [
            lambda: mp.MultipathAnalyzer(obs, systems=["G", "r"], include_codes=[" gc1c "]).analyze(),
            lambda: mp.MultipathAnalyzer(obs, min_arc_seconds=0.0, max_epochs=20).analyze(),
            failing(lambda: mp.MultipathAnalyzer(obs, include_codes=["C1"]), ValueError),
            failing(lambda: mp.MultipathAnalyzer(obs, exclude_codes=["XC1C"]), ValueError),
            failing(lambda: mp.MultipathAnalyzer(obs, systems="G"), TypeError),
            failing(lambda: mp.MultipathAnalyzer(obs, detect_cycle_slips=1), TypeError),
            failing(lambda: mp.MultipathAnalyzer(None), TypeError),
            lambda: [(e.satellite, e.system, e.epoch, e.signal, e.mp_value, e.snr)
                     for e in results.estimates[:20]],
            lambda: [(repr(s), s.code, s.weighted_rms) for s in results.statistics],
            lambda: [(c.satellite, c.epoch, c.method, c.signal, c.magnitude)
                     for c in results.cycle_slips],
            lambda: (results.cycle_slip_counts, results.total_estimates(),
                     results.total_cycle_slips(), repr(results)),
            lambda: (memoryview(results.columns()["mp"]).tolist(), results.slip_columns()),
            lambda: results.compute_elevations(sp3, workload.RECEIVER),
            lambda: results.compute_elevations(self.nav, workload.RECEIVER),
            failing(lambda: results.compute_elevations(sp3, None), TypeError),
            set_angles,
        ]
        self.assert_flat(calls, 16000)
        codes = [" gc1c "]
        self.assert_refcounts_kept([obs, sp3, codes, workload.RECEIVER], lambda: (
            mp.MultipathAnalyzer(obs, include_codes=codes).analyze()
            .compute_elevations(sp3, workload.RECEIVER),
            failing(lambda: mp.MultipathAnalyzer(obs, exclude_codes=codes + ["Z1C"]), ValueError)()))

    def test_spectral_analysis(self):
        obs, y = self.obs, self.y
        t = [30.0 * i for i in range(len(y))]
        track = ("G05", [123.0] * 21, [5.0 + i for i in range(21)])
        calls = [
            lambda: mp.morlet_cwt(y, 30.0),
            lambda: mp.band_power(y, 30.0, mp.period_bands(30.0)),
            lambda: mp.red_noise_significance(y, 30.0, [60.0, 600.0]),
            lambda: (mp.detrend_arc(t, y), mp.split_arcs(t, 30.0)),
            lambda: mp.scalogram(self.series.times, self.series.values, 30.0),
            lambda: mp.analyze_snr_wavelets(obs, satellites=["G01", "G03"], interval=30.0),
            failing(lambda: mp.analyze_snr_wavelets(obs, satellites=["X99"]), ValueError),
            failing(lambda: mp.morlet_cwt("abc", 30.0), TypeError),
            failing(lambda: mp.band_power(y, 30.0, [(1.0,)]), ValueError),
            lambda: (mp.fresnel_zone(10, 2), mp.fresnel_map([track], 2.0)),
            failing(lambda: mp.fresnel_map([["G05", [1.0], [2.0]]], 2.0), TypeError),
        ]
        self.assert_flat(calls, 8000)
        satellites = ["G01"]
        self.assert_refcounts_kept([obs, y, t, satellites, track], lambda: (
            mp.morlet_cwt(y, 30.0), mp.detrend_arc(t, y), mp.fresnel_map([track], 2.0),
            mp.analyze_snr_wavelets(obs, satellites=satellites),
            failing(lambda: mp.scalogram(t, "values", 30.0), TypeError)()))


if __name__ == "__main__":
    unittest.main()

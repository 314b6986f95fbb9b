"""read_rinex_nav, read_rinex_nav_bytes, NavData and elevations from broadcast orbits."""
import gzip
import os
import tempfile
import unittest

from nav_text import gps_day, nav_file, record, keplerian_numbers
from support import skyloam_mp as mp, testdata

ESBC = mp.Ecef(3582105.2910, 532589.7313, 5232754.8054)


class Reader(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def write(self, name, data):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_plain_gzip_and_bytes_read_alike(self):
        text = gps_day().encode()
        plain = mp.read_rinex_nav(self.write("brdc1770.20n", text))
        packed = mp.read_rinex_nav(self.write("BRDC.rnx.gz", gzip.compress(text)))
        in_memory = mp.read_rinex_nav_bytes(gzip.compress(text), "x/BRDC.rnx.gz")
        for data in (plain, packed, in_memory):
            self.assertEqual(repr(data), "NavData(version=3.05, satellites=2, records=24)")
            self.assertEqual((data.version, data.num_records, data.leap_seconds), (3.05, 24, 18))
            self.assertEqual(data.satellites(), ["G01", "G02"])
        epoch = mp.Epoch(2020, 6, 25, 12, 34, 56.5)
        self.assertAlmostEqual(plain.get_position("G01", epoch).magnitude(),
                               in_memory.get_position(" g1 ", epoch).magnitude(), places=6)
        self.assertIsNone(plain.get_position("G03", epoch))
        self.assertIsNone(plain.get_position("X99", epoch))
        self.assertIsNone(plain.get_position("G", epoch))
        self.assertIsNone(plain.get_position("G01", mp.Epoch(2020, 6, 27)))  # no ephemeris then

    def test_unusable_records_are_dropped_not_refused(self):
        text = nav_file([record("G01", (2020, 6, 25, 0, 0, 0), keplerian_numbers(345600.0, health=1.0)),
                         record("G02", (2020, 6, 25, 0, 0, 0), keplerian_numbers(345600.0)[:12]),
                         "garbage line\n" * 3], leap_seconds=None)
        data = mp.read_rinex_nav_bytes(text.encode(), "x.rnx")
        self.assertEqual(repr(data), "NavData(version=3.05, satellites=0, records=0)")
        self.assertIsNone(data.leap_seconds)

    def test_what_cannot_be_read(self):
        day = gps_day().encode()
        cases = [
            (lambda: mp.read_rinex_nav(os.path.join(self.dir.name, "none.rnx")), "File not found: "),
            (lambda: mp.read_rinex_nav_bytes(day.replace(b"3.05", b"5.00", 1), "x.rnx"),
             "Unsupported RINEX version: 5.00"),
            (lambda: mp.read_rinex_nav_bytes(day.replace(b"           N", b"           O", 1), "x.rnx"),
             "Navigation file error: not a RINEX navigation file: file type 'O'"),
            (lambda: mp.read_rinex_nav_bytes(day + b"\xff\n", "x.rnx"), "I/O error: "),
            (lambda: mp.read_rinex_nav_bytes(gzip.compress(day)[:200], "x.rnx.gz"), "I/O error: "),
            (lambda: mp.read_rinex_nav_bytes(gzip.compress(day), "x.rnx"), "I/O error: "),
        ]
        for call, reason in cases:
            with self.assertRaises(OSError) as caught:
                call()
            self.assertTrue(str(caught.exception).startswith("Failed to read RINEX NAV: " + reason),
                            str(caught.exception))
        with self.assertRaisesRegex(TypeError, "^argument 'path': "):
            mp.read_rinex_nav(b"x.rnx")
        with self.assertRaisesRegex(TypeError, "^argument 'data': "):
            mp.read_rinex_nav_bytes("text", "x.rnx")


class Elevations(unittest.TestCase):
    def test_either_orbit_object_serves_the_elevation_functions(self):
        nav = mp.read_rinex_nav_bytes(gps_day().encode(), "x.rnx")
        epoch = mp.Epoch(2020, 6, 25, 7, 0, 0.0)
        azimuth, elevation = mp.calculate_azel(ESBC, nav.get_position("G02", epoch))
        self.assertEqual(mp.compute_elevation(nav, ESBC, "G02", epoch), elevation)
        self.assertIsNone(mp.compute_elevation(nav, ESBC, "R01", epoch))
        with self.assertRaisesRegex(TypeError, "^argument 'sp3': "):
            mp.compute_elevation("brdc", ESBC, "G02", epoch)

    def test_esbc_day_from_the_navigation_file_agrees_with_sp3(self):
        obs = mp.read_rinex_obs(testdata("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"))
        nav = mp.read_rinex_nav(testdata("nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz"))
        sp3 = mp.read_sp3(testdata("sp3/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"))
        analyzer = mp.MultipathAnalyzer(obs, systems=["G", "R", "E"])
        from_nav, from_sp3 = analyzer.analyze(), analyzer.analyze()
        computed, failed = from_nav.compute_elevations(nav, obs.approx_position)
        self.assertEqual(computed + failed, from_nav.total_estimates())
        self.assertGreater(computed, 0.99 * from_nav.total_estimates())
        from_sp3.compute_elevations(sp3, obs.approx_position)
        placeholder = (45.0, 0.0)
        both = [(a.elevation, b.elevation) for a, b in zip(from_nav.estimates, from_sp3.estimates)
                if (a.elevation, a.azimuth) != placeholder and (b.elevation, b.azimuth) != placeholder]
        self.assertGreater(len(both), 0.95 * from_sp3.total_estimates())
        agreeing = sum(abs(a - b) <= 0.001 for a, b in both)
        self.assertGreaterEqual(agreeing, 0.99 * len(both))


if __name__ == "__main__":
    unittest.main()

"""read_sp3, Sp3Data, compute_elevation and AnalysisResults.compute_elevations."""
import math
import os
import tempfile
import threading
import unittest

from support import skyloam_mp as mp, testdata

ZIMM = mp.Ecef(4331296.9226, 567556.0704, 4633134.0631)


def independent_azel(receiver, satellite):
    """Azimuth and elevation with an iterated geodetic latitude (WGS84)."""
    a, e2 = 6378137.0, 0.00669437999014
    x, y, z = receiver.x, receiver.y, receiver.z
    lon = math.atan2(y, x)
    p = math.hypot(x, y)
    lat = math.atan2(z, p * (1 - e2))
    for _ in range(10):
        n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
        h = p / math.cos(lat) - n
        lat = math.atan2(z, p * (1 - e2 * n / (n + h)))
    d = (satellite.x - x, satellite.y - y, satellite.z - z)
    east = (-math.sin(lon), math.cos(lon), 0.0)
    north = (-math.sin(lat) * math.cos(lon), -math.sin(lat) * math.sin(lon), math.cos(lat))
    up = (math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat))
    e, n_, u = (sum(i * j for i, j in zip(d, axis)) for axis in (east, north, up))
    return math.degrees(math.atan2(e, n_)) % 360.0, math.degrees(math.atan2(u, math.hypot(e, n_)))


def sp3_text(records, interval="900.00000000", count=96):
    """`records`: list of (epoch fields, [(sat, x, y, z, clock)])."""
    lines = [f"#cP2015  8 23  0  0  0.00000000 {count:7d} ORBIT IGb08 HLM  IGS",
             f"## 1859      0.00000000 {interval:>14} 57257 0.0000000000000"]
    for (y, mo, d, h, mi, s), sats in records:
        lines.append(f"*  {y:4d} {mo:2d} {d:2d} {h:2d} {mi:2d} {s:11.8f}")
        for sat, x, yy, z, clock in sats:
            lines.append(f"P{sat}{x:14.6f}{yy:14.6f}{z:14.6f}{clock:14.6f}")
    lines.append("EOF")
    return "\n".join(lines) + "\n"


class Reader(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def read(self, text):
        path = os.path.join(self.dir.name, "orbit.sp3")
        with open(path, "w") as f:
            f.write(text)
        return mp.read_sp3(path)

    def test_records_and_representation(self):
        records = [((2015, 8, 23, 0, 15 * k, 0.0),
                    [("G02", 20000.0 + k, 1000.0, 15000.0, 1.0), ("E11", 0.0, 0.0, 0.0, 2.0),
                     ("R03", 21000.0, 0.0, 1.0, 999999.999999), (" 07", 0.0, 26000.0, 0.0, 3.0)])
                   for k in range(4)]
        data = self.read(sp3_text(records, "0.50000000"))
        self.assertEqual(data.satellites(), ["G02", "G07"])  # zero positions and bad clocks dropped
        self.assertEqual(data.satellites(), data.satellites())
        self.assertEqual((data.num_satellites, data.num_epochs, data.interval), (2, 96, 0.5))
        self.assertEqual(repr(data), "Sp3Data(satellites=2, epochs=96, interval=0.5s)")
        self.assertIsNone(data.get_position("G02", mp.Epoch(2015, 8, 23)))  # 4 < 9 records
        self.assertIsNone(data.get_position("X99", mp.Epoch(2015, 8, 23)))

    def test_nine_records_interpolate_exactly_at_a_record(self):
        records = [((2015, 8, 23, k // 4, 15 * (k % 4), 0.0),
                    [("G01", 20000.0 + 3.0 * k, -100.0 * k, 15000.0 + k * k, 0.5)])
                   for k in range(9)]
        data = self.read(sp3_text(records))
        p = data.get_position("G1", mp.Epoch(2015, 8, 23, 1, 0, 0.0))
        self.assertAlmostEqual(p.x, (20000.0 + 12.0) * 1000, places=3)
        self.assertAlmostEqual(p.z, (15000.0 + 16.0) * 1000, places=3)
        self.assertEqual(repr(self.read(sp3_text(records, " "))).split("interval=")[1], "900s)")

    def test_failures(self):
        missing = os.path.join(self.dir.name, "none.sp3")
        with self.assertRaisesRegex(OSError, r"^Failed to read SP3: I/O error: "):
            mp.read_sp3(missing)
        with open(missing, "wb") as f:
            f.write(b"#cP2015\xff\n")
        with self.assertRaisesRegex(OSError, "stream did not contain valid UTF-8"):
            mp.read_sp3(missing)
        with self.assertRaisesRegex(TypeError, "^argument 'path': "):
            mp.read_sp3(b"x")


class RealOrbits(unittest.TestCase):
    def test_elevation_of_a_real_satellite(self):
        sp3 = mp.read_sp3(testdata("sp3/igs18590.sp3"))
        self.assertEqual(repr(sp3), "Sp3Data(satellites=31, epochs=96, interval=900s)")
        epoch = mp.Epoch(2015, 8, 23, 6, 7, 30.0)
        for sat in sp3.satellites():
            position = sp3.get_position(sat, epoch)
            elevation = mp.compute_elevation(sp3, ZIMM, sat, epoch)
            self.assertAlmostEqual(mp.calculate_azel(ZIMM, position)[1], elevation, places=9)
            self.assertTrue(20_000_000 < position.magnitude() < 30_000_000)
        self.assertIsNone(mp.compute_elevation(sp3, ZIMM, "R01", epoch))
        self.assertIsNone(mp.compute_elevation(sp3, ZIMM, "G", epoch))
        with self.assertRaisesRegex(TypeError, "^argument 'epoch': "):
            mp.compute_elevation(sp3, ZIMM, "G01", "2015-08-23")

    def test_compute_elevations_fills_estimates(self):
        data = mp.read_rinex_obs(testdata("rinex2/ZIMM2350.15O"))
        results = mp.MultipathAnalyzer(data, max_epochs=400).analyze()
        sp3 = mp.read_sp3(testdata("sp3/igs18590.sp3"))
        rms_before = [s.rms for s in results.statistics]
        computed, failed = results.compute_elevations(sp3, data.approx_position)
        self.assertEqual(computed + failed, results.total_estimates())
        self.assertGreater(computed, 0.9 * results.total_estimates())
        for estimate in results.estimates[::97]:
            if estimate.elevation == 45.0 and estimate.azimuth == 0.0:
                continue
            position = sp3.get_position(estimate.satellite, mp.Epoch.parse(estimate.epoch))
            azimuth, elevation = independent_azel(data.approx_position, position)
            self.assertAlmostEqual(estimate.elevation, elevation, delta=1e-6)
            self.assertAlmostEqual(estimate.azimuth, azimuth, delta=1e-6)
        self.assertEqual([s.rms for s in results.statistics], rms_before)
        self.assertTrue(any(s.weighted_rms != s.rms for s in results.statistics))

    def test_concurrent_reads_conflict_with_the_exclusive_fill(self):
        data = mp.read_rinex_obs(testdata("rinex2/ZIMM2350.15O"))
        results = mp.MultipathAnalyzer(data).analyze()
        sp3 = mp.read_sp3(testdata("sp3/igs18590.sp3"))
        errors = []

        def reader():
            for _ in range(2000):
                try:
                    results.statistics
                except RuntimeError as e:
                    errors.append(str(e))

        thread = threading.Thread(target=reader)
        thread.start()
        for _ in range(3):
            results.compute_elevations(sp3, data.approx_position)
        thread.join()
        self.assertTrue(set(errors) <= {"Already mutably borrowed"})

    def test_empty_results_and_unknown_satellites(self):
        empty = mp.MultipathAnalyzer(mp.read_rinex_obs_bytes(b"", "e.rnx")).analyze()
        self.assertEqual(empty.compute_elevations(mp.read_sp3(testdata("sp3/igs18590.sp3")), ZIMM),
                         (0, 0))


if __name__ == "__main__":
    unittest.main()

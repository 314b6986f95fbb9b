"""GnssSystem, Satellite, Epoch, Ecef, Geodetic and the frequency functions."""
import math
import time
import unittest

from support import skyloam_mp as mp


class Identifiers(unittest.TestCase):
    def test_gnss_system(self):
        self.assertEqual(mp.GnssSystem("galileo").name, "GPS")
        self.assertEqual(mp.GnssSystem("e").code, "E")
        self.assertEqual(repr(mp.GnssSystem("R")), "GnssSystem('R')")
        self.assertEqual(str(mp.GnssSystem("R")), "GLONASS")
        with self.assertRaisesRegex(ValueError, "^Empty system code$"):
            mp.GnssSystem("")
        with self.assertRaisesRegex(ValueError, "^Unknown system: X$"):
            mp.GnssSystem("X")
        with self.assertRaisesRegex(ValueError, "^Unknown system: \u00e9t\u00e9$"):
            mp.GnssSystem("\u00e9t\u00e9")

    def test_satellite(self):
        self.assertEqual(mp.Satellite("G1").id, "G01")
        self.assertEqual(mp.Satellite("C123").id, "C123")
        self.assertEqual(repr(mp.Satellite(" e05")), "Satellite('E05')")
        self.assertEqual(str(mp.Satellite("g7")), "G07")
        self.assertEqual(mp.Satellite("g0").prn, 0)
        self.assertEqual(mp.Satellite("R07").system.name, "GLONASS")
        with self.assertRaises(ValueError) as caught:
            mp.Satellite(" 1")
        self.assertEqual(str(caught.exception), "Invalid satellite ID:  1")
        for bad in ("G4294967296", "X01", "G", "G-1", "G1a"):
            with self.assertRaises(ValueError):
                mp.Satellite(bad)


class Epochs(unittest.TestCase):
    def test_parse_forms(self):
        for text in ("2024-03-01T12:00:30.25Z", "2024-03-01T12:00:30.25+00:00",
                     "2024-03-01 12:00:30.25", "2024-03-01 12:00:30.25+00"):
            self.assertEqual(mp.Epoch.parse(text).to_iso(), "2024-03-01T12:00:30.250Z")
        self.assertEqual(mp.Epoch.parse("24 3 1 12 0 30.25").year, 2024)
        self.assertEqual(mp.Epoch.parse("80 1 1 0 0 0").year, 1980)
        self.assertEqual(mp.Epoch.parse("24-03-01T00:00:00").year, 24)

    def test_parse_failures(self):
        cases = {
            "2024 3 1 12 0":
                "Invalid epoch format: Insufficient components in epoch string: '2024 3 1 12 0'",
            "2024 3 x 12 0 0": "Integer parse error: invalid digit found in string",
            "2024-03-01T12:00": "Invalid epoch format: Invalid time format: '12:00'",
            "2024-03-01_12:00:00": "Invalid epoch format: Cannot parse epoch: '2024-03-01_12:00:00'",
            "2024/03/01":
                "Invalid epoch format: Insufficient components in epoch string: '2024/03/01'",
            "2024-1x-01T00:00:00": "Invalid epoch format: Invalid month: '1x'",
        }
        for text, message in cases.items():
            with self.assertRaises(ValueError) as caught:
                mp.Epoch.parse(text)
            self.assertEqual(str(caught.exception), message)

    def test_conversions(self):
        epoch = mp.Epoch(2024, 3, 1, 12, 0, 30.25)
        self.assertEqual(epoch.to_gps_time(), (2303, 475230.25))
        self.assertEqual(mp.Epoch(1980, 1, 6).to_gps_time(), (0, 0.0))
        self.assertEqual(mp.Epoch(1980, 1, 5).to_gps_time(), (0, -86400.0))
        self.assertEqual(mp.Epoch(2000, 1, 1, 12).julian_date(), 2451545.0)
        self.assertEqual(mp.Epoch(2024, 2, 30).day_of_year(), 1)
        self.assertEqual(mp.Epoch(2024, 12, 31).day_of_year(), 366)
        self.assertEqual(repr(mp.Epoch(2024, 3, 1)), "Epoch(2024-03-01T00:00:00.000Z)")
        self.assertEqual(str(epoch), epoch.to_iso_string())
        self.assertEqual(mp.Epoch(2024, 1, 1, second=-0.5).to_iso(), "2024-01-01T00:00:00.500Z")

    def test_invalid_fields_give_the_current_time(self):
        now = time.gmtime()
        for epoch in (mp.Epoch(2024, 13, 1), mp.Epoch(2016, 12, 31, 23, 59, 60.0),
                      mp.Epoch(300000, 1, 1), mp.Epoch(2024, 1, 1, 99, 99, float("inf"))):
            self.assertTrue(epoch.to_iso().startswith(f"{now.tm_year:04d}-"), epoch.to_iso())
        self.assertEqual(mp.Epoch(2024, 1, 1, second=float("nan")).to_iso(),
                         "2024-01-01T00:00:00.000Z")
        self.assertTrue(math.isfinite(mp.Epoch(2**31 - 1, 2**32 - 1, 0).julian_date()))


class Geometry(unittest.TestCase):
    def test_reprs(self):
        self.assertEqual(repr(mp.Ecef(1, 2, 3)), "Ecef(1.000, 2.000, 3.000)")
        self.assertEqual(str(mp.Ecef(1, 2, 3)), "Ecef(1.000, 2.000, 3.000)")
        self.assertEqual(repr(mp.Geodetic(1, 2, 3)), "Geodetic(1.000000\u00b0, 2.000000\u00b0, 3.0m)")
        self.assertEqual(repr(mp.Ecef(float("nan"), 0, 0)), "Ecef(NaN, 0.000, 0.000)")

    def test_conversions(self):
        p = mp.Geodetic(0, 0, 0).to_ecef()
        self.assertEqual((p.x, p.y, p.z), (6378137.0, 0.0, 0.0))
        back = mp.Geodetic(52.0, 4.5, 45.3).to_ecef().to_geodetic()
        self.assertAlmostEqual(back.lat, 52.0, places=9)
        self.assertAlmostEqual(back.height, 45.3, places=3)
        pole = mp.Ecef(0, 0, 6356752.0).to_geodetic()
        self.assertEqual(pole.lat, 90.0)
        self.assertAlmostEqual(pole.height, -6399593.6, places=1)
        self.assertEqual(mp.Ecef(3, 4, 0).magnitude(), 5.0)
        self.assertEqual(mp.Ecef(0, 0, 0).distance(mp.Ecef(3, 4, 0)), 5.0)

    def test_calculate_azel(self):
        receiver = mp.Geodetic(52.0, 4.5, 0).to_ecef()
        above = mp.Geodetic(52.0, 4.5, 20_000_000).to_ecef()
        self.assertAlmostEqual(mp.calculate_azel(receiver, above)[1], 90.0, places=6)
        self.assertEqual(mp.calculate_azel(receiver, receiver), (0.0, 0.0))
        with self.assertRaisesRegex(TypeError, "^argument 'satellite': "):
            mp.calculate_azel(receiver, mp.Geodetic(0, 0, 0))


class Frequencies(unittest.TestCase):
    def test_table(self):
        self.assertEqual(mp.get_frequency("G", 1), 1575420000.0)
        self.assertEqual(mp.get_wavelength("G", 1), mp.GPS_L1_WAVELENGTH)
        self.assertEqual(mp.get_frequency("GPS", 2), 1227600000.0)
        self.assertEqual(mp.get_frequency("R", 1, -7), 1598062500.0)
        self.assertEqual(mp.get_frequency("R", 2, 6), 1248625000.0)
        self.assertEqual(mp.get_frequency("R", 3, 5), 1202025000.0)
        self.assertEqual(mp.get_frequency("E", 8), 1191795000.0)
        self.assertEqual(mp.get_frequency("C", 2), 1561098000.0)
        self.assertEqual(mp.get_frequency("I", 9), 2492028000.0)
        for args in (("g", 1), ("", 1), ("G", 3), ("M", 1), ("G", 0), ("\u00c9", 1)):
            self.assertIsNone(mp.get_frequency(*args), args)
        self.assertIsNone(mp.get_wavelength("G", 3))


if __name__ == "__main__":
    unittest.main()

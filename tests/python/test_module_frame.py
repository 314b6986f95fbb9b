"""The module frame: registration, conventions shared by every class and function."""
import importlib
import sys
import unittest

from support import skyloam_mp as mp

CLASSES = ["GnssSystem", "Satellite", "Epoch", "Ecef", "Geodetic", "RinexObsData",
           "MultipathEstimate", "MultipathStats", "CycleSlip", "AnalysisResults",
           "MultipathAnalyzer", "SnrSeries", "Sp3Data", "NavData"]
FUNCTIONS = ["read_rinex_obs", "read_rinex_obs_bytes", "read_sp3", "get_frequency",
             "get_wavelength", "calculate_azel", "compute_elevation", "version", "morlet_cwt",
             "band_power", "red_noise_significance", "period_bands", "detrend_arc", "split_arcs",
             "fresnel_zone", "fresnel_map", "scalogram", "analyze_snr_wavelets", "read_rinex_nav",
             "read_rinex_nav_bytes"]
CONSTANTS = ["SPEED_OF_LIGHT", "GM_WGS84", "EARTH_RADIUS", "GPS_L1_WAVELENGTH"]
LATER_CLASSES = ["Column"]


class Registration(unittest.TestCase):
    def test_names_are_registered_in_their_fixed_order(self):
        present = [name for name in vars(mp) if not name.startswith("__")]
        self.assertEqual(present, CLASSES + FUNCTIONS + CONSTANTS + LATER_CLASSES)

    def test_repeated_import_gives_the_same_module(self):
        first = sys.modules.pop("skyloam_mp")
        again = importlib.import_module("skyloam_mp")
        self.assertIs(first, again)

    def test_a_second_interpreter_is_refused(self):
        import _xxsubinterpreters as interpreters
        for isolated in (True, False):
            interpreter = interpreters.create(isolated=isolated)
            try:
                with self.assertRaisesRegex(interpreters.RunFailedError, "ImportError"):
                    interpreters.run_string(interpreter, "import skyloam_mp")
            finally:
                interpreters.destroy(interpreter)

    def test_version_and_constants(self):
        self.assertEqual(mp.version(), "1.0.1")
        self.assertEqual(mp.version.__doc__, "Get library version")
        self.assertTrue(mp.GPS_L1_WAVELENGTH == 299792458.0 / 1575.42e6)
        self.assertEqual(mp.SPEED_OF_LIGHT, 299792458.0)
        self.assertEqual(mp.GM_WGS84, 3.986005e14)
        self.assertEqual(mp.EARTH_RADIUS, 6378137.0)
        self.assertEqual(mp.__doc__, "Python module definition")


class ArgumentConventions(unittest.TestCase):
    def test_keywords_bind_like_positions(self):
        self.assertEqual(mp.get_frequency(band=2, system="G"), 1227600000.0)
        self.assertEqual(mp.get_frequency("R", 1, None), mp.get_frequency("R", 1))

    def test_binding_errors_are_type_errors(self):
        for call in (lambda: mp.get_frequency("G"),
                     lambda: mp.get_frequency("G", 1, 2, 3),
                     lambda: mp.get_frequency("G", 1, system="E"),
                     lambda: mp.get_frequency("G", 1, colour=2),
                     lambda: mp.version(1)):
            with self.assertRaises(TypeError):
                call()

    def test_conversion_failures_name_the_argument(self):
        with self.assertRaisesRegex(TypeError, r"^argument 'year': "):
            mp.Epoch("2024", 1, 2)
        with self.assertRaisesRegex(TypeError, r"^argument 'band': "):
            mp.get_frequency("G", 1.5)
        with self.assertRaisesRegex(TypeError, r"^argument 'other': "):
            mp.Ecef(0, 0, 0).distance((1, 2, 3))

    def test_narrow_integers_overflow_unchanged(self):
        for call in (lambda: mp.get_frequency("G", 256), lambda: mp.get_frequency("G", -1),
                     lambda: mp.get_frequency("G", 1, 200), lambda: mp.Epoch(2024, -1, 1),
                     lambda: mp.Epoch(2**31, 1, 1)):
            with self.assertRaises(OverflowError):
                call()

    def test_numbers_convert_through_their_protocols(self):
        class Index:
            def __index__(self):
                return 2

        class Real:
            def __float__(self):
                return 3.0

        self.assertEqual(mp.Epoch(2024, 1, Index(), second=Real()).second, 3.0)
        self.assertEqual(mp.Epoch(2024, 1, 2, second=3).second, 3.0)


class ClassConventions(unittest.TestCase):
    def test_records_are_read_only_and_fresh(self):
        epoch = mp.Epoch(2024, 1, 2)
        with self.assertRaises(AttributeError):
            epoch.year = 2025
        sat = mp.Satellite("G05")
        self.assertIsNot(sat.system, sat.system)

    def test_equality_and_hashing_are_by_identity(self):
        a, b = mp.Epoch(2024, 1, 2), mp.Epoch(2024, 1, 2)
        self.assertNotEqual(a, b)
        self.assertEqual(len({a: 1, b: 2}), 2)

    def test_text_signatures_and_docstrings(self):
        self.assertEqual(mp.Epoch.__text_signature__,
                         "(year, month, day, hour=0, minute=0, second=0.0)")
        self.assertEqual(mp.Epoch.__doc__, "Python-exposed Epoch (time)")
        self.assertEqual(mp.Ecef.to_geodetic.__text_signature__, "($self)")
        self.assertEqual(mp.calculate_azel.__doc__, "Calculate azimuth and elevation")

    def test_classes_live_in_the_module(self):
        self.assertEqual(mp.Ecef.__module__, "skyloam_mp")
        self.assertEqual(mp.Ecef.__name__, "Ecef")


if __name__ == "__main__":
    unittest.main()

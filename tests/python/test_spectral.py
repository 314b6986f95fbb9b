"""The SNR spectral functions: arcs, detrending, wavelets, band power, scalograms, Fresnel zones."""
import math
import unittest

from rinex_text import observation_file
from support import skyloam_mp as mp, testdata


class ArcsAndDetrending(unittest.TestCase):
    def test_split_arcs(self):
        self.assertEqual(mp.split_arcs([], 30.0), [])
        self.assertEqual(mp.split_arcs([0.0], 30, 5), [(0, 1)])
        self.assertEqual(mp.split_arcs([0, 30, 60, 210, 240], 30.0), [(0, 5)])
        self.assertEqual(mp.split_arcs((0, 30, 60, 211, 241), 30.0), [(0, 3), (3, 5)])
        with self.assertRaisesRegex(TypeError, "Can't extract `str` to `Vec`"):
            mp.split_arcs("0 30", 30.0)

    def test_detrend_arc(self):
        t = [float(i) for i in range(40)]
        cubic = [2.0 - 0.1 * x + 0.03 * x * x - 0.001 * x ** 3 for x in t]
        residual, order = mp.detrend_arc(t, cubic)
        self.assertTrue(all(abs(r) < 1e-9 for r in residual))
        self.assertGreaterEqual(order, 3)
        values = [float(v % 3) for v in range(11)]
        residual, order = mp.detrend_arc(t[:11], values)
        mean = sum(values) / 11
        self.assertEqual(order, 0)
        self.assertEqual(residual, [v - mean for v in values])
        self.assertIn(mp.detrend_arc(t[:12], cubic[:12])[1], (2, 3))
        self.assertEqual(mp.detrend_arc(t, cubic, max_order=1)[1], 0)
        with self.assertRaisesRegex(ValueError, "^t and values must have the same length$"):
            mp.detrend_arc(t, cubic[:5])
        with self.assertRaises(OverflowError):
            mp.detrend_arc(t, cubic, max_order=-1)


class Wavelets(unittest.TestCase):
    def test_transform_shape(self):
        result = mp.morlet_cwt([math.sin(i / 3.0) for i in range(100)], 1.0)
        self.assertEqual(list(result), ["power", "scales", "periods", "coi"])
        self.assertEqual(len(result["power"]), 46)
        self.assertEqual({len(row) for row in result["power"]}, {100})
        self.assertEqual(result["scales"][0], 2.0)
        self.assertEqual(len(mp.morlet_cwt([1.0, 2.0], 1.0)["scales"]), 2)
        empty = mp.morlet_cwt([], 1.0)
        self.assertEqual((empty["power"], empty["coi"]), ([[], []], []))
        c = 1.0330436477492537 / 1.4142135623730951
        coi = mp.morlet_cwt([0.0] * 5, 1.0)["coi"]
        for got, want in zip(coi, [0, c, 2 * c, c, 0]):
            self.assertAlmostEqual(got, want, places=12)

    def test_sinusoid_peaks_at_its_period(self):
        period = 32.0
        y = [math.sin(2 * math.pi * i / period) for i in range(512)]
        result = mp.morlet_cwt(y, 1.0)
        middle = [row[256] for row in result["power"]]
        best = max(range(len(middle)), key=middle.__getitem__)
        self.assertLess(abs(result["periods"][best] - period) / period, 0.1)

    def test_unbounded_or_undefined_scale_ladders_are_refused(self):
        y = [0.0] * 64
        for kwargs, name in (({"dj": 0.0}, "dj"), ({"dj": 1e-12}, "dj"), ({"dj": float("nan")}, "dj"),
                             ({"s0": 0.0}, "s0"), ({"s0": -1.0}, "s0"),
                             ({"s0": 1e-300, "dj": 0.01}, "s0")):
            with self.assertRaisesRegex(ValueError, name):
                mp.morlet_cwt(y, 1.0, **kwargs)
        for dt in (0.0, -1.0, float("inf")):
            with self.assertRaisesRegex(ValueError, "dt"):
                mp.morlet_cwt(y, dt)

    def test_red_noise_and_bands(self):
        self.assertEqual(mp.red_noise_significance([1.0, 2.0], 1.0, [10.0, 20.0]),
                         [math.inf, math.inf])
        self.assertEqual(mp.red_noise_significance([3.0] * 50, 1.0, [10.0]), [math.inf])
        y = [1.0, -1.0] * 50  # negative lag-1 correlation counts as white noise
        self.assertAlmostEqual(mp.red_noise_significance(y, 1.0, [7.0])[0], 2.9955, places=12)
        ratio = (mp.red_noise_significance(y, 1.0, [7.0], confidence=0.9)[0] /
                 mp.red_noise_significance(y, 1.0, [7.0])[0])
        self.assertAlmostEqual(ratio, 4.605 / 5.991, places=12)
        self.assertEqual(mp.period_bands(1.0), [(2.0, 20.0), (20.0, 40.0), (40.0, 80.0), (80.0, 120.0)])
        self.assertEqual(mp.period_bands(15.0)[0], (30.0, 60.0))
        self.assertEqual(mp.period_bands(float("nan"))[3], (900.0, 1800.0))
        power = mp.band_power([math.sin(i) for i in range(64)], 1.0, [(2.0, 8.0), (5.0, 5.0)])
        self.assertEqual(len(power), 2)
        self.assertEqual(power[1], [0.0] * 64)
        self.assertTrue(any(p > 0 for p in power[0]))
        with self.assertRaisesRegex(TypeError, "^argument 'bands': "):
            mp.band_power([1.0] * 8, 1.0, [[2.0, 8.0]])


class Scalogram(unittest.TestCase):
    def test_longest_arc_and_columns(self):
        t = [float(i) for i in range(1200)]
        v = [40 + math.sin(i / 10.0) for i in range(1200)]
        result = mp.scalogram(t, v, 1.0)
        self.assertEqual(list(result), ["t", "periods", "power", "significance", "coi", "interval"])
        self.assertEqual(len(result["t"]), 600)
        self.assertEqual(len(mp.scalogram(t[:1199], v[:1199], 1.0)["t"]), 1199)
        self.assertEqual(len(mp.scalogram(t[:40], v[:40], 1.0, max_columns=0)["t"]), 1)
        with self.assertRaises(ValueError) as caught:
            mp.scalogram(t[:39], v[:39], 1.0)
        self.assertEqual(str(caught.exception),
                         "Insufficient data: series too short for a scalogram (< 40 samples)")
        with self.assertRaisesRegex(ValueError, "^t and values must have the same length$"):
            mp.scalogram(t, v[:3], 1.0)


class SatelliteAnalysis(unittest.TestCase):
    def synthetic(self):
        epochs = [(float(i), {"G05": {"S1C": 45 + math.sin(i / 5.0), "S2W": 40.0},
                              "E11": {"S5Q": 40 + math.cos(i / 7.0)},
                              "C07": {"S2I": 30.0 if i < 30 else None}}) for i in range(300)]
        types = {"G": ["S1C", "S2W"], "E": ["S5Q"], "C": ["S2I"]}
        return mp.read_rinex_obs_bytes(observation_file(types, epochs).encode(), "s.rnx")

    def test_structure_and_order(self):
        result = mp.analyze_snr_wavelets(self.synthetic())
        self.assertEqual(list(result), ["bands", "interval", "residuals", "band_power"])
        self.assertEqual(result["bands"], [[2.0, 20.0], [20.0, 40.0], [40.0, 80.0], [80.0, 120.0]])
        self.assertEqual(list(result["residuals"]), ["E11", "G05"])  # C07 has < 40 samples
        g05 = result["residuals"]["G05"]
        self.assertEqual(list(g05), ["code", "t0", "t", "v", "orders"])
        self.assertEqual(g05["code"], "S1C")
        self.assertEqual(len(g05["t"]), 300)
        self.assertEqual(list(result["band_power"]["G05"]), ["t", "power"])
        self.assertEqual(len(result["band_power"]["G05"]["power"]), 4)
        self.assertLessEqual(len(result["band_power"]["G05"]["t"]), 96)
        self.assertEqual(result, mp.analyze_snr_wavelets(self.synthetic()))

    def test_satellite_arguments(self):
        data = self.synthetic()
        self.assertEqual(mp.analyze_snr_wavelets(data, ["G99"])["residuals"], {})
        with self.assertRaisesRegex(ValueError, r"^Invalid satellite id 'X1'$"):
            mp.analyze_snr_wavelets(data, ["X1"])
        with self.assertRaisesRegex(TypeError, "^argument 'obs': "):
            mp.analyze_snr_wavelets(None)

    def test_real_file_lists_satellites_in_order(self):
        data = mp.read_rinex_obs(testdata("rinex3/GRAS00FRA_R_20223151700_15M_01S_MO.rnx.gz"))
        result = mp.analyze_snr_wavelets(data)
        order = [s.id for s in data.satellites()]
        keys = list(result["residuals"])
        self.assertGreater(len(keys), 10)
        self.assertEqual(keys, [s for s in order if s in result["residuals"]])


class FresnelZones(unittest.TestCase):
    def test_zone(self):
        a, b, dist = mp.fresnel_zone(90, 2)
        d = mp.GPS_L1_WAVELENGTH / 2
        self.assertAlmostEqual(b, math.sqrt(d * d + 2 * mp.GPS_L1_WAVELENGTH), places=12)
        self.assertEqual(a, b)
        self.assertLess(dist, 1e-15 * 10)
        self.assertEqual(mp.fresnel_zone(0, 2), mp.fresnel_zone(0.5, 2))
        self.assertEqual(mp.fresnel_zone(-10, 2), mp.fresnel_zone(0.5, 2))
        self.assertEqual(mp.fresnel_zone(10, 2, None), mp.fresnel_zone(10, 2))
        self.assertEqual(mp.fresnel_zone(10, 2, 0.2548)[2], mp.fresnel_zone(10, 2)[2])

    def test_map(self):
        track = ("G05", [123.0] * 21, [5.0 + i for i in range(21)])
        footprints = mp.fresnel_map([track, ("G06", [123.0], [5.0])], 2.0)
        self.assertEqual([(f["sat"], f["el"]) for f in footprints],
                         [("G05", 5.0), ("G05", 10.0), ("G05", 20.0), ("G06", 5.0)])
        self.assertEqual(list(footprints[0]), ["sat", "az", "el", "a", "b", "dist"])
        with self.assertRaisesRegex(TypeError, "^argument 'tracks': "):
            mp.fresnel_map([["G05", [1.0], [2.0]]], 2.0)


if __name__ == "__main__":
    unittest.main()

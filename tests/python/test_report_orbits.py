"""The report's orbits: navigation and SP3 files together, coverage checks, and
per-signal statistics limited to the analyzer's elevation cutoff."""
import math
import os
import subprocess
import sys
import types
import unittest
from collections import defaultdict

from nav_text import gps_day
from support import skyloam_mp as mp, testdata

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools", "report"))
from skyloam_report import orbits  # noqa: E402
from skyloam_report.analysis import analyzer_cutoff  # noqa: E402
from skyloam_report.errors import ReportError  # noqa: E402

TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))


class CutoffStatistics(unittest.TestCase):
    def test_statistics_cover_real_elevations_at_or_above_the_cutoff(self):
        obs = mp.read_rinex_obs(testdata("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"))
        results = mp.MultipathAnalyzer(obs, systems=["G", "C"], max_epochs=400).analyze()
        # BeiDou is not in this SP3 file: its estimates keep the placeholder angles.
        results.compute_elevations(mp.read_sp3(testdata("sp3/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3")),
                                   obs.approx_position)
        statistics, below, without = results.statistics_at_or_above(10.0)
        kept, expected_below, expected_without = defaultdict(list), 0, 0
        for e in results.estimates:
            if (e.elevation, e.azimuth) == (45.0, 0.0):
                expected_without += 1
            elif e.elevation < 10.0:
                expected_below += 1
            else:
                kept[e.system, e.signal].append((e.mp_value, e.elevation))
        self.assertGreater(expected_without, 0)
        self.assertGreater(expected_below, 0)
        self.assertEqual((below, without), (expected_below, expected_without))
        slips = {s.signal: s.cycle_slips for s in results.statistics}
        self.assertEqual({(s.system, s.code) for s in statistics}, set(kept))
        for s in statistics:
            values = [v for v, _ in kept[s.system, s.code]]
            weights = [1.0 if e >= 30.0 else 1.0 / (4.0 * math.sin(math.radians(e)) ** 2)
                       for _, e in kept[s.system, s.code]]
            self.assertEqual((s.count, s.cycle_slips, s.min, s.max),
                             (len(values), slips[s.signal], min(values), max(values)))
            self.assertAlmostEqual(s.mean, sum(values) / len(values), places=12)
            self.assertAlmostEqual(s.rms, math.sqrt(sum(v * v for v in values) / len(values)), places=12)
            self.assertAlmostEqual(s.weighted_rms, math.sqrt(
                sum(w * v * v for w, v in zip(weights, values)) / sum(weights)), places=12)

    def test_the_cutoff_is_the_analyzers(self):
        self.assertEqual(analyzer_cutoff(), 10.0)


class NavigationFiles(unittest.TestCase):
    def test_coverage_is_probed_at_the_observation_epochs(self):
        nav = mp.read_rinex_nav_bytes(gps_day().encode(), "x.rnx")
        same_day = [mp.Epoch(2020, 6, 25, h) for h in range(0, 24, 6)]
        self.assertTrue(orbits.nav_covers(nav, same_day))
        self.assertFalse(orbits.nav_covers(nav, [mp.Epoch(2020, 6, 28, h) for h in range(24)]))
        epochs = list(range(100))
        self.assertEqual(orbits.probe_epochs(epochs, 5), [0, 25, 50, 74, 99])
        self.assertEqual(orbits.probe_epochs(epochs[:3], 5), [0, 1, 2])

    def test_sp3_serves_its_satellites_and_navigation_the_rest(self):
        obs = mp.read_rinex_obs(testdata("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"))
        nav_path = testdata("nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz")
        sp3_path = testdata("sp3/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3")
        analyzer = mp.MultipathAnalyzer(obs, systems=["G", "C"], max_epochs=400)
        both, from_sp3 = analyzer.analyze(), analyzer.analyze()
        options = types.SimpleNamespace(sp3=sp3_path, nav=[nav_path], receiver=None)
        done = orbits.fill_elevations(obs, both, options, lambda what, work: work())
        self.assertEqual(done["nav"], [nav_path])
        from_sp3.compute_elevations(mp.read_sp3(sp3_path), obs.approx_position)
        systems = set()
        for a, b in zip(both.estimates, from_sp3.estimates):
            systems.add(a.system)
            if a.system == "G":
                if b.elevation != 45.0:  # (one at the horizon may fail with SP3 alone)
                    self.assertEqual(a.elevation, b.elevation)
            else:  # BeiDou: not in this SP3 file, from the navigation file
                self.assertEqual(b.elevation, 45.0)
                self.assertNotEqual(a.elevation, 45.0)
        self.assertEqual(systems, {"C", "G"})
        other_day = types.SimpleNamespace(sp3=None, receiver=None,
                                          nav=[testdata("nav/HERT00GBR_R_20240920000_01D_GN.rnx.gz")])
        with self.assertRaisesRegex(ReportError, "has no ephemeris for the observations"):
            orbits.fill_elevations(obs, both, other_day, lambda what, work: work())

    def test_report_with_navigation_files(self):
        outcome = subprocess.run(
            [TOOL, "report", testdata("rinex2/arlm200a.15o"), "--nav", testdata("nav/arlm200a.15n"),
             "--quiet"], capture_output=True, text=True, timeout=300)
        self.assertEqual(outcome.returncode, 0, outcome.stderr)
        self.assertIn("elevations from " + testdata("nav/arlm200a.15n"), outcome.stdout)
        self.assertRegex(outcome.stdout, r"statistics cover the \d+ estimates at or above the 10 degree "
                                         r"cutoff; \d+ below it and \d+ without an elevation are left out")
        refused = subprocess.run(
            [TOOL, "report", testdata("rinex2/arlm200a.15o"), "--nav",
             testdata("nav/HERT00GBR_R_20240920000_01D_GN.rnx.gz"), "--quiet"],
            capture_output=True, text=True, timeout=300)
        self.assertEqual(refused.returncode, 1)
        self.assertEqual(len(refused.stderr.splitlines()), 1, refused.stderr)


if __name__ == "__main__":
    unittest.main()

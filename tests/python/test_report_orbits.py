"""The report's orbits: navigation and SP3 files together, coverage checks, and
per-signal statistics limited to the analyzer's elevation cutoff."""
import math
from array import array
import os
import subprocess
import sys
import types
import unittest

from nav_text import gps_day
from support import skyloam_mp as mp, testdata

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools", "report"))
from skyloam_report import cutoff_statistics, orbits  # noqa: E402
from skyloam_report.errors import ReportError  # noqa: E402

TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))


def columns_of(rows):
    """Result columns of (satellite, code, mp, elevation, azimuth) rows, grouped by label."""
    satellites, codes = sorted({r[0] for r in rows}), sorted({r[1] for r in rows})
    return {"satellite": array("i", [satellites.index(r[0]) for r in rows]),
            "signal": array("i", [codes.index(r[1]) for r in rows]), "mp": array("d", [r[2] for r in rows]),
            "elevation": array("d", [r[3] for r in rows]), "azimuth": array("d", [r[4] for r in rows]),
            "satellites": satellites, "signals": codes}


class CutoffStatistics(unittest.TestCase):
    def test_only_estimates_at_or_above_the_cutoff_count(self):
        statistics = [{"signal": "GALM5Q", "system": "E", "code": "C5Q", "count": 2, "rms": 9.0,
                       "cycle_slips": 0},
                      {"signal": "GPSM1C", "system": "G", "code": "C1C", "count": 5, "rms": 9.0,
                       "cycle_slips": 2}]
        columns = columns_of([("E01", "C5Q", 2.0, 3.0, 10.0), ("E01", "C5Q", 2.0, -1.0, 10.0),
                              ("G01", "C1C", 9.0, 5.0, 10.0), ("G01", "C1C", 1.0, 10.0, 10.0),
                              ("G01", "C1C", 9.0, 45.0, 0.0),  # no orbit reached it
                              ("G01", "C1C", -1.0, 45.0, 10.0), ("G02", "C1C", 3.0, 60.0, 10.0)])
        rows, counts = cutoff_statistics.statistics_at_or_above_cutoff(columns, statistics, 10.0)
        self.assertEqual(counts, {"cutoff": 10.0, "kept": 3, "below_cutoff": 3, "without_elevation": 1})
        self.assertEqual([r["signal"] for r in rows], ["GPSM1C"])
        gps = rows[0]
        self.assertEqual((gps["count"], gps["cycle_slips"], gps["min"], gps["max"]), (3, 2, -1.0, 3.0))
        self.assertAlmostEqual(gps["mean"], 1.0)
        self.assertAlmostEqual(gps["rms"], math.sqrt(11.0 / 3))
        self.assertAlmostEqual(gps["std_dev"], math.sqrt(8.0 / 3))
        weight = 1.0 / (4.0 * math.sin(math.radians(10.0)) ** 2)
        self.assertAlmostEqual(gps["weighted_rms"], math.sqrt((weight + 1.0 + 9.0) / (weight + 2.0)))

    def test_the_cutoff_is_the_analyzers(self):
        self.assertEqual(cutoff_statistics.analyzer_cutoff(), 10.0)
        self.assertEqual(cutoff_statistics.analyzer_cutoff({"elevation_cutoff": 5}), 5.0)


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

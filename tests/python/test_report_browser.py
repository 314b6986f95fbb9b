"""The HTML report opened in headless chromium from a file URL with networking
off: no exception or console error, every chart drawn with series of the
expected types and data, canvases not blank, tooltips on hover, zoom and PNG
export, and a screenshot saved under the build folder (look at them). Skips
when chromium is not installed."""
import contextlib
import io
import os
import sqlite3
import subprocess
import sys
import tempfile
import unittest

from report_support import ROOT
from skyloam_report import network_queries
from skyloam_report.browser import Browser, find_browser
from support import TESTDATA

sys.path[:0] = [os.path.join(ROOT, "tools"), os.path.join(ROOT, "tests", "report")]
import generate_sample  # noqa: E402
from network_support import generate_station_days, run_tool, write_listing  # noqa: E402

TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))
SCREENSHOTS = os.environ.get("SKYLOAM_SCREENSHOTS", os.path.join(ROOT, "build", "screenshots"))
EXPECTED = {"signal-rms": {"bar"}, "sky-plot": {"custom", "scatter"},
            "multipath-elevation": {"scatter", "line"}, "multipath-time": {"line", "scatter"},
            "tracking": {"custom", "scatter"}, "snr-elevation": {"scatter", "line"},
            "snr-scalogram": {"line", "heatmap"}, "snr-band-power": {"heatmap"},
            "fresnel-zones": {"line", "scatter"}}
NEEDS_ELEVATIONS = {"sky-plot", "multipath-elevation", "snr-elevation", "fresnel-zones"}
ESBC = ("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", "sp3/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3")
ESBC_NAV = "nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz"
NETWORK_EXPECTED = {"network-rms": {"line", "scatter"}, "network-signals": {"heatmap"},
                    "network-completeness": {"bar", "scatter"}}
NETWORK_DAYS = [("ABCD00DEU", f"2024-03-0{d}", 50.0, 5.0) for d in (1, 2, 3)] + [
    ("WXYZ00ITA", "2024-03-01", 40.0, 20.0)]


def generate(folder, hours):
    with contextlib.redirect_stdout(io.StringIO()):
        generate_sample.main(["--out", folder, "--duration", str(hours * 3600), "--interval", "30"])
    return os.path.join(folder, "SKYL.rnx"), os.path.join(folder, "SKYL.sp3")


class ReportInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if find_browser() is None:
            raise unittest.SkipTest("chromium is not installed (tools/setup/install-deps web installs it)")
        cls.folder = tempfile.TemporaryDirectory()
        cls.browser = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.folder.cleanup()

    def page_of(self, name, *arguments):
        page = os.path.join(self.folder.name, f"{name}.html")
        outcome = subprocess.run([TOOL, "report", *arguments, "--html", page, "--quiet"],
                                 capture_output=True, text=True, timeout=600)
        self.assertEqual(outcome.returncode, 0, outcome.stderr)
        self.assertLess(os.path.getsize(page), 5_000_000)
        return page

    def visit(self, name, page, expected):
        visit = self.browser.open_page(page)
        self.assertEqual(visit.errors, [])
        os.makedirs(SCREENSHOTS, exist_ok=True)
        handle, picture = tempfile.mkstemp(prefix=f"{name}-", suffix=".png", dir=SCREENSHOTS)
        os.close(handle)
        self.browser.screenshot(visit, picture)
        self.assertGreater(os.path.getsize(picture), 50_000)
        charts = {c["id"]: c for c in visit.charts}
        self.assertEqual(set(charts), set(expected))
        for chart_id, types in expected.items():
            with self.subTest(chart=chart_id):
                series = charts[chart_id]["series"]
                self.assertEqual({s["type"] for s in series}, types)
                for kind in types:
                    self.assertTrue(any(s["length"] for s in series if s["type"] == kind), kind)
                self.assertGreater(charts[chart_id]["painted"], 0.01)
                self.assertGreater(charts[chart_id]["zooms"], 0)
                self.assertTrue(charts[chart_id]["exportsPng"])
                tips = charts[chart_id]["tips"]
                self.assertTrue(any(tips), "no tooltip on hover")
                self.assertFalse([t for t in tips if t.startswith("error")])
        return visit

    def test_sample_day_with_orbits(self):
        obs, sp3 = generate(os.path.join(self.folder.name, "day"), 24)
        self.visit("sample-day", self.page_of("day", obs, "--sp3", sp3), EXPECTED)

    def test_real_file_with_orbits(self):
        if not os.path.isdir(TESTDATA):
            self.skipTest(f"shared test data not found at {TESTDATA}")
        obs, sp3 = (os.path.join(TESTDATA, p) for p in ESBC)
        self.visit("esbc", self.page_of("esbc", obs, "--sp3", sp3), EXPECTED)

    def test_real_file_with_its_navigation_file(self):
        if not os.path.isdir(TESTDATA):
            self.skipTest(f"shared test data not found at {TESTDATA}")
        obs, nav = os.path.join(TESTDATA, ESBC[0]), os.path.join(TESTDATA, ESBC_NAV)
        page = self.page_of("esbc-nav", obs, "--nav", nav)
        self.visit("esbc-nav", page, EXPECTED)
        with open(page, encoding="utf-8") as f:
            self.assertIn(f"from {nav}:", f.read())

    def test_network_report_of_a_few_station_days(self):
        folder = os.path.join(self.folder.name, "network")
        inputs, sp3_dir = generate_station_days(folder, NETWORK_DAYS)
        if os.path.isdir(TESTDATA):
            inputs.append(os.path.join(TESTDATA, "rinex2", "ZIMM2350.15O"))  # GPS only: fewer signals
        listing = write_listing(folder, inputs + [os.path.join(folder, "missing.rnx")])
        results, db, page = (os.path.join(folder, n) for n in ("results", "network.sqlite", "network.html"))
        batch = run_tool("batch", listing, "--out", results, "--sp3-dir", sp3_dir, "--quiet")
        self.assertEqual(batch.returncode, 1, batch.stderr)  # the missing input
        self.assertEqual(run_tool("merge", results, "--db", db, "--quiet").returncode, 0)
        # With three days of a station, its worst one stands out at a factor just above 1.
        made = run_tool("network-report", "--db", db, "--html", page, "--factor", "1.001", "--quiet")
        self.assertEqual(made.returncode, 0, made.stderr)
        visit = self.visit("network", page, NETWORK_EXPECTED)
        index, signals = self._last_station(db)
        series, errors = self.browser.choose(visit, "network-rms", index)
        self.assertEqual(errors, [])
        self.assertEqual(sorted(s["name"] for s in series if s["length"]), sorted(signals * 2))
        series, _ = self.browser.choose(visit, "network-rms", 0)  # back to the one with marks
        self.assertEqual([(s["type"], s["name"]) for s in series if s["type"] != "line"], [("scatter", "stands out")])
        self.assertTrue(series[-1]["length"])

    @staticmethod
    def _last_station(db):
        """(index, signals) of the last station in the chooser."""
        with contextlib.closing(sqlite3.connect(db)) as connection:
            names = network_queries.stations(connection)
            return len(names) - 1, list(network_queries.signal_series(connection, names[-1]))

    def test_without_orbits_the_page_says_so(self):
        obs, _ = generate(os.path.join(self.folder.name, "short"), 3)
        page = self.page_of("short", obs)
        self.visit("no-orbits", page, {k: v for k, v in EXPECTED.items() if k not in NEEDS_ELEVATIONS})
        with open(page, encoding="utf-8") as f:
            self.assertEqual(f.read().count("No elevations were computed"), 4)


if __name__ == "__main__":
    unittest.main()

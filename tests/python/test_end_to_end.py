"""The main job end to end: a generated sample day, the report tool, and the generator's truth."""
import csv
import json
import os
import subprocess
import sys
import tempfile
import unittest

from support import testdata

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
import generate_sample  # noqa: E402

TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))


def run_tool(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=300)


class SampleDay(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        out = cls.folder.name
        with open(os.devnull, "w") as quiet:
            stdout, sys.stdout = sys.stdout, quiet
            try:
                generate_sample.main(["--out", out, "--duration", "86400", "--interval", "30"])
            finally:
                sys.stdout = stdout
        with open(os.path.join(out, "SKYL_truth.json")) as f:
            cls.truth = json.load(f)
        cls.obs = os.path.join(out, "SKYL.rnx")
        cls.sp3 = os.path.join(out, "SKYL.sp3")
        cls.json_path = os.path.join(out, "report.json")
        cls.csv_dir = os.path.join(out, "csv")
        cls.outcome = run_tool("report", cls.obs, "--sp3", cls.sp3, "--json", cls.json_path,
                           "--csv", cls.csv_dir)
        with open(cls.json_path) as f:
            cls.report = json.load(f)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_report_runs_and_reads_well(self):
        self.assertEqual(self.outcome.returncode, 0, self.outcome.stderr)
        for heading in ("Observation file", "Code multipath per signal", "Cycle slips:",
                        "SNR band power"):
            self.assertIn(heading, self.outcome.stdout)
        self.assertIn("skyloam-mp: reading", self.outcome.stderr)

    def test_recovered_multipath_matches_the_injected_truth(self):
        recovered = {s["signal"]: s for s in self.report["statistics"]}
        self.assertEqual(set(recovered), set(self.truth["signals"]))
        for label, truth in self.truth["signals"].items():
            with self.subTest(label=label):
                self.assertLess(abs(recovered[label]["rms"] - truth["rms"]), 0.2 * truth["rms"])
                self.assertLess(abs(recovered[label]["weighted_rms"] - truth["weighted_rms"]),
                                0.2 * truth["weighted_rms"])

    def test_every_injected_slip_and_loss_of_lock_is_found(self):
        found = {(s["satellite"], s["epoch"], s["method"], s["signal"])
                 for s in self.report["cycle_slips"]}
        for slip in self.truth["cycle_slips"]:
            with self.subTest(slip=slip):
                hits = {(sat, epoch, signal) for sat, epoch, method, signal in found
                        if method == "gf"}
                phases = {(slip["satellite"], slip["epoch"], d["signal"])
                          for d in slip["expected_detections"]}
                self.assertTrue(phases & hits)
        for flag in self.truth["loss_of_lock"]:
            with self.subTest(flag=flag):
                self.assertIn((flag["satellite"], flag["epoch"], "lli", flag["phase"]), found)
        self.assertEqual(len(self.report["cycle_slips"]), self.truth["expected_slip_records"])

    def test_machine_readable_outputs(self):
        self.assertEqual(self.report["elevations"]["failed"], 0)
        # The statistics cover the estimates at or above the elevation cutoff.
        cutoff = self.report["elevations"]["cutoff"]
        self.assertEqual(cutoff["kept"], sum(s["count"] for s in self.report["statistics"]))
        self.assertEqual(len(self.report["estimates"]),
                         cutoff["kept"] + cutoff["below_cutoff"] + cutoff["without_elevation"])
        self.assertGreater(cutoff["below_cutoff"], 0)
        with open(os.path.join(self.csv_dir, "statistics.csv"), newline="") as f:
            rows = list(csv.DictReader(f))
        self.assertEqual([r["signal"] for r in rows], [s["signal"] for s in self.report["statistics"]])
        with open(os.path.join(self.csv_dir, "estimates.csv"), newline="") as f:
            header = next(csv.reader(f))
        self.assertEqual(header[:4], ["satellite", "system", "epoch", "signal"])

    def test_bad_input_gives_one_line_and_no_traceback(self):
        missing = run_tool("report", os.path.join(self.folder.name, "none.rnx"), "--quiet")
        garbage = os.path.join(self.folder.name, "garbage.rnx")
        with open(garbage, "wb") as f:
            f.write(b"\xff\xfe binary \x00 garbage\n" * 10)
        unreadable = run_tool("report", garbage, "--quiet")
        other_day = run_tool("report", self.obs, "--sp3", testdata("sp3/igs18590.sp3"), "--quiet")
        for result in (missing, unreadable, other_day):
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
            self.assertTrue(result.stderr.startswith("skyloam-mp: error: "), result.stderr)
            self.assertNotIn("Traceback", result.stderr)
        self.assertIn("File not found", missing.stderr)
        empty = os.path.join(self.folder.name, "empty.rnx")
        open(empty, "w").close()
        for not_observations in (self.sp3, testdata("nav/arlm200a.15n"), empty):
            with self.subTest(path=not_observations):
                result = run_tool("report", not_observations, "--quiet")
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
                self.assertIn("no observation epochs found in", result.stderr)
                self.assertIn("expected a RINEX 2, 3 or 4 observation file", result.stderr)
        self.assertIn("not the observations", other_day.stderr)
        self.assertEqual(run_tool("report", self.obs, "--receiver", "1,2").returncode, 2)


class Rinex2Sample(unittest.TestCase):
    def test_rinex2_sample_reports_its_signals(self):
        with tempfile.TemporaryDirectory() as out:
            with open(os.devnull, "w") as quiet:
                stdout, sys.stdout = sys.stdout, quiet
                try:
                    generate_sample.main(["--out", out, "--duration", "21600", "--rinex-version",
                                          "2.11", "--slips", "2", "--loss-of-lock", "1"])
                finally:
                    sys.stdout = stdout
            with open(os.path.join(out, "SKYL_truth.json")) as f:
                truth = json.load(f)
            obs = truth["files"]["observation"]
            result = run_tool("report", os.path.join(out, os.path.basename(obs)), "--quiet",
                              "--json", os.path.join(out, "r.json"))
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(os.path.join(out, "r.json")) as f:
                recovered = {s["signal"]: s["rms"] for s in json.load(f)["statistics"]}
            for label, signal in truth["signals"].items():
                self.assertLess(abs(recovered[label] - signal["rms"]), 0.2 * signal["rms"], label)


if __name__ == "__main__":
    unittest.main()

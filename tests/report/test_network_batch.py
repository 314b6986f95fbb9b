"""batch, merge and network-report end to end on generated and real station-days,
with broken inputs, a killed run and concurrent merges."""
import json
import os
import signal
import sqlite3
import subprocess
import tempfile
import time
import unittest

from network_support import TOOL, dump_database, make_inputs, run_tool


def _batch(listing, out, sp3_dir, nav_dir, *extra):
    return run_tool("batch", listing, "--out", out, "--sp3-dir", sp3_dir, "--nav-dir", nav_dir, *extra)


class NetworkBatch(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.work = cls.folder.name
        cls.listing, cls.sp3_dir, cls.nav_dir, cls.good, cls.broken = make_inputs(cls.work)
        cls.out = os.path.join(cls.work, "results")
        cls.first = _batch(cls.listing, cls.out, cls.sp3_dir, cls.nav_dir, "--jobs", "2")
        cls.db = os.path.join(cls.work, "network.sqlite")
        cls.merge = run_tool("merge", cls.out, "--db", cls.db, "--quiet")
        cls.tables = dump_database(cls.db)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def _station_days(self):
        with sqlite3.connect(self.db) as connection:
            connection.row_factory = sqlite3.Row
            return {row["file"]: row for row in connection.execute("SELECT * FROM station_days")}

    def test_broken_inputs_fail_with_their_reason_and_the_rest_completes(self):
        self.assertEqual(self.first.returncode, 1, self.first.stderr)
        self.assertIn(f"{len(self.good) + len(self.broken)} inputs: {len(self.good)} analysed, "
                      f"0 up to date, {len(self.broken)} failed", self.first.stdout)
        days = self._station_days()
        self.assertEqual(set(days), set(self.good + self.broken))
        for path in self.good:
            self.assertEqual(days[path]["status"], "ok", days[path]["error"])
        reasons = ["File not found", "no observation epochs found", "not contain valid UTF-8",
                   "no observation epochs found"]
        for path, reason in zip(self.broken, reasons):
            self.assertEqual(days[path]["status"], "failed")
            self.assertIn(reason, days[path]["error"])
        header_only = self.broken[3]
        self.assertEqual((days[header_only]["station"], days[header_only]["day"]), ("ZIMM", "2024-03-01"))

    def test_database_matches_single_file_reports(self):
        for path in self.good:
            with self.subTest(path=os.path.basename(path)):
                day = self._station_days()[path]
                report_json = os.path.join(self.work, os.path.basename(path) + ".json")
                arguments = ["--sp3", day["sp3"]] if day["sp3"] else []
                for nav in json.loads(day["nav"] or "[]"):
                    arguments += ["--nav", nav]
                done = run_tool("report", path, *arguments, "--json", report_json, "--quiet")
                self.assertEqual(done.returncode, 0, done.stderr)
                with open(report_json) as f:
                    report = json.load(f)
                expected = sorted((path, s["signal"], s["count"], s["mean"], s["std_dev"], s["rms"],
                                   s["weighted_rms"], s["cycle_slips"]) for s in report["statistics"])
                stored = sorted(row[:1] + row[3:4] + row[6:] for row in self.tables["signal_statistics"]
                                if row[0] == path)
                self.assertEqual(stored, expected)
                slips = sum(row[3] for row in self.tables["cycle_slips_by_method"] if row[0] == path)
                self.assertEqual(slips, len(report["cycle_slips"]))
                expected_source = "+".join(name for name in ("sp3", "nav") if day[name]) or "none"
                self.assertEqual(day["orbit_source"], expected_source)
        days = self._station_days()
        self.assertEqual([bool(days[p]["sp3"]) for p in self.good], [True, True, True, True, False])
        self.assertIn("arlm200a.15n", days[self.good[4]]["nav"])

    def test_rerun_skips_up_to_date_results_and_force_redoes_them(self):
        out = os.path.join(self.work, "rerun")
        _batch(self.listing, out, self.sp3_dir, self.nav_dir, "--jobs", "1", "--task-index", "0",
               "--task-count", "2", "--quiet")
        again = _batch(self.listing, out, self.sp3_dir, self.nav_dir, "--jobs", "1", "--task-index", "0",
                       "--task-count", "2", "--quiet")
        self.assertIn("5 inputs: 0 analysed, 3 up to date, 2 failed", again.stdout)
        forced = _batch(self.listing, out, self.sp3_dir, self.nav_dir, "--jobs", "1", "--force",
                        "--task-index", "0", "--task-count", "2", "--quiet", "--estimates")
        self.assertIn("5 inputs: 3 analysed, 0 up to date, 2 failed", forced.stdout)
        estimates = sorted(n for n in os.listdir(out) if n.endswith(".estimates.json"))
        with open(os.path.join(out, estimates[0])) as f:
            columns = json.load(f)
        self.assertTrue(estimates[0].startswith("ABCD00DEU"))
        self.assertEqual({len(values) for values in columns.values()}, {len(columns["mp_value"])})
        self.assertGreater(len(columns["mp_value"]), 1000)

    def test_killed_run_then_rerun_loses_and_duplicates_nothing(self):
        out = os.path.join(self.work, "killed")
        command = [TOOL, "batch", self.listing, "--out", out, "--sp3-dir", self.sp3_dir, "--jobs", "1",
                   "--nav-dir", self.nav_dir, "--quiet"]
        with subprocess.Popen(command, stdout=subprocess.DEVNULL, start_new_session=True) as run:
            deadline = time.monotonic() + 120
            while time.monotonic() < deadline and run.poll() is None and not (
                    os.path.isdir(out) and any(n.endswith(".result.json") for n in os.listdir(out))):
                time.sleep(0.05)
            os.killpg(run.pid, signal.SIGKILL)
        rerun = _batch(self.listing, out, self.sp3_dir, self.nav_dir, "--jobs", "2", "--quiet")
        self.assertEqual(rerun.returncode, 1)
        self.assertNotIn(" 0 up to date", rerun.stdout)
        self.assertEqual([n for n in os.listdir(out) if n.endswith(".tmp")], [])
        db = os.path.join(self.work, "killed.sqlite")
        run_tool("merge", out, "--db", db, "--quiet")
        self.assertEqual(dump_database(db), self.tables)

    def test_merging_again_and_concurrently_keeps_the_database_consistent(self):
        self.assertEqual(self.merge.returncode, 0, self.merge.stderr)
        self.assertIn(f"{len(self.good) + len(self.broken)} already in",
                      run_tool("merge", self.out, "--db", self.db, "--quiet").stdout)
        db = os.path.join(self.work, "concurrent.sqlite")
        merges = [subprocess.Popen([TOOL, "merge", self.out, "--db", db, "--quiet"],
                                   stdout=subprocess.PIPE, text=True) for _ in range(2)]
        self.assertEqual([m.wait(timeout=300) for m in merges], [0, 0])
        for m in merges:
            m.stdout.close()
        self.assertEqual(dump_database(db), self.tables)

    def test_network_report_page(self):
        page = os.path.join(self.work, "network.html")
        done = run_tool("network-report", "--db", self.db, "--html", page, "--quiet")
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(page) as f:
            text = f.read()
        for expected in ("ABCD00DEU", "WXYZ00ITA", "ZIMM", "GPSM1C", "Failed inputs", "MISS00DEU"):
            self.assertIn(expected, text)
        missing = run_tool("network-report", "--db", os.path.join(self.work, "none.sqlite"), "--html", page)
        self.assertEqual(missing.returncode, 1)


if __name__ == "__main__":
    unittest.main()

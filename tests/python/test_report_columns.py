"""The report gathers estimates from columns and writes the same files as from the object list."""
import csv
import io
import json
import os
import sys
import tempfile
import unittest

from test_columns import analyze, epochs

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "report"))
from skyloam_report.analysis import epoch_text  # noqa: E402
from skyloam_report.export import ESTIMATE_COLUMNS, write_csv, write_json  # noqa: E402

DAY_MS = 86_400_000


class EpochText(unittest.TestCase):
    def test_milliseconds_read_as_the_module_writes_epochs(self):
        cases = {
            0: "1970-01-01T00:00:00.000Z",
            -1: "1969-12-31T23:59:59.999Z",
            1705276800001: "2024-01-15T00:00:00.001Z",
            -719468 * DAY_MS: "0000-03-01T00:00:00.000Z",
            -719529 * DAY_MS + 1: "-0001-12-31T00:00:00.001Z",
            2932897 * DAY_MS - 1: "9999-12-31T23:59:59.999Z",
            2932897 * DAY_MS: "+10000-01-01T00:00:00.000Z",
        }
        for milliseconds, text in cases.items():
            self.assertEqual(epoch_text(milliseconds), text, milliseconds)


class EstimateFiles(unittest.TestCase):
    def test_files_hold_what_the_object_list_gives(self):
        results = analyze(epochs())
        report = {"columns": results.columns(), "slip_columns": results.slip_columns(),
                  "statistics": [], "cycle_slips": []}
        objects = [{"satellite": e.satellite, "system": e.system, "epoch": e.epoch,
                    "signal": e.signal, "mp_value": e.mp_value, "elevation": e.elevation,
                    "azimuth": e.azimuth, "snr": e.snr} for e in results.estimates]
        self.assertIn(None, [row["snr"] for row in objects])
        expected_csv = io.StringIO(newline="")
        writer = csv.DictWriter(expected_csv, fieldnames=ESTIMATE_COLUMNS)
        writer.writeheader()
        writer.writerows({k: "" if v is None else v for k, v in row.items()} for row in objects)
        expected_json = json.dumps({"estimates": objects, "statistics": [], "cycle_slips": []},
                                   indent=1) + "\n"
        with tempfile.TemporaryDirectory() as folder:
            write_csv(report, folder)
            write_json(report, os.path.join(folder, "report.json"))
            with open(os.path.join(folder, "estimates.csv"), newline="", encoding="utf-8") as f:
                self.assertEqual(f.read(), expected_csv.getvalue())
            with open(os.path.join(folder, "report.json"), encoding="utf-8") as f:
                self.assertEqual(f.read(), expected_json)


if __name__ == "__main__":
    unittest.main()

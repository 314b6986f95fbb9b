"""The network database: which result wins, and the queries of the network report."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "report"))
from skyloam_report import network_queries, store  # noqa: E402


def result(file, day, rms_by_signal, processed_at="2026-01-01T00:00:00", status="ok", epochs=2880):
    return {"input": {"file": file, "sha256": "00"}, "station": "ABCD00DEU", "day": day,
            "orbits": {"source": "none", "sp3": None, "nav": []}, "status": status, "error": None,
            "tool_version": "1", "processed_at": processed_at,
            "summary": {"first_epoch": day + "T00:00:00", "epochs": epochs, "interval": 30.0},
            "statistics": [{"signal": s, "system": "G", "code": "C1C", "count": 1000, "mean": 0.0,
                            "std_dev": rms, "rms": rms, "weighted_rms": rms / 2, "cycle_slips": 2}
                           for s, rms in rms_by_signal.items()],
            "cycle_slips_by_method": [{"system": "G", "method": "gf", "count": 2}],
            "snr_band_power": {"bands": [[60.0, 120.0]], "satellites": {"G01": {"code": "S1C",
                                                                                "mean_band_power": [1.5]}}}}


class Store(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.connection = store.connect(os.path.join(folder.name, "network.sqlite"))
        self.addCleanup(self.connection.close)

    def _rows(self, table):
        return self.connection.execute(f"SELECT * FROM {table} ORDER BY 1, 2, 3").fetchall()

    def test_only_a_newer_result_replaces_a_station_day_and_all_its_rows(self):
        old = result("/a.rnx", "2024-03-01", {"GPSM1C": 0.3, "GPSM2W": 0.4})
        new = result("/a.rnx", "2024-03-01", {"GPSM1C": 0.2}, processed_at="2026-01-02T00:00:00")
        self.assertEqual([store.store_result(self.connection, r) for r in (old, old, new, old, new)],
                         [True, False, True, False, False])
        self.assertEqual([(r[3], r[9]) for r in self._rows("signal_statistics")], [("GPSM1C", 0.2)])
        for table in ("station_days", "cycle_slips_by_method", "snr_band_power"):
            self.assertEqual(len(self._rows(table)), 1, table)

    def test_network_report_queries(self):
        days = [("2024-03-01", 0.10), ("2024-03-02", 0.11), ("2024-03-04", 0.50), ("2024-03-05", 0.12)]
        for day, rms in days:
            store.store_result(self.connection, result(f"/{day}.rnx", day, {"GPSM1C": rms}, epochs=1440))
        store.store_result(self.connection, result("/bad.rnx", "2024-03-06", {}, status="failed"))
        data = network_queries.station_data(self.connection, "ABCD00DEU", 2.0)
        self.assertEqual([(d["day"], round(d["ratio"], 3)) for d in data["standout_days"]],
                         [("2024-03-04", round(0.5 / 0.115, 3))])
        coverage = round(data["completeness"]["epoch_coverage"], 3)
        self.assertEqual(data["completeness"] | {"epoch_coverage": coverage},
                         {"station": "ABCD00DEU", "first_day": "2024-03-01", "last_day": "2024-03-06",
                          "days_ok": 4, "days_failed": 1, "days_missing": 1, "epoch_coverage": 0.5})
        [signal] = data["signals"]
        self.assertEqual((signal["days"], signal["slips_per_day"], signal["slips_per_1000"]), (4, 2.0, 2.0))
        self.assertAlmostEqual(signal["median_rms"], 0.115)
        self.assertEqual(network_queries.standout_days(
            {"GPSM1C": [{"day": "d", "rms": 9.0}, {"day": "e", "rms": 1.0}]}, 2.0), [])


if __name__ == "__main__":
    unittest.main()

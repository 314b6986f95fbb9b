"""The network database: which result wins, and the queries of the network report."""
import unittest

from network_support import compact_result as result, temporary_store
from skyloam_report import network_queries, store


class Store(unittest.TestCase):
    def setUp(self):
        self.connection = temporary_store(self)

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
        self.assertEqual(network_queries.network_summary(self.connection),
                         {"stations": 1, "days_ok": 4, "days_failed": 1, "first_day": "2024-03-01",
                          "last_day": "2024-03-06"})
        [signal] = data["signals"]
        self.assertEqual((signal["days"], signal["slips_per_day"], signal["slips_per_1000"]), (4, 2.0, 2.0))
        self.assertAlmostEqual(signal["median_rms"], 0.115)
        self.assertEqual(network_queries.standout_days(
            {"GPSM1C": [{"day": "d", "rms": 9.0}, {"day": "e", "rms": 1.0}]}, 2.0), [])


if __name__ == "__main__":
    unittest.main()

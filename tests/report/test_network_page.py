"""The network report page: thinned day lines, the station chooser's patches
and the sections, from a small database."""
import datetime
import math
import unittest

from network_support import compact_result, temporary_store
from skyloam_report import network_queries, store
from skyloam_report.network_page import DAY_MS, GAP_DAYS, day_line, day_ms, network_sections


NAN = math.nan


def iso(day_number):
    return (datetime.date(2024, 1, 1) + datetime.timedelta(days=day_number)).isoformat()


class DayLines(unittest.TestCase):
    def test_lines_break_at_long_gaps_keep_the_extremes_and_stay_within_their_budget(self):
        numbers = list(range(100)) + list(range(99 + GAP_DAYS, 110 + GAP_DAYS)) + list(range(200, 260))
        days = [{"day": iso(n), "rms": 1.5 if n == 42 else 0.01 * (n % 7)} for n in numbers]
        days.insert(5, {"day": iso(300), "rms": None})
        line = day_line(days, "rms", 30)
        runs = [[]]
        for point in line:
            runs.append([]) if point is None else runs[-1].append(point)
        self.assertEqual(len(runs), 2)
        self.assertLessEqual(runs[0][-1][0], day_ms(iso(109 + GAP_DAYS)))
        self.assertGreaterEqual(runs[1][0][0], day_ms(iso(200)))
        self.assertLessEqual(len(line) - 1, 30)
        self.assertIn([day_ms(iso(42)), 1.5], line)
        self.assertEqual(day_ms("1970-01-02"), DAY_MS)
        self.assertEqual(day_line([{"day": iso(1), "rms": None}, {"day": iso(2), "rms": NAN}], "rms", 30), [])


class NetworkSections(unittest.TestCase):
    def setUp(self):
        self.connection = temporary_store(self)

    def sections(self, results, factor=2.0):
        for r in results:
            store.store_result(self.connection, r)
        return {s.title: s for s in network_sections(network_queries.network_data(self.connection, factor))}

    def test_station_chooser_patches_fit_every_station_and_open_on_the_worst_day(self):
        rms = [0.1, 0.11, 0.12, 0.5]
        results = [compact_result(f"/a{n}", iso(n), {"GPSM1C": v, "GPSM2W": v}, station="AAAA") for n, v in
                   enumerate(rms)]
        results += [compact_result(f"/b{n}", iso(n), {"GPSM1C": 0.2}, station="BBBB") for n in range(3)]
        results += [compact_result("/c", iso(0), {}, status="failed", station="CCCC")]
        sections = self.sections(results)
        [chart] = sections["Multipath over time"].charts
        ids = [s["id"] for s in chart.option["series"]]
        self.assertEqual(ids, ["rms-0", "rms-1", "weighted_rms-0", "weighted_rms-1", "standout"])
        self.assertEqual(chart.choices.names, ["AAAA", "BBBB", "CCCC"])
        self.assertEqual(chart.choices.selected, 0)
        for patch, signals in zip(chart.choices.patches, (["GPSM1C", "GPSM2W"], ["GPSM1C"], [])):
            self.assertEqual([s["id"] for s in patch["series"]], ids)
            self.assertEqual(patch["legend"]["data"], signals + ["stands out"])
            self.assertEqual([bool(s["data"]) for s in patch["series"][:2]], [n < len(signals) for n in range(2)])
        self.assertEqual([m[1] for m in chart.choices.patches[0]["series"][-1]["data"]], [0.5, 0.5])
        self.assertIn("AAAA", sections["Station-days that stand out"].body)
        self.assertIn("/c", sections["Failed inputs"].body)

    def test_an_empty_database_gives_a_page_that_says_so(self):
        sections = self.sections([])
        self.assertEqual(list(sections), ["Network", "Failed inputs"])
        self.assertIn("no station-days", sections["Network"].body)


if __name__ == "__main__":
    unittest.main()

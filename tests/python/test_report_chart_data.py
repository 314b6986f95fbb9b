"""Data preparation of the HTML report: thinning, arcs, binning per chart,
the antenna height from the header, and the estimate-column adapter."""
import math
import unittest
from array import array

from report_support import NAN, arcs_of, columns_of
from test_columns import analyze, epochs
from skyloam_report.antenna import header_antenna_height
from skyloam_report.arcs import signal_spans
from skyloam_report.columns import report_columns
from skyloam_report.elevation_charts import elevation_bins
from skyloam_report.fresnel_chart import crossing_azimuths, ellipse
from skyloam_report.sky_chart import sky_cells
from skyloam_report.snr_charts import LEVELS, heatmap_rows
from skyloam_report.thinning import envelope, mean_by_key, rms_by_key, stride_for
from skyloam_report.tracking_chart import gaps_between, tracked_spans


class Thinning(unittest.TestCase):
    def test_stride_leaves_at_most_the_limit(self):
        for count, limit, stride in [(0, 10, 1), (10, 10, 1), (11, 10, 2), (1_000_000, 50_000, 20)]:
            with self.subTest(count=count, limit=limit):
                self.assertEqual(stride_for(count, limit), stride)
                self.assertLessEqual(len(range(0, count, stride)), max(limit, 1))

    def test_envelope_keeps_every_spike_in_time_order(self):
        values = [0.0] * 1000
        values[123], values[777] = 5.0, -4.0
        kept = envelope(values, 20)
        self.assertLessEqual(len(kept), 20)
        self.assertEqual(kept, sorted(kept))
        self.assertIn(123, kept)
        self.assertIn(777, kept)
        self.assertEqual(envelope([1.0, 2.0], 20), [0, 1])

    def test_statistics_by_key_skip_missing_keys_and_values(self):
        keys = ["a", "a", None, "b", "b"]
        values = [3.0, 4.0, 100.0, NAN, 2.0]
        self.assertEqual(rms_by_key(keys, values), {"a": (math.sqrt(12.5), 2), "b": (2.0, 1)})
        self.assertEqual(mean_by_key(keys, values), {"a": (3.5, 2), "b": (2.0, 1)})


class Arcs(unittest.TestCase):
    ROWS = [(0, 0, 0, 0.0, 0.1, 10, 0, 40), (0, 0, 0, 30.0, 0.2, 11, 0, 41),
            (0, 1, 1, 0.0, 0.3, 20, 90, 42), (1, 0, 0, 0.0, 0.4, 30, 180, 43),
            (1, 0, 0, 30.0, 0.5, 31, 180, 44)]

    def test_signal_spans_cover_each_signals_arcs(self):
        arcs = arcs_of(columns_of(self.ROWS))
        self.assertEqual([(a.signal, a.satellite, a.start, a.stop) for a in arcs],
                         [(0, 0, 0, 2), (0, 1, 2, 3), (1, 0, 3, 5)])
        self.assertEqual(signal_spans(arcs), {0: (0, 3), 1: (3, 5)})


class ChartBins(unittest.TestCase):
    def test_sky_cells_bin_by_direction_and_need_three_values(self):
        elevations = [12.0, 14.9, 10.0, 90.0, 45.0, NAN, -1.0]
        azimuths = [359.0, 355.0, -5.0, 0.0, 45.0, 10.0, 10.0]
        values = [1.0, 1.0, 1.0, 2.0, 3.0, 4.0, 5.0]
        # 359, 355 and -5 degrees share the cell 350-360; 90 degrees is the top row.
        self.assertEqual(sky_cells(elevations, azimuths, values), [[10, 350, 1.0, 3]])
        self.assertEqual(sky_cells([90.0] * 3, [0.0] * 3, [2.0] * 3), [[85, 0, 2.0, 3]])

    def test_elevation_bins_give_centre_statistic_and_count(self):
        bins = elevation_bins([1.0, 4.0, 7.0, NAN, 95.0], [3.0, 4.0, 1.0, 9.0, 9.0], rms_by_key)
        self.assertEqual(bins, [[2.5, round(math.sqrt(12.5), 4), 2], [7.5, 1.0, 1]])

    def test_tracked_spans_merge_and_gaps_stay_inside_a_pass(self):
        spans = tracked_spans([(100, 200), (0, 50), (230, 300), (9000, 9100)], join=45)
        self.assertEqual(spans, [[0, 50], [100, 300], [9000, 9100]])
        self.assertEqual(gaps_between(spans), [(50, 100)])

    def test_crossing_azimuths_rising_setting_across_north_and_at_track_ends(self):
        track = [(2.0, 350.0), (8.0, 10.0), (30.0, 40.0), (8.0, 90.0), (2.0, 100.0)]
        self.assertEqual(crossing_azimuths(track, 5.0), {0.0, 100.0})
        self.assertEqual(crossing_azimuths(track, 50.0), set())
        self.assertEqual(crossing_azimuths([(12.0, 33.0), (40.0, 60.0), (20.0, 96.0)], 10.0), {30.0, 100.0})

    def test_ellipse_is_centred_towards_its_azimuth(self):
        points = ellipse(90.0, 3.0, 1.0, 10.0)
        easts = [p[0] for p in points]
        norths = [p[1] for p in points]
        self.assertAlmostEqual(min(easts), 7.0)
        self.assertAlmostEqual(max(easts), 13.0)
        self.assertAlmostEqual(max(norths), 1.0, places=2)

    def test_heatmap_rows_encode_one_character_per_cell(self):
        rows, lowest = heatmap_rows([[0, None, 5], [-100, 3, None]])
        self.assertEqual(lowest, 5 - len(LEVELS) + 1)
        self.assertEqual(rows[0][1], ".")
        self.assertEqual([LEVELS.index(c) + lowest for c in rows[0] if c != "."], [0, 5])
        self.assertEqual(rows[1][0], LEVELS[0])


class AntennaHeight(unittest.TestCase):
    def test_height_from_the_header(self):
        def line(content, label):
            return f"{content:<60}{label}\n"
        delta = line("        1.5000        0.0000        0.0000", "ANTENNA: DELTA H/E/N")
        end = line("", "END OF HEADER")
        cases = [([delta, end], 1.5), ([end, delta], None), ([end], None),
                 ([line("  bad", "ANTENNA: DELTA H/E/N"), end], None),
                 ([line("CRINEX", "CRINEX VERS   / TYPE"), delta, end], 1.5)]
        for lines, expected in cases:
            with self.subTest(lines=lines):
                self.assertEqual(header_antenna_height(iter(lines)), expected)


class ReportColumns(unittest.TestCase):
    def report(self, elevations):
        results = analyze(epochs())
        statistics = [{"signal": s.signal, "system": s.system, "code": s.code} for s in results.statistics]
        return results, {"columns": results.columns(), "slip_columns": results.slip_columns(),
                         "statistics": statistics, "elevations": elevations}

    def test_arcs_are_the_runs_of_one_satellite_signal_and_arc(self):
        results, report = self.report(None)
        columns, arcs, slips = report_columns(report)
        expected, last = [], None
        for row, e in enumerate(results.estimates):
            label = {"G": "GPS", "E": "GAL"}[e.system] + "M" + e.signal[1:]
            key = (label, e.satellite)
            if key != last or (e.satellite, e.epoch) == ("G05", "2024-01-15T00:12:30.001Z"):
                expected.append([key, row, row + 1])
                last = key
            else:
                expected[-1][2] = row + 1
        got = [[(columns["signals"][a.signal], columns["satellites"][a.satellite]), a.start, a.stop]
               for a in arcs]
        self.assertEqual(got, expected)
        self.assertEqual([columns["mp"][row] for row in range(3)],
                         [e.mp_value for e in results.estimates[:3]])
        self.assertTrue(all(math.isnan(e) for e in columns["elevation"]))  # no orbits given
        self.assertEqual({columns["satellites"][s] for s in slips["satellite"]}, {"G05"})
        self.assertIn("L1C", slips["phase"])

    def test_placeholder_angles_become_missing(self):
        _, report = self.report({"computed": 1, "failed": 1})
        report["columns"] = dict(report["columns"], elevation=array("d", [45.0, 45.0, 12.0]),
                                 azimuth=array("d", [0.0, 90.0, 0.0]))
        columns = report_columns(report)[0]
        self.assertTrue(math.isnan(columns["elevation"][0]) and math.isnan(columns["azimuth"][0]))
        self.assertEqual(list(columns["elevation"][1:]), [45.0, 12.0])


if __name__ == "__main__":
    unittest.main()

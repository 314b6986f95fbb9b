"""The HTML report's charts from estimate columns: bounded marks on long days,
time bases, and the SNR spectra's layout."""
import gzip
import math
import os
import random
import tempfile
import unittest

from report_support import NAN, arcs_of, columns_of
from skyloam_report.antenna import AntennaHeight, antenna_height
from skyloam_report.arcs import median_step
from skyloam_report.elevation_charts import multipath_elevation_chart, snr_elevation_chart
from skyloam_report.html_report import elevation_note, page_span
from skyloam_report.sky_chart import satellite_tracks, sky_chart
from skyloam_report.summary_section import summary_rows
from skyloam_report.snr_charts import band_power_grid, longest_arc, scalogram_view
from skyloam_report.time_series_chart import time_series_chart
from skyloam_report.tracking_chart import tracking_chart

MARKS_PER_CHART = 50_000
NO_SLIPS = {"time": [], "satellite": [], "method": [], "phase": []}


def long_day(satellites=12, signals=3, seconds=86400, step=4):
    """Estimate columns of satellites passing overhead every 6 hours, one arc a pass."""
    rows, rng = [], random.Random(7)
    for signal in range(signals):
        for sat in range(satellites):
            for t in range(sat * 600, seconds, step):
                phase = (t % 21600) / 21600
                if phase < 0.5:
                    rows.append((signal, sat, sat * 10 + t // 21600, float(t), rng.gauss(0, 0.3),
                                 90 * math.sin(math.pi * 2 * phase), (t / 240 + 30 * sat) % 360, 45.0))
    return columns_of(rows, [f"G{s + 1:02d}" for s in range(satellites)],
                      [f"GPSM{b}C" for b in range(1, signals + 1)])


def marks(chart):
    def length(data):
        return len(data) if isinstance(data, list) else 0
    shown = sum(length(s.get("data")) for s in chart.option["series"])
    chosen = max((sum(length(s.get("data")) for s in patch.get("series", []))
                  for patch in chart.choices.patches), default=0) if chart.choices else 0
    return max(shown, chosen)


class LongDays(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.columns = long_day()
        cls.arcs = arcs_of(cls.columns)
        cls.step = median_step(cls.columns["time"], cls.arcs)

    def test_every_chart_stays_under_the_mark_budget(self):
        self.assertGreater(len(self.columns["time"]), 300_000)
        t0, last = page_span(self.columns, self.arcs, NO_SLIPS, {"residuals": {}})
        tracks = satellite_tracks(self.columns, self.arcs, self.step)
        charts = [sky_chart(self.columns, self.arcs, tracks), multipath_elevation_chart(self.columns, self.arcs),
                  snr_elevation_chart(self.columns, self.arcs),
                  time_series_chart(self.columns, NO_SLIPS, self.arcs, t0, last),
                  tracking_chart(self.columns, NO_SLIPS, self.arcs, t0, self.step, last)]
        for chart in charts:
            with self.subTest(chart=chart.id):
                self.assertLess(marks(chart), MARKS_PER_CHART)
                self.assertGreater(marks(chart), 0)

    def test_the_legend_opens_on_a_signal_with_data(self):
        columns = dict(self.columns, elevation=[NAN if s == 0 else e for s, e in
                                                 zip(self.columns["signal"], self.columns["elevation"])])
        chart = multipath_elevation_chart(columns, self.arcs)
        selected = [name for name, shown in chart.option["legend"]["selected"].items() if shown]
        self.assertEqual(len(selected), 1)
        self.assertNotEqual(selected[0], "GPSM1C")

    def test_page_span_and_missing_elevations(self):
        t0, last = page_span(self.columns, self.arcs, {"time": [-5.5], "satellite": [0], "method": ["gf"],
                                                        "phase": ["L1C"]}, {"residuals": {}})
        self.assertEqual((t0, last), (-6, math.ceil(max(self.columns["time"]) + 6)))
        self.assertIsNone(elevation_note({"elevations": {"computed": 1}}))
        self.assertIn("no orbits given, see --sp3 and --nav", elevation_note({"elevations": None}))
        self.assertIn("any estimate", elevation_note({"elevations": {"computed": 0}}))

    def test_summary_says_which_estimates_the_statistics_cover(self):
        summary = {"file": "f", "version": 3.04, "marker": "M", "receiver": "", "antenna": "",
                   "geodetic": None, "interval": 30.0, "epochs": 1, "first_epoch": "a",
                   "last_epoch": "b", "satellites": 1, "satellites_by_system": {"G": 1}}
        elevations = {"nav": ["n.rnx"], "sp3": None, "computed": 9, "failed": 1,
                      "cutoff": {"cutoff": 10.0, "kept": 7, "below_cutoff": 2, "without_elevation": 1}}
        antenna = AntennaHeight(2.0, "header")
        rows = dict(summary_rows(summary, elevations, antenna))
        self.assertEqual(rows["statistics"], "the 7 estimates at or above the 10 degree cutoff; "
                                             "2 below it and 1 without an elevation are left out")
        self.assertNotIn("statistics", dict(summary_rows(summary, None, antenna)))


class SnrSpectra(unittest.TestCase):
    def test_longest_arc_is_cut_from_its_start(self):
        times = [float(t) for t in list(range(0, 100)) + list(range(1000, 4000))]
        self.assertEqual(longest_arc(times, 1.0), slice(100, 100 + 2048))
        self.assertEqual(longest_arc([], 1.0), slice(0, 0))

    def test_scalogram_view_thins_columns_and_periods(self):
        scalogram = {"t": list(range(100)), "periods": [10.0, 20.0, 40.0, 80.0, 160.0],
                     "power": [[1.0] * 100 for _ in range(5)], "significance": [2.0] * 5}
        view = scalogram_view(scalogram, offset=1000.0)
        self.assertEqual(view["times"][:2], [1000.0, 1003.0])
        self.assertEqual(view["periods"], ["10 s", "40 s", "2.67 min"])
        self.assertEqual([len(r) for r in view["rows"]], [len(view["times"])] * 3)
        self.assertEqual(view["rows"][0][0], 0)  # log10(1) in tenths

    def test_band_power_bins_share_one_time_axis_across_satellites(self):
        snr = {"bands": [[60, 120]],
               "residuals": {"G01": {"t0": 1000.0}, "G02": {"t0": 1500.0}},
               "band_power": {"G01": {"t": [0.0, 500.0], "power": [[10.0, 100.0]]},
                              "G02": {"t": [0.0], "power": [[1000.0]]}}}
        starts, satellites, grids = band_power_grid(snr, t0=1000, bins=2)
        self.assertEqual(satellites, ["G01", "G02"])
        self.assertEqual(starts, [0.0, 250.0])
        self.assertEqual(grids[0], [[10, 20], [None, 30]])


class AntennaHeightOfFiles(unittest.TestCase):
    def test_plain_and_gzip_headers(self):
        header = (f"{'        0.8125        0.0000        0.0000':<60}ANTENNA: DELTA H/E/N\n"
                  f"{'':<60}END OF HEADER\n")
        with tempfile.TemporaryDirectory() as folder:
            plain, packed = os.path.join(folder, "a.rnx"), os.path.join(folder, "a.rnx.gz")
            with open(plain, "w") as f:
                f.write(header)
            with gzip.open(packed, "wt") as f:
                f.write(header)
            self.assertEqual(antenna_height(plain), 0.8125)
            self.assertEqual(antenna_height(packed), 0.8125)
            self.assertIsNone(antenna_height(os.path.join(folder, "missing.rnx")))


if __name__ == "__main__":
    unittest.main()

"""Many threads on shared objects: same answers as one thread, and the documented borrow conflicts.

Eight entry points release the interpreter lock. While one of them runs,
other threads call into the same objects; results must be exactly those of a
single-threaded run. The one writer, AnalysisResults.compute_elevations,
holds its results exclusively: readers meanwhile get RuntimeError "Already
mutably borrowed", a second writer "Already borrowed", and nothing else.
"""
import os
import tempfile
import threading
import time
import unittest

import workload
from nav_text import gps_day
from support import skyloam_mp as mp

THREADS = 8
ROUNDS = 4
# Conflict tests run until a conflict is seen, within these bounds.
CONFLICT_ATTEMPTS = 400
CONFLICT_SECONDS = 60.0


def estimate_rows(results):
    return [(e.satellite, e.signal, e.epoch, e.mp_value, e.elevation, e.azimuth, e.snr)
            for e in results.estimates]


def statistics_rows(results):
    return [(s.signal, s.count, s.rms, s.mean, s.std_dev, s.weighted_rms, s.cycle_slips)
            for s in results.statistics]


def run_threads(count, work):
    """Runs work(index) on `count` threads started together; re-raises the first failure."""
    barrier = threading.Barrier(count)
    failures = []

    def body(index):
        try:
            barrier.wait()
            work(index)
        except BaseException as error:  # noqa: BLE001 - reported to the main thread
            failures.append(error)

    threads = [threading.Thread(target=body, args=(i,)) for i in range(count)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if failures:
        raise failures[0]


class SharedData(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.obs_bytes, cls.obs_path, sp3_path = workload.write_day(cls.dir.name, 720, 6)
        cls.obs = mp.read_rinex_obs(cls.obs_path)
        cls.sp3 = mp.read_sp3(sp3_path)
        cls.nav_bytes = gps_day(workload.satellites(6), date=(2015, 8, 23), toe_of_day=0.0).encode()
        cls.nav = mp.read_rinex_nav_bytes(cls.nav_bytes, "brdc2350.15n")
        cls.analyzer = mp.MultipathAnalyzer(cls.obs)
        cls.series = cls.obs.get_snr_series("G01", "S1C")[0]
        cls.reference = cls.compute_all()

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    @classmethod
    def compute_all(cls):
        """Every computation the threads repeat, run once on this thread."""
        results = cls.analyzer.analyze()
        filled = results.compute_elevations(cls.sp3, workload.RECEIVER)
        epoch = mp.Epoch(2015, 8, 23, 3, 0, 0.0)
        dt = 30.0
        return {
            "read": repr(mp.read_rinex_obs(cls.obs_path)),
            "read_bytes": repr(mp.read_rinex_obs_bytes(cls.obs_bytes, "day.rnx")),
            "satellites": [s.id for s in cls.obs.satellites()],
            "snr": [(s.code, s.times, s.values) for s in cls.obs.get_snr_series("G02")],
            "estimates": estimate_rows(results),
            "statistics": statistics_rows(results),
            "filled": filled,
            "elevation": [mp.compute_elevation(cls.sp3, workload.RECEIVER, sat, epoch)
                          for sat in cls.sp3.satellites()],
            "nav_read": repr(mp.read_rinex_nav_bytes(cls.nav_bytes, "brdc2350.15n")),
            "nav_filled": cls.analyzer.analyze().compute_elevations(cls.nav, workload.RECEIVER),
            "nav_elevation": [mp.compute_elevation(cls.nav, workload.RECEIVER, sat, epoch)
                              for sat in cls.nav.satellites()],
            "wavelets": mp.analyze_snr_wavelets(cls.obs),
            "cwt": mp.morlet_cwt(cls.series.values, dt),
            "band_power": mp.band_power(cls.series.values, dt, mp.period_bands(dt)),
            "scalogram": mp.scalogram(cls.series.times, cls.series.values, dt),
        }

    def test_reference_is_not_trivial(self):
        self.assertGreater(len(self.reference["estimates"]), 1000)
        self.assertGreater(self.reference["filled"][0], 0)
        self.assertTrue(self.reference["wavelets"]["band_power"])

    def test_threads_sharing_every_object_get_single_threaded_results(self):
        mismatches = []

        def work(index):
            for _ in range(ROUNDS):
                got = self.compute_all()
                for key, expected in self.reference.items():
                    if got[key] != expected:
                        mismatches.append((index, key))

        run_threads(THREADS, work)
        self.assertEqual(mismatches, [])

    def test_reads_of_different_files_and_bytes_in_parallel(self):
        names = [os.path.join(self.dir.name, f"copy{i}.rnx") for i in range(THREADS)]
        for name in names:
            with open(name, "wb") as f:
                f.write(self.obs_bytes)
        reads = {}

        def work(index):
            data = mp.read_rinex_obs(names[index])
            from_bytes = mp.read_rinex_obs_bytes(self.obs_bytes, f"thread{index}.rnx")
            reads[index] = (repr(data), repr(from_bytes), data.num_epochs, from_bytes.num_epochs)

        run_threads(THREADS, work)
        expected = repr(self.obs)
        self.assertEqual(set(reads.values()),
                         {(expected, expected, self.obs.num_epochs, self.obs.num_epochs)})


class BorrowConflicts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        _, obs_path, sp3_path = workload.write_day(cls.dir.name, 1440, 8)
        cls.sp3 = mp.read_sp3(sp3_path)
        obs = mp.read_rinex_obs(obs_path)
        cls.analyzer = mp.MultipathAnalyzer(obs)
        reference = cls.analyzer.analyze()
        reference.compute_elevations(cls.sp3, workload.RECEIVER)
        cls.reference = (estimate_rows(reference), statistics_rows(reference))

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def fill_until(self, results, seen, stop):
        """compute_elevations again and again until `seen()` or the bounds; returns its conflicts."""
        conflicts = []
        deadline = time.monotonic() + CONFLICT_SECONDS
        for _ in range(CONFLICT_ATTEMPTS):
            if seen() or time.monotonic() > deadline:
                break
            try:
                results.compute_elevations(self.sp3, workload.RECEIVER)
            except RuntimeError as error:
                conflicts.append(str(error))
        stop.set()
        return conflicts

    def test_readers_during_the_fill_see_already_mutably_borrowed(self):
        results = self.analyzer.analyze()
        stop = threading.Event()
        reader_errors = []
        reads = [0]

        def reader():
            getters = (lambda: results.estimates, lambda: results.statistics,
                       lambda: results.cycle_slips, lambda: results.cycle_slip_counts,
                       results.total_estimates, results.total_cycle_slips, lambda: repr(results),
                       results.columns, results.slip_columns)
            while not stop.is_set():
                for get in getters:
                    try:
                        get()
                        reads[0] += 1
                    except RuntimeError as error:
                        reader_errors.append(str(error))

        thread = threading.Thread(target=reader)
        thread.start()
        try:
            writer_errors = self.fill_until(results, lambda: bool(reader_errors), stop)
        finally:
            stop.set()
            thread.join()
        self.assertTrue(reader_errors, "no reader ran while the lock was released")
        self.assertEqual(set(reader_errors), {"Already mutably borrowed"})
        self.assertEqual(writer_errors, [])
        self.assertGreater(reads[0], 0)
        self.assertEqual((estimate_rows(results), statistics_rows(results)), self.reference)

    def test_a_second_fill_during_the_first_sees_already_borrowed(self):
        results = self.analyzer.analyze()
        stop = threading.Event()
        writer_errors = [[], []]

        def other_writer():
            while not stop.is_set():
                try:
                    results.compute_elevations(self.sp3, workload.RECEIVER)
                except RuntimeError as error:
                    writer_errors[1].append(str(error))

        thread = threading.Thread(target=other_writer)
        thread.start()
        try:
            writer_errors[0] = self.fill_until(
                results, lambda: bool(writer_errors[0] or writer_errors[1]), stop)
        finally:
            stop.set()
            thread.join()
        every_error = writer_errors[0] + writer_errors[1]
        self.assertTrue(every_error, "the two fills never overlapped")
        self.assertEqual(set(every_error), {"Already borrowed"})
        self.assertEqual((estimate_rows(results), statistics_rows(results)), self.reference)

    def test_estimates_taken_out_are_independent_of_the_fill(self):
        results = self.analyzer.analyze()
        estimates = results.estimates
        stop = threading.Event()

        def setter():
            while not stop.is_set():
                for estimate in estimates[:50]:
                    estimate.elevation = 12.5
                    estimate.azimuth = 270.0

        thread = threading.Thread(target=setter)
        thread.start()
        try:
            for _ in range(3):
                results.compute_elevations(self.sp3, workload.RECEIVER)
        finally:
            stop.set()
            thread.join()
        self.assertEqual({(e.elevation, e.azimuth) for e in estimates[:50]}, {(12.5, 270.0)})
        self.assertEqual(estimate_rows(results), self.reference[0])


if __name__ == "__main__":
    unittest.main()

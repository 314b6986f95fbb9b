"""AnalysisResults.columns() against the object list `estimates`, from Python.

    PYTHONPATH=build/python python3.12 bench/multipath/columns_bench.py [--hours H] [FILE ...]

Each observation file (default: the ESBC day of the shared test data) is
read; analyze() is timed (best of three) and its peak memory measured in a
forked child; then the best of three runs of: taking the columns,
building the object list, walking the objects' attributes, and turning the
numeric columns into Python lists. `--hours H` adds a synthetic 1 Hz sample
of H hours made by tools/generate_sample.py in a temporary folder (32 hours
give about ten million estimates; writing them takes a few minutes).
Prints figures only.
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import skyloam_mp as mp

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
ESBC = os.path.join(ROOT, "..", "shared", "testdata", "rinex3",
                    "ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz")
NUMERIC = ("time", "mp", "elevation", "azimuth", "snr", "satellite", "signal", "arc", "time_ms")


def best_seconds(work, runs=3):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        result = work()
        best = min(best, time.perf_counter() - start)
        del result
    return best


def walk(estimates):
    return [(e.satellite, e.epoch, e.signal, e.mp_value, e.elevation, e.azimuth, e.snr)
            for e in estimates]


def resident_megabytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGESIZE") >> 20


def print_analysis_peak(analyzer):
    """One analysis in a forked child, so that its peak is not the reading's."""
    sys.stdout.flush()
    child = os.fork()
    if child == 0:
        before = resident_megabytes()
        results = analyzer.analyze()
        peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss >> 10
        print(f"  analyze() peak memory: {before} MB resident before, max RSS {peak} MB"
              f" (+{peak - before} MB)", flush=True)
        os._exit(0 if results.total_estimates() >= 0 else 1)
    os.waitpid(child, 0)


def report(label, path):
    analyzer = mp.MultipathAnalyzer(mp.read_rinex_obs(path))
    print(f"{label}:")
    print_analysis_peak(analyzer)
    analysis_seconds = best_seconds(analyzer.analyze)
    results = analyzer.analyze()
    n = results.total_estimates()
    estimates = results.estimates
    figures = {
        "columns()": best_seconds(results.columns),
        "estimates (object list)": best_seconds(lambda: results.estimates),
        "walking the objects' attributes": best_seconds(lambda: walk(estimates)),
        "numeric columns to Python lists": best_seconds(
            lambda: [memoryview(c).tolist() for c in map(results.columns().get, NUMERIC)]),
    }
    print(f"  {n} estimates; analyze() {analysis_seconds * 1e3:.1f} ms")
    for what, seconds in figures.items():
        print(f"  {what:34s} {seconds * 1e3:10.3f} ms  {seconds * 1e9 / max(n, 1):7.1f} ns/estimate"
              f"  {seconds / figures['columns()']:7.1f} x columns()")


def synthetic_day(folder, hours):
    generator = os.path.join(ROOT, "tools", "generate_sample.py")
    subprocess.run([sys.executable, generator, "--out", folder, "--interval", "1",
                    "--duration", str(int(hours * 3600)), "--slips", "0"],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, "SKYL.rnx")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("files", nargs="*")
    parser.add_argument("--hours", type=float, default=0.0)
    options = parser.parse_args()
    files = options.files or ([ESBC] if os.path.exists(ESBC) else [])
    for path in files:
        report(os.path.basename(path), path)
    if options.hours > 0:
        with tempfile.TemporaryDirectory() as folder:
            report(f"synthetic {options.hours:g} h at 1 s", synthetic_day(folder, options.hours))


if __name__ == "__main__":
    main()

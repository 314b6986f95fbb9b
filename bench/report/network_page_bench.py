"""Speed and size of the network report page: prints figures, asserts nothing.

Fills a network database with synthetic station-days through the store module
(as merge would, without analysing files): per station a dozen signals of
three systems whose RMS drifts a little from day to day, now and then a day
of much larger RMS, a failed day and a day without a file. Then writes the
page with `network-report` and opens it in headless chromium.

    python3.12 bench/report/network_page_bench.py [--build build] [--stations 20] [--days 26]
                                                  [--keep DIR]

Default: 20 stations x 26 days, one day of each without a file: 500 station-days.
"""
import argparse
import datetime
import os
import random
import subprocess
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SIGNALS = [("G", "C1C", 0.30), ("G", "C2W", 0.35), ("G", "C5Q", 0.20), ("E", "C1C", 0.28), ("E", "C5Q", 0.18),
           ("E", "C7Q", 0.17), ("E", "C8Q", 0.12), ("R", "C1C", 0.45), ("R", "C2C", 0.50), ("C", "C2I", 0.33),
           ("C", "C6I", 0.25), ("C", "C7I", 0.27)]
SYSTEM_NAMES = {"G": "GPS", "E": "GAL", "R": "GLO", "C": "BDS"}
BANDS = [[60.0, 300.0], [300.0, 900.0], [900.0, 1800.0], [1800.0, 3600.0]]


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--stations", type=int, default=20)
    parser.add_argument("--days", type=int, default=26)
    parser.add_argument("--keep", help="write the database and page into this folder and keep them")
    return parser.parse_args()


def station_day(station, day, rng, scale):
    """A compact result as batch writes it (the fields the store reads)."""
    file = f"/archive/{day.year}/{station}_R_{day.strftime('%Y%j')}0000_01D_30S_MO.crx.gz"
    stamp = day.isoformat()
    failed = rng.random() < 0.02
    spike = 3.0 if rng.random() < 0.01 else 1.0
    statistics = [] if failed else [
        {"signal": f"{SYSTEM_NAMES[system]}M{code[1:]}", "system": system, "code": code,
         "count": rng.randint(8000, 12000), "mean": 0.0, "std_dev": rms, "rms": rms,
         "weighted_rms": rms * 0.6, "cycle_slips": rng.randint(0, 40)}
        for system, code, base in SIGNALS
        for rms in [base * scale * spike * rng.uniform(0.9, 1.1)]]
    satellites = {f"{system}{n:02d}": {"code": "S1C", "mean_band_power": [rng.uniform(0.1, 5) for _ in BANDS]}
                  for system in "GERC" for n in range(1, 11)}
    return {"input": {"file": file, "sha256": f"{hash(file) & 0xffffffff:08x}"}, "station": station, "day": stamp,
            "orbits": {"source": "nav", "sp3": None, "nav": [{"file": "brdc.rnx"}]},
            "status": "failed" if failed else "ok", "error": "no observation epochs found" if failed else None,
            "tool_version": "bench", "processed_at": "2026-01-01T00:00:00",
            "summary": {} if failed else {"first_epoch": stamp + "T00:00:00", "last_epoch": stamp + "T23:59:30",
                                          "epochs": rng.choice((2880, 2880, 2880, 2400)), "satellites": 40,
                                          "interval": 30.0},
            "statistics": statistics,
            "cycle_slips_by_method": [] if failed else [{"system": "G", "method": "gf", "count": 12}],
            "snr_band_power": None if failed else {"bands": BANDS, "satellites": satellites}}


def fill(db, stations, days):
    from skyloam_report import store
    rng = random.Random(7)
    start = datetime.date(2024, 1, 1)
    connection = store.connect(db)
    try:
        connection.execute("BEGIN")
        for s in range(stations):
            station, scale = f"S{s:03d}00XYZ", rng.uniform(0.7, 1.4)
            skipped = rng.randrange(days)
            for d in range(days):
                if d != skipped:
                    store.store_result(connection, station_day(station, start + datetime.timedelta(days=d),
                                                               rng, scale))
        connection.execute("COMMIT")
    finally:
        connection.close()


def main():
    options = arguments()
    sys.path[:0] = [os.path.join(options.build, "python"), os.path.join(ROOT, "tools", "report")]
    from skyloam_report.browser import Browser
    with tempfile.TemporaryDirectory() as scratch:
        folder = options.keep or scratch
        os.makedirs(folder, exist_ok=True)
        db, page = os.path.join(folder, "network.sqlite"), os.path.join(folder, "network.html")
        if os.path.exists(db):
            os.remove(db)
        fill(db, options.stations, options.days)
        start = time.perf_counter()
        subprocess.run([os.path.join(options.build, "skyloam-mp"), "network-report", "--db", db, "--html", page,
                        "--quiet"], check=True, stdout=subprocess.DEVNULL)
        written = time.perf_counter() - start
        with Browser(timeout=120) as browser:
            visit = browser.open_page(page)
        print(f"network page of {options.stations} stations x {options.days} days "
              f"({options.stations * (options.days - 1)} station-days)")
        print(f"  network-report (process, queries, page)   {written:8.2f} s")
        print(f"  page size                                 {os.path.getsize(page) / 1e6:8.2f} MB")
        print(f"  database size                             {os.path.getsize(db) / 1e6:8.2f} MB")
        print(f"  chromium: load to all charts drawn        {visit.seconds:8.2f} s   "
              f"(page script {(visit.draw_ms or 0) / 1000:.2f} s, {len(visit.charts)} charts, "
              f"{len(visit.errors)} errors)")
        for error in visit.errors:
            print(f"  page error: {error}")


if __name__ == "__main__":
    main()

"""Speed and size of the HTML report: prints figures, asserts nothing.

For the ESBC day with its SP3 orbits, the same day with its navigation file
(broadcast orbits) and a generated 1 Hz day: the analysis, the HTML written
after it (charts prepared from the results' columns, page written), the file
size, and the time headless chromium needs until every chart is drawn.

    python3.12 bench/report/html_report_bench.py [--build build] [--testdata ../shared/testdata]
                                                 [--one-hertz-dir DIR | --without-one-hertz]

--one-hertz-dir reuses (or keeps) the generated day there; without it the
day is generated into a temporary folder (about 4 minutes).
"""
import argparse
import contextlib
import io
import os
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--testdata", default=os.path.join(ROOT, "..", "shared", "testdata"))
    parser.add_argument("--one-hertz-dir")
    parser.add_argument("--without-one-hertz", action="store_true", help="only the ESBC day")
    return parser.parse_args()


def seconds(work):
    start = time.perf_counter()
    result = work()
    return result, time.perf_counter() - start


def measure(name, folder, obs, sp3=None, nav=()):
    from skyloam_report import html_report
    from skyloam_report.analysis import run_report
    from skyloam_report.browser import Browser

    options = argparse.Namespace(obs=obs, sp3=sp3, nav=list(nav), receiver=None)
    report, analysis = seconds(lambda: run_report(options, lambda text: None))
    path = os.path.join(folder, f"{name}.html")
    _, html = seconds(lambda: html_report.write_html(report, path))
    with Browser(timeout=120) as browser:
        visit = browser.open_page(path)
    rows = len(report["columns"]["mp"])
    print(f"{name}: {rows} estimates, {len(report['cycle_slips'])} slips")
    print(f"  analysis (read, multipath, elevations, SNR) {analysis:8.2f} s")
    print(f"  HTML written after the analysis             {html:8.2f} s")
    print(f"  HTML size                                   {os.path.getsize(path) / 1e6:8.2f} MB")
    print(f"  chromium: load to all charts drawn          {visit.seconds:8.2f} s   "
          f"(page script {visit.draw_ms / 1000:.2f} s, {len(visit.charts)} charts, "
          f"{len(visit.errors)} errors)")


def one_hertz_day(folder):
    sys.path.insert(0, os.path.join(ROOT, "tools"))
    import generate_sample
    obs = os.path.join(folder, "SKYL.rnx")
    if not os.path.exists(obs):
        print(f"generating a 1 Hz day in {folder} ...", flush=True)
        with contextlib.redirect_stdout(io.StringIO()):
            generate_sample.main(["--out", folder, "--duration", "86400", "--interval", "1"])
    return obs, os.path.join(folder, "SKYL.sp3")


def main():
    options = arguments()
    sys.path[:0] = [os.path.join(options.build, "python"), os.path.join(ROOT, "tools", "report")]
    esbc = os.path.join(options.testdata, "rinex3", "ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz")
    with tempfile.TemporaryDirectory() as folder:
        measure("ESBC00DNK 2020-177, 30 s, SP3", folder, esbc,
                sp3=os.path.join(options.testdata, "sp3", "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"))
        measure("ESBC00DNK 2020-177, 30 s, navigation file", folder, esbc,
                nav=[os.path.join(options.testdata, "nav", "ESBC00DNK_R_20201770000_01D_MN.rnx.gz")])
        if not options.without_one_hertz:
            day = options.one_hertz_dir or os.path.join(folder, "one-hertz")
            measure("generated day, 1 s, SP3", folder, *one_hertz_day(day))


if __name__ == "__main__":
    main()

"""`skyloam-mp report OBS [--sp3 SP3] [--nav NAV ...] [--receiver X,Y,Z] [--json FILE] [--csv DIR]
[--html FILE [--antenna-height M]] [--quiet]`:
one observation file analysed, printed as text and optionally exported."""
import argparse
import sys

from skyloam_report.analysis import run_report
from skyloam_report.export import write_csv, write_json
from skyloam_report.html_report import write_html
from skyloam_report.text_report import render


def _receiver(text):
    parts = text.split(",")
    try:
        if len(parts) == 3:
            return tuple(float(p) for p in parts)
    except ValueError:
        pass
    raise argparse.ArgumentTypeError("expected X,Y,Z in metres (ECEF), e.g. 4331296.9,567556.1,4633134.1")


def add_command(commands):
    report = commands.add_parser("report", help="analyse one observation file and print a report")
    report.add_argument("obs", help="RINEX 2/3/4 observation file (plain, .gz, .Z, or compact RINEX)")
    report.add_argument("--sp3", help="SP3 orbit file of the same day, for elevations and azimuths")
    report.add_argument("--nav", action="append", metavar="NAV",
                        help="RINEX navigation file (broadcast orbits) of the same day; may be repeated; "
                             "with --sp3 too, SP3 serves the satellites it covers")
    report.add_argument("--receiver", type=_receiver,
                        help="receiver position X,Y,Z in metres (default: the header's approximate position)")
    report.add_argument("--json", metavar="FILE", help="write every result as JSON to FILE")
    report.add_argument("--csv", metavar="DIR", help="write estimates, statistics and slips as CSV files in DIR")
    report.add_argument("--html", metavar="FILE", help="write an interactive HTML report (self-contained) to FILE")
    report.add_argument("--antenna-height", type=float, metavar="M",
                        help="antenna height above the reflecting ground in metres, for the Fresnel zones "
                             "of --html (default: the header's ANTENNA: DELTA H/E/N)")
    report.add_argument("--quiet", action="store_true", help="no progress messages on standard error")
    report.set_defaults(run=run)


def run(options, progress):
    report = run_report(options, progress)
    if options.json:
        write_json(report, options.json)
    if options.csv:
        write_csv(report, options.csv)
    if options.html:
        write_html(report, options.html, options.antenna_height)
    sys.stdout.write(render(report))
    return 0

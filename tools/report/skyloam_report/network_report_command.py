"""`skyloam-mp network-report --db FILE.sqlite --html OUT [--factor F]`: per
station and signal the RMS and weighted RMS over time, slip rates, data
completeness and the days that stand out, as one self-contained interactive
page (network_page.py)."""
import os
import sqlite3
import sys
import urllib.parse

from skyloam_report.atomic_files import write_atomic
from skyloam_report.errors import ReportError
from skyloam_report.network_page import write_page
from skyloam_report.network_queries import network_data


def _positive(text):
    value = float(text)
    if not value > 0:
        raise ValueError(text)
    return value


def add_command(commands):
    report = commands.add_parser("network-report", help="report on a network database as an interactive HTML page")
    report.add_argument("--db", required=True, metavar="FILE", help="SQLite database written by merge")
    report.add_argument("--html", required=True, metavar="OUT", help="the HTML page to write")
    report.add_argument("--factor", type=_positive, default=2.0, metavar="F",
                        help="a day stands out when its RMS exceeds F times the station's median (default 2)")
    report.add_argument("--quiet", action="store_true", help="no progress messages on standard error")
    report.set_defaults(run=run)


def open_read_only(path):
    if not os.path.isfile(path):
        raise ReportError(f"database {path} does not exist")
    uri = "file:" + urllib.parse.quote(os.path.abspath(path)) + "?mode=ro"
    return sqlite3.connect(uri, uri=True, timeout=60.0)


def run(options, progress):
    connection = open_read_only(options.db)
    try:
        progress(f"reading {options.db}")
        write_atomic(options.html, lambda out: write_page(network_data(connection, options.factor), out))
    except sqlite3.DatabaseError as error:
        raise ReportError(f"{options.db} is not a network database: {error}") from None
    finally:
        connection.close()
    sys.stdout.write(f"wrote {options.html}\n")
    return 0

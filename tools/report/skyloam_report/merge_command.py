"""`skyloam-mp merge DIR --db FILE.sqlite [--quiet]`: loads every compact result
of DIR into the network database; safe to repeat and to run while results
still arrive or while another merge runs."""
import glob
import os
import sqlite3
import sys

from skyloam_report import compact, store
from skyloam_report.errors import ReportError

# Results read, then written in one transaction: large enough to be fast,
# small enough that a concurrent merge or reader never waits long.
RESULTS_PER_TRANSACTION = 500


def add_command(commands):
    merge = commands.add_parser("merge", help="load compact results into a SQLite database")
    merge.add_argument("dir", metavar="DIR", help="folder of results written by batch")
    merge.add_argument("--db", required=True, metavar="FILE", help="SQLite database (created if missing)")
    merge.add_argument("--quiet", action="store_true", help="no progress messages on standard error")
    merge.set_defaults(run=run)


def result_files(folder):
    if not os.path.isdir(folder):
        raise ReportError(f"result folder {folder} does not exist")
    return sorted(glob.glob(os.path.join(glob.escape(os.path.abspath(folder)), "*" + compact.RESULT_SUFFIX)))


def _read_new(connection, paths, counts):
    documents = []
    for path in paths:
        identity = compact.file_identity(path)
        if identity is None or store.is_merged(connection, identity):
            counts["already in"] += 1
            continue
        document = compact.read_result(path)
        if document is None or document.get("format_version") != compact.FORMAT_VERSION:
            counts["unreadable"] += 1
            continue
        documents.append((identity, document))
    return documents


def merge_folder(connection, folder, progress):
    """Merges the results of a folder; returns counts of what happened."""
    counts = {"stored": 0, "older than the database": 0, "already in": 0, "unreadable": 0}
    paths = result_files(folder)
    for start in range(0, len(paths), RESULTS_PER_TRANSACTION):
        documents = _read_new(connection, paths[start:start + RESULTS_PER_TRANSACTION], counts)
        connection.execute("BEGIN IMMEDIATE")
        try:
            for identity, document in documents:
                stored = store.store_result(connection, document)
                counts["stored" if stored else "older than the database"] += 1
                store.mark_merged(connection, identity)
            connection.execute("COMMIT")
        except BaseException:
            connection.execute("ROLLBACK")
            raise
        progress(f"merged {min(start + RESULTS_PER_TRANSACTION, len(paths))}/{len(paths)} result files")
    return counts


def _merge(options, progress):
    connection = store.connect(options.db)
    try:
        counts = merge_folder(connection, options.dir, progress)
        days, failed = connection.execute(
            "SELECT count(*), count(*) FILTER (WHERE status != 'ok') FROM station_days").fetchone()
    finally:
        connection.close()
    return counts, days, failed


def run(options, progress):
    try:
        counts, days, failed = _merge(options, progress)
    except sqlite3.DatabaseError as error:
        raise ReportError(f"database {options.db}: {error}") from None
    detail = ", ".join(f"{n} {what}" for what, n in counts.items())
    sys.stdout.write(f"merged {options.dir} into {options.db}: {detail}; "
                     f"the database holds {days} station-days, {failed} failed\n")
    return 0

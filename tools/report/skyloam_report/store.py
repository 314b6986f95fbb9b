"""The network database: compact results in SQLite (WAL mode), schema in one place.

A station-day is keyed on its input file; its sha256 tells which content the
row describes. Storing a result replaces the station-day and all its rows in
one transaction when the result is newer than what the database holds, so
storing again, or from several processes at once, never duplicates or loses
a row. `merged_results` remembers which result files (by size and
modification time) are already in, so a repeated merge reads only new ones.
"""
import json
import sqlite3
import time

SCHEMA = """
CREATE TABLE IF NOT EXISTS station_days (
    file TEXT PRIMARY KEY, sha256 TEXT, station TEXT, day TEXT,
    first_epoch TEXT, last_epoch TEXT, epochs INTEGER, satellites INTEGER, interval REAL,
    orbit_source TEXT, sp3 TEXT, nav TEXT,
    status TEXT NOT NULL, error TEXT, tool_version TEXT, processed_at TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS signal_statistics (
    file TEXT NOT NULL, station TEXT, day TEXT, signal TEXT NOT NULL, system TEXT, code TEXT,
    count INTEGER, mean REAL, std_dev REAL, rms REAL, weighted_rms REAL, slips INTEGER,
    PRIMARY KEY (file, signal)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS cycle_slips_by_method (
    file TEXT NOT NULL, system TEXT NOT NULL, method TEXT NOT NULL, count INTEGER,
    PRIMARY KEY (file, system, method)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS snr_band_power (
    file TEXT NOT NULL, satellite TEXT NOT NULL, code TEXT, band TEXT NOT NULL, power REAL,
    PRIMARY KEY (file, satellite, band)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS merged_results (
    result_file TEXT PRIMARY KEY, size INTEGER, mtime_ns INTEGER);
CREATE INDEX IF NOT EXISTS station_days_by_station ON station_days (station, day);
CREATE INDEX IF NOT EXISTS signal_statistics_by_station ON signal_statistics (station, signal, day);
"""

# The tables that hold a station-day's rows, each keyed by `file`.
DETAIL_TABLES = ("signal_statistics", "cycle_slips_by_method", "snr_band_power")


WAIT_SECONDS = 60.0


def _set_up(connection):
    connection.execute("PRAGMA journal_mode=WAL")
    connection.execute("PRAGMA synchronous=NORMAL")
    connection.execute("PRAGMA cache_size=-65536")  # 64 MiB: index pages of a large merge stay in memory
    connection.executescript(SCHEMA)


def connect(path):
    """Opens (creating if needed) the database; waits up to a minute for other writers.
    Setting up a database another process is creating can fail at once with
    "database is locked" (switching to WAL does not wait for the busy
    timeout), so the set-up is retried within the same minute."""
    connection = sqlite3.connect(path, timeout=WAIT_SECONDS, isolation_level=None)
    deadline = time.monotonic() + WAIT_SECONDS
    while True:
        try:
            _set_up(connection)
            return connection
        except sqlite3.OperationalError as error:
            if "locked" not in str(error) or time.monotonic() > deadline:
                connection.close()
                raise
            time.sleep(0.05)


def _station_day_row(result):
    summary = result.get("summary", {})
    orbits = result["orbits"]
    return (result["input"]["file"], result["input"].get("sha256"), result["station"], result["day"],
            summary.get("first_epoch"), summary.get("last_epoch"), summary.get("epochs"),
            summary.get("satellites"), summary.get("interval"), orbits["source"],
            orbits["sp3"] and orbits["sp3"]["file"],
            json.dumps([n["file"] for n in orbits["nav"]]) if orbits["nav"] else None,
            result["status"], result["error"], result["tool_version"], result["processed_at"])


def _detail_rows(result):
    file, station, day = result["input"]["file"], result["station"], result["day"]
    statistics = [(file, station, day, s["signal"], s["system"], s["code"], s["count"], s["mean"],
                   s["std_dev"], s["rms"], s["weighted_rms"], s["cycle_slips"])
                  for s in result.get("statistics", [])]
    slips = [(file, s["system"], s["method"], s["count"]) for s in result.get("cycle_slips_by_method", [])]
    snr = result.get("snr_band_power") or {"bands": [], "satellites": {}}
    bands = [f"{low:g}-{high:g} s" for low, high in snr["bands"]]
    power = [(file, satellite, row["code"], band, value)
             for satellite, row in snr["satellites"].items()
             for band, value in zip(bands, row["mean_band_power"])]
    return statistics, slips, power


def store_result(connection, result):
    """Stores one result inside the caller's transaction; False when the
    database already holds this or a newer result for the file."""
    file = result["input"]["file"]
    held = connection.execute("SELECT processed_at FROM station_days WHERE file = ?", (file,)).fetchone()
    if held is not None:
        if held[0] >= result["processed_at"]:
            return False
        for table in DETAIL_TABLES:
            connection.execute(f"DELETE FROM {table} WHERE file = ?", (file,))
    connection.execute(f"INSERT OR REPLACE INTO station_days VALUES ({', '.join('?' * 16)})",
                       _station_day_row(result))
    statistics, slips, power = _detail_rows(result)
    connection.executemany(f"INSERT INTO signal_statistics VALUES ({', '.join('?' * 12)})", statistics)
    connection.executemany("INSERT INTO cycle_slips_by_method VALUES (?, ?, ?, ?)", slips)
    connection.executemany("INSERT INTO snr_band_power VALUES (?, ?, ?, ?, ?)", power)
    return True


def is_merged(connection, identity):
    row = connection.execute("SELECT size, mtime_ns FROM merged_results WHERE result_file = ?",
                             (identity["file"],)).fetchone()
    return row == (identity["size"], identity["mtime_ns"])


def mark_merged(connection, identity):
    connection.execute("INSERT OR REPLACE INTO merged_results VALUES (?, ?, ?)",
                       (identity["file"], identity["size"], identity["mtime_ns"]))

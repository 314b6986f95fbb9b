"""Inputs and helpers of the network tests: generated station-days under
standard long names, real files of the shared test data, and broken inputs."""
import datetime
import os
import sqlite3
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path[:0] = [os.path.join(ROOT, path) for path in ("tools", os.path.join("tests", "python"),
                                                      os.path.join("tools", "report"))]
import generate_sample  # noqa: E402
from skyloam_report import store  # noqa: E402
from support import testdata  # noqa: E402

TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))

# (station, start, latitude, longitude): six hours each, same orbits per day.
GENERATED = [("ABCD00DEU", "2024-03-01", 50.0, 5.0), ("ABCD00DEU", "2024-03-02", 50.0, 5.0),
             ("WXYZ00ITA", "2024-03-01", 40.0, 20.0)]


def run_tool(*args, env=None):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=600, env=env)


def _generate(folder, station, start, lat, lon, obs_dir, sp3_dir):
    work = os.path.join(folder, "generated", station + start)
    with open(os.devnull, "w") as quiet:
        stdout, sys.stdout = sys.stdout, quiet
        try:
            generate_sample.main(["--out", work, "--duration", "21600", "--start", start + "T00:00:00",
                                  "--name", station[:4], "--lat", str(lat), "--lon", str(lon)])
        finally:
            sys.stdout = stdout
    doy = f"{start[:4]}{datetime.date.fromisoformat(start).timetuple().tm_yday:03d}"
    obs = os.path.join(obs_dir, f"{station}_R_{doy}0000_06H_30S_MO.rnx")
    os.replace(os.path.join(work, station[:4] + ".rnx"), obs)
    os.replace(os.path.join(work, station[:4] + ".sp3"),
               os.path.join(sp3_dir, f"SKY0OPSFIN_{doy}0000_01D_15M_ORB.SP3"))
    return obs


def _broken(obs_dir):
    """A missing, an empty, a corrupt and a header-only input."""
    with open(testdata("rinex2/ZIMM2350.15O"), "rb") as f:
        header = f.read().split(b"END OF HEADER", 1)[0] + b"END OF HEADER\r\n"
    contents = {"EMPT00DEU_R_20240610000_01D_30S_MO.rnx": b"",
                "CORR00DEU_R_20240610000_01D_30S_MO.rnx": b"\xff\xfe not RINEX \x00" * 40,
                "zimm0610.24o": header}
    paths = [os.path.join(obs_dir, "MISS00DEU_R_20240610000_01D_30S_MO.rnx")]
    for name, content in contents.items():
        paths.append(os.path.join(obs_dir, name))
        with open(paths[-1], "wb") as f:
            f.write(content)
    return paths


def generate_station_days(folder, station_days):
    """Generates (station, start, latitude, longitude) days under standard long
    names in folder/obs, their SP3 files in folder/sp3; returns (observation
    files, sp3 dir)."""
    obs_dir, sp3_dir = os.path.join(folder, "obs"), os.path.join(folder, "sp3")
    for path in (obs_dir, sp3_dir):
        os.makedirs(path, exist_ok=True)
    return [_generate(folder, *station_day, obs_dir, sp3_dir) for station_day in station_days], sp3_dir


def write_listing(folder, paths):
    listing = os.path.join(folder, "inputs.txt")
    with open(listing, "w") as f:
        f.write("# station-days of the test network\n" + "".join(p + "\n" for p in paths))
    return listing


def make_inputs(folder):
    """Writes the inputs under `folder`; returns (list file, sp3 dir, nav dir,
    good inputs, broken inputs)."""
    good, sp3_dir = generate_station_days(folder, GENERATED)
    obs_dir, nav_dir = os.path.join(folder, "obs"), os.path.join(folder, "nav")
    os.makedirs(nav_dir)
    good += [os.path.abspath(testdata(name)) for name in ("rinex2/ZIMM2350.15O", "rinex2/arlm200a.15o")]
    os.symlink(testdata("sp3/igs18590.sp3"), os.path.join(sp3_dir, "igs18590.sp3"))
    os.symlink(testdata("nav/arlm200a.15n"), os.path.join(nav_dir, "arlm200a.15n"))
    broken = _broken(obs_dir)
    return write_listing(folder, good + broken), sp3_dir, nav_dir, good, broken


def compact_result(file, day, rms_by_signal, processed_at="2026-01-01T00:00:00", status="ok", epochs=2880,
                   station="ABCD00DEU"):
    """A compact result as batch writes it, with the fields the store reads."""
    return {"input": {"file": file, "sha256": "00"}, "station": station, "day": day,
            "orbits": {"source": "none", "sp3": None, "nav": []}, "status": status, "error": None,
            "tool_version": "1", "processed_at": processed_at,
            "summary": {"first_epoch": day + "T00:00:00", "epochs": epochs, "interval": 30.0},
            "statistics": [{"signal": s, "system": "G", "code": "C1C", "count": 1000, "mean": 0.0,
                            "std_dev": rms, "rms": rms, "weighted_rms": rms / 2, "cycle_slips": 2}
                           for s, rms in rms_by_signal.items()],
            "cycle_slips_by_method": [{"system": "G", "method": "gf", "count": 2}],
            "snr_band_power": {"bands": [[60.0, 120.0]], "satellites": {"G01": {"code": "S1C",
                                                                                "mean_band_power": [1.5]}}}}


def temporary_store(test):
    """An empty network database in a folder of its own, both removed after `test`."""
    folder = tempfile.TemporaryDirectory()
    test.addCleanup(folder.cleanup)
    connection = store.connect(os.path.join(folder.name, "network.sqlite"))
    test.addCleanup(connection.close)
    return connection


def dump_database(path):
    """Every table's rows, sorted, without what differs between runs (when a
    result was made, and where the result files were)."""
    connection = sqlite3.connect(path)
    try:
        tables = {}
        for (table,) in connection.execute("SELECT name FROM sqlite_master WHERE type = 'table'"):
            if table == "merged_results":
                continue
            cursor = connection.execute(f"SELECT * FROM {table}")
            names = [d[0] for d in cursor.description]
            tables[table] = sorted(tuple(v for n, v in zip(names, row) if n != "processed_at")
                                   for row in cursor)
        return tables
    finally:
        connection.close()

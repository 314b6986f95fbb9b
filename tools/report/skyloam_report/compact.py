"""The compact result of one station-day: what a network keeps of a report.

One JSON document per input: the input's identity (path, size, modification
time, sha256), the orbit files used, the status and error, the file summary,
per-signal statistics, slips per system and method, arc breaks per signal and
the mean SNR band power per satellite; never the estimates. FORMAT_VERSION
changes whenever the document changes shape. Documents are written with
atomic_files.write_atomic, so a reader sees a whole document or none.
"""
import datetime
import hashlib
import json
import os
from collections import Counter

from skyloam_report.analysis import estimate_table
from skyloam_report.atomic_files import write_atomic
from skyloam_report.export import ESTIMATE_COLUMNS
from skyloam_report.export import _json_safe as json_safe

FORMAT = "skyloam-mp station-day result"
FORMAT_VERSION = 1
RESULT_SUFFIX = ".result.json"
ESTIMATES_SUFFIX = ".estimates.json"


def file_identity(path):
    """Path, size and modification time of a file (None if it cannot be seen)."""
    try:
        status = os.stat(path)
    except OSError:
        return None
    return {"file": path, "size": status.st_size, "mtime_ns": status.st_mtime_ns}


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        while block := f.read(1 << 20):
            digest.update(block)
    return digest.hexdigest()


def result_stem(input_path):
    """Name of an input's results: its base name and a short hash of its full
    path, so that equal base names in different folders stay apart."""
    tag = hashlib.sha1(input_path.encode("utf-8", "surrogateescape")).hexdigest()[:8]
    return f"{os.path.basename(input_path)}.{tag}"


def slips_by_method(slips):
    counts = Counter((s["system"], s["method"]) for s in slips)
    return [{"system": system, "method": method, "count": count}
            for (system, method), count in sorted(counts.items())]


def orbit_source(elevations):
    """Which orbits gave the elevations: "sp3", "nav", "sp3+nav" (SP3 for the
    satellites it covers), or "none"."""
    if not elevations:
        return "none"
    return "+".join(name for name in ("sp3", "nav") if elevations.get(name)) or "none"


def _snr_band_power(snr):
    return {"bands": snr["bands"], "interval": snr["interval"],
            "satellites": {sat: {"code": row["code"], "mean_band_power": row["mean_band_power"]}
                           for sat, row in snr["satellites"].items()}}


def _now():
    return datetime.datetime.now(datetime.timezone.utc).isoformat(timespec="microseconds")


def base_result(identity, named, orbits, tool_version):
    """The fields every result has, successful or not."""
    return {"format": FORMAT, "format_version": FORMAT_VERSION, "tool_version": tool_version,
            "input": identity,
            "station": named.station if named else None,
            "day": named.day.isoformat() if named else None,
            "orbits": {"sp3": orbits.sp3 and file_identity(orbits.sp3),
                       "nav": [file_identity(p) for p in orbits.nav], "source": "none"},
            "status": "failed", "error": None, "processed_at": _now()}


def fill_from_report(result, report):
    """A successful result: the compact parts of a report."""
    summary = {k: v for k, v in report["summary"].items() if k != "file"}
    result["status"] = "ok"
    result["station"] = result["station"] or (summary["marker"] or "").strip().upper() or None
    # A file named for its day keeps that day, even when its first epoch lies
    # on the evening before; other files take the day of their first epoch.
    if not result["day"] and summary["first_epoch"]:
        result["day"] = summary["first_epoch"][:10]
    result["orbits"]["source"] = orbit_source(report["elevations"])
    result["orbits"]["elevations"] = report["elevations"]
    result["summary"] = summary
    result["statistics"] = report["statistics"]
    result["cycle_slips_by_method"] = slips_by_method(report["cycle_slips"])
    result["arc_breaks"] = report["cycle_slip_counts"]
    result["snr_band_power"] = _snr_band_power(report["snr"])
    return result


def estimate_columns(report):
    """Every multipath estimate, one array per column."""
    table = estimate_table(report["columns"])
    return {name: table[name] for name in ESTIMATE_COLUMNS}


def write_document(path, document):
    write_atomic(path, lambda f: json.dump(json_safe(document), f, separators=(",", ":"),
                                           allow_nan=False))


def read_result(path):
    """A result document, or None when the file is missing or not one."""
    try:
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
    except (OSError, ValueError):
        return None
    if not isinstance(document, dict) or document.get("format") != FORMAT:
        return None
    return document


def is_up_to_date(result, identity, orbits, tool_version):
    """True when a successful result was made by this version from this very
    input and these orbit files, as they are now."""
    return (result is not None and result.get("status") == "ok"
            and result.get("format_version") == FORMAT_VERSION
            and result.get("tool_version") == tool_version
            and {k: result["input"].get(k) for k in identity} == identity
            and result["orbits"]["sp3"] == (orbits.sp3 and file_identity(orbits.sp3))
            and result["orbits"]["nav"] == [file_identity(p) for p in orbits.nav])

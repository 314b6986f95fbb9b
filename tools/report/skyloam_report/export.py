"""Machine-readable outputs: one JSON document, and CSV files pandas reads directly."""
import csv
import json
import math
import os

ESTIMATE_COLUMNS = ["satellite", "system", "epoch", "signal", "mp_value", "elevation", "azimuth", "snr"]
STATISTIC_COLUMNS = ["signal", "system", "code", "count", "mean", "std_dev", "rms", "weighted_rms",
                     "min", "max", "cycle_slips"]
SLIP_COLUMNS = ["satellite", "system", "epoch", "method", "signal", "magnitude", "threshold"]


def _json_safe(value):
    """JSON has no NaN or infinity: they become null."""
    if isinstance(value, float) and not math.isfinite(value):
        return None
    if isinstance(value, dict):
        return {k: _json_safe(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_json_safe(v) for v in value]
    return value


def write_json(report, path):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(_json_safe(report), f, indent=1)
        f.write("\n")


def _write_csv(path, columns, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=columns)
        writer.writeheader()
        for row in rows:
            writer.writerow({k: ("" if row[k] is None else row[k]) for k in columns})


def write_csv(report, folder):
    os.makedirs(folder, exist_ok=True)
    _write_csv(os.path.join(folder, "estimates.csv"), ESTIMATE_COLUMNS, report["estimates"])
    _write_csv(os.path.join(folder, "statistics.csv"), STATISTIC_COLUMNS, report["statistics"])
    _write_csv(os.path.join(folder, "slips.csv"), SLIP_COLUMNS, report["cycle_slips"])

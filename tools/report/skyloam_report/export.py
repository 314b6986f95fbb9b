"""Machine-readable outputs: one JSON document, and CSV files pandas reads directly."""
import csv
import json
import math
import os

from skyloam_report.analysis import estimate_table

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


def table_rows(table, columns):
    """The rows, as tuples in `columns` order, of a table of equal-length lists."""
    return zip(*(table[name] for name in columns))


def dict_rows(records, columns):
    return (tuple(record[name] for name in columns) for record in records)


def write_json(report, path):
    """The estimates are written as one object per estimate, like every other list."""
    estimates = [dict(zip(ESTIMATE_COLUMNS, row))
                 for row in table_rows(estimate_table(report["columns"]), ESTIMATE_COLUMNS)]
    document = {}
    for key, value in report.items():  # the estimates where their columns stand
        if key == "columns":
            document["estimates"] = estimates
        elif key != "slip_columns":
            document[key] = value
    with open(path, "w", encoding="utf-8") as f:
        json.dump(_json_safe(document), f, indent=1)
        f.write("\n")


def _write_csv(path, columns, rows):
    """None is written as an empty field."""
    with open(path, "w", newline="", encoding="utf-8") as f:
        writer = csv.writer(f)
        writer.writerow(columns)
        writer.writerows(rows)


def write_csv(report, folder):
    os.makedirs(folder, exist_ok=True)
    _write_csv(os.path.join(folder, "estimates.csv"), ESTIMATE_COLUMNS,
               table_rows(estimate_table(report["columns"]), ESTIMATE_COLUMNS))
    _write_csv(os.path.join(folder, "statistics.csv"), STATISTIC_COLUMNS,
               dict_rows(report["statistics"], STATISTIC_COLUMNS))
    _write_csv(os.path.join(folder, "slips.csv"), SLIP_COLUMNS,
               dict_rows(report["cycle_slips"], SLIP_COLUMNS))

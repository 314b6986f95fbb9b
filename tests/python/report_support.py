"""Shared helpers of the report package's tests: the package on the path, and
estimate columns built from short rows."""
import math
import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools", "report"))

NAN = math.nan


def arcs_of(columns):
    """[Arc] of columns whose rows come grouped by signal and arc."""
    from skyloam_report.arcs import Arc
    arcs, keys = [], list(zip(columns["signal"], columns["satellite"], columns["arc"]))
    for row, key in enumerate(keys):
        if row and key == keys[row - 1]:
            arcs[-1] = Arc(arcs[-1].signal, arcs[-1].satellite, arcs[-1].start, row + 1)
        else:
            arcs.append(Arc(key[0], key[1], row, row + 1))
    return arcs


def columns_of(rows, satellites=("G01", "G02"), signals=("GPSM1C", "GPSM2W")):
    """Estimate columns from (signal, satellite, arc, time, mp, elevation, azimuth, snr) rows."""
    names = ("signal", "satellite", "arc", "time", "mp", "elevation", "azimuth", "snr")
    columns = {name: [row[n] for row in rows] for n, name in enumerate(names)}
    columns.update(satellites=list(satellites), signals=list(signals))
    return columns

"""A synthetic day of observations and matching orbits, built in memory.

Large enough that the lock-releasing calls run for a noticeable time (so that
other threads really run beside them), and self-contained, so that the
concurrency and leak tests need no shared files.
"""
import datetime
import math
import os

from rinex_text import observation_file
from support import skyloam_mp as mp
from test_orbits import sp3_text

START = datetime.datetime(2015, 8, 23)
RECEIVER = mp.Ecef(4331296.9226, 567556.0704, 4633134.0631)
OBS_TYPES = {"G": ["C1C", "L1C", "L2W", "S1C", "S2W"]}
C = 299792458.0
L1, L2 = C / 1575420000.0, C / 1227600000.0
ORBIT_RADIUS_KM = 26560.0


def satellites(count):
    return [f"G{prn:02d}" for prn in range(1, count + 1)]


def observation_bytes(epochs=600, satellite_count=6, step=30):
    """RINEX 3 text: code with a multipath wave, both phases on the range, SNR with a slow swing."""
    rows = []
    for i in range(epochs):
        sats = {}
        for k, sat in enumerate(satellites(satellite_count)):
            rng = 20_000_000.0 + 50_000.0 * k + 120.0 * i
            sats[sat] = {"C1C": rng + 0.4 * math.sin(0.05 * i + k), "L1C": rng / L1, "L2W": rng / L2,
                         "S1C": 45.0 + 4.0 * math.sin(i / 25.0 + k), "S2W": 38.0 + k}
        rows.append((step * i, sats))
    return observation_file(OBS_TYPES, rows, start=START).encode()


def orbit_position_km(k, seconds):
    """Circular orbits of GPS radius in six inclined planes."""
    angle = 2 * math.pi * seconds / 43082.0 + 0.9 * k
    node = math.radians(60.0 * (k % 6))
    inclination = math.radians(55.0)
    x, y = ORBIT_RADIUS_KM * math.cos(angle), ORBIT_RADIUS_KM * math.sin(angle)
    return (x * math.cos(node) - y * math.cos(inclination) * math.sin(node),
            x * math.sin(node) + y * math.cos(inclination) * math.cos(node),
            y * math.sin(inclination))


def orbit_text(satellite_count=6, hours=24):
    records = []
    for n in range(hours * 4 + 1):
        t = START + datetime.timedelta(minutes=15 * n)
        fields = (t.year, t.month, t.day, t.hour, t.minute, float(t.second))
        records.append((fields, [(sat, *orbit_position_km(k, 900.0 * n), 1.0)
                                 for k, sat in enumerate(satellites(satellite_count))]))
    return sp3_text(records, count=len(records))


def write_day(folder, epochs, satellite_count, hours=24):
    """Writes the observations and the orbits into `folder`: (observation bytes, their path, SP3 path)."""
    data = observation_bytes(epochs=epochs, satellite_count=satellite_count)
    obs_path = os.path.join(folder, "day.rnx")
    with open(obs_path, "wb") as f:
        f.write(data)
    sp3_path = os.path.join(folder, "day.sp3")
    with open(sp3_path, "w") as f:
        f.write(orbit_text(satellite_count=satellite_count, hours=hours))
    return data, obs_path, sp3_path

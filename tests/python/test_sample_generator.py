"""The sample generator of tools/: determinism, file layouts, geometry, events and truth.

Runs without the compiled module. The generated files are read back with
column rules written out again here, independently of the generator's
writers; only the orbit model is taken from the generator, to check the SP3
file against the positions it was made from.
"""
import cmath
import contextlib
import io
import json
import math
import os
import re
import sys
import tempfile
import unittest
from bisect import bisect_left, bisect_right
from datetime import datetime, timedelta
from itertools import accumulate

sys.path.insert(0, os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools")))

import generate_sample  # noqa: E402
from sample_generator.constellation import build_constellation  # noqa: E402
from sample_generator.geometry import seconds_since_j2000  # noqa: E402
from sample_generator.rinex3 import observation_type_lines  # noqa: E402

LIGHT_SPEED = 299792458.0
EARTH_ROTATION = 7.2921151467e-5
FREQUENCIES = {
    "G": {"1": 1575.42e6, "2": 1227.60e6, "5": 1176.45e6},
    "R": {"1": 1602.00e6, "2": 1246.00e6},
    "E": {"1": 1575.42e6, "5": 1176.45e6, "7": 1207.14e6},
    "C": {"2": 1561.098e6, "7": 1207.14e6},
}
GLONASS_CHANNEL_STEP = {"1": 0.5625e6, "2": 0.4375e6}
DEFAULT_GLONASS_CHANNELS = [1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1, -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2]
SECOND_BAND = {"G": {"1": "2", "2": "1", "5": "1"}, "R": {"1": "2", "2": "1"},
               "E": {"1": "5", "5": "1", "7": "1"}, "C": {"2": "7", "7": "2"}}
SYSTEM_NAMES = {"G": "GPS", "R": "GLO", "E": "GAL", "C": "BDS"}
RINEX2_STORED = {"C1": "C1C", "C2": "C2C", "P1": "C1P", "P2": "C2P", "L1": "L1C", "L2": "L2C",
                 "S1": "S1C", "S2": "S2C", "C5": "C5X", "L5": "L5X", "S5": "S5X"}
VALUE_TEXT = re.compile(r"^ *-?\d+\.\d{3}$")
INTERVAL = 30.0


def generate(out_dir, *arguments):
    with contextlib.redirect_stdout(io.StringIO()):
        generate_sample.main(["--out", out_dir, *arguments])
    with open(os.path.join(out_dir, "SKYL_truth.json"), encoding="ascii") as stream:
        truth = json.load(stream)
    return {role: os.path.join(out_dir, name) for role, name in truth["files"].items()}, truth


def read_bytes(path):
    with open(path, "rb") as stream:
        return stream.read()


def read_lines(path):
    with open(path, encoding="ascii") as stream:
        return stream.read().split("\n")[:-1]


def label_of(line):
    return line[60:].strip()


def split_header(lines):
    end = next(i for i, line in enumerate(lines) if label_of(line) == "END OF HEADER")
    return lines[:end + 1], lines[end + 1:]


def header_records(header, label):
    return [line for line in header if label_of(line) == label]


def iso(moment):
    return f"{moment:%Y-%m-%dT%H:%M:%S}.000Z"


def frequency(system, band, channel):
    return FREQUENCIES[system][band] + (channel * GLONASS_CHANNEL_STEP[band] if system == "R" else 0.0)


def read_field(field):
    """(value, loss-of-lock text) of a 16-column field, or None when blank."""
    text = field[:14].strip()
    return (float(text), field[14:15].strip()) if text else None


def rinex3_types(header):
    types, system = {}, None
    for line in header_records(header, "SYS / # / OBS TYPES"):
        if line[0] != " ":
            system = line[0]
            types[system] = []
        types[system] += line[7:60].split()
    return types


def rinex3_epochs(body, types):
    """[(datetime, {satellite: {code: (value, lli)}})] of a RINEX 3 body."""
    epochs, i = [], 0
    while i < len(body):
        line = body[i]
        moment = datetime(int(line[2:6]), int(line[7:9]), int(line[10:12]), int(line[13:15]),
                          int(line[16:18])) + timedelta(seconds=float(line[19:30]))
        count = int(line[32:35])
        satellites = {}
        for record in body[i + 1:i + 1 + count]:
            fields = {code: read_field(record[3 + 16 * n:19 + 16 * n])
                      for n, code in enumerate(types[record[0]])}
            satellites[record[:3]] = {code: value for code, value in fields.items() if value}
        epochs.append((moment, satellites))
        i += 1 + count
    return epochs


def rinex2_types(header):
    types = []
    for line in header_records(header, "# / TYPES OF OBSERV"):
        types += line[6:60].split()
    return types


def rinex2_satellite_lines(line, body, i):
    count = int(line[29:32])
    list_lines = max(1, math.ceil(count / 12))
    names = "".join(row[32:68] for row in body[i:i + list_lines])
    return [names[3 * k:3 * k + 3] for k in range(count)], list_lines


def rinex2_epochs(body, types):
    """Same shape as `rinex3_epochs`, codes named as the reader stores RINEX 2 types."""
    lines_per_satellite = math.ceil(len(types) / 5)
    epochs, i = [], 0
    while i < len(body):
        line = body[i]
        moment = datetime(2000 + int(line[1:3]), int(line[4:6]), int(line[7:9]), int(line[10:12]),
                          int(line[13:15])) + timedelta(seconds=float(line[15:26]))
        names, list_lines = rinex2_satellite_lines(line, body, i)
        i += list_lines
        satellites = {}
        for name in names:
            values = {}
            for t, type_name in enumerate(types):
                row = body[i + t // 5]
                value = read_field(row[16 * (t % 5):16 * (t % 5) + 16])
                if value and type_name in RINEX2_STORED:
                    values[RINEX2_STORED[type_name]] = value
            satellites[name] = values
            i += lines_per_satellite
        epochs.append((moment, satellites))
    return epochs


def glonass_channels(header):
    channels = dict(enumerate(DEFAULT_GLONASS_CHANNELS, start=1))
    for line in header_records(header, "GLONASS SLOT / FRQ #"):
        pieces = line[:60].split()
        pieces = pieces if pieces[0].startswith("R") else pieces[1:]
        for slot, channel in zip(pieces[::2], pieces[1::2]):
            channels[int(slot[1:])] = int(channel)
    return channels


def read_sp3(lines):
    """{satellite: [(datetime, (x, y, z) metres, clock microseconds)]}."""
    records, moment = {}, None
    for line in lines:
        if line.startswith("*"):
            fields = line[3:31].split()
            moment = datetime(*map(int, fields[:5])) + timedelta(seconds=float(fields[5]))
        elif line.startswith("P"):
            position = tuple(float(line[start:start + 14]) * 1000.0 for start in (4, 18, 32))
            records.setdefault(line[1:4], []).append((moment, position, float(line[46:60])))
    return records


def neville(times, values, t):
    p = list(values)
    for k in range(1, len(p)):
        for i in range(len(p) - k):
            p[i] = (p[i] * (times[i + k] - t) - p[i + 1] * (times[i] - t)) / (times[i + k] - times[i])
    return p[0]


def interpolate(records, moment):
    """Position (m) and clock (s) from the nine records nearest in time."""
    nearest = sorted(sorted(records, key=lambda r: abs((r[0] - moment).total_seconds()))[:9])
    times = [(r[0] - moment).total_seconds() for r in nearest]
    position = tuple(neville(times, [r[1][axis] for r in nearest], 0.0) for axis in range(3))
    return position, neville(times, [r[2] for r in nearest], 0.0) * 1e-6


def antenna_frame(header):
    """Antenna position (2 m above the marker) and the local vertical, spherical approximation."""
    marker = tuple(float(v) for v in header_records(header, "APPROX POSITION XYZ")[0][:42].split())
    height = float(header_records(header, "ANTENNA: DELTA H/E/N")[0][:14])
    up = tuple(v / math.dist(marker, (0, 0, 0)) for v in marker)
    return tuple(m + height * u for m, u in zip(marker, up)), up


def elevation_sine(position, antenna, up):
    return sum((p - a) * u for p, a, u in zip(position, antenna, up)) / math.dist(position, antenna)


def satellite_series(epochs):
    series = {}
    for moment, satellites in epochs:
        for name, values in satellites.items():
            series.setdefault(name, []).append((moment, values))
    return series


def geometry_free(name, values, phase, channels):
    """Geometry-free combination (m) of a phase with its partner band, or None."""
    system = name[0]
    other = SECOND_BAND[system].get(phase[1])
    partner = next((code for code in values if code[0] == "L" and code[1] == other), None)
    if partner is None or phase not in values:
        return None
    channel = channels.get(int(name[1:]), 0)
    fa, fb = frequency(system, phase[1], channel), frequency(system, other, channel)
    difference = LIGHT_SPEED / fa * values[phase][0] - LIGHT_SPEED / fb * values[partner][0]
    return difference / (fa * fa / (fb * fb) - 1.0)


def mp_series(name, samples, code, channels):
    """[(time, raw multipath)] of one pseudorange, paired as the analysis pairs it."""
    system, band = name[0], code[1]
    channel = channels.get(int(name[1:]), 0)
    f1, f2 = frequency(system, band, channel), frequency(system, SECOND_BAND[system][band], channel)
    a = 2.0 / (f1 * f1 / (f2 * f2) - 1.0)
    result = []
    for moment, values in samples:
        phase1, phase2 = (next((values[c][0] for c in values if c[0] == "L" and c[1] == b), None)
                          for b in (band, SECOND_BAND[system][band]))
        if code in values and phase1 is not None and phase2 is not None:
            result.append((moment, values[code][0] - (1 + a) * LIGHT_SPEED / f1 * phase1
                           + a * LIGHT_SPEED / f2 * phase2))
    return result


def bias_free(series, breaks):
    """[(time, value)]: arcs cut at gaps, jumps and `breaks`, short arcs dropped,
    1500 s moving mean removed."""
    arcs, current = [], []
    for moment, value in series:
        if current and ((moment - current[-1][0]).total_seconds() > 5 * INTERVAL
                        or abs(value - current[-1][1]) > 10.0 or moment in breaks):
            arcs.append(current)
            current = []
        current.append((moment, value))
    arcs.append(current)
    kept = []
    for arc in arcs:
        duration = (arc[-1][0] - arc[0][0]).total_seconds()
        if len(arc) < 10 or duration < 300.0:
            continue
        times = [(moment - arc[0][0]).total_seconds() for moment, _ in arc]
        sums = list(accumulate((value for _, value in arc), initial=0.0))
        for i, t in enumerate(times):
            low, high = ((0, len(arc)) if duration <= 1500.0
                         else (bisect_left(times, t - 750.0), bisect_right(times, t + 750.0)))
            kept.append((arc[i][0], arc[i][1] - (sums[high] - sums[low]) / (high - low)))
    return kept


def elevation_weight(sine):
    return 1.0 if sine >= 0.5 else 0.0 if sine <= 0.0 else 1.0 / (4.0 * sine * sine)


def recomputed_statistics(sample):
    """Per label (rms, weighted rms, count) of the multipath recomputed from the
    written file, weighted by elevations from the generator's orbits."""
    events = {}
    for event in sample.truth["cycle_slips"] + sample.truth["loss_of_lock"]:
        events.setdefault(event["satellite"], set()).add(datetime.fromisoformat(event["epoch"][:-1]))
    orbits = {s.name: s for s in build_constellation(sample.truth["generator"]["seed"], 0.0)}
    antenna, up = antenna_frame(sample.header)
    values = {}
    for name, samples in satellite_series(sample.epochs).items():
        for code in sorted({code for _, v in samples for code in v if code[0] == "C"}):
            series = mp_series(name, samples, code, sample.channels)
            for moment, value in bias_free(series, events.get(name, set())):
                position = orbits[name].position(seconds_since_j2000(moment))
                weight = elevation_weight(elevation_sine(position, antenna, up))
                values.setdefault(SYSTEM_NAMES[name[0]] + "M" + code[1:], []).append((value, weight))
    return {label: (math.sqrt(sum(v * v for v, _ in kept) / len(kept)),
                    math.sqrt(sum(w * v * v for v, w in kept) / sum(w for _, w in kept)), len(kept))
            for label, kept in values.items()}


class Sample:
    """A generated sample read back: lines, header, body, epochs, SP3 records and truth."""

    def __init__(self, out_dir, *arguments):
        self.paths, self.truth = generate(out_dir, *arguments)
        self.lines = read_lines(self.paths["observation"])
        self.header, self.body = split_header(self.lines)
        self.sp3_lines = read_lines(self.paths["orbit"])
        self.sp3 = read_sp3(self.sp3_lines)
        self.channels = glonass_channels(self.header)


RINEX3 = RINEX2 = None
WORKSPACE = None


def setUpModule():
    global RINEX3, RINEX2, WORKSPACE
    WORKSPACE = tempfile.TemporaryDirectory()
    RINEX3 = Sample(os.path.join(WORKSPACE.name, "v3"), "--seed", "7", "--duration", "14400")
    RINEX3.types = rinex3_types(RINEX3.header)
    RINEX3.epochs = rinex3_epochs(RINEX3.body, RINEX3.types)
    RINEX2 = Sample(os.path.join(WORKSPACE.name, "v2"), "--seed", "3", "--duration", "10800",
                    "--start", "2024-03-01T06:00:00", "--rinex-version", "2.11")
    RINEX2.types = rinex2_types(RINEX2.header)
    RINEX2.epochs = rinex2_epochs(RINEX2.body, RINEX2.types)


def tearDownModule():
    WORKSPACE.cleanup()


class Determinism(unittest.TestCase):
    def test_same_seed_gives_identical_files_and_another_seed_differs(self):
        with tempfile.TemporaryDirectory() as work:
            runs = {}
            for run, seed in (("first", "5"), ("second", "5"), ("other", "6")):
                paths, _ = generate(os.path.join(work, run), "--seed", seed, "--duration", "3600")
                runs[run] = {role: read_bytes(path) for role, path in paths.items()}
            self.assertEqual(runs["first"], runs["second"])
            self.assertNotEqual(runs["first"]["observation"], runs["other"]["observation"])

    def test_receiver_arguments(self):
        out, scenario = generate_sample.scenario_from_arguments(
            ["--out", "x", "--receiver", "4000000,1000000,4800000", "--antenna-height", "1.5"])
        self.assertEqual((out, scenario.marker, scenario.antenna_height), ("x", (4e6, 1e6, 4.8e6), 1.5))
        with contextlib.redirect_stderr(io.StringIO()), self.assertRaises(SystemExit):
            generate_sample.scenario_from_arguments(["--out", "x", "--receiver", "1,2,3", "--lat", "4"])


class HeaderLayout(unittest.TestCase):
    def check_labels(self, sample, required):
        for line in sample.header:
            self.assertGreater(len(line), 60, line)
            self.assertTrue(line[60].isalpha() or line[60] == "#", line)
        labels = {label_of(line) for line in sample.header}
        self.assertLessEqual(set(required), labels)
        self.assertEqual(label_of(sample.header[0]), "RINEX VERSION / TYPE")
        self.assertEqual(sample.header[0][20], "O")

    def test_rinex3_header(self):
        self.check_labels(RINEX3, ["SYS / # / OBS TYPES", "TIME OF FIRST OBS", "INTERVAL", "MARKER NAME",
                                   "APPROX POSITION XYZ", "ANTENNA: DELTA H/E/N", "GLONASS SLOT / FRQ #"])
        self.assertEqual(RINEX3.header[0][:9].strip(), "3.04")
        self.assertEqual(RINEX3.types["G"], "C1C L1C S1C C2W L2W S2W C5Q L5Q S5Q".split())
        self.assertEqual(RINEX3.types["C"], "C2I L2I S2I C7I L7I S7I".split())
        for line in header_records(RINEX3.header, "SYS / # / OBS TYPES"):
            self.assertEqual(int(line[3:6]), len(RINEX3.types[line[0]]))
        first = header_records(RINEX3.header, "TIME OF FIRST OBS")[0]
        self.assertEqual(first[:43].split(), ["2024", "3", "1", "0", "0", "0.0000000"])
        self.assertEqual(first[48:51], "GPS")
        self.assertEqual(float(header_records(RINEX3.header, "INTERVAL")[0][:10]), INTERVAL)
        self.assertEqual(float(header_records(RINEX3.header, "ANTENNA: DELTA H/E/N")[0][:14]), 2.0)
        self.assertEqual(RINEX3.channels, dict(enumerate(DEFAULT_GLONASS_CHANNELS, start=1)))

    def test_observation_types_continue_after_thirteen_codes(self):
        codes = [f"{kind}{band}C" for band in "12567" for kind in "CLDS"][:18]
        first, second = observation_type_lines("G", codes)
        self.assertEqual((first[:6], second[:6]), ("G   18", " " * 6))
        self.assertEqual(first[7:60].split() + second[7:60].split(), codes)

    def test_rinex2_header(self):
        self.check_labels(RINEX2, ["# / TYPES OF OBSERV", "TIME OF FIRST OBS", "INTERVAL",
                                   "WAVELENGTH FACT L1/2"])
        self.assertEqual(os.path.basename(RINEX2.paths["observation"]), "SKYL0610.24o")
        self.assertEqual(RINEX2.header[0][:9].strip(), "2.11")
        lines = header_records(RINEX2.header, "# / TYPES OF OBSERV")
        self.assertEqual([int(lines[0][:6]), lines[1][:6]], [12, " " * 6])
        self.assertEqual(RINEX2.types, "C1 L1 S1 P2 L2 S2 C5 L5 S5 C7 L7 S7".split())
        self.assertEqual(len(lines[0][6:60].split()), 9)


class BodyLayout(unittest.TestCase):
    def check_field(self, field):
        self.assertEqual(len(field), 16)
        if field.strip():
            self.assertRegex(field[:14], VALUE_TEXT)
            self.assertIn(field[14], " 1")
            self.assertIn(field[15], " 123456789")

    def test_rinex3_epochs_and_records(self):
        i, previous = 0, None
        while i < len(RINEX3.body):
            line = RINEX3.body[i]
            self.assertEqual((line[0], line[1], line[6], line[29:32]), (">", " ", " ", "  0"), line)
            moment = rinex3_epochs([line], {})[0][0]
            if previous:
                self.assertEqual(moment - previous, timedelta(seconds=INTERVAL))
            previous = moment
            count = int(line[32:35])
            for record in RINEX3.body[i + 1:i + 1 + count]:
                self.assertRegex(record[:3], r"^[GREC]\d\d$")
                fields = [record[start:start + 16].ljust(16) for start in range(3, len(record), 16)]
                self.assertLessEqual(len(fields), len(RINEX3.types[record[0]]))
                for field in fields:
                    self.check_field(field)
            i += 1 + count
        self.assertEqual(previous, datetime(2024, 3, 1, 3, 59, 30))

    def test_rinex2_epochs_and_records(self):
        i, epochs, longest = 0, 0, 0
        while i < len(RINEX2.body):
            line = RINEX2.body[i]
            self.assertTrue(all(line[column] == " " for column in (0, 3, 6, 9, 12)), line)
            self.assertTrue(line[1:3].isdigit() and line[18] == ".", line)
            names, list_lines = rinex2_satellite_lines(line, RINEX2.body, i)
            longest = max(longest, len(names))
            self.assertTrue(all(re.match(r"^[GRE]\d\d$", name) for name in names), names)
            for row in RINEX2.body[i + list_lines:i + list_lines + 3 * len(names)]:
                self.assertLessEqual(len(row), 80)
                for start in range(0, len(row), 16):
                    self.check_field(row[start:start + 16].ljust(16))
            i += list_lines + 3 * len(names)
            epochs += 1
        self.assertEqual(epochs, 360)
        self.assertGreater(longest, 24, "some epochs need two satellite continuation lines")


class OrbitFile(unittest.TestCase):
    def test_header_and_coverage(self):
        first_line, second_line = RINEX3.sp3_lines[:2]
        self.assertEqual((first_line[:3], len(first_line), len(second_line)), ("#dP", 60, 60))
        epoch_lines = [line for line in RINEX3.sp3_lines if line.startswith("*")]
        self.assertEqual(int(first_line[32:39]), len(epoch_lines))
        self.assertEqual(float(second_line[24:38]), 900.0)
        listed = "".join(line[9:60] for line in RINEX3.sp3_lines if line.startswith("+ "))
        names = [listed[k:k + 3] for k in range(0, len(listed), 3) if listed[k:k + 3] != "  0"]
        self.assertEqual(int(RINEX3.sp3_lines[2][3:6]), len(names))
        self.assertEqual(sorted(names), sorted(RINEX3.sp3))
        self.assertTrue(all(len(line) == 60 for line in RINEX3.sp3_lines if line.startswith("P")))
        times = [record[0] for record in RINEX3.sp3["G01"]]
        self.assertLessEqual(times[0], datetime(2024, 3, 1) - timedelta(hours=1))
        self.assertGreaterEqual(times[-1], datetime(2024, 3, 1, 3, 59, 30) + timedelta(hours=1))
        self.assertEqual(RINEX3.sp3_lines[-1], "EOF")

    def test_orbit_radii(self):
        radii = {"G": (26559.7,), "R": (25508.2,), "E": (29599.8,), "C": (27906.1, 42164.2)}
        for name, records in RINEX3.sp3.items():
            for _, position, _ in records:
                radius = math.dist(position, (0, 0, 0)) / 1000.0
                self.assertTrue(any(abs(radius - r) < 0.5 for r in radii[name[0]]), (name, radius))

    def test_nine_point_interpolation_reproduces_the_orbits(self):
        start = datetime(2024, 3, 1)
        satellites = build_constellation(7, seconds_since_j2000(start))
        worst = 0.0
        for satellite in satellites[::7]:
            for minutes in range(0, 241, 17):
                moment = start + timedelta(minutes=minutes, seconds=30)
                position, _ = interpolate(RINEX3.sp3[satellite.name], moment)
                worst = max(worst, math.dist(position, satellite.position(seconds_since_j2000(moment))))
        self.assertLess(worst, 0.01)


class Geometry(unittest.TestCase):
    def test_ionosphere_free_ranges_match_the_orbits(self):
        """Ionosphere-free pseudorange minus SP3 range plus satellite clock leaves
        receiver clock, troposphere, multipath and noise: a few metres apart
        between satellites at one epoch when they stand high."""
        antenna, up = antenna_frame(RINEX3.header)
        checked = 0
        for moment, satellites in RINEX3.epochs[::20]:
            residuals = []
            for name, values in satellites.items():
                codes = [c for c in values if c[0] == "C"][:2]
                position, clock = interpolate(RINEX3.sp3[name], moment)
                if len(codes) < 2 or elevation_sine(position, antenna, up) < 0.5:
                    continue
                travel = math.dist(position, antenna) / LIGHT_SPEED
                emitted, _ = interpolate(RINEX3.sp3[name], moment - timedelta(seconds=travel))
                turn = EARTH_ROTATION * travel
                emitted = (emitted[0] * math.cos(turn) + emitted[1] * math.sin(turn),
                           -emitted[0] * math.sin(turn) + emitted[1] * math.cos(turn), emitted[2])
                channel = RINEX3.channels.get(int(name[1:]), 0)
                f1, f2 = (frequency(name[0], code[1], channel) for code in codes)
                free = (f1 * f1 * values[codes[0]][0] - f2 * f2 * values[codes[1]][0]) / (f1 * f1 - f2 * f2)
                residuals.append(free - math.dist(emitted, antenna) + LIGHT_SPEED * clock)
            checked += len(residuals)
            self.assertLess(max(residuals) - min(residuals), 8.0, moment)
        self.assertGreater(checked, 100)


class SignalStrength(unittest.TestCase):
    def test_snr_oscillates_at_twice_the_antenna_height_over_the_wavelength(self):
        """Below 30 degrees the reflection's interference makes SNR a periodic
        function of sin(elevation) with 2 h / lambda cycles per unit."""
        antenna, up = antenna_frame(RINEX3.header)
        low = {}
        gps = sorted(item for item in satellite_series(RINEX3.epochs).items() if item[0][0] == "G")
        for name, samples in gps[:6]:
            for moment, values in samples:
                sine = elevation_sine(interpolate(RINEX3.sp3[name], moment)[0], antenna, up)
                if 0.09 < sine < 0.5:
                    for code in ("S1C", "S2W"):
                        low.setdefault(code, []).append((sine, values[code][0]))
        for code, band_wavelength in (("S1C", LIGHT_SPEED / 1575.42e6), ("S2W", LIGHT_SPEED / 1227.6e6)):
            expected = 2 * 2.0 / band_wavelength
            mean = sum(snr for _, snr in low[code]) / len(low[code])
            candidates = [expected * (0.5 + step / 100.0) for step in range(101)]
            power = {f: abs(sum((snr - mean) * cmath.exp(-2j * math.pi * f * sine)
                                for sine, snr in low[code])) for f in candidates}
            self.assertAlmostEqual(max(power, key=power.get) / expected, 1.0, delta=0.05, msg=code)


class InjectedEvents(unittest.TestCase):
    def geometry_free_jumps(self, sample):
        """{(satellite, time, phase): (change of the geometry-free combination, seconds elapsed)}."""
        jumps = {}
        for name, samples in satellite_series(sample.epochs).items():
            for (before, old), (moment, new) in zip(samples, samples[1:]):
                for phase in (code for code in new if code[0] == "L"):
                    a, b = (geometry_free(name, values, phase, sample.channels) for values in (old, new))
                    if a is not None and b is not None and (moment - before).total_seconds() <= 300:
                        jumps[(name, moment, phase)] = (b - a, (moment - before).total_seconds())
        return jumps

    def check_slips(self, sample):
        jumps = self.geometry_free_jumps(sample)
        slipped = set()
        for slip in sample.truth["cycle_slips"]:
            moment = datetime.fromisoformat(slip["epoch"][:-1])
            name, phase = slip["satellite"], slip["phase"]
            other = SECOND_BAND[name[0]][phase[1]]
            channel = sample.channels.get(int(name[1:]), 0)
            fa, fb = frequency(name[0], phase[1], channel), frequency(name[0], other, channel)
            expected = slip["cycles"] * LIGHT_SPEED / fa / (fa * fa / (fb * fb) - 1.0)
            self.assertAlmostEqual(jumps[(name, moment, phase)][0], expected, delta=0.05)
            slipped.update((name, moment, found["signal"]) for found in slip["expected_detections"])
        false_alarms = {key: jump for key, (jump, dt) in jumps.items()
                        if abs(jump) > 0.10 + 0.003 * dt and key not in slipped}
        self.assertEqual(false_alarms, {})
        return slipped

    def test_slips_show_in_the_phases_and_nothing_else_jumps(self):
        for sample in (RINEX3, RINEX2):
            self.assertEqual(len(sample.truth["cycle_slips"]), 6)
            slipped = self.check_slips(sample)
            self.assertGreaterEqual(len(slipped), 12)

    def test_loss_of_lock_flags_are_exactly_the_listed_ones(self):
        for sample in (RINEX3, RINEX2):
            flagged = {(name, iso(moment), code)
                       for moment, satellites in sample.epochs for name, values in satellites.items()
                       for code, (_, lli) in values.items() if lli}
            listed = {(e["satellite"], e["epoch"], e["phase"]) for e in sample.truth["loss_of_lock"]}
            self.assertEqual(len(listed), 4)
            self.assertEqual(flagged, listed)

    def test_events_spread_over_the_systems(self):
        systems = {e["satellite"][0] for e in RINEX3.truth["cycle_slips"] + RINEX3.truth["loss_of_lock"]}
        self.assertEqual(systems, set("GREC"))


class Truth(unittest.TestCase):
    def test_labels_and_plausible_sizes(self):
        self.assertEqual(set(RINEX3.truth["signals"]), {"GPSM1C", "GPSM2W", "GPSM5Q", "GLOM1C", "GLOM2P",
                                                        "GALM1C", "GALM5Q", "GALM7Q", "BDSM2I", "BDSM7I"})
        self.assertEqual(set(RINEX2.truth["signals"]), {"GPSM1C", "GPSM2P", "GPSM5X", "GLOM1C", "GLOM2P",
                                                        "GALM1C", "GALM5X"})
        for sample in (RINEX3, RINEX2):
            for label, statistics in sample.truth["signals"].items():
                self.assertTrue(0.1 < statistics["rms"] < 1.0, (label, statistics["rms"]))
                self.assertLess(abs(statistics["mean"]), 0.05, label)

    def test_truth_is_what_the_written_observations_give(self):
        for sample in (RINEX3, RINEX2):
            recomputed = recomputed_statistics(sample)
            self.assertEqual(set(recomputed), set(sample.truth["signals"]))
            for label, (rms, weighted_rms, count) in recomputed.items():
                expected = sample.truth["signals"][label]
                self.assertEqual(count, expected["count"], label)
                self.assertAlmostEqual(rms / expected["rms"], 1.0, delta=0.005, msg=label)
                self.assertAlmostEqual(weighted_rms / expected["weighted_rms"], 1.0, delta=0.005, msg=label)


if __name__ == "__main__":
    unittest.main()

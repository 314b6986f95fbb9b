"""Reading observation files: read_rinex_obs, read_rinex_obs_bytes, RinexObsData, SnrSeries."""
import gzip
import os
import tempfile
import threading
import unittest

from support import skyloam_mp as mp, testdata


def header(lines, version="3.04"):
    """A RINEX header from (content, label) pairs, with the version line first."""
    out = [f"{version:>9}           OBSERVATION DATA    M".ljust(60) + "RINEX VERSION / TYPE"]
    out += [content.ljust(60) + label for content, label in lines]
    out.append(" " * 60 + "END OF HEADER")
    return out


def field(value, lli=" ", ssi=" "):
    return (f"{value:14.3f}" if value is not None else " " * 14) + lli + ssi


RINEX3 = "\n".join(header([
    ("ABCD", "MARKER NAME"),
    ("123                 TRIMBLE NETR9       5.45", "REC # / TYPE / VERS"),
    ("1                   TRM59800.00     NONE", "ANT # / TYPE"),
    ("  3875000.1230   332000.0000  5029000.5000", "APPROX POSITION XYZ"),
    ("     1.000", "INTERVAL"),
    ("G    4 C1C L1C S1C S2W", "SYS / # / OBS TYPES"),
    ("R    2 C1C S1C", "SYS / # / OBS TYPES"),
    (" 2 R01  1 R02 -4", "GLONASS SLOT / FRQ #"),
]) + [
    "> 2024 01 15 00 00  0.0000000  0  3",
    "G05" + field(20000000.0) + field(105000000.0, "1") + field(45.0) + field(40.0),
    "G01" + field(21000000.0) + field(None) + field(0.0),
    "R01" + field(22000000.0) + field(38.5),
    "> 2024 01 15 00 00 30.0000000  0  2",
    "G05" + field(20000100.0) + field(105000500.0) + field(46.0),
    "E11" + field(1.0),
    "> 2024 01 15 00 01  0.0000000  4  1",
    "COMMENT LINE                                                COMMENT",
    "> 2024 01 15 00 01 30.0000000  0  1",
    "G05" + field(20000200.0) + field(105001000.0) + field(47.0) + field(41.5),
]) + "\n"


class Reading(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def write(self, name, content):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode())
        return path

    def test_data_set_properties(self):
        data = mp.read_rinex_obs(self.write("abcd0150.24o", RINEX3))
        self.assertEqual(data.version, "3.04")
        self.assertEqual(data.marker_name, "ABCD")
        self.assertEqual(data.receiver_type, "TRIMBLE NETR9")
        self.assertEqual(data.antenna_type, "TRM59800.00     NONE")
        self.assertEqual(repr(data.approx_position), "Ecef(3875000.123, 332000.000, 5029000.500)")
        self.assertEqual(data.interval, 30.0)  # from the first two epochs, not the header
        self.assertEqual(data.num_epochs, 3)
        self.assertEqual([s.id for s in data.satellites()], ["G01", "G05", "R01"])
        self.assertEqual(data.num_satellites, 3)
        self.assertEqual([str(e) for e in data.epochs()],
                         ["2024-01-15T00:00:00.000Z", "2024-01-15T00:00:30.000Z",
                          "2024-01-15T00:01:30.000Z"])
        self.assertEqual(str(data.first_epoch()), "2024-01-15T00:00:00.000Z")
        self.assertEqual(str(data.last_epoch()), "2024-01-15T00:01:30.000Z")
        self.assertEqual(data.observation_types("g"), ["C1C", "L1C", "S1C", "S2W"])
        self.assertEqual(data.observation_types("X"), data.observation_types("GPS"))
        self.assertEqual(data.observation_types("R"), ["C1C", "S1C"])
        self.assertEqual(data.glonass_fcn(), {1: 1, 2: -4})
        self.assertEqual(data.satellites_by_system(), {"G": 2, "R": 1})
        self.assertEqual(repr(data), "RinexObsData(version=3.04, marker='ABCD', epochs=3, sats=3)")

    def test_snr_queries(self):
        data = mp.read_rinex_obs(self.write("a.rnx", RINEX3))
        self.assertEqual(data.snr_codes("G05"), ["S1C", "S2W"])
        self.assertEqual(data.snr_codes("G01"), ["S1C"])  # listed although its value is 0.0
        self.assertEqual(data.get_snr_series("G01"), [])
        series = data.get_snr_series("G5")
        self.assertEqual([s.code for s in series], ["S1C", "S2W"])
        s1c = series[0]
        self.assertEqual((s1c.satellite, s1c.system, len(s1c)), ("G5", "G", 3))
        self.assertEqual(s1c.values, [45.0, 46.0, 47.0])
        self.assertEqual(s1c.times, [1705276800.0, 1705276830.0, 1705276890.0])
        self.assertEqual(s1c.epochs_iso()[1], "2024-01-15T00:00:30.000Z")
        self.assertIsNot(s1c.values, s1c.values)
        self.assertEqual(repr(series[1]), "SnrSeries(satellite='G5', code='S2W', points=2)")
        self.assertEqual(len(data.get_snr_series("G05", code="s1c")), 1)
        self.assertEqual(data.get_snr_series("G05", "S9Z"), [])
        self.assertEqual(data.get_snr_series("E30"), [])
        with self.assertRaisesRegex(ValueError, r"^'L1C' is not an S-code$"):
            data.get_snr_series("G05", "L1C")
        with self.assertRaisesRegex(ValueError, r"^Invalid satellite id 'X01'$"):
            data.get_snr_series("X01", "L1C")
        with self.assertRaisesRegex(ValueError, r"^Invalid satellite id 'X01'$"):
            data.snr_codes("X01")
        with self.assertRaisesRegex(TypeError, r"^argument 'satellite': "):
            data.snr_codes(5)

    def test_empty_data_set(self):
        data = mp.read_rinex_obs_bytes(b"", "empty.rnx")
        self.assertEqual((data.version, data.num_epochs, data.num_satellites), ("3.05", 0, 0))
        self.assertIsNone(data.first_epoch())
        self.assertIsNone(data.last_epoch())
        self.assertIsNone(data.interval)
        self.assertIsNone(data.approx_position)
        self.assertEqual(data.satellites_by_system(), {})
        self.assertEqual(data.observation_types("G"), [])

    def test_failures_name_their_stage(self):
        missing = os.path.join(self.dir.name, "nope.24o")
        with self.assertRaises(OSError) as caught:
            mp.read_rinex_obs(missing)
        self.assertEqual(str(caught.exception), f"Failed to read RINEX: File not found: {missing}")
        with self.assertRaisesRegex(OSError, r"^Failed to read RINEX: I/O error: "):
            mp.read_rinex_obs(self.dir.name)
        short = RINEX3.replace("> 2024 01 15 00 00 30.0000000  0  2", "> 2024 01 15 00 00 30")
        with self.assertRaises(OSError) as caught:
            mp.read_rinex_obs_bytes(short.encode(), "x.rnx")
        self.assertEqual(str(caught.exception),
                         "Failed to parse RINEX: RINEX parsing error at line 14: Epoch line too short")
        with self.assertRaisesRegex(OSError, r"^Failed to read RINEX: Unsupported RINEX version: 5.00$"):
            mp.read_rinex_obs(self.write("v5.rnx", "\n".join(header([], "5.00"))))
        with self.assertRaisesRegex(TypeError, r"^argument 'data': .*'PyBytes'"):
            mp.read_rinex_obs_bytes("text", "x.rnx")

    def test_gzip_is_chosen_by_the_name(self):
        packed = gzip.compress(RINEX3.encode())
        self.assertEqual(mp.read_rinex_obs(self.write("a.24o.gz", packed)).num_epochs, 3)
        with self.assertRaisesRegex(OSError, "stream did not contain valid UTF-8"):
            mp.read_rinex_obs(self.write("a.24o.GZ", packed))
        self.assertEqual(mp.read_rinex_obs_bytes(packed, "dir/a.rnx.gz").num_epochs, 3)
        with self.assertRaisesRegex(OSError, r"^Failed to parse RINEX: .*valid UTF-8"):
            mp.read_rinex_obs_bytes(packed, "a.rnx")
        with self.assertRaisesRegex(OSError, r"^Failed to read RINEX: I/O error"):
            mp.read_rinex_obs(self.write("cut.rnx.gz", packed[: len(packed) // 2]))

    def test_concatenated_gzip_members_are_read_whole(self):
        text = RINEX3.encode()
        cut = text.index(b"> 2024 01 15 00 00 30")
        packed = gzip.compress(text[:cut]) + gzip.compress(text[cut:])
        self.assertEqual(mp.read_rinex_obs_bytes(packed, "two.gz").num_epochs, 3)

    def test_bytes_never_touch_the_file_system(self):
        victim = self.write("victim.txt", "keep me")
        with tempfile.TemporaryDirectory() as private_tmp:
            saved = os.environ.get("TMPDIR")
            os.environ["TMPDIR"] = private_tmp  # where a temporary file would land
            try:
                for name in (victim, "../" + os.path.basename(victim), "plain.rnx"):
                    mp.read_rinex_obs_bytes(RINEX3.encode(), name)
                with self.assertRaises(OSError):
                    mp.read_rinex_obs_bytes(RINEX3.replace("  0  2", "").encode(), "fails.rnx")
            finally:
                if saved is None:
                    del os.environ["TMPDIR"]
                else:
                    os.environ["TMPDIR"] = saved
            self.assertEqual(os.listdir(private_tmp), [])
        with open(victim) as f:
            self.assertEqual(f.read(), "keep me")
        self.assertEqual(sorted(os.listdir(os.path.dirname(victim))), ["victim.txt"])

    def test_parallel_reads_from_threads(self):
        path = self.write("a.rnx", RINEX3)
        results = []
        threads = [threading.Thread(target=lambda: results.append(mp.read_rinex_obs(path)))
                   for _ in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        self.assertEqual([r.num_epochs for r in results], [3] * 4)
        self.assertEqual(len({id(r) for r in results}), 4)


class RealFiles(unittest.TestCase):
    COUNTS = {  # epochs, (unused), version
        "rinex2/ZIMM2350.15O": (2880, None, "2.11"),
        "rinex2/aiub0000.00o": (7, None, "2.10"),
        "rinex2/ice12720.07o": (4, None, "2.20"),
        "rinex3/z_tracking.rnx": (2, None, "3.04"),
        "rinex3/GEOP092I.24o.gz": (599, None, "3.03"),
        "rinex3/CEDA00USA_R_20182100000_23H_15S_MO.rnx.gz": (4675, None, "3.03"),
        "rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx": (19, None, "4.00"),
    }

    def test_files_read_as_the_manifest_describes(self):
        for name, (epochs, _, version) in self.COUNTS.items():
            with self.subTest(name=name):
                data = mp.read_rinex_obs(testdata(name))
                self.assertEqual(data.version, version)
                self.assertEqual(data.num_epochs, epochs)

    def test_unusable_files_fail_clearly(self):
        with self.assertRaisesRegex(OSError, r"^Failed to read RINEX: Unsupported RINEX version: 2$"):
            mp.read_rinex_obs(testdata("rinex2/KOSG0010.95O"))

    def test_single_digit_blank_system_entries_are_gps(self):
        data = mp.read_rinex_obs(testdata("rinex2/ice12720.07o"))
        ids = [s.id for s in data.satellites()]
        self.assertIn("G01", ids)
        self.assertIn("G05", ids)


if __name__ == "__main__":
    unittest.main()

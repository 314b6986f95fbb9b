"""Compressed observation files give the same data and analyses as their plain twins."""
import gzip
import unittest

from support import skyloam_mp as mp, testdata

PAIRS = [
    ("misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx", "rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx"),
    ("misc/KMS300DNK_R_20221591000_01H_30S_MO.crx", "rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx"),
    ("misc/delf0010.21d", "rinex2/delf0010.21o"),
]


def queries(data):
    """Everything a data set answers, as plain Python values."""
    satellites = [s.id for s in data.satellites()]
    return {
        "scalars": (data.version, data.marker_name, data.receiver_type, data.antenna_type,
                    repr(data.approx_position), data.interval, data.num_epochs,
                    data.num_satellites, repr(data)),
        "epochs": [str(e) for e in data.epochs()],
        "types": {s: data.observation_types(s) for s in "CEGIJMRS"},
        "fcn": data.glonass_fcn(),
        "systems": data.satellites_by_system(),
        "snr": {s: [(x.code, x.times, x.values) for x in data.get_snr_series(s)]
                for s in satellites},
        "codes": {s: data.snr_codes(s) for s in satellites},
    }


def multipath(data):
    results = mp.MultipathAnalyzer(data).analyze()
    return ([(e.satellite, e.epoch, e.signal, e.mp_value, e.snr) for e in results.estimates],
            [(s.signal, s.count, s.rms, s.mean, s.weighted_rms, s.cycle_slips)
             for s in results.statistics],
            [(c.satellite, c.epoch, c.method, c.signal, c.magnitude) for c in results.cycle_slips],
            results.cycle_slip_counts)


class CompactRinex(unittest.TestCase):
    def test_pairs_agree_in_every_query_and_analysis(self):
        for compact, plain in PAIRS:
            with self.subTest(compact=compact):
                a = mp.read_rinex_obs(testdata(compact))
                b = mp.read_rinex_obs(testdata(plain))
                self.assertEqual(queries(a), queries(b))
                self.assertEqual(multipath(a), multipath(b))
                self.assertEqual(mp.analyze_snr_wavelets(a), mp.analyze_snr_wavelets(b))

    def test_compressed_layers_by_name(self):
        with open(testdata("misc/delf0010.21d"), "rb") as f:
            compact = f.read()
        plain = queries(mp.read_rinex_obs(testdata("rinex2/delf0010.21o")))
        self.assertEqual(queries(mp.read_rinex_obs_bytes(gzip.compress(compact), "delf0010.21d.gz")),
                         plain)
        with open(testdata("misc/ac660270.18o.Z"), "rb") as f:
            packed = f.read()
        self.assertEqual(mp.read_rinex_obs_bytes(packed, "x/ac660270.18o.Z").num_epochs, 23)
        self.assertEqual(mp.read_rinex_obs(testdata("misc/ac660270.18o.Z")).marker_name, "AC66")
        with self.assertRaisesRegex(OSError, r"^Failed to parse RINEX: I/O error"):
            mp.read_rinex_obs_bytes(packed[: len(packed) // 2], "cut.18o.Z")

    def test_malformed_compact_lines_are_parse_errors(self):
        with open(testdata("misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx"), "rb") as f:
            text = f.read()
        at = text.index(b"\n>") + 1
        broken = text[:at] + b"&not a compact epoch line\n" + text[at:]
        with self.assertRaisesRegex(OSError, r"^Failed to parse RINEX: RINEX parsing error at line \d+"):
            mp.read_rinex_obs_bytes(broken, "broken.crx")


if __name__ == "__main__":
    unittest.main()

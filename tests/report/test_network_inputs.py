"""Archive names, orbit matching and input lists of the batch."""
import datetime
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "report"))
from skyloam_report.errors import ReportError  # noqa: E402
from skyloam_report.file_names import parse_name  # noqa: E402
from skyloam_report.inputs import OrbitIndex, list_inputs, select_task, slurm_task  # noqa: E402

D = datetime.date


class ArchiveNames(unittest.TestCase):
    def test_names(self):
        cases = [
            ("ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", ("obs", D(2020, 6, 25), "ESBC00DNK")),
            ("ACOR00ESP_R_20213550000_01D_30S_MO.crx", ("obs", D(2021, 12, 21), "ACOR00ESP")),
            ("ESBC00DNK_R_20201770000_01D_MN.rnx.gz", ("nav", D(2020, 6, 25), "ESBC00DNK")),
            ("ZIMM2350.15O", ("obs", D(2015, 8, 23), "ZIMM")),
            ("faa1170b00.16o", ("obs", D(2016, 6, 18), "FAA1")),
            ("delf0010.21d.Z", ("obs", D(2021, 1, 1), "DELF")),
            ("aiub0010.99o", ("obs", D(1999, 1, 1), "AIUB")),
            ("arlm200a.15n", ("nav", D(2015, 7, 19), "ARLM")),
            ("ceda2100.18e", ("nav", D(2018, 7, 29), "CEDA")),
            ("GRG0MGXFIN_20201770000_01D_15M_ORB.SP3", ("sp3", D(2020, 6, 25), None)),
            ("igs18590.sp3.Z", ("sp3", D(2015, 8, 23), None)),
        ]
        for name, expected in cases:
            with self.subTest(name=name):
                named = parse_name(os.path.join("/data", name))
                self.assertEqual((named.kind, named.day, named.station), expected)
        for name in ("SKYL.rnx", "ZIMM3670.15O", "report.json", "ESBC00DNK_R_20201770000_01D_30S_MO.txt",
                     "igs18597.sp3", "sst_nino3.dat"):
            with self.subTest(name=name):
                self.assertIsNone(parse_name(name))


class Matching(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def _files(self, folder, names):
        path = os.path.join(self.folder.name, folder)
        os.makedirs(os.path.join(path, "2020"))
        for name in names:
            open(os.path.join(path, "2020", name), "w").close()
        return path

    def test_own_navigation_first_then_merged_and_best_sp3_of_the_day(self):
        nav = self._files("nav", ["ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "esbc1770.20g",
                                  "BRDC00IGS_R_20201770000_01D_MN.rnx.gz",
                                  "ONSA00SWE_R_20201770000_01D_MN.rnx",
                                  "BRDC00IGS_R_20201780000_01D_MN.rnx.gz"])
        sp3 = self._files("sp3", ["GRG0MGXRAP_20201770000_01D_15M_ORB.SP3", "igs21114.sp3",
                                  "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3", "igs21115.sp3"])
        index = OrbitIndex(nav, sp3)
        own = index.match("/obs/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz")
        self.assertEqual([os.path.basename(p) for p in own.nav],
                         ["ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "esbc1770.20g"])
        self.assertEqual(os.path.basename(own.sp3), "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3")
        other = index.match("/obs/wtzr1770.20o")
        self.assertEqual([os.path.basename(p) for p in other.nav], ["BRDC00IGS_R_20201770000_01D_MN.rnx.gz"])
        for unmatched in ("/obs/wtzr1790.20o", "/obs/SKYL.rnx"):
            self.assertEqual((index.match(unmatched).sp3, index.match(unmatched).nav), (None, []))
        with self.assertRaises(ReportError):
            OrbitIndex(os.path.join(self.folder.name, "absent"))


class InputLists(unittest.TestCase):
    def test_list_file_glob_and_task_shares(self):
        with tempfile.TemporaryDirectory() as folder:
            for name in ("b.rnx", "a.rnx"):
                open(os.path.join(folder, name), "w").close()
            listing = os.path.join(folder, "list")
            with open(listing, "w") as f:
                f.write(f"# inputs\n{folder}/b.rnx\n\n{folder}/a.rnx\n{folder}/b.rnx\n")
            self.assertEqual(list_inputs(listing), [f"{folder}/b.rnx", f"{folder}/a.rnx"])
            self.assertEqual(list_inputs(f"{folder}/*.rnx"), [f"{folder}/a.rnx", f"{folder}/b.rnx"])
            with self.assertRaises(ReportError):
                list_inputs(f"{folder}/*.crx")
            # An observation file in place of a list: by its name, or by how it starts.
            for name, start in (("zimm2350.15o", b"x\n"), ("day.rnx.gz", b"\x1f\x8b\x08"),
                                ("day.txt", b"     3.04           OBSERVATION DATA    M"
                                            b"                   RINEX VERSION / TYPE\n")):
                with self.subTest(name=name):
                    path = os.path.join(folder, name)
                    with open(path, "wb") as f:
                        f.write(start)
                    self.assertEqual(list_inputs(path), [path])
        paths = list("abcdefg")
        shares = [select_task(paths, i, 3) for i in range(3)]
        self.assertEqual(sorted(sum(shares, [])), paths)
        self.assertEqual(shares[1], ["b", "e"])
        with self.assertRaises(ReportError):
            select_task(paths, 3, 3)
        self.assertEqual(slurm_task({"SLURM_ARRAY_TASK_ID": "7", "SLURM_ARRAY_TASK_COUNT": "4",
                                     "SLURM_ARRAY_TASK_MIN": "5"}), (2, 4))
        self.assertIsNone(slurm_task({}))


if __name__ == "__main__":
    unittest.main()

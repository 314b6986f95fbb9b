"""`slurm --submit` on a real cluster gives the database of a local `batch --jobs 2`.

Needs a running cluster: SKYLOAM_SLURM_CONF names its slurm.conf
(tools/ci/slurm-cluster start DIR prints it; .ci/run sets it)."""
import os
import shlex
import subprocess
import tempfile
import time
import unittest

from network_support import dump_database, make_inputs, run_tool

SLURM_CONF = os.environ.get("SKYLOAM_SLURM_CONF")


def _wait_for_job(job_id, environment, seconds=600):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        queued = subprocess.run(["squeue", "-h", "-j", job_id], capture_output=True, text=True,
                                env=environment, timeout=60)
        if queued.returncode == 0 and not queued.stdout.strip():
            return
        time.sleep(1)
    raise AssertionError(f"Slurm job {job_id} did not finish in {seconds} s")


class JobScripts(unittest.TestCase):
    def test_scripts_run_batch_over_shares_then_merge(self):
        with tempfile.TemporaryDirectory() as work:
            folder = os.path.join(work, "a folder")
            os.makedirs(folder)
            for i in range(5):
                open(os.path.join(folder, f"s{i}.rnx"), "w").close()
            out = os.path.join(folder, "out")
            done = run_tool("slurm", os.path.join(folder, "*.rnx"), "--out", out, "--files-per-task", "2",
                            "--partition", "short", "--time", "0:10:00", "--sp3-dir", folder)
            self.assertEqual(done.returncode, 0, done.stderr)
            scripts = {}
            for name in ("batch", "merge"):
                with open(os.path.join(out, "slurm", name + ".sbatch")) as f:
                    scripts[name] = f.read().splitlines()
            self.assertIn("#SBATCH --array=0-2", scripts["batch"])
            for lines in scripts.values():
                self.assertIn("#SBATCH --partition=short", lines)
                self.assertIn("#SBATCH --time=0:10:00", lines)
            batch = shlex.split(scripts["batch"][-1])
            inputs = os.path.join(out, "slurm", "inputs.txt")
            self.assertEqual(batch[3:], ["batch", inputs, "--out", out, "--jobs", "1", "--sp3-dir", folder])
            self.assertEqual(shlex.split(scripts["merge"][-1])[3:],
                             ["merge", out, "--db", os.path.join(out, "network.sqlite")])
            with open(inputs) as f:
                self.assertEqual(len(f.read().splitlines()), 5)


@unittest.skipUnless(SLURM_CONF, "no Slurm cluster given: set SKYLOAM_SLURM_CONF to its slurm.conf "
                                 "(tools/ci/slurm-cluster start DIR)")
class SlurmCluster(unittest.TestCase):
    def test_submitted_array_and_merge_equal_a_local_batch(self):
        with tempfile.TemporaryDirectory() as work:
            listing, sp3_dir, nav_dir, good, broken = make_inputs(work)
            orbit_options = ["--sp3-dir", sp3_dir, "--nav-dir", nav_dir]
            local_db = os.path.join(work, "local.sqlite")
            run_tool("batch", listing, "--out", os.path.join(work, "local"), "--jobs", "2", "--quiet",
                     *orbit_options)
            run_tool("merge", os.path.join(work, "local"), "--db", local_db, "--quiet")

            environment = dict(os.environ, SLURM_CONF=SLURM_CONF)
            slurm_db = os.path.join(work, "slurm.sqlite")
            submitted = run_tool("slurm", listing, "--out", os.path.join(work, "cluster"), "--db", slurm_db,
                                 "--files-per-task", "2", *orbit_options, "--submit", env=environment)
            self.assertEqual(submitted.returncode, 0, submitted.stderr)
            self.assertIn("in 5 array tasks", submitted.stdout)
            merge_job = submitted.stdout.split()[-1]
            _wait_for_job(merge_job, environment)

            self.assertEqual(len(dump_database(local_db)["station_days"]), len(good) + len(broken))
            self.assertEqual(dump_database(slurm_db), dump_database(local_db))


if __name__ == "__main__":
    unittest.main()

"""Network-scale figures: batch throughput, speed-up of a local pool, Slurm
overhead per task, and merging 10,000 results. Prints figures, asserts nothing.

  python3.12 bench/network/network_bench.py [--days 8] [--results 10000]

Reads ../shared/testdata (the ESBC day, 30 s multi-GNSS, with its navigation
and SP3 files); runs build/skyloam-mp (or $SKYLOAM_REPORT_TOOL). The Slurm
figure needs a cluster: SKYLOAM_SLURM_CONF names its slurm.conf
(tools/ci/slurm-cluster start DIR).
"""
import argparse
import glob
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
TESTDATA = os.environ.get("SKYLOAM_TESTDATA", os.path.join(ROOT, "..", "shared", "testdata"))
TOOL = os.environ.get("SKYLOAM_REPORT_TOOL", os.path.join(ROOT, "build", "skyloam-mp"))
DAY = "ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"


def _children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(command, env=None, cores=None):
    """Wall and CPU seconds (of all processes the command ran) of a command,
    run on the given cores (default: wherever the system puts it)."""
    confine = (lambda: os.sched_setaffinity(0, cores)) if cores else None
    start, cpu = time.perf_counter(), _children_cpu()
    done = subprocess.run(command, capture_output=True, text=True, env=env, preexec_fn=confine)
    if done.returncode not in (0, 1):
        sys.exit(f"failed: {' '.join(command)}\n{done.stderr}")
    return time.perf_counter() - start, _children_cpu() - cpu


def station_days(folder, count):
    """`count` links to the ESBC day under other station names, with its orbit folders."""
    obs, nav, sp3 = (os.path.join(folder, name) for name in ("obs", "nav", "sp3"))
    for path in (obs, nav, sp3):
        os.makedirs(path)
    os.symlink(os.path.join(TESTDATA, "sp3", "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"),
               os.path.join(sp3, "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"))
    os.symlink(os.path.join(TESTDATA, "nav", "ESBC00DNK_R_20201770000_01D_MN.rnx.gz"),
               os.path.join(nav, "BRDC00IGS_R_20201770000_01D_MN.rnx.gz"))
    for i in range(count):
        os.symlink(os.path.join(TESTDATA, "rinex3", DAY), os.path.join(obs, f"S{i:03d}" + DAY[4:]))
    return os.path.join(obs, "*.rnx.gz"), ["--nav-dir", nav, "--sp3-dir", sp3]


def throughput(folder, days):
    pattern, orbits = station_days(folder, days)
    out = os.path.join(folder, "out")
    command = [TOOL, "batch", pattern, "--out", out, "--force", "--quiet", *orbits]
    cores = sorted(os.sched_getaffinity(0))
    free, _ = timed(command + ["--jobs", "1"])
    one, cpu = timed(command + ["--jobs", "1"], cores=cores[:1])
    two, _ = timed(command + ["--jobs", "2"], cores=cores[:2])
    print(f"batch, {days} ESBC days (30 s, 6 systems, nav and SP3 matched), result files written,")
    print(f"process start included (load average {os.getloadavg()[0]:.1f} on {len(cores)} cores):")
    print(f"  1 job on 1 core : {one / days:.3f} s wall, {cpu / days:.3f} s CPU per station-day = "
          f"{3600 * days / one:,.0f} station-days per hour per core")
    print(f"  1 job, any core : {free / days:.3f} s wall per station-day (the SNR step uses every core)")
    print(f"  2 jobs on 2 cores: {two / days:.3f} s wall per station-day, speed-up {one / two:.2f}x "
          f"against 1 job on 1 core, {free / two:.2f}x against 1 job on any core")
    return out


def slurm_overhead(folder, tasks):
    conf = os.environ.get("SKYLOAM_SLURM_CONF")
    if not conf:
        print("Slurm: skipped (set SKYLOAM_SLURM_CONF to a cluster's slurm.conf)")
        return
    env = dict(os.environ, SLURM_CONF=conf)
    start = time.perf_counter()
    job = subprocess.run(["sbatch", "--parsable", f"--array=0-{tasks - 1}", "--wrap", "true",
                          f"--output={folder}/empty-%a.log"], capture_output=True, text=True, env=env,
                         check=True).stdout.strip()
    while subprocess.run(["squeue", "-h", "-j", job], capture_output=True, text=True, env=env).stdout.strip():
        time.sleep(0.2)
    empty = time.perf_counter() - start
    startup, _ = timed([TOOL, "--help"])
    print(f"Slurm, local single-node cluster: {tasks} empty array tasks done {empty:.1f} s after "
          f"submission = {empty / tasks:.2f} s per task; a batch task's own start-up {startup:.2f} s")


def synthetic_results(folder, template_dir, count):
    [template] = glob.glob(os.path.join(template_dir, "*.result.json"))[:1]
    with open(template) as f:
        document = json.load(f)
    out = os.path.join(folder, "many")
    os.makedirs(out)
    for i in range(count):
        station, day = f"S{i % 500:03d}00XXX", 1 + i // 500
        document["input"]["file"] = f"/archive/{station}_R_2020{day:03d}0000_01D_30S_MO.rnx.gz"
        document["station"], document["day"] = station, f"2020-01-{day:02d}"
        with open(os.path.join(out, f"{i:05d}.result.json"), "w") as f:
            json.dump(document, f, separators=(",", ":"))
    return out


def merging(folder, template_dir, count):
    results = synthetic_results(folder, template_dir, count)
    db = os.path.join(folder, "network.sqlite")
    first, cpu = timed([TOOL, "merge", results, "--db", db, "--quiet"])
    again, _ = timed([TOOL, "merge", results, "--db", db, "--quiet"])
    size = sum(os.path.getsize(p) for p in glob.glob(db + "*"))
    print(f"merge of {count:,} ESBC-sized results: {first:.1f} s wall, {cpu:.1f} s CPU "
          f"({count / first:,.0f} per s), "
          f"again with nothing new {again:.1f} s; database {size / 1e6:.0f} MB = "
          f"{size / count / 1e3:.1f} kB per station-day")
    page = os.path.join(folder, "network.html")
    wall, _ = timed([TOOL, "network-report", "--db", db, "--html", page, "--quiet"])
    print(f"network-report over it: {wall:.1f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--days", type=int, default=16, help="station-days through batch (default 16)")
    parser.add_argument("--results", type=int, default=10000, help="results to merge (default 10000)")
    parser.add_argument("--slurm-tasks", type=int, default=40, help="empty Slurm array tasks (default 40)")
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        out = throughput(folder, options.days)
        slurm_overhead(folder, options.slurm_tasks)
        merging(folder, out, options.results)


if __name__ == "__main__":
    main()

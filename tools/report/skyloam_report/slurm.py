"""Slurm job scripts for a batch: a job array that runs `batch` over shares of
the inputs, and a merge job that runs once the array has ended, whether or
not some inputs failed (their failure results are merged too)."""
import os
import shlex
import subprocess
from dataclasses import dataclass

from skyloam_report.errors import ReportError

# Slurm's default MaxArraySize allows array indexes up to 1000.
DEFAULT_MAX_ARRAY_SIZE = 1001


@dataclass(frozen=True)
class Plan:
    tool: list[str]           # how to run skyloam-mp on the cluster's nodes
    inputs_list: str          # the list of absolute input paths every task reads
    out_dir: str
    db: str
    task_count: int
    batch_options: list[str]  # --nav-dir, --sp3-dir, --force, --estimates as given
    partition: str | None = None
    time: str | None = None


def task_count(inputs, files_per_task):
    return max(1, -(-inputs // files_per_task))


def _header(plan, name, log):
    lines = ["#!/bin/sh", f"#SBATCH --job-name={name}", "#SBATCH --ntasks=1", "#SBATCH --cpus-per-task=1",
             f"#SBATCH --output={log}"]
    lines += [f"#SBATCH --partition={plan.partition}"] if plan.partition else []
    lines += [f"#SBATCH --time={plan.time}"] if plan.time else []
    return lines


def batch_script(plan):
    log = os.path.join(plan.out_dir, "slurm", "batch-%A_%a.log")
    command = plan.tool + ["batch", plan.inputs_list, "--out", plan.out_dir, "--jobs", "1",
                           *plan.batch_options]
    return "\n".join(_header(plan, "skyloam-mp-batch", log) + [
        f"#SBATCH --array=0-{plan.task_count - 1}",
        f"# Task I analyses inputs I, I+{plan.task_count}, I+{2 * plan.task_count}, ... of the list",
        "# (batch reads SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT).",
        "exec " + shlex.join(command), ""])


def merge_script(plan):
    log = os.path.join(plan.out_dir, "slurm", "merge-%j.log")
    command = plan.tool + ["merge", plan.out_dir, "--db", plan.db]
    return "\n".join(_header(plan, "skyloam-mp-merge", log) + ["exec " + shlex.join(command), ""])


def _sbatch(arguments):
    try:
        done = subprocess.run(["sbatch", "--parsable", *arguments], capture_output=True, text=True,
                              timeout=120)
    except FileNotFoundError:
        raise ReportError("sbatch not found: is this a Slurm submission host?") from None
    if done.returncode != 0:
        raise ReportError(f"sbatch failed: {done.stderr.strip() or done.stdout.strip()}")
    return done.stdout.strip().split(";")[0]


def submit(batch_path, merge_path):
    """Submits the array, then the merge job after it; returns both job ids."""
    array_id = _sbatch([batch_path])
    merge_id = _sbatch([f"--dependency=afterany:{array_id}", merge_path])
    return array_id, merge_id

"""`skyloam-mp slurm LIST --out DIR [--files-per-task N] [--partition P] [--time T]
[--nav-dir D] [--sp3-dir D] [--db FILE] [--force] [--estimates] [--submit]`:
writes the job-array and merge scripts of a batch under DIR/slurm and, with
--submit, submits them and prints the job ids."""
import os
import sys

from skyloam_report import slurm
from skyloam_report.batch_command import add_orbit_options
from skyloam_report.errors import ReportError
from skyloam_report.inputs import list_inputs

DEFAULT_FILES_PER_TASK = 50


def add_command(commands):
    command = commands.add_parser("slurm", help="write (and submit) Slurm jobs for a batch and its merge")
    command.add_argument("list", metavar="LIST",
                         help="file naming one observation file per line, or a glob pattern")
    command.add_argument("--out", required=True, metavar="DIR", help="folder of the results")
    command.add_argument("--files-per-task", type=int, default=DEFAULT_FILES_PER_TASK, metavar="N",
                         help=f"inputs per array task (default {DEFAULT_FILES_PER_TASK})")
    command.add_argument("--partition", metavar="P", help="Slurm partition")
    command.add_argument("--time", metavar="T", help="time limit of each task, as sbatch takes it")
    add_orbit_options(command)
    command.add_argument("--db", metavar="FILE",
                         help="database of the merge job (default DIR/network.sqlite)")
    command.add_argument("--force", action="store_true", help="redo results that are up to date")
    command.add_argument("--estimates", action="store_true", help="also write every estimate")
    command.add_argument("--submit", action="store_true", help="submit both jobs with sbatch")
    command.add_argument("--quiet", action="store_true", help="no progress messages on standard error")
    command.set_defaults(run=run)


def _batch_options(options):
    chosen = []
    for flag, folder in (("--nav-dir", options.nav_dir), ("--sp3-dir", options.sp3_dir)):
        if folder:
            chosen += [flag, os.path.abspath(folder)]
    return chosen + ["--force"] * options.force + ["--estimates"] * options.estimates


def _write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def tool_command():
    """How nodes run this very tool: its interpreter and its launcher script."""
    return [sys.executable, os.path.realpath(sys.argv[0])]


def run(options, progress):
    if options.files_per_task < 1:
        raise ReportError("--files-per-task must be at least 1")
    paths = list_inputs(options.list)
    out_dir = os.path.abspath(options.out)
    folder = os.path.join(out_dir, "slurm")
    os.makedirs(folder, exist_ok=True)
    inputs_list = os.path.join(folder, "inputs.txt")
    _write(inputs_list, "".join(p + "\n" for p in paths))
    plan = slurm.Plan(tool_command(), inputs_list, out_dir,
                      os.path.abspath(options.db or os.path.join(out_dir, "network.sqlite")),
                      slurm.task_count(len(paths), options.files_per_task), _batch_options(options),
                      options.partition, options.time)
    if plan.task_count > slurm.DEFAULT_MAX_ARRAY_SIZE:
        progress(f"warning: {plan.task_count} array tasks exceed Slurm's default MaxArraySize "
                 f"({slurm.DEFAULT_MAX_ARRAY_SIZE}); raise --files-per-task or the cluster's limit")
    batch_path, merge_path = os.path.join(folder, "batch.sbatch"), os.path.join(folder, "merge.sbatch")
    _write(batch_path, slurm.batch_script(plan))
    _write(merge_path, slurm.merge_script(plan))
    print(f"{len(paths)} inputs in {plan.task_count} array tasks: {batch_path}, then {merge_path} "
          f"into {plan.db}")
    if options.submit:
        array_id, merge_id = slurm.submit(batch_path, merge_path)
        print(f"submitted array job {array_id} and merge job {merge_id}")
    return 0

"""`skyloam-mp batch LIST --out DIR [--jobs N] [--nav-dir D] [--sp3-dir D] [--force]
[--estimates] [--task-index I --task-count K] [--quiet]`: one compact result per
observation file of LIST, skipping those that are up to date."""
import os
import sys

from skyloam_report.batch_runner import Settings, Task, run_batch
from skyloam_report.errors import ReportError
from skyloam_report.inputs import OrbitIndex, list_inputs, select_task, slurm_task


def available_cores():
    return len(os.sched_getaffinity(0))


def add_orbit_options(parser):
    parser.add_argument("--nav-dir", metavar="D",
                        help="folder of navigation files, matched to each input by station and day")
    parser.add_argument("--sp3-dir", metavar="D", help="folder of SP3 orbit files, matched by day")


def add_command(commands):
    batch = commands.add_parser("batch", help="analyse many observation files into compact results")
    batch.add_argument("list", metavar="LIST",
                       help="file naming one observation file per line, or a glob pattern")
    batch.add_argument("--out", required=True, metavar="DIR", help="folder of the results")
    batch.add_argument("--jobs", type=int, default=available_cores(), metavar="N",
                       help="processes working at once (default: the number of cores)")
    add_orbit_options(batch)
    batch.add_argument("--force", action="store_true", help="redo results that are up to date")
    batch.add_argument("--estimates", action="store_true",
                       help="also write every estimate, one JSON array per column, beside each result")
    batch.add_argument("--task-index", type=int, metavar="I",
                       help="process every K-th input starting at I (default: Slurm's array task)")
    batch.add_argument("--task-count", type=int, metavar="K")
    batch.add_argument("--quiet", action="store_true", help="no progress messages on standard error")
    batch.set_defaults(run=run)


def _share(paths, options):
    if (options.task_index is None) != (options.task_count is None):
        raise ReportError("give --task-index and --task-count together")
    task = ((options.task_index, options.task_count) if options.task_count is not None
            else slurm_task(os.environ))
    return select_task(paths, *task) if task else paths


def summary_lines(outcomes):
    counts = {status: sum(o.status == status for o in outcomes) for status in ("ok", "up to date", "failed")}
    inputs = "1 input" if len(outcomes) == 1 else f"{len(outcomes)} inputs"
    lines = [f"{inputs}: {counts['ok']} analysed, {counts['up to date']} up to date, "
             f"{counts['failed']} failed"]
    lines += [f"failed: {o.path}: {o.error}" for o in outcomes if o.status == "failed"]
    return lines


def run(options, progress):
    if options.jobs < 1:
        raise ReportError("--jobs must be at least 1")
    paths = _share(list_inputs(options.list), options)
    orbits = OrbitIndex(options.nav_dir, options.sp3_dir)
    tasks = [Task(path, orbits.match(path)) for path in paths]
    settings = Settings(os.path.abspath(options.out), options.jobs, options.force, options.estimates)
    outcomes = run_batch(tasks, settings, progress)
    sys.stdout.write("".join(line + "\n" for line in summary_lines(outcomes)))
    return 1 if any(o.status == "failed" for o in outcomes) else 0

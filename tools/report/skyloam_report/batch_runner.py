"""Runs the report's analysis over many observation files, one compact result each.

`run_batch(tasks, settings, progress)` processes each `Task` (an input and its
orbit files) in this process or in a local pool of `settings.jobs` processes,
and returns one `Outcome` per task, in the order they finished. A failure of
one input is written as its failed result and never stops the others.
"""
import concurrent.futures
import itertools
import multiprocessing
import os
import time
import types
from dataclasses import dataclass

import skyloam_mp as mp

from skyloam_report import compact
from skyloam_report.analysis import run_report
from skyloam_report.atomic_files import remove_stale_temporaries
from skyloam_report.errors import ReportError
from skyloam_report.file_names import parse_name
from skyloam_report.inputs import Orbits


@dataclass(frozen=True)
class Settings:
    out_dir: str
    jobs: int = 1
    force: bool = False
    estimates: bool = False
    tool_version: str = mp.version()


@dataclass(frozen=True)
class Task:
    path: str
    orbits: Orbits


@dataclass(frozen=True)
class Outcome:
    path: str
    status: str               # "ok", "failed" or "up to date"
    error: str | None
    seconds: float


def result_path(settings, input_path, suffix=compact.RESULT_SUFFIX):
    return os.path.join(settings.out_dir, compact.result_stem(input_path) + suffix)


def _sha256_or_none(path):
    try:
        return compact.sha256_of(path)
    except OSError:
        return None


def _analyse(task, settings, result):
    options = types.SimpleNamespace(obs=task.path, sp3=task.orbits.sp3, nav=list(task.orbits.nav),
                                    receiver=None)
    report = run_report(options, lambda text: None)
    compact.fill_from_report(result, report)
    if settings.estimates:
        compact.write_document(result_path(settings, task.path, compact.ESTIMATES_SUFFIX),
                               compact.estimate_columns(report))


def _is_up_to_date(task, settings, target, identity):
    if settings.force or identity is None:
        return False
    if settings.estimates and not os.path.exists(result_path(settings, task.path, compact.ESTIMATES_SUFFIX)):
        return False
    return compact.is_up_to_date(compact.read_result(target), identity, task.orbits, settings.tool_version)


def process(task, settings):
    """Analyses one input unless its result is up to date; writes the result."""
    start = time.perf_counter()
    target = result_path(settings, task.path)
    identity = compact.file_identity(task.path)
    if _is_up_to_date(task, settings, target, identity):
        return Outcome(task.path, "up to date", None, time.perf_counter() - start)
    remove_stale_temporaries(target)
    remove_stale_temporaries(result_path(settings, task.path, compact.ESTIMATES_SUFFIX))
    named = parse_name(task.path)
    result = compact.base_result(identity or {"file": task.path, "size": None, "mtime_ns": None},
                                 named if named and named.kind == "obs" else None,
                                 task.orbits, settings.tool_version)
    try:
        _analyse(task, settings, result)
    except (ReportError, OSError, ValueError) as error:
        result["error"] = str(error) or type(error).__name__
    result["input"]["sha256"] = _sha256_or_none(task.path)
    result["seconds"] = time.perf_counter() - start
    compact.write_document(target, result)
    return Outcome(task.path, result["status"], result["error"], result["seconds"])


def _in_pool(tasks, settings):
    # Workers are forked before this process has run any analysis, so no
    # worker inherits a half-used thread pool. A few tasks per worker are in
    # flight at a time, so a list of millions costs no memory here.
    context = multiprocessing.get_context("fork")
    waiting = iter(tasks)
    with concurrent.futures.ProcessPoolExecutor(settings.jobs, mp_context=context) as pool:
        running = {}
        while True:
            for task in itertools.islice(waiting, 4 * settings.jobs - len(running)):
                running[pool.submit(process, task, settings)] = task
            if not running:
                return
            done, _ = concurrent.futures.wait(running, return_when=concurrent.futures.FIRST_COMPLETED)
            for future in done:
                task = running.pop(future)
                try:
                    yield future.result()
                except Exception as error:  # a dead worker breaks the pool; a rerun finishes the rest
                    yield Outcome(task.path, "failed", f"worker failed: {error!r}", 0.0)


def run_batch(tasks, settings, progress):
    os.makedirs(settings.out_dir, exist_ok=True)
    if settings.jobs > 1 and len(tasks) > 1:
        finished = _in_pool(tasks, settings)
    else:
        finished = (process(task, settings) for task in tasks)
    outcomes = []
    for outcome in finished:
        outcomes.append(outcome)
        detail = f": {outcome.error}" if outcome.error else f" ({outcome.seconds:.2f} s)"
        progress(f"[{len(outcomes)}/{len(tasks)}] {outcome.status} {outcome.path}{detail}")
    return outcomes

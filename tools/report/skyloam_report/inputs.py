"""The inputs of a batch: the observation files of a list, and the orbit files
that match each of them by station and day (rules in file_names.py)."""
import glob
import os
from collections import defaultdict
from dataclasses import dataclass, field

from skyloam_report.errors import ReportError
from skyloam_report.file_names import parse_name, site

# Among several SP3 files of a day the best product wins: final, rapid, ultra-rapid.
PRODUCT_RANK = ("FIN", "RAP", "ULT")
# Navigation files merged from many stations serve any station of their day.
MERGED_NAVIGATION_SITES = ("BRDC", "BRDM", "BRD4")
# How an observation file given in place of a list starts: gzip, Unix compress,
# or the first header line of RINEX or compact RINEX.
OBSERVATION_FILE_STARTS = (b"\x1f\x8b", b"\x1f\x9d")
OBSERVATION_FILE_LABELS = (b"RINEX VERSION / TYPE", b"CRINEX VERS   / TYPE")


def _is_observation_file(path):
    named = parse_name(path)
    if named and named.kind == "obs":
        return True
    try:
        with open(path, "rb") as f:
            start = f.read(80)
    except OSError:
        return False
    return start.startswith(OBSERVATION_FILE_STARTS) or any(
        label in start for label in OBSERVATION_FILE_LABELS)


def list_inputs(listing):
    """Absolute paths, in order and without repeats, of the files a list file
    names (one a line; blank lines and lines starting with # are skipped) or,
    when no such file exists, of the files a glob pattern matches. An
    observation file given in place of a list is a list of itself."""
    if os.path.isfile(listing) and _is_observation_file(listing):
        return [os.path.abspath(listing)]
    if os.path.isfile(listing):
        try:
            with open(listing, encoding="utf-8") as f:
                paths = [line.strip() for line in f]
        except (OSError, UnicodeDecodeError) as error:
            raise ReportError(f"cannot read the list {listing}: {error}") from None
        paths = [p for p in paths if p and not p.startswith("#")]
    else:
        paths = sorted(glob.glob(listing, recursive=True))
        if not paths:
            raise ReportError(f"{listing} is neither a list file nor a pattern that matches files")
    return list(dict.fromkeys(os.path.abspath(p) for p in paths))


def select_task(paths, task_index, task_count):
    """Every task_count-th path starting at task_index (a scheduler's share)."""
    if task_count < 1 or not 0 <= task_index < task_count:
        raise ReportError(f"task index {task_index} is outside 0..{task_count - 1}")
    return paths[task_index::task_count]


def slurm_task(environment):
    """(index, count) of a Slurm array task from its environment, or None."""
    task_id = environment.get("SLURM_ARRAY_TASK_ID")
    count = environment.get("SLURM_ARRAY_TASK_COUNT")
    if task_id is None or count is None:
        return None
    return int(task_id) - int(environment.get("SLURM_ARRAY_TASK_MIN", "0")), int(count)


@dataclass
class Orbits:
    """The orbit files found for one observation file."""
    sp3: str | None = None
    nav: list[str] = field(default_factory=list)


def _files_below(folder):
    if folder is None:
        return []
    if not os.path.isdir(folder):
        raise ReportError(f"orbit folder {folder} does not exist")
    return [os.path.join(root, name) for root, _, names in os.walk(folder) for name in sorted(names)]


def _sp3_rank(path):
    name = os.path.basename(path).upper()
    rank = next((i for i, product in enumerate(PRODUCT_RANK) if product in name), len(PRODUCT_RANK))
    return rank, name


class OrbitIndex:
    """Navigation and SP3 files of two folders (searched recursively), by day."""

    def __init__(self, nav_dir=None, sp3_dir=None):
        self._nav = defaultdict(list)
        self._sp3 = defaultdict(list)
        for path in _files_below(nav_dir):
            named = parse_name(path)
            if named and named.kind == "nav":
                self._nav[named.day].append(named)
        for path in _files_below(sp3_dir):
            named = parse_name(path)
            if named and named.kind == "sp3":
                self._sp3[named.day].append(path)

    def _navigation(self, station, day):
        candidates = self._nav.get(day, [])
        own = [n.path for n in candidates if site(n.station) == site(station)]
        merged = [n.path for n in candidates if site(n.station) in MERGED_NAVIGATION_SITES]
        return sorted(own or merged)

    def match(self, obs_path):
        """The Orbits of an observation file: the best SP3 file of its day, and
        the navigation files of its station and day (else the merged ones)."""
        named = parse_name(obs_path)
        if named is None or named.kind != "obs":
            return Orbits()
        sp3 = sorted(self._sp3.get(named.day, []), key=_sp3_rank)
        return Orbits(sp3[0] if sp3 else None, self._navigation(named.station, named.day))

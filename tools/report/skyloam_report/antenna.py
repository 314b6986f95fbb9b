"""The antenna height above the marker from an observation file's header
(ANTENNA: DELTA H/E/N), read as text: plain, gzip, Unix compress or compact
RINEX alike."""
import gzip
import math
import subprocess
from dataclasses import dataclass

HEADER_END = "END OF HEADER"
LABEL = "ANTENNA: DELTA H/E/N"
MAX_HEADER_LINES = 1000


def header_antenna_height(lines):
    """The H of the last ANTENNA: DELTA H/E/N line before END OF HEADER, in
    metres; None when there is none or it is not a number."""
    height = None
    for count, line in enumerate(lines):
        label = line[60:].strip()
        if label == HEADER_END or count >= MAX_HEADER_LINES:
            break
        if label == LABEL:
            try:
                height = float(line[:14])
            except ValueError:
                height = None
    return height


def _lines(path):
    if path.endswith(".gz"):
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            yield from f
    elif path.endswith(".Z"):
        # gzip decodes Unix compress too; only the header is read.
        with subprocess.Popen(["gzip", "-dc", path], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL) as child:
            try:
                for line in child.stdout:
                    yield line.decode("utf-8", "replace")
            finally:
                child.kill()
    else:
        with open(path, encoding="utf-8", errors="replace") as f:
            yield from f


def antenna_height(path):
    """The header's antenna height of the file, or None (also when it cannot be read)."""
    try:
        return header_antenna_height(_lines(path))
    except (OSError, EOFError, gzip.BadGzipFile):
        return None


@dataclass(frozen=True)
class AntennaHeight:
    metres: float | None
    source: str
    """Where the height came from: "--antenna-height", "header" or "none"."""

    def usable(self):
        return self.metres is not None and self.metres > 0 and math.isfinite(self.metres)

    def describe(self):
        if self.metres is None:
            return "unknown (no ANTENNA: DELTA H/E/N in the header; give --antenna-height)"
        origin = "from the header (ANTENNA: DELTA H/E/N)" if self.source == "header" else "given"
        return f"{self.metres:g} m {origin}"


def choose_antenna_height(given, obs_path):
    """The height given on the command line, else the header's."""
    if given is not None:
        return AntennaHeight(given, "--antenna-height")
    height = antenna_height(obs_path)
    return AntennaHeight(height, "header" if height is not None else "none")

"""What the standard archive names of GNSS files say: station, day and kind.

Rules (case-insensitive; a trailing .gz or .Z is ignored):
- RINEX 3/4 long names: SSSSMRCCC_S_YYYYDDDHHMM_..., the 9-character station
  id, the data source, the start as year, day of year, hour and minute; the
  last field before the extension is the content: ?O observations
  (MO, GO, ...), ?N navigation (MN, GN, RN, ...).
- RINEX 2 short names: ssssdddf.yyt (high-rate files ssssdddfmm.yyt), the
  4-character station, the day of year, the session and the two-digit year
  (80-99 are 1980-1999); t is o or d (compact) for observations, n, g, l, p,
  e, q, h for navigation.
- SP3 long names: AAAVPPPTTT_YYYYDDDHHMM_LEN_SMP_ORB.SP3; SP3 short names:
  cccwwwwd.sp3, GPS week and day of week.

Each name gives a `NamedFile` (kind "obs", "nav" or "sp3"), or None when it
follows none of these rules.
"""
import datetime
import os
import re
from dataclasses import dataclass

GPS_EPOCH = datetime.date(1980, 1, 6)
COMPRESSION = re.compile(r"\.(gz|Z)$", re.IGNORECASE)

LONG_RINEX = re.compile(
    r"^(?P<station>[A-Z0-9]{4}\d{2}[A-Z]{3})_[A-Z]_(?P<year>\d{4})(?P<doy>\d{3})\d{4}_"
    r"(?:[^._]+_)*(?P<content>[A-Z][ON])\.(?:RNX|CRX)$", re.IGNORECASE)
SHORT_RINEX = re.compile(
    r"^(?P<station>[A-Z0-9]{4})(?P<doy>\d{3})[A-X0-9](?:\d{2})?\.(?P<yy>\d{2})(?P<type>[ODNGLPEQH])$",
    re.IGNORECASE)
LONG_SP3 = re.compile(r"^[A-Z0-9]{10}_(?P<year>\d{4})(?P<doy>\d{3})\d{4}_.*_ORB\.SP3$", re.IGNORECASE)
SHORT_SP3 = re.compile(r"^[A-Z0-9]{3}(?P<week>\d{4})(?P<dow>[0-6])\.SP3$", re.IGNORECASE)


@dataclass(frozen=True)
class NamedFile:
    path: str
    kind: str                 # "obs", "nav" or "sp3"
    day: datetime.date
    station: str | None       # None for orbit files, which serve every station


def _day_of_year(year, doy):
    doy = int(doy)
    if not 1 <= doy <= 366:
        return None
    day = datetime.date(int(year), 1, 1) + datetime.timedelta(days=doy - 1)
    return day if day.year == int(year) else None


def _two_digit_year(yy):
    return 1900 + int(yy) if int(yy) >= 80 else 2000 + int(yy)


def _rinex(path, name):
    if match := LONG_RINEX.match(name):
        kind = "obs" if match["content"][1].upper() == "O" else "nav"
        day = _day_of_year(match["year"], match["doy"])
    elif match := SHORT_RINEX.match(name):
        kind = "obs" if match["type"].upper() in "OD" else "nav"
        day = _day_of_year(_two_digit_year(match["yy"]), match["doy"])
    else:
        return None
    return day and NamedFile(path, kind, day, match["station"].upper())


def _sp3(path, name):
    if match := LONG_SP3.match(name):
        day = _day_of_year(match["year"], match["doy"])
    elif match := SHORT_SP3.match(name):
        day = GPS_EPOCH + datetime.timedelta(weeks=int(match["week"]), days=int(match["dow"]))
    else:
        return None
    return day and NamedFile(path, "sp3", day, None)


def parse_name(path):
    """The NamedFile of a path by its base name, or None."""
    name = COMPRESSION.sub("", os.path.basename(path))
    return _rinex(path, name) or _sp3(path, name)


def site(station):
    """The 4-character site of a station id (long or short)."""
    return station[:4]

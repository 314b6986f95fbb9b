"""The settings of one sample and the quantities derived from them.

Contract: `Scenario` is immutable; epochs are numbered 0 .. epoch_count-1 and
epoch k lies `k * interval` seconds after `start` (a naive datetime in GPS
time). The marker is the ground point below the antenna; the antenna (whose
position all ranges refer to) stands `antenna_height` metres above it, and
the ground around the marker is the reflecting surface.
"""
from dataclasses import dataclass, field
from datetime import datetime, timedelta

from .geometry import Horizon, ecef_to_geodetic, seconds_since_j2000


@dataclass(frozen=True)
class Scenario:
    marker: tuple
    start: datetime = datetime(2024, 3, 1)
    duration: float = 86400.0
    interval: float = 30.0
    antenna_height: float = 2.0
    elevation_mask_deg: float = 5.0
    seed: int = 1
    rinex_version: str = "3.04"
    name: str = "SKYL"
    sp3_interval: float = 900.0
    slip_count: int = 6
    loss_of_lock_count: int = 4
    horizon: Horizon = field(init=False, repr=False, compare=False)

    def __post_init__(self):
        if self.interval <= 0 or self.duration < self.interval:
            raise ValueError("the duration must hold at least one interval, and the interval be positive")
        if self.antenna_height <= 0:
            raise ValueError("the antenna height must be positive")
        if self.rinex_version not in ("3.04", "2.11"):
            raise ValueError("RINEX version must be 3.04 or 2.11")
        object.__setattr__(self, "horizon", Horizon.at(self.marker))

    @property
    def epoch_count(self):
        return int(self.duration // self.interval + 1e-9)

    @property
    def is_rinex2(self):
        return self.rinex_version.startswith("2")

    @property
    def antenna(self):
        return self.horizon.raised(self.antenna_height)

    @property
    def marker_geodetic(self):
        return ecef_to_geodetic(*self.marker)

    def epoch_time(self, k):
        """Calendar time of epoch k."""
        return self.start + timedelta(seconds=k * self.interval)

    def orbit_time(self, k):
        """Seconds since J2000 of epoch k."""
        return seconds_since_j2000(self.start) + k * self.interval

    def seconds_of_day(self, k):
        start_of_day = self.start.hour * 3600.0 + self.start.minute * 60.0 + self.start.second
        return start_of_day + k * self.interval

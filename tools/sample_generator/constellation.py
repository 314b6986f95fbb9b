"""The simulated satellites: circular orbits, clocks and tracked signals.

Contract:
- `build_constellation(seed, clock_epoch)` returns the satellites of GPS, GLONASS,
  Galileo and BeiDou in the order G, R, E, C and by number. Orbits are fixed;
  only the clock offsets and drifts depend on the seed.
- `Satellite.position(t)` is the Earth-fixed position in metres at t seconds
  since J2000 (the inertial circular orbit turned by the Earth's rotation),
  `Satellite.clock(t)` the clock offset in seconds, drifting linearly from
  its value at `clock_epoch` (seconds since J2000, the sample's start).
"""
import math
import random
from dataclasses import dataclass

from .geometry import EARTH_GRAVITATIONAL_PARAMETER, EARTH_ROTATION_RATE
from .signals import GLONASS_CHANNELS, SYSTEM_SIGNALS

GEOSYNCHRONOUS_RADIUS = (EARTH_GRAVITATIONAL_PARAMETER / EARTH_ROTATION_RATE ** 2) ** (1.0 / 3.0)

# Block IIF and III satellites, the ones broadcasting L5.
GPS_L5_NUMBERS = frozenset({1, 3, 4, 6, 8, 9, 10, 11, 14, 18, 23, 24, 25, 26, 27, 28, 30, 32})
GPS_PLANE_SIZES = (6, 5, 5, 6, 5, 5)
GALILEO_NUMBERS = (1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13,
                   15, 19, 21, 24, 25, 26, 27, 30, 31, 33, 34, 36)
BEIDOU_MEO_NUMBERS = (19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
                      32, 33, 34, 35, 36, 37, 41, 42, 43, 44, 45, 46)
BEIDOU_GEO_LONGITUDES = {1: 140.0, 2: 80.0, 3: 110.5}
BEIDOU_IGSO_NUMBERS = (38, 39, 40)
BEIDOU_IGSO_CROSSING_LONGITUDE = 118.0


@dataclass(frozen=True)
class CircularOrbit:
    """A circular orbit; node and argument of latitude are their values at J2000."""
    radius: float
    inclination: float
    node: float
    latitude_argument: float
    mean_motion: float

    @classmethod
    def keplerian(cls, radius, inclination_deg, node_deg, latitude_argument_deg):
        return cls(radius, math.radians(inclination_deg), math.radians(node_deg),
                   math.radians(latitude_argument_deg),
                   math.sqrt(EARTH_GRAVITATIONAL_PARAMETER / radius ** 3))

    @classmethod
    def geosynchronous(cls, inclination_deg, node_deg, latitude_argument_deg):
        """An orbit that turns with the Earth (its ground track repeats daily)."""
        return cls(GEOSYNCHRONOUS_RADIUS, math.radians(inclination_deg), math.radians(node_deg),
                   math.radians(latitude_argument_deg), EARTH_ROTATION_RATE)

    def position(self, t):
        latitude = self.latitude_argument + self.mean_motion * t
        node = self.node - EARTH_ROTATION_RATE * t
        cos_u, sin_u = math.cos(latitude), math.sin(latitude)
        cos_n, sin_n = math.cos(node), math.sin(node)
        cos_i, sin_i = math.cos(self.inclination), math.sin(self.inclination)
        return (self.radius * (cos_u * cos_n - sin_u * cos_i * sin_n),
                self.radius * (cos_u * sin_n + sin_u * cos_i * cos_n),
                self.radius * sin_u * sin_i)


@dataclass(frozen=True)
class Satellite:
    """One satellite: identifier, orbit, linear clock and tracked signals."""
    name: str
    orbit: CircularOrbit
    clock_epoch: float
    clock_offset: float
    clock_drift: float
    signals: tuple
    channel: int = None

    @property
    def system(self):
        return self.name[0]

    @property
    def number(self):
        return int(self.name[1:])

    def position(self, t):
        return self.orbit.position(t)

    def clock(self, t):
        return self.clock_offset + self.clock_drift * (t - self.clock_epoch)


def walker_orbits(count, planes, phasing, radius, inclination_deg, node_offset_deg):
    """Orbits of a Walker count/planes/phasing pattern, plane by plane."""
    per_plane = count // planes
    return [CircularOrbit.keplerian(radius, inclination_deg,
                                    node_offset_deg + plane * 360.0 / planes,
                                    slot * 360.0 / per_plane + plane * phasing * 360.0 / count)
            for plane in range(planes) for slot in range(per_plane)]


def gps_orbits():
    orbits = []
    for plane, size in enumerate(GPS_PLANE_SIZES):
        for slot in range(size):
            orbits.append(CircularOrbit.keplerian(26559700.0, 55.0, 17.0 + 60.0 * plane,
                                                  slot * 360.0 / size + 13.0 * plane))
    return orbits


def glonass_orbits():
    """Slots 1-8, 9-16 and 17-24 fill three planes, 45 degrees apart within a plane."""
    return [CircularOrbit.keplerian(25508200.0, 64.8, 251.0 + 120.0 * ((slot - 1) // 8),
                                    -45.0 * ((slot - 1) % 8) - 15.0 * ((slot - 1) // 8))
            for slot in range(1, 25)]


def beidou_orbits():
    """Numbered MEO, IGSO and GEO orbits of BeiDou."""
    meo = walker_orbits(24, 3, 1, 27906100.0, 55.0, 43.0)
    orbits = dict(zip(BEIDOU_MEO_NUMBERS, meo))
    for number, longitude in BEIDOU_GEO_LONGITUDES.items():
        orbits[number] = CircularOrbit.geosynchronous(0.0, longitude, 0.0)
    for index, number in enumerate(BEIDOU_IGSO_NUMBERS):
        node = BEIDOU_IGSO_CROSSING_LONGITUDE + 120.0 * index
        orbits[number] = CircularOrbit.geosynchronous(55.0, node, BEIDOU_IGSO_CROSSING_LONGITUDE - node)
    return sorted(orbits.items())


def numbered_orbits():
    """(satellite name, orbit) of every simulated satellite."""
    named = [(f"G{n:02d}", orbit) for n, orbit in enumerate(gps_orbits(), start=1)]
    named += [(f"R{n:02d}", orbit) for n, orbit in enumerate(glonass_orbits(), start=1)]
    galileo = walker_orbits(24, 3, 1, 29599800.0, 56.0, 77.0)
    named += [(f"E{n:02d}", orbit) for n, orbit in zip(GALILEO_NUMBERS, galileo)]
    named += [(f"C{n:02d}", orbit) for n, orbit in beidou_orbits()]
    return named


def tracked_signals(name):
    signals = SYSTEM_SIGNALS[name[0]]
    if name[0] == "G" and int(name[1:]) not in GPS_L5_NUMBERS:
        return tuple(signal for signal in signals if signal.band != "5")
    return signals


def build_constellation(seed, clock_epoch):
    """All simulated satellites; clocks drawn from the seed."""
    satellites = []
    for name, orbit in numbered_orbits():
        draw = random.Random(f"{seed}:clock:{name}")
        satellites.append(Satellite(
            name=name, orbit=orbit, clock_epoch=clock_epoch,
            clock_offset=draw.uniform(-5e-4, 5e-4), clock_drift=draw.uniform(-5e-12, 5e-12),
            signals=tracked_signals(name),
            channel=GLONASS_CHANNELS[int(name[1:])] if name[0] == "R" else None))
    return satellites

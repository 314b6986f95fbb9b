"""WGS84 coordinates, the local horizon of a receiver and time scales.

Contract: pure functions and an immutable `Horizon`.
- Positions are Earth-centred Earth-fixed metres; angles given to and taken
  from callers are degrees, internal ones radians.
- Orbit time is seconds since J2000 (2000-01-01 12:00:00), counted in the
  file's own time scale (no leap seconds anywhere).
"""
import math
from dataclasses import dataclass
from datetime import datetime

WGS84_SEMI_MAJOR_AXIS = 6378137.0
WGS84_FLATTENING = 1.0 / 298.257223563
WGS84_ECCENTRICITY_SQUARED = WGS84_FLATTENING * (2.0 - WGS84_FLATTENING)
EARTH_ROTATION_RATE = 7.2921151467e-5
EARTH_GRAVITATIONAL_PARAMETER = 3.986004418e14
J2000 = datetime(2000, 1, 1, 12, 0, 0)
GPS_ORIGIN = datetime(1980, 1, 6)


def geodetic_to_ecef(latitude_deg, longitude_deg, height):
    """ECEF position of a geodetic latitude, longitude (degrees) and height (m)."""
    latitude = math.radians(latitude_deg)
    longitude = math.radians(longitude_deg)
    sin_lat = math.sin(latitude)
    normal = WGS84_SEMI_MAJOR_AXIS / math.sqrt(1.0 - WGS84_ECCENTRICITY_SQUARED * sin_lat * sin_lat)
    return ((normal + height) * math.cos(latitude) * math.cos(longitude),
            (normal + height) * math.cos(latitude) * math.sin(longitude),
            (normal * (1.0 - WGS84_ECCENTRICITY_SQUARED) + height) * sin_lat)


def ecef_to_geodetic(x, y, z):
    """Geodetic latitude, longitude (degrees) and height (m) of an ECEF position."""
    longitude = math.atan2(y, x)
    distance = math.hypot(x, y)
    latitude = math.atan2(z, distance * (1.0 - WGS84_ECCENTRICITY_SQUARED))
    height = 0.0
    for _ in range(8):
        sin_lat = math.sin(latitude)
        normal = WGS84_SEMI_MAJOR_AXIS / math.sqrt(1.0 - WGS84_ECCENTRICITY_SQUARED * sin_lat * sin_lat)
        height = distance / math.cos(latitude) - normal
        latitude = math.atan2(z, distance * (1.0 - WGS84_ECCENTRICITY_SQUARED * normal / (normal + height)))
    return math.degrees(latitude), math.degrees(longitude), height


@dataclass(frozen=True)
class Horizon:
    """The local east-north-up frame at a point: elevation and azimuth of targets."""
    origin: tuple
    east: tuple
    north: tuple
    up: tuple

    @classmethod
    def at(cls, position):
        latitude_deg, longitude_deg, _ = ecef_to_geodetic(*position)
        lat, lon = math.radians(latitude_deg), math.radians(longitude_deg)
        return cls(origin=tuple(position),
                   east=(-math.sin(lon), math.cos(lon), 0.0),
                   north=(-math.sin(lat) * math.cos(lon), -math.sin(lat) * math.sin(lon), math.cos(lat)),
                   up=(math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat)))

    def raised(self, height):
        """The point `height` metres above the origin along the local vertical."""
        return tuple(o + height * u for o, u in zip(self.origin, self.up))

    def elevation(self, target):
        """Elevation of `target` in radians."""
        dx, dy, dz = (t - o for t, o in zip(target, self.origin))
        up = dx * self.up[0] + dy * self.up[1] + dz * self.up[2]
        return math.asin(up / math.sqrt(dx * dx + dy * dy + dz * dz))

    def azimuth(self, target):
        """Azimuth of `target` in radians, clockwise from north, in [0, 2 pi)."""
        dx, dy, dz = (t - o for t, o in zip(target, self.origin))
        east = dx * self.east[0] + dy * self.east[1] + dz * self.east[2]
        north = dx * self.north[0] + dy * self.north[1] + dz * self.north[2]
        return math.atan2(east, north) % (2.0 * math.pi)


def seconds_since_j2000(moment):
    """Seconds from J2000 to a naive datetime."""
    return (moment - J2000).total_seconds()


def gps_week_and_seconds(moment):
    """GPS week number and seconds of week of a naive datetime."""
    elapsed = (moment - GPS_ORIGIN).total_seconds()
    week = int(elapsed // 604800)
    return week, elapsed - week * 604800.0


def modified_julian_day(moment):
    """Integer modified Julian day and the fraction of the day."""
    days = (moment - datetime(1858, 11, 17)).total_seconds() / 86400.0
    whole = math.floor(days)
    return whole, days - whole

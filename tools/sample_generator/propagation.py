"""Signal delays common to all satellites: troposphere, ionosphere, receiver clock.

Contract: smooth deterministic functions of time and elevation.
- `tropospheric_delay(elevation, height)` in metres, the same on every band.
- `ionospheric_delay(t_of_day, longitude_deg, elevation)`: the slant delay on
  the reference frequency (1575.42 MHz) in metres; a band at frequency f sees
  it scaled by (1575.42 MHz / f)^2, delaying code and advancing phase.
  It is kept quiet (a few metres at most) so that its rate of change stays
  far below the analysis' geometry-free slip threshold at any elevation.
- `receiver_clock(t)` in seconds: offset, drift and a slow wander.
"""
import math

ZENITH_TROPOSPHERE_AT_SEA_LEVEL = 2.3
TROPOSPHERE_SCALE_HEIGHT = 7000.0
IONOSPHERE_SHELL_HEIGHT = 350000.0
MEAN_EARTH_RADIUS = 6371000.0
VERTICAL_IONOSPHERE_MEAN = 1.2
VERTICAL_IONOSPHERE_DAILY_SWING = 0.6
IONOSPHERE_PEAK_LOCAL_HOUR = 14.0
RECEIVER_CLOCK_OFFSET = 4.2e-5
RECEIVER_CLOCK_DRIFT = 1.5e-9
RECEIVER_CLOCK_WANDER = 3.0e-9
RECEIVER_CLOCK_WANDER_PERIOD = 6.0 * 3600.0


def tropospheric_delay(elevation, height):
    """Slant delay of the neutral atmosphere, metres (elevation in radians)."""
    zenith = ZENITH_TROPOSPHERE_AT_SEA_LEVEL * math.exp(-max(height, 0.0) / TROPOSPHERE_SCALE_HEIGHT)
    sin_e = math.sin(elevation)
    return zenith * 1.001 / math.sqrt(0.002001 + sin_e * sin_e)


def ionospheric_slant_factor(elevation):
    """Thin-shell obliquity: slant over vertical path length through the shell."""
    ratio = MEAN_EARTH_RADIUS * math.cos(elevation) / (MEAN_EARTH_RADIUS + IONOSPHERE_SHELL_HEIGHT)
    return 1.0 / math.sqrt(1.0 - ratio * ratio)


def ionospheric_delay(t_of_day, longitude_deg, elevation):
    """Slant ionospheric delay on the reference frequency, metres."""
    local_hour = (t_of_day / 3600.0 + longitude_deg / 15.0) % 24.0
    vertical = VERTICAL_IONOSPHERE_MEAN + VERTICAL_IONOSPHERE_DAILY_SWING * math.cos(
        2.0 * math.pi * (local_hour - IONOSPHERE_PEAK_LOCAL_HOUR) / 24.0)
    return vertical * ionospheric_slant_factor(elevation)


def receiver_clock(t):
    """Receiver clock offset in seconds, t seconds after the first epoch."""
    return (RECEIVER_CLOCK_OFFSET + RECEIVER_CLOCK_DRIFT * t
            + RECEIVER_CLOCK_WANDER * math.sin(2.0 * math.pi * t / RECEIVER_CLOCK_WANDER_PERIOD))

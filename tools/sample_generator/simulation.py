"""Observations of every satellite above the elevation mask, with their error terms.

Contract: `simulate(scenario, satellites)` returns one `Track` per satellite
that rises above the mask, in the satellites' order. A track holds the epoch
numbers at which the satellite is observed, its elevations (radians) and, per
band, the pseudorange
(m), carrier phase (cycles) and SNR (dB-Hz) written to the file together
with the injected error terms: `code_error` (reflection plus noise on the
pseudorange) and `carrier_error` (reflection plus noise on the phase, m).
Everything else in an observation (range, clocks, troposphere, ionosphere,
integer ambiguity) cancels in the analysis' code-minus-carrier combination
or is constant over a continuous arc.

Random numbers come from generators seeded by the scenario seed and the
satellite name, so each satellite's noise is independent of the others.
"""
import math
import random
from dataclasses import dataclass, field

from .geometry import EARTH_ROTATION_RATE, Horizon
from .propagation import ionospheric_delay, receiver_clock, tropospheric_delay
from .reflection import Reflection
from .signals import IONOSPHERE_REFERENCE_FREQUENCY, SPEED_OF_LIGHT, carrier_frequency

# After a longer outage the receiver re-acquires with new ambiguities; the
# analysis compares phases across shorter gaps, so those keep theirs.
REACQUISITION_GAP = 300.0
PHASE_NOISE_AT_ZENITH = 0.001
SNR_NOISE = 0.2
SNR_DROP_AT_HORIZON = 15.0
AMBIGUITY_RANGE = 300000


@dataclass
class BandTrack:
    signal: object
    wavelength: float
    ionosphere_scale: float
    pseudorange: list = field(default_factory=list)
    phase: list = field(default_factory=list)
    snr: list = field(default_factory=list)
    code_error: list = field(default_factory=list)
    carrier_error: list = field(default_factory=list)
    loss_of_lock: set = field(default_factory=set)


@dataclass
class Track:
    satellite: object
    epochs: list = field(default_factory=list)
    elevations: list = field(default_factory=list)
    bands: dict = field(default_factory=dict)


def emission_geometry(satellite, t, antenna):
    """Satellite position at emission, turned into the Earth-fixed frame of reception,
    with the travel time in seconds."""
    travel = 0.0
    for _ in range(2):
        x, y, z = satellite.position(t - travel)
        turn = EARTH_ROTATION_RATE * travel
        position = (x * math.cos(turn) + y * math.sin(turn), -x * math.sin(turn) + y * math.cos(turn), z)
        travel = math.dist(position, antenna) / SPEED_OF_LIGHT
    return position, travel


def noise_scale(elevation):
    """Growth of tracking noise towards the horizon (1 at the zenith)."""
    return 1.0 + 2.5 * math.exp(-math.degrees(elevation) / 15.0)


def visible_epochs(scenario, satellite, horizon):
    mask = math.radians(scenario.elevation_mask_deg)
    first = scenario.orbit_time(0)
    return [k for k in range(scenario.epoch_count)
            if horizon.elevation(satellite.position(first + k * scenario.interval)) >= mask]


def new_band_track(satellite, signal):
    frequency = carrier_frequency(satellite.system, signal.band, satellite.channel)
    return BandTrack(signal, SPEED_OF_LIGHT / frequency,
                     (IONOSPHERE_REFERENCE_FREQUENCY / frequency) ** 2)


def lock_segments(epochs, interval):
    """Index of the lock segment of each sample (a new one after a long outage)."""
    segment, result = 0, []
    for i, k in enumerate(epochs):
        if i and (k - epochs[i - 1]) * interval > REACQUISITION_GAP:
            segment += 1
        result.append(segment)
    return result


class TrackBuilder:
    """Fills one satellite's track sample by sample."""

    def __init__(self, scenario, satellite):
        self.scenario = scenario
        self.satellite = satellite
        self.antenna = scenario.antenna
        self.horizon = Horizon.at(self.antenna)
        self.longitude = scenario.marker_geodetic[1]
        self.height = scenario.marker_geodetic[2] + scenario.antenna_height
        self.draw = random.Random(f"{scenario.seed}:noise:{satellite.name}")
        self.track = Track(satellite, bands={s.band: new_band_track(satellite, s) for s in satellite.signals})

    def build(self, epochs):
        segments = lock_segments(epochs, self.scenario.interval)
        ambiguities = {}
        for k, segment in zip(epochs, segments):
            if segment not in ambiguities:
                ambiguities[segment] = {band: self.draw.randint(-AMBIGUITY_RANGE, AMBIGUITY_RANGE)
                                        for band in self.track.bands}
            self.add_sample(k, ambiguities[segment])
        return self.track

    def add_sample(self, k, ambiguities):
        scenario = self.scenario
        t = scenario.orbit_time(k)
        position, travel = emission_geometry(self.satellite, t, self.antenna)
        elevation = self.horizon.elevation(position)
        geometric = math.dist(position, self.antenna)
        clocks = SPEED_OF_LIGHT * (receiver_clock(k * scenario.interval) - self.satellite.clock(t - travel))
        common = geometric + clocks + tropospheric_delay(elevation, self.height)
        ionosphere = ionospheric_delay(scenario.seconds_of_day(k), self.longitude, elevation)
        noise = noise_scale(elevation)
        self.track.epochs.append(k)
        self.track.elevations.append(elevation)
        for band, band_track in self.track.bands.items():
            self.add_band_sample(band_track, elevation, common, ionosphere * band_track.ionosphere_scale,
                                 noise, ambiguities[band])

    def add_band_sample(self, band_track, elevation, common, ionosphere, noise, ambiguity):
        signal = band_track.signal
        reflection = Reflection.of(signal, elevation, self.scenario.antenna_height, band_track.wavelength)
        code_error = reflection.code_error + self.draw.gauss(0.0, signal.code_noise * noise)
        carrier_error = reflection.carrier_error + self.draw.gauss(0.0, PHASE_NOISE_AT_ZENITH * noise)
        direct_snr = signal.zenith_snr - SNR_DROP_AT_HORIZON * (1.0 - math.sin(elevation)) ** 2
        band_track.pseudorange.append(common + ionosphere + code_error)
        band_track.phase.append((common - ionosphere + carrier_error) / band_track.wavelength + ambiguity)
        band_track.snr.append(direct_snr + reflection.snr_change + self.draw.gauss(0.0, SNR_NOISE))
        band_track.code_error.append(code_error)
        band_track.carrier_error.append(carrier_error)


def simulate(scenario, satellites):
    """Tracks of the satellites that are observed at least once."""
    horizon = Horizon.at(scenario.antenna)
    tracks = []
    for satellite in satellites:
        epochs = visible_epochs(scenario, satellite, horizon)
        if epochs:
            tracks.append(TrackBuilder(scenario, satellite).build(epochs))
    return tracks

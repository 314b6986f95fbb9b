"""What the multipath analysis will make of the injected errors.

Contract: `expected_statistics(scenario, tracks, events)` repeats, on the
injected error terms alone, the analysis' processing of every signal it will
select, and returns per signal label the statistics it should report.

The analysis forms MP = P - (1 + a) l1 L1 + a l2 L2 with a = 2 / (gamma - 1),
gamma = f1^2 / f2^2 (l = wavelength). Range, clocks, troposphere and
ionosphere cancel and ambiguities are constant per arc, so on the error terms
MP = code error - (1 + a) carrier error 1 + a carrier error 2 up to a
per-arc constant. Arcs break at epoch gaps above five sampling intervals, at
jumps above 10 m and wherever a slip was flagged on either phase; arcs under
10 samples or 300 s are dropped; a centred 1500 s moving mean (whole-arc mean
for shorter arcs) is removed within each arc. The slip flags are those the
analysis' detectors raise on the injected events: a loss-of-lock flag marks
its phase; a cycle slip trips the geometry-free test of every phase pair it
belongs to and marks both phases of each.
"""
import math
from dataclasses import dataclass, field

from .events import LOSS_OF_LOCK
from .formats import stored_code, stored_phase_codes, written_systems
from .signals import carrier_frequency, second_band, signal_label

ARC_GAP_FACTOR = 5.0
JUMP_THRESHOLD = 10.0
MIN_ARC_SAMPLES = 10
MIN_ARC_SECONDS = 300.0
BIAS_WINDOW_SECONDS = 1500.0


@dataclass(frozen=True)
class Pair:
    """A selected signal: pseudorange band, second phase band, combination weights."""
    label: str
    codes: tuple
    band: str
    other_band: str
    phase_weight: float
    other_weight: float


def geometry_free_partner(track, band, phase_bands):
    return second_band(track.satellite.system, band, phase_bands, track.satellite.channel)


def analysed_pairs(track, rinex2):
    """The analysis' signal pairs of one satellite, by band."""
    satellite = track.satellite
    phases = stored_phase_codes(track, rinex2)
    pairs = []
    for band in sorted(track.bands):
        code = stored_code("C" + band + track.bands[band].signal.attribute, rinex2)
        other = geometry_free_partner(track, band, phases) if band in phases else None
        if code is None or other is None:
            continue
        f1 = carrier_frequency(satellite.system, band, satellite.channel)
        f2 = carrier_frequency(satellite.system, other, satellite.channel)
        a = 2.0 / (f1 * f1 / (f2 * f2) - 1.0)
        pairs.append(Pair(signal_label(satellite.system, code), (code, phases[band], phases[other]),
                          band, other, 1.0 + a, a))
    return pairs


def geometry_free_pairs_hit(event, rinex2):
    """(phase band, second band) of the geometry-free tests a cycle slip trips."""
    phases = stored_phase_codes(event.track, rinex2)
    hit = []
    for band in sorted(phases):
        other = geometry_free_partner(event.track, band, phases)
        if other is not None and event.band in (band, other):
            hit.append((band, other))
    return hit


def flagged_bands(event, rinex2):
    """Phase bands the analysis flags as slipped at an event."""
    if event.kind == LOSS_OF_LOCK:
        return {event.band}
    return {band for pair in geometry_free_pairs_hit(event, rinex2) for band in pair}


def mp_errors(track, pair):
    code_error = track.bands[pair.band].code_error
    carrier = track.bands[pair.band].carrier_error
    other = track.bands[pair.other_band].carrier_error
    return [c - pair.phase_weight * p + pair.other_weight * q
            for c, p, q in zip(code_error, carrier, other)]


def arcs(epochs, values, interval, slip_samples):
    """Half-open sample ranges of the continuous arcs."""
    gap_limit = interval * ARC_GAP_FACTOR
    start, result = 0, []
    for i in range(1, len(epochs)):
        if ((epochs[i] - epochs[i - 1]) * interval > gap_limit
                or abs(values[i] - values[i - 1]) > JUMP_THRESHOLD or i in slip_samples):
            result.append((start, i))
            start = i
    result.append((start, len(epochs)))
    return result


def debiased(times_ms, values):
    """Values minus the centred moving mean (whole-arc mean when the arc is short)."""
    duration = (times_ms[-1] - times_ms[0]) / 1000.0
    if BIAS_WINDOW_SECONDS >= duration:
        mean = sum(values) / len(values)
        return [v - mean for v in values]
    half = int(BIAS_WINDOW_SECONDS * 500)
    prefix = [0.0]
    for v in values:
        prefix.append(prefix[-1] + v)
    low = high = 0
    result = []
    for i, t in enumerate(times_ms):
        while times_ms[low] < t - half:
            low += 1
        while high < len(times_ms) and times_ms[high] <= t + half:
            high += 1
        result.append(values[i] - (prefix[high] - prefix[low]) / (high - low))
    return result


def kept_samples(track, pair, interval, slip_samples):
    """Bias-free values of the accepted arcs and their elevations (radians)."""
    values = mp_errors(track, pair)
    times_ms = [round(k * interval * 1000.0) for k in track.epochs]
    kept, elevations = [], []
    for start, end in arcs(track.epochs, values, interval, slip_samples):
        duration = (times_ms[end - 1] - times_ms[start]) / 1000.0
        if end - start >= MIN_ARC_SAMPLES and duration >= MIN_ARC_SECONDS:
            kept.extend(debiased(times_ms[start:end], values[start:end]))
            elevations.extend(track.elevations[start:end])
    return kept, elevations


def elevation_weight(elevation):
    """Weight of a sample in the analysis' elevation-weighted RMS."""
    if elevation >= math.radians(30.0):
        return 1.0
    if elevation <= 0.0:
        return 0.0
    return 1.0 / (4.0 * math.sin(elevation) ** 2)


@dataclass
class LabelSamples:
    """Everything one signal label gathers over its satellites."""
    codes: tuple
    values: list = field(default_factory=list)
    elevations: list = field(default_factory=list)
    satellites: int = 0
    slip_breaks: int = 0

    def summary(self):
        count = len(self.values)
        mean = sum(self.values) / count
        weights = [elevation_weight(e) for e in self.elevations]
        return {"codes": list(self.codes),
                "rms": math.sqrt(sum(v * v for v in self.values) / count),
                "weighted_rms": math.sqrt(sum(w * v * v for w, v in zip(weights, self.values)) / sum(weights)),
                "mean": mean,
                "std_dev": math.sqrt(sum((v - mean) ** 2 for v in self.values) / count),
                "count": count,
                "satellites": self.satellites,
                "slip_breaks": self.slip_breaks}


def expected_statistics(scenario, tracks, events):
    """Signal label -> codes (pseudorange, phase, second phase), rms, weighted_rms,
    mean, std_dev, count, satellites and slip-caused arc breaks."""
    rinex2 = scenario.is_rinex2
    labels = {}
    for track in tracks:
        if track.satellite.system not in written_systems(rinex2):
            continue
        own_events = [(e.sample, flagged_bands(e, rinex2)) for e in events if e.track is track]
        for pair in analysed_pairs(track, rinex2):
            phase_bands = {pair.band, pair.other_band}
            slip_samples = {sample for sample, bands in own_events if phase_bands & bands}
            kept, elevations = kept_samples(track, pair, scenario.interval, slip_samples)
            gathered = labels.setdefault(pair.label, LabelSamples(pair.codes))
            gathered.slip_breaks += len(slip_samples)
            if kept:
                gathered.values += kept
                gathered.elevations += elevations
                gathered.satellites += 1
    return {label: labels[label].summary() for label in sorted(labels) if labels[label].values}

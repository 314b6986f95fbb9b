"""Injected cycle slips and loss-of-lock flags.

Contract:
- `choose_events(scenario, tracks)` picks, deterministically from the seed,
  `scenario.slip_count` cycle slips and `scenario.loss_of_lock_count`
  loss-of-lock flags, spread over the written systems in turn. Each lies on a
  carrier phase the reader keeps, at least `EVENT_MARGIN_SECONDS` (and 12
  epochs) inside a continuous pass and as far from the other events of its
  satellite, so every arc piece it leaves is long enough to be analysed.
  Fewer events are returned when the span offers no room for more.
- `apply_events(events)` adds a slip's whole cycles to its phase from
  its epoch on, and sets bit 0 of the loss-of-lock indicator of a flag.
Slip sizes (4-12 cycles) keep the geometry-free jump well above the
analysis' threshold and the code-minus-phase jump below its own, so a slip
is found by the geometry-free test alone.
"""
import math
import random
from dataclasses import dataclass

from .formats import stored_phase_codes, written_systems

EVENT_MARGIN_SECONDS = 1200.0
MIN_EVENT_MARGIN_EPOCHS = 12
SLIP_CYCLES = (4, 12)
CHOICE_ATTEMPTS = 200

SLIP = "slip"
LOSS_OF_LOCK = "loss_of_lock"


@dataclass(frozen=True)
class Event:
    kind: str
    track: object
    sample: int
    band: str
    cycles: int = 0

    @property
    def satellite(self):
        return self.track.satellite.name

    @property
    def epoch(self):
        return self.track.epochs[self.sample]


def margin_epochs(interval):
    return max(math.ceil(EVENT_MARGIN_SECONDS / interval), MIN_EVENT_MARGIN_EPOCHS)


def inner_samples(track, margin):
    """Sample indices at least `margin` epochs inside a run of consecutive epochs."""
    inner, run_start = [], 0
    epochs = track.epochs
    for i in range(1, len(epochs) + 1):
        if i == len(epochs) or epochs[i] != epochs[i - 1] + 1:
            inner.extend(range(run_start + margin, i - margin))
            run_start = i
    return inner


class EventPicker:
    def __init__(self, scenario, tracks):
        self.draw = random.Random(f"{scenario.seed}:events")
        self.margin = margin_epochs(scenario.interval)
        self.rinex2 = scenario.is_rinex2
        self.candidates = {system: [(track, i) for track in tracks if track.satellite.system == system
                                    for i in inner_samples(track, self.margin)]
                           for system in written_systems(self.rinex2)}
        self.events = []

    def too_close(self, track, sample):
        return any(e.track is track and abs(e.epoch - track.epochs[sample]) < self.margin
                   for e in self.events)

    def free_sample(self, pool):
        """A random (track, sample) of the pool far enough from earlier events, or None."""
        for _ in range(CHOICE_ATTEMPTS if pool else 0):
            track, sample = self.draw.choice(pool)
            if not self.too_close(track, sample):
                return track, sample
        return None

    def pick(self, kind, turn):
        """Adds one event on the turn's system, or on the next one with room left."""
        systems = written_systems(self.rinex2)
        for offset in range(len(systems)):
            found = self.free_sample(self.candidates[systems[(turn + offset) % len(systems)]])
            if found:
                track, sample = found
                band = self.draw.choice(sorted(stored_phase_codes(track, self.rinex2)))
                cycles = self.draw.choice((-1, 1)) * self.draw.randint(*SLIP_CYCLES) if kind == SLIP else 0
                self.events.append(Event(kind, track, sample, band, cycles))
                return


def choose_events(scenario, tracks):
    picker = EventPicker(scenario, tracks)
    for turn in range(scenario.slip_count):
        picker.pick(SLIP, turn)
    for turn in range(scenario.loss_of_lock_count):
        picker.pick(LOSS_OF_LOCK, turn + scenario.slip_count)
    return sorted(picker.events, key=lambda e: (e.epoch, e.satellite))


def apply_events(events):
    for event in events:
        band_track = event.track.bands[event.band]
        if event.kind == SLIP:
            for i in range(event.sample, len(band_track.phase)):
                band_track.phase[i] += event.cycles
        else:
            band_track.loss_of_lock.add(event.sample)

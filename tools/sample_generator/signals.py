"""Signals of the simulated constellations and how the analysis pairs them.

Contract: constant tables and pure lookups only.
- `carrier_frequency` gives the frequency of a system letter and band digit
  exactly as the analysis computes it (GLONASS bands 1 and 2 shifted by the
  satellite's FDMA channel), so wavelengths agree to the last bit.
- `SYSTEM_SIGNALS` lists, per system, the tracked signals with the error
  model parameters of each band.
- `second_band` repeats the analysis' choice of the second carrier phase of
  a pair, and `signal_label` its per-signal naming (GPSM1C, GLOM2P, ...).
"""
from dataclasses import dataclass

SPEED_OF_LIGHT = 299792458.0
IONOSPHERE_REFERENCE_FREQUENCY = 1575420000.0

SYSTEM_ORDER = "GREC"
SYSTEM_NAMES = {"G": "GPS", "R": "GLO", "E": "GAL", "C": "BDS"}

_BASE_FREQUENCIES = {
    "G": {"1": 1575420000.0, "2": 1227600000.0, "5": 1176450000.0},
    "R": {"1": 1602000000.0, "2": 1246000000.0, "3": 1202025000.0},
    "E": {"1": 1575420000.0, "5": 1176450000.0, "6": 1278750000.0,
          "7": 1207140000.0, "8": 1191795000.0},
    "C": {"1": 1575420000.0, "2": 1561098000.0, "5": 1176450000.0,
          "6": 1268520000.0, "7": 1207140000.0},
}
_GLONASS_CHANNEL_STEPS = {"1": 562500.0, "2": 437500.0}

# Bands tried, in order, for the second carrier phase of a pair.
_SECOND_BAND_PRIORITY = {"G": "125", "R": "123", "E": "15786", "C": "27615"}
_MIN_GAMMA_DISTANCE = 0.1

# Frequency channel per GLONASS slot: the constellation's assignment, which is
# also what the analysis assumes when a file carries no slot table.
GLONASS_CHANNELS = {
    1: 1, 2: -4, 3: 5, 4: 6, 5: 1, 6: -4, 7: 5, 8: 6,
    9: -2, 10: -7, 11: 0, 12: -1, 13: -2, 14: -7, 15: 0, 16: -1,
    17: 4, 18: -3, 19: 3, 20: 2, 21: 4, 22: -3, 23: 3, 24: 2,
}


@dataclass(frozen=True)
class SignalModel:
    """One tracked signal: band digit, tracking attribute and error model.

    reflection_ratio: amplitude of the ground reflection relative to the
        direct signal near the horizon (the antenna suppresses it overhead).
    code_noise: pseudorange noise at the zenith, metres.
    zenith_snr: carrier-to-noise density of the direct signal overhead, dB-Hz.
    """
    band: str
    attribute: str
    reflection_ratio: float
    code_noise: float
    zenith_snr: float

    @property
    def codes(self):
        """The pseudorange, carrier phase and SNR codes of this signal."""
        return tuple(kind + self.band + self.attribute for kind in "CLS")


SYSTEM_SIGNALS = {
    "G": (SignalModel("1", "C", 0.30, 0.15, 49.0),
          SignalModel("2", "W", 0.30, 0.25, 43.0),
          SignalModel("5", "Q", 0.25, 0.09, 52.0)),
    "R": (SignalModel("1", "C", 0.30, 0.25, 48.0),
          SignalModel("2", "P", 0.30, 0.20, 45.0)),
    "E": (SignalModel("1", "C", 0.30, 0.13, 48.0),
          SignalModel("5", "Q", 0.25, 0.08, 51.0),
          SignalModel("7", "Q", 0.25, 0.08, 51.0)),
    "C": (SignalModel("2", "I", 0.30, 0.16, 46.0),
          SignalModel("7", "I", 0.25, 0.12, 48.0)),
}


def carrier_frequency(system, band, channel=None):
    """Carrier frequency in Hz of a system letter and band digit, or None."""
    base = _BASE_FREQUENCIES.get(system, {}).get(band)
    if base is None:
        return None
    if system == "R" and band in _GLONASS_CHANNEL_STEPS and channel is not None:
        return base + float(channel) * _GLONASS_CHANNEL_STEPS[band]
    return base


def wavelength(system, band, channel=None):
    """Carrier wavelength in metres."""
    return SPEED_OF_LIGHT / carrier_frequency(system, band, channel)


def second_band(system, band, available_bands, channel=None):
    """Band of the second carrier phase paired with `band`, or None.

    Walks the system's priority list, skipping the band itself, bands the
    satellite does not track and bands too close in frequency for a
    well-conditioned combination.
    """
    first = carrier_frequency(system, band, channel)
    for candidate in _SECOND_BAND_PRIORITY[system]:
        if candidate == band or candidate not in available_bands:
            continue
        other = carrier_frequency(system, candidate, channel)
        if other is None or abs(first * first / (other * other) - 1.0) < _MIN_GAMMA_DISTANCE:
            continue
        return candidate
    return None


def signal_label(system, pseudorange_code):
    """The analysis' per-signal label, e.g. GPSM1C for a GPS C1C."""
    return SYSTEM_NAMES[system] + "M" + pseudorange_code[1:]

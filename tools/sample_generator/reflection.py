"""A horizontal ground reflector below the antenna: code, carrier and SNR effects.

Contract: `Reflection.of(signal, elevation, antenna_height, wavelength)` gives
the reflected signal's amplitude ratio, the errors it causes on the
pseudorange and on the carrier phase (metres, positive = longer range) and
the change of carrier-to-noise density (dB).

The reflected path is longer by 2 h sin(e); its phase relative to the direct
signal is 2 pi times that over the wavelength plus the half cycle of the
reflection, so the interference oscillates with 2 h sin(e) / lambda. The
antenna gain pattern weakens the reflection (arriving from below) as the
elevation grows.
"""
import math
from dataclasses import dataclass


def reflection_ratio(horizon_ratio, elevation):
    """Amplitude of the reflection relative to the direct signal."""
    cos_e = math.cos(elevation)
    return horizon_ratio * cos_e * cos_e


@dataclass(frozen=True)
class Reflection:
    ratio: float
    code_error: float
    carrier_error: float
    snr_change: float

    @classmethod
    def of(cls, signal, elevation, antenna_height, wavelength):
        ratio = reflection_ratio(signal.reflection_ratio, elevation)
        extra_path = 2.0 * antenna_height * math.sin(elevation)
        phase = 2.0 * math.pi * extra_path / wavelength + math.pi
        cos_p, sin_p = math.cos(phase), math.sin(phase)
        in_phase = 1.0 + ratio * cos_p
        # A delay lock loop pulled by a short-delay echo settles at the
        # amplitude-weighted delay of the in-phase component.
        code_error = ratio * extra_path * cos_p / in_phase
        carrier_error = wavelength / (2.0 * math.pi) * math.atan2(ratio * sin_p, in_phase)
        snr_change = 10.0 * math.log10(in_phase * in_phase + (ratio * sin_p) ** 2)
        return cls(ratio, code_error, carrier_error, snr_change)

"""The Morlet transform of the SNR benchmark, written with NumPy.

Same steps as the C++ core: mean removal, zero padding to a power of two,
forward FFT, per scale the Morlet daughter on positive frequencies and an
inverse FFT, power |W|^2. Prints one line per size:
    numpy n=<samples> scales=<count> best_ms=<wall ms> best_cpu_ms=<process CPU ms>
Usage: numpy_cwt.py <repeats> <n> [<n> ...]   (dt = 1, dj = 0.125, s0 = 2 dt)
"""
import sys
import time

import numpy as np

OMEGA0 = 6.0
NORMALISATION = np.pi ** -0.25
FOURIER_FACTOR = 4.0 * np.pi / (OMEGA0 + np.sqrt(2.0 + OMEGA0 ** 2))


def morlet_power(y, dt, dj):
    n = len(y)
    s0 = 2.0 * dt
    j_max = max(int(np.log2(n * dt / s0) / dj), 1)
    scales = s0 * 2.0 ** (np.arange(j_max + 1) * dj)
    padded = 1 << max(int(np.ceil(np.log2(n))), 0)
    x = np.zeros(padded)
    x[:n] = y - y.mean()
    spectrum = np.fft.fft(x)
    k = np.arange(padded)
    omega = np.where(k < (padded + 1) // 2, k, k - padded) * 2.0 * np.pi / (padded * dt)
    positive = omega > 0
    power = np.empty((len(scales), n))
    for j, s in enumerate(scales):
        daughter = np.zeros(padded)
        daughter[positive] = (NORMALISATION * np.exp(-0.5 * (s * omega[positive] - OMEGA0) ** 2)
                              * np.sqrt(2.0 * np.pi * s / dt))
        w = np.fft.ifft(spectrum * daughter)[:n]
        power[j] = w.real ** 2 + w.imag ** 2
    return power, scales * FOURIER_FACTOR


def series(n):
    t = np.arange(n, dtype=float)
    return 45.0 + 3.0 * np.sin(t / 40.0) + 0.5 * np.sin(t / 6.0) + 4.0 * np.cos(t / 700.0)


def main():
    repeats = int(sys.argv[1])
    for n in map(int, sys.argv[2:]):
        y = series(n)
        best = best_cpu = float("inf")
        for _ in range(repeats):
            start, start_cpu = time.perf_counter(), time.process_time()
            power, _ = morlet_power(y, 1.0, 0.125)
            best = min(best, time.perf_counter() - start)
            best_cpu = min(best_cpu, time.process_time() - start_cpu)
        print(f"numpy n={n} scales={power.shape[0]} best_ms={best * 1e3:.3f} "
              f"best_cpu_ms={best_cpu * 1e3:.3f}", flush=True)


if __name__ == "__main__":
    main()

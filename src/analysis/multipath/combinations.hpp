// Dual-frequency combinations of code (metres) and carrier phase (cycles),
// all in metres. Wavelengths are 299792458.0 / frequency and gamma is
// f1² / f2² of the two bands. The evaluation order is fixed so that results
// are reproducible to the last bit.
#pragma once

namespace skyloam {

// (λa·La − λb·Lb) / (γ − 1): the ionospheric delay on band a plus a constant
// per continuous arc.
inline double geometry_free(double wavelength_a, double phase_a, double wavelength_b,
                            double phase_b, double gamma) {
  return (wavelength_a * phase_a - wavelength_b * phase_b) / (gamma - 1.0);
}

// λ·L − P.
inline double code_minus_phase(double wavelength, double phase, double pseudorange) {
  return wavelength * phase - pseudorange;
}

// P − (1 + a)·λ1·L1 + a·λ2·L2 with a = 2 / (γ − 1): code multipath plus a
// constant per continuous arc.
inline double multipath_combination(double pseudorange, double wavelength1, double phase1,
                                    double wavelength2, double phase2, double gamma) {
  const double a = 2.0 / (gamma - 1.0);
  return pseudorange - (1.0 + a) * wavelength1 * phase1 + a * wavelength2 * phase2;
}

}  // namespace skyloam

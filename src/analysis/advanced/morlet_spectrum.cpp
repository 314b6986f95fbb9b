#include "analysis/advanced/morlet_spectrum.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/advanced/worker_pool.hpp"

namespace skyloam {
namespace {

constexpr double kTwoPi = 6.283185307179586;
// exp(x) is exactly 0 in double precision for every x below this.
constexpr double kExpUnderflow = -746.0;

std::vector<std::complex<double>> padded_anomaly(std::span<const double> y) {
  double sum = 0.0;
  for (const double v : y) sum += v;
  const double mean = sum / static_cast<double>(std::max<std::size_t>(y.size(), 1));
  std::vector<std::complex<double>> x(fft_length_for(y.size()));
  for (std::size_t i = 0; i < y.size(); ++i) x[i] = {y[i] - mean, 0.0};
  return x;
}

std::vector<double> angular_frequencies(std::size_t length, double dt) {
  std::vector<double> omega(length);
  const double denominator = static_cast<double>(length) * dt;
  const std::size_t first_negative = (length + 1) / 2;
  for (std::size_t k = 0; k < length; ++k) {
    const double index = k < first_negative ? static_cast<double>(k)
                                            : -static_cast<double>(length - k);
    omega[k] = kTwoPi * index / denominator;
  }
  return omega;
}

}  // namespace

MorletSpectrum::MorletSpectrum(std::span<const double> y, double dt)
    : samples_(y.size()),
      dt_(dt),
      spectrum_(padded_anomaly(y)),
      omega_(angular_frequencies(spectrum_.size(), dt)),
      inverse_(spectrum_.size(), FftDirection::Inverse) {
  fft(spectrum_, FftDirection::Forward);
}

std::span<const std::complex<double>> MorletSpectrum::transform_at(
    double scale, std::vector<std::complex<double>>& work) const {
  const std::size_t length = spectrum_.size();
  work.resize(length);
  // The daughter is 0 at k = 0 and on negative frequencies (k >= ceil(N/2)),
  // and from where exp underflows on the rising side of the positive ones:
  // the product is 0 from nonzero_end on, which the inverse FFT is told.
  const std::size_t positive_end = (length + 1) / 2;
  const double root = std::sqrt(kTwoPi * scale / dt_);
  std::size_t nonzero_end = 1;
  work[0] = {0.0, 0.0};
  for (std::size_t k = 1; k < positive_end; ++k) {
    const double z = scale * omega_[k] - kMorletOmega0;
    const double exponent = -0.5 * (z * z);
    if (exponent < kExpUnderflow) break;  // z > 0 here: only grows with k
    const double daughter = kMorletNormalisation * std::exp(exponent) * root;
    work[k] = {spectrum_[k].real() * daughter, spectrum_[k].imag() * daughter};
    nonzero_end = k + 1;
  }
  inverse_.run_with_zero_tail(work, nonzero_end);
  return {work.data(), samples_};
}

void transform_scales(const MorletSpectrum& spectrum, std::span<const double> scales,
                      const ScaleVisitor& visit) {
  for_each_chunk(scales.size(), [&](std::size_t begin, std::size_t end) {
    std::vector<std::complex<double>> work;
    for (std::size_t i = begin; i < end; ++i) visit(i, spectrum.transform_at(scales[i], work));
  });
}

std::vector<double> fourier_periods(std::span<const double> scales) {
  std::vector<double> periods(scales.size());
  for (std::size_t j = 0; j < scales.size(); ++j) periods[j] = kMorletFourierFactor * scales[j];
  return periods;
}

std::vector<double> cone_of_influence(std::size_t samples, double dt) {
  std::vector<double> coi(samples);
  for (std::size_t i = 0; i < samples; ++i) {
    const double edge = static_cast<double>(std::min(i, samples - 1 - i));
    coi[i] = edge * dt * kMorletFourierFactor / kSqrtTwo;
  }
  return coi;
}

}  // namespace skyloam

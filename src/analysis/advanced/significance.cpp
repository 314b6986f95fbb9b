#include "analysis/advanced/significance.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace skyloam {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kChiSquare95 = 5.991;
constexpr double kChiSquare90 = 4.605;
constexpr double kMaxLag1 = 0.99;

double mean_of(std::span<const double> values) {
  double sum = 0.0;
  for (const double v : values) sum += v;
  return sum / static_cast<double>(values.size());
}

// Correlation coefficient of the pairs (y_i, y_i+1).
double lag1_autocorrelation(std::span<const double> y) {
  const std::span<const double> head = y.first(y.size() - 1);
  const std::span<const double> tail = y.subspan(1);
  const double a = mean_of(head);
  const double b = mean_of(tail);
  double cross = 0.0, head_squares = 0.0, tail_squares = 0.0;
  for (std::size_t i = 0; i < head.size(); ++i) {
    cross += (head[i] - a) * (tail[i] - b);
    head_squares += (head[i] - a) * (head[i] - a);
    tail_squares += (tail[i] - b) * (tail[i] - b);
  }
  return cross / std::sqrt(head_squares * tail_squares);
}

}  // namespace

std::vector<double> red_noise_level(std::span<const double> y, double dt,
                                    std::span<const double> periods, double confidence) {
  std::vector<double> levels(periods.size(), std::numeric_limits<double>::infinity());
  if (y.size() <= 2) return levels;
  const double mean = mean_of(y);
  double squares = 0.0;
  for (const double v : y) squares += (v - mean) * (v - mean);
  const double variance = squares / static_cast<double>(y.size());
  if (variance <= 0.0) return levels;

  double alpha = lag1_autocorrelation(y);
  alpha = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, kMaxLag1);
  const double chi_square = confidence >= 0.95 ? kChiSquare95 : kChiSquare90;
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const double spectrum = (1.0 - alpha * alpha) /
                            (1.0 + alpha * alpha - 2.0 * alpha * std::cos(kTwoPi * dt / periods[i]));
    levels[i] = variance * spectrum * chi_square / 2.0;
  }
  return levels;
}

}  // namespace skyloam

// Arcs of a time series and its typical sampling step.
//
// An arc is a half-open index range [start, stop) of samples without a gap.
// `split_arcs` cuts wherever a step is strictly greater than gap_factor * dt;
// its arcs are in order, adjacent, non-empty and cover the whole series (an
// empty series has none). A NaN step, and with a positive gap_factor * dt a
// decreasing or repeated time, never cuts.
//
// `median_step` is the median of the consecutive differences (the mean of
// the two middle ones for an even count); absent for fewer than two times.
// NaN differences sort after every number.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace skyloam {

struct ArcRange {
  std::size_t start;
  std::size_t stop;

  std::size_t size() const { return stop - start; }
  friend bool operator==(const ArcRange&, const ArcRange&) = default;
};

std::vector<ArcRange> split_arcs(std::span<const double> times, double dt, double gap_factor);

std::optional<double> median_step(std::span<const double> times);

}  // namespace skyloam

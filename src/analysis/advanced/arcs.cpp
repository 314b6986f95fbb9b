#include "analysis/advanced/arcs.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace skyloam {

std::vector<ArcRange> split_arcs(std::span<const double> times, double dt, double gap_factor) {
  std::vector<ArcRange> arcs;
  if (times.empty()) return arcs;
  const double max_step = gap_factor * dt;
  std::size_t start = 0;
  for (std::size_t i = 1; i < times.size(); ++i) {
    if (max_step < times[i] - times[i - 1]) {
      arcs.push_back({start, i});
      start = i;
    }
  }
  arcs.push_back({start, times.size()});
  return arcs;
}

std::optional<double> median_step(std::span<const double> times) {
  if (times.size() < 2) return std::nullopt;
  std::vector<double> steps(times.size() - 1);
  for (std::size_t i = 0; i + 1 < times.size(); ++i) steps[i] = times[i + 1] - times[i];
  // A strict weak order with NaN after every number; plain < is not one.
  const auto before = [](double a, double b) {
    if (std::isnan(a)) return false;
    return std::isnan(b) || a < b;
  };
  const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
  std::nth_element(steps.begin(), middle, steps.end(), before);
  if (steps.size() % 2 == 1) return *middle;
  const double below = *std::max_element(steps.begin(), middle, before);
  return (below + *middle) / 2.0;
}

}  // namespace skyloam

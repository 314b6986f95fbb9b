#include "analysis/advanced/time_binning.hpp"

#include <algorithm>
#include <stdexcept>

namespace skyloam {
namespace {

std::vector<double> bin_edges(double first, double last, std::size_t bins) {
  const double width = (last + 1.0 - first) / static_cast<double>(bins);
  std::vector<double> edges(bins + 1);
  for (std::size_t k = 0; k < bins; ++k) edges[k] = first + static_cast<double>(k) * width;
  edges[bins] = last + 1.0;
  return edges;
}

// The bin of each sample: the number of edges not greater than tau, minus
// one, kept inside the bins.
std::vector<std::size_t> bin_of_samples(std::span<const double> times,
                                        std::span<const double> edges) {
  const std::size_t bins = edges.size() - 1;
  std::vector<std::size_t> bin(times.size());
  for (std::size_t i = 0; i < times.size(); ++i) {
    const auto above = std::upper_bound(edges.begin(), edges.end(), times[i]);
    const std::size_t count = static_cast<std::size_t>(above - edges.begin());
    bin[i] = std::clamp<std::size_t>(count, 1, bins) - 1;
  }
  return bin;
}

}  // namespace

TimeBins bin_by_time(std::span<const double> times, const RowMatrix& series,
                     std::size_t max_bins, double origin) {
  if (series.columns() != times.size()) throw std::invalid_argument("bin_by_time: misaligned rows");
  if (times.empty()) return {{}, RowMatrix(series.rows(), 0)};
  const std::size_t bins = std::min(times.size(), std::max<std::size_t>(max_bins, 1));
  const auto [lowest, highest] = std::minmax_element(times.begin(), times.end());
  const std::vector<std::size_t> bin = bin_of_samples(times, bin_edges(*lowest, *highest, bins));

  std::vector<std::size_t> count(bins, 0);
  std::vector<double> time_sum(bins, 0.0);
  RowMatrix sums(series.rows(), bins);
  for (std::size_t i = 0; i < times.size(); ++i) {
    ++count[bin[i]];
    time_sum[bin[i]] += times[i];
    for (std::size_t r = 0; r < series.rows(); ++r) sums.row(r)[bin[i]] += series.row(r)[i];
  }

  std::vector<std::size_t> filled;
  for (std::size_t k = 0; k < bins; ++k) {
    if (count[k] != 0) filled.push_back(k);
  }
  TimeBins result{std::vector<double>(filled.size()), RowMatrix(series.rows(), filled.size())};
  for (std::size_t c = 0; c < filled.size(); ++c) {
    const double n = static_cast<double>(count[filled[c]]);
    result.t[c] = time_sum[filled[c]] / n - origin;
    for (std::size_t r = 0; r < series.rows(); ++r) {
      result.means.row(r)[c] = sums.row(r)[filled[c]] / n;
    }
  }
  return result;
}

}  // namespace skyloam

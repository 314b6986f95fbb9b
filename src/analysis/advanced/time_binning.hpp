// Reduces aligned series to at most `max_bins` time bins.
//
// With u samples at times tau: nb = min(u, max(max_bins, 1)); the bins span
// [first, last + 1) in nb equal widths, first and last being the earliest and
// latest time (tau_0 and tau_u-1 for increasing times; taking the extremes
// keeps every sample in a bin whatever the order). Edges: e_k = first + k w
// for k < nb and e_nb = last + 1; a sample falls in bin k when
// e_k <= tau < e_k+1. Every bin that received samples, in bin order, yields
// the mean of its times minus `origin`, and per row the mean of its values.
// Empty bins are left out; no samples give no bins.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "analysis/advanced/row_matrix.hpp"

namespace skyloam {

struct TimeBins {
  std::vector<double> t;  // mean time of each non-empty bin, minus origin
  RowMatrix means;        // one row per input row, one column per bin
};

// series.columns() must equal times.size().
TimeBins bin_by_time(std::span<const double> times, const RowMatrix& series,
                     std::size_t max_bins, double origin);

}  // namespace skyloam

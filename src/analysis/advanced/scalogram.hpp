// Scalogram: a display-ready wavelet power image of the longest gap-free arc
// of one SNR series.
//
// Steps: arcs = split_arcs(t, interval, 5); the longest arc (the first of
// equal ones) must hold at least 40 samples; dt = its median step; W = the
// Morlet transform of its values as given (dj = 0.125, s0 = 2 dt); the 95 %
// red-noise level per period; then samples 0, step, 2 step, ... of the arc
// with step = max(arc length / max(max_columns, 1), 1) (integer division, so
// up to almost 2 * max_columns columns remain). Only the kept columns of each
// scale are stored.
//
// Failures: "t and values must have the same length" (Message); the
// InsufficientData error "series too short for a scalogram (< 40 samples)"
// when there is no arc of 40 samples; a Message naming `t` when the arc's
// median step is not a finite positive number (times repeating or running
// backwards); the size limits of scale_ladder.hpp.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "analysis/advanced/row_matrix.hpp"
#include "error/gnss_error.hpp"

namespace skyloam {

inline constexpr std::size_t kMinWaveletSamples = 40;

struct Scalogram {
  std::vector<double> t;             // kept times, as given
  std::vector<double> periods;       // seconds, one per scale
  RowMatrix power;                   // one row per scale, one column per kept time
  std::vector<double> significance;  // 95 % red-noise level, one per period
  std::vector<double> coi;           // cone of influence at the kept times
  double interval = 0.0;             // the median step used as dt
};

Result<Scalogram> scalogram(std::span<const double> t, std::span<const double> values,
                            double interval, std::size_t max_columns = 600);

}  // namespace skyloam

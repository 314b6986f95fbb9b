// The scales of a Morlet transform and the guard that every transform
// request passes before anything is allocated.
//
// Scales: s_j = s0 * 2^(j dj), j = 0 .. j_max, with s0 = 2 dt unless given.
// J = trunc(log2(n dt / s0) / dj) (a NaN gives 0, an overflow saturates);
// j_max = J when J >= 2, else 1, so there are always at least two scales.
//
// Limits. A request for n samples is accepted only when
//   - dt, dj and s0 (given, or 2 dt) are finite and greater than 0;
//   - the scale count j_max + 1 is at most kMaxScales (16384), and the
//     largest scale is finite;
//   - the transform holds at most kMaxTransformValues values:
//     (j_max + 1) * n <= 2^25 = 33,554,432 (512 MiB of complex values).
// Otherwise the result is a Message-kind GnssError (shown to Python as
// ValueError) naming the argument to change. The scale count is compared in
// floating point before any conversion, so a tiny dj or s0 cannot overflow
// it. Row counts other than scales (period bands) obey the same value limit
// through `check_result_size`.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "error/gnss_error.hpp"

namespace skyloam {

inline constexpr std::size_t kMaxScales = 16384;
inline constexpr std::size_t kMaxTransformValues = std::size_t{1} << 25;

struct ScaleLadder {
  double s0 = 0.0;
  double dj = 0.0;
  std::size_t count = 0;  // j_max + 1

  std::size_t j_max() const { return count - 1; }
  double scale(std::size_t j) const;
  std::vector<double> scales() const;
};

// `series` names the sample argument in messages ("y", "values").
Result<ScaleLadder> plan_scales(std::size_t samples, double dt, double dj,
                                std::optional<double> s0, std::string_view series = "y");

// Fails when rows * columns exceeds kMaxTransformValues; `rows_name` names the
// argument that sets the row count ("bands").
Result<void> check_result_size(std::size_t rows, std::size_t columns, std::string_view rows_name);

}  // namespace skyloam

#include "analysis/advanced/scale_ladder.hpp"

#include <cmath>
#include <cstdio>
#include <string>

namespace skyloam {
namespace {

bool finite_positive(double value) { return std::isfinite(value) && value > 0.0; }

GnssError not_positive(std::string_view name, double value) {
  char text[160];
  std::snprintf(text, sizeof text, "%.*s must be a finite number greater than 0 (got %g)",
                static_cast<int>(name.size()), name.data(), value);
  return GnssError::message(text);
}

GnssError too_many_scales(double count, double dj, bool s0_given) {
  char text[200];
  std::snprintf(text, sizeof text,
                "dj = %g gives %.6g scales, more than the %zu allowed: increase dj%s", dj, count,
                kMaxScales, s0_given ? " or s0" : "");
  return GnssError::message(text);
}

GnssError too_many_values(std::string_view series, std::size_t samples, std::size_t scales) {
  char text[240];
  std::snprintf(text, sizeof text,
                "%.*s has %zu samples and the transform %zu scales: more than the %zu values "
                "allowed; shorten %.*s or increase dj",
                static_cast<int>(series.size()), series.data(), samples, scales,
                kMaxTransformValues, static_cast<int>(series.size()), series.data());
  return GnssError::message(text);
}

}  // namespace

double ScaleLadder::scale(std::size_t j) const {
  return s0 * std::pow(2.0, static_cast<double>(j) * dj);
}

std::vector<double> ScaleLadder::scales() const {
  std::vector<double> all(count);
  for (std::size_t j = 0; j < count; ++j) all[j] = scale(j);
  return all;
}

Result<ScaleLadder> plan_scales(std::size_t samples, double dt, double dj,
                                std::optional<double> s0, std::string_view series) {
  if (!finite_positive(dt)) return fail(not_positive("dt", dt));
  if (!finite_positive(dj)) return fail(not_positive("dj", dj));
  if (s0 && !finite_positive(*s0)) return fail(not_positive("s0", *s0));
  const double smallest = s0.value_or(2.0 * dt);
  if (!std::isfinite(smallest)) return fail(not_positive("2 * dt (the default s0)", smallest));

  const double q = std::log2(static_cast<double>(samples) * dt / smallest) / dj;
  // q < 2 (a NaN or -inf included) gives the minimum of two scales.
  const double top = q >= 2.0 ? std::trunc(q) : 1.0;
  if (top + 1.0 > static_cast<double>(kMaxScales)) {
    return fail(too_many_scales(top + 1.0, dj, s0.has_value()));
  }
  ScaleLadder ladder{smallest, dj, static_cast<std::size_t>(top) + 1};
  if (!std::isfinite(ladder.scale(ladder.j_max()))) {
    return fail(GnssError::message("dj and s0 make the largest scale infinite; decrease dj or s0"));
  }
  if (samples > kMaxTransformValues / ladder.count) {
    return fail(too_many_values(series, samples, ladder.count));
  }
  return ladder;
}

Result<void> check_result_size(std::size_t rows, std::size_t columns,
                               std::string_view rows_name) {
  if (rows == 0 || columns <= kMaxTransformValues / rows) return {};
  char text[200];
  std::snprintf(text, sizeof text,
                "%.*s: %zu rows of %zu samples exceed the %zu values allowed in one result",
                static_cast<int>(rows_name.size()), rows_name.data(), rows, columns,
                kMaxTransformValues);
  return fail(GnssError::message(text));
}

}  // namespace skyloam

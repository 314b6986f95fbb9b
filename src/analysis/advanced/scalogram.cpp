#include "analysis/advanced/scalogram.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/advanced/arcs.hpp"
#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/morlet_spectrum.hpp"
#include "analysis/advanced/scale_ladder.hpp"
#include "analysis/advanced/significance.hpp"

namespace skyloam {
namespace {

constexpr double kGapFactor = 5.0;
constexpr double kScaleSpacing = 0.125;
constexpr double kConfidence = 0.95;

GnssError too_short() {
  return {ErrorKind::InsufficientData, "series too short for a scalogram (< 40 samples)"};
}

GnssError no_positive_step(double step) {
  char text[160];
  std::snprintf(text, sizeof text,
                "t: the longest arc has no positive sampling step (median step %g s); times "
                "must increase",
                step);
  return GnssError::message(text);
}

ArcRange longest_arc(std::span<const ArcRange> arcs) {
  ArcRange longest = arcs.front();
  for (const ArcRange& arc : arcs) {
    if (arc.size() > longest.size()) longest = arc;
  }
  return longest;
}

template <class T>
std::vector<T> every_nth(std::span<const T> values, std::size_t step) {
  std::vector<T> kept;
  kept.reserve(values.size() / step + 1);
  for (std::size_t i = 0; i < values.size(); i += step) kept.push_back(values[i]);
  return kept;
}

}  // namespace

Result<Scalogram> scalogram(std::span<const double> t, std::span<const double> values,
                            double interval, std::size_t max_columns) {
  if (t.size() != values.size()) {
    return fail(GnssError::message("t and values must have the same length"));
  }
  const std::vector<ArcRange> arcs = split_arcs(t, interval, kGapFactor);
  if (arcs.empty()) return fail(too_short());
  const ArcRange arc = longest_arc(arcs);
  if (arc.size() < kMinWaveletSamples) return fail(too_short());

  const std::span<const double> arc_t = t.subspan(arc.start, arc.size());
  const std::span<const double> arc_values = values.subspan(arc.start, arc.size());
  const double dt = *median_step(arc_t);
  if (!(std::isfinite(dt) && dt > 0.0)) return fail(no_positive_step(dt));
  const Result<ScaleLadder> ladder = plan_scales(arc.size(), dt, kScaleSpacing, std::nullopt,
                                                 "values");
  if (!ladder) return fail(ladder.error());

  const std::size_t step = std::max<std::size_t>(arc.size() / std::max<std::size_t>(max_columns, 1), 1);
  Scalogram result;
  result.t = every_nth(arc_t, step);
  const std::vector<double> scales = ladder->scales();
  result.periods = fourier_periods(scales);
  result.power = RowMatrix(scales.size(), result.t.size());
  const MorletSpectrum spectrum(arc_values, dt);
  transform_scales(spectrum, scales, [&](std::size_t j, std::span<const std::complex<double>> row) {
    std::span<double> out = result.power.row(j);
    for (std::size_t c = 0; c < out.size(); ++c) out[c] = power_of(row[c * step]);
  });
  result.significance = red_noise_level(arc_values, dt, result.periods, kConfidence);
  const std::vector<double> coi = cone_of_influence(arc.size(), dt);
  result.coi = every_nth(std::span<const double>(coi), step);
  result.interval = dt;
  return result;
}

}  // namespace skyloam

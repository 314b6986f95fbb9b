#include "synthetic_day.hpp"

#include <cmath>
#include <cstdint>

namespace skyloam::bench {
namespace {

constexpr double kPassSeconds = 6.0 * 3600.0;
constexpr double kPi = 3.141592653589793;

// Position within the satellite's current pass, in [0, 1), or -1 out of view.
double pass_phase(std::size_t prn, double t) {
  const double offset = std::fmod(static_cast<double>(prn) * 5231.0, 43200.0);
  const double within = std::fmod(t + offset, 43200.0);
  return within < kPassSeconds ? within / kPassSeconds : -1.0;
}

double snr_at(std::size_t prn, double t, double phase) {
  const double arch = 32.0 + 18.0 * std::sin(kPi * phase);
  const double ripple = 1.5 * std::sin(2.0 * kPi * t / (90.0 + 7.0 * static_cast<double>(prn))) +
                        0.7 * std::sin(2.0 * kPi * t / 400.0 + static_cast<double>(prn));
  return arch + ripple * (1.0 - phase);
}

}  // namespace

ObsData synthetic_day(std::size_t satellites, std::size_t epochs) {
  RinexObsHeader header;
  header.marker_name = "SYNTHETIC";
  header.declared_interval = 1.0;
  ObsDataBuilder builder(header);
  const CodeId c1c = builder.intern({ObsKind::Pseudorange, 1, 'C'});
  const CodeId l1c = builder.intern({ObsKind::CarrierPhase, 1, 'C'});
  const CodeId s1c = builder.intern({ObsKind::Snr, 1, 'C'});
  const CodeId s2w = builder.intern({ObsKind::Snr, 2, 'W'});
  for (std::size_t e = 0; e < epochs; ++e) {
    const double t = static_cast<double>(e);
    for (std::size_t prn = 1; prn <= satellites; ++prn) {
      const double phase = pass_phase(prn, t);
      if (phase < 0.0) continue;
      builder.begin_satellite({GnssSystem::GPS, static_cast<std::uint32_t>(prn)});
      builder.add(c1c, 2.2e7 + 1000.0 * t);
      builder.add(l1c, 1.1e8 + 5000.0 * t);
      builder.add(s1c, snr_at(prn, t, phase));
      builder.add(s2w, snr_at(prn, t, phase) - 6.0);
    }
    const auto whole = static_cast<std::uint32_t>(e);
    builder.commit_epoch(Epoch{2024, 3, 1, whole / 3600, (whole / 60) % 60,
                               static_cast<double>(whole % 60)},
                         0, std::nullopt);
  }
  return std::move(builder).finish();
}

}  // namespace skyloam::bench

#include "navigation/broadcast/validity.hpp"

#include <cmath>

namespace skyloam {
namespace {

constexpr double kHour = 3600.0;
constexpr double kMinute = 60.0;

ValiditySpan centred(double span) { return {span / 2, span / 2}; }

}  // namespace

ValiditySpan validity_span(GnssSystem system, double fit) {
  switch (system) {
    case GnssSystem::GPS:
      return centred(std::isfinite(fit) && fit > 4.0 && fit <= 24.0 ? fit * kHour : 4 * kHour);
    case GnssSystem::QZSS:
      return centred(std::isfinite(fit) && fit == 1.0 ? 4 * kHour : 2 * kHour);
    case GnssSystem::Galileo:
      return {1 * kHour, 4 * kHour};
    case GnssSystem::BeiDou:
      return centred(2 * kHour);
    case GnssSystem::NavIC:
      return centred(4 * kHour);
    case GnssSystem::GLONASS:
      return centred(30 * kMinute);
    case GnssSystem::SBAS:
      return centred(10 * kMinute);
    case GnssSystem::Mixed:
      break;
  }
  return {};
}

}  // namespace skyloam

// A broadcast state vector: what GLONASS and SBAS ephemerides give at their
// reference time.
#pragma once

#include <array>

namespace skyloam {

struct StateVector {
  std::array<double, 3> position{};      // m
  std::array<double, 3> velocity{};      // m/s
  std::array<double, 3> acceleration{};  // m/s^2 (GLONASS: the luni-solar terms)
};

}  // namespace skyloam

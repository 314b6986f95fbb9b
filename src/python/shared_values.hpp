// The values behind classes that several binding files exchange.
#pragma once

#include <memory>

#include "analysis/multipath/multipath_analysis.hpp"
#include "navigation/broadcast/nav_data.hpp"
#include "navigation/sp3/sp3_data.hpp"
#include "python/python.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::py {

// RinexObsData: immutable after reading, shared with every analyzer built on it.
using SharedObsData = std::shared_ptr<const ObsData>;
// Sp3Data: immutable after reading.
using SharedSp3 = std::shared_ptr<const Sp3Data>;
// NavData: immutable after reading.
using SharedNav = std::shared_ptr<const NavData>;
// AnalysisResults: owned by its Python object.
using AnalysisResultsValue = AnalysisOutput;

// The orbits argument of the elevation functions: an Sp3Data or a NavData,
// kept alive while the interpreter lock is released.
struct SharedOrbits {
  std::shared_ptr<const OrbitSource> source;
  const OrbitSource& operator*() const { return *source; }
};

// Defined with the orbit classes (orbits.cpp).
bool from_python(PyObject* object, SharedOrbits& out);

}  // namespace skyloam::py

// The values behind classes that several binding files exchange.
#pragma once

#include <memory>

#include "analysis/multipath/multipath_analysis.hpp"
#include "navigation/sp3/sp3_data.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::py {

// RinexObsData: immutable after reading, shared with every analyzer built on it.
using SharedObsData = std::shared_ptr<const ObsData>;
// Sp3Data: immutable after reading.
using SharedSp3 = std::shared_ptr<const Sp3Data>;
// AnalysisResults: owned by its Python object.
using AnalysisResultsValue = AnalysisOutput;

}  // namespace skyloam::py

// Signal-strength series of one satellite, and the checks of the texts a
// caller names satellites and codes with.
//
// A series holds, in epoch order, the Unix seconds (file time scale, see
// unix_seconds) of every epoch in which the satellite has the code with a
// value above 0 (0 is the usual filler for a missing signal), and those
// values. Series come sorted by code text; codes without such a value give
// no series. One pass over the epochs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

struct SnrSeries {
  ObsCode code;
  std::vector<double> times;   // Unix seconds
  std::vector<double> values;  // dB-Hz
};

// The S-codes the satellite has in any epoch, whatever their values.
std::vector<std::string> snr_codes(const ObsData& data, const Satellite& satellite);

// Every S-code of the satellite, or only `code` when given (an S-code).
std::vector<SnrSeries> snr_series(const ObsData& data, const Satellite& satellite,
                                  std::optional<ObsCode> code = std::nullopt);

// parse_satellite, failing with the Message "Invalid satellite id '<text>'".
Result<Satellite> satellite_argument(std::string_view text);

// The code upper-cased and parsed; it must be an S-code. Fails with the
// Message "'<text>' is not an S-code".
Result<ObsCode> snr_code_argument(std::string_view text);

// Both checks in the caller-visible order (satellite first), then the
// series.
Result<std::vector<SnrSeries>> snr_series_for(const ObsData& data, std::string_view satellite,
                                              std::optional<std::string_view> code);

}  // namespace skyloam

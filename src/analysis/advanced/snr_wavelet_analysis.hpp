// δSNR band-power analysis of every satellite of an observation data set,
// computed in parallel on the worker pool.
//
// Request: `satellites` (identifier texts, in the order to report them; all
// observed satellites in Satellite order when absent), `interval` (seconds;
// the data set's sampling interval when absent, 30 s when that is absent
// too) and `bands` (period_bands_for(interval) when absent).
//
// Per satellite (snr_observations.hpp, snr_series_analysis.hpp): the
// preferred SNR code among those it has, its positive samples, and the
// series analysis; a satellite without SNR codes, with fewer than 40 samples
// of its preferred code, or absent from the data gives no result (other codes
// are not tried). Results keep the request's satellite order, whatever the
// scheduling.
//
// Failures (before any work): "Invalid satellite id '<text>'" (Message) for
// the first identifier that does not parse; more bands than the result limit
// allows for a full series (bands x max_points > 2^25 values).
//
// For a Python dict: "bands" = result.bands, "interval" = result.interval,
// "residuals" = every entry of result.satellites keyed by
// to_string(satellite) with {code: to_string(code), t0, t, v, orders},
// "band_power" = the entries with has_band_power(), {t: bp_t, power: rows of
// bp_power}.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/advanced/band_power.hpp"
#include "analysis/advanced/snr_series_analysis.hpp"
#include "error/gnss_error.hpp"
#include "rinex/obs_reader/obs_data.hpp"
#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam {

struct SnrWaveletRequest {
  std::optional<std::vector<std::string>> satellites;
  std::optional<double> interval;
  std::optional<std::vector<PeriodBand>> bands;
};

struct SatelliteSnrResult {
  Satellite satellite;
  ObsCode code;
  SnrSeriesResult series;

  bool has_band_power() const { return !series.bp_t.empty(); }
};

struct SnrWaveletAnalysis {
  std::vector<PeriodBand> bands;
  double interval = 0.0;
  std::vector<SatelliteSnrResult> satellites;  // those with a result, in request order
};

Result<SnrWaveletAnalysis> analyze_snr_wavelets(const ObsData& obs,
                                                const SnrWaveletRequest& request = {});

}  // namespace skyloam

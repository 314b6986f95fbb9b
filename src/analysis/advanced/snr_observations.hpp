// What the SNR analysis reads from an observation data set.
//
// - `epoch_unix_seconds`: unix_seconds of every epoch, in file order (an
//   epoch whose fields form no date-time reads the current time, once).
// - `preferred_snr_code`: among the SNR codes the satellite has in any epoch
//   (whatever their values), the one with the smallest key (band != 1, text):
//   band 1 first, then by text (S1C < S1W < S1X; without band 1, S2L < S5Q).
// - `snr_samples`: per epoch in file order where the satellite has that code
//   with a value > 0, the epoch's time and the value (dB-Hz).
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"
#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam {

struct TimeSeries {
  std::vector<double> t;
  std::vector<double> values;
};

std::vector<double> epoch_unix_seconds(const ObsData& obs);

// The satellite's entry in every epoch (nullptr where it is absent).
std::vector<const SatelliteEntry*> entries_of(const ObsData& obs, const Satellite& satellite);

std::optional<CodeId> preferred_snr_code(const ObsData& obs,
                                         std::span<const SatelliteEntry* const> entries);

// `epoch_times` and `entries` are aligned with obs.epochs().
TimeSeries snr_samples(std::span<const double> epoch_times,
                       std::span<const SatelliteEntry* const> entries, CodeId code);

}  // namespace skyloam

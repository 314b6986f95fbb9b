#include "analysis/advanced/snr_wavelet_analysis.hpp"

#include "analysis/advanced/scale_ladder.hpp"
#include "analysis/advanced/snr_observations.hpp"
#include "rinex/obs_reader/obs_queries.hpp"
#include "analysis/advanced/worker_pool.hpp"

namespace skyloam {
namespace {

constexpr double kFallbackInterval = 30.0;

Result<std::vector<Satellite>> requested_satellites(const ObsData& obs,
                                                    const SnrWaveletRequest& request) {
  if (!request.satellites) return unique_satellites(obs);
  std::vector<Satellite> satellites;
  satellites.reserve(request.satellites->size());
  for (const std::string& text : *request.satellites) {
    const std::optional<Satellite> satellite = parse_satellite(text);
    if (!satellite) return fail(GnssError::message("Invalid satellite id '" + text + "'"));
    satellites.push_back(*satellite);
  }
  return satellites;
}

SnrAnalysisSettings settings_for(const ObsData& obs, const SnrWaveletRequest& request) {
  SnrAnalysisSettings settings;
  settings.interval = request.interval.value_or(effective_interval(obs).value_or(kFallbackInterval));
  settings.bands = request.bands.value_or(period_bands_for(settings.interval));
  return settings;
}

std::optional<SatelliteSnrResult> analyze_satellite(const ObsData& obs,
                                                    std::span<const double> epoch_times,
                                                    const Satellite& satellite,
                                                    const SnrAnalysisSettings& settings) {
  const std::vector<const SatelliteEntry*> entries = entries_of(obs, satellite);
  const std::optional<CodeId> code = preferred_snr_code(obs, entries);
  if (!code) return std::nullopt;
  std::optional<SnrSeriesResult> series =
      analyze_snr_series(snr_samples(epoch_times, entries, *code), settings);
  if (!series) return std::nullopt;
  return SatelliteSnrResult{satellite, obs.code(*code), std::move(*series)};
}

}  // namespace

Result<SnrWaveletAnalysis> analyze_snr_wavelets(const ObsData& obs,
                                                const SnrWaveletRequest& request) {
  const Result<std::vector<Satellite>> satellites = requested_satellites(obs, request);
  if (!satellites) return fail(satellites.error());
  const SnrAnalysisSettings settings = settings_for(obs, request);
  if (const Result<void> size =
          check_result_size(settings.bands.size(), settings.max_points, "bands");
      !size) {
    return fail(size.error());
  }

  const std::vector<double> epoch_times = epoch_unix_seconds(obs);
  std::vector<std::optional<SatelliteSnrResult>> slots(satellites->size());
  for_each_index(slots.size(), [&](std::size_t i) {
    slots[i] = analyze_satellite(obs, epoch_times, (*satellites)[i], settings);
  });

  SnrWaveletAnalysis analysis{settings.bands, settings.interval, {}};
  for (std::optional<SatelliteSnrResult>& slot : slots) {
    if (slot) analysis.satellites.push_back(std::move(*slot));
  }
  return analysis;
}

}  // namespace skyloam

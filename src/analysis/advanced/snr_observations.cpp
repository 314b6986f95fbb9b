#include "analysis/advanced/snr_observations.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "utils/time/epoch.hpp"

namespace skyloam {
namespace {

// Band 1 before every other band, then the code's text.
bool preferred_before(const ObsCode& a, const ObsCode& b) {
  const bool a_other = a.band != 1, b_other = b.band != 1;
  if (a_other != b_other) return !a_other;
  return text_less(a, b);
}

}  // namespace

std::vector<double> epoch_unix_seconds(const ObsData& obs) {
  std::vector<double> times;
  times.reserve(obs.epochs().size());
  for (const ObsEpoch& epoch : obs.epochs()) times.push_back(unix_seconds(epoch.time));
  return times;
}

std::vector<const SatelliteEntry*> entries_of(const ObsData& obs, const Satellite& satellite) {
  std::vector<const SatelliteEntry*> entries;
  entries.reserve(obs.epochs().size());
  // Receivers list satellites in much the same order from epoch to epoch:
  // the place the satellite had last time is tried first.
  std::size_t hint = 0;
  for (const ObsEpoch& epoch : obs.epochs()) {
    const std::span<const SatelliteEntry> listed = epoch.satellites();
    if (hint < listed.size() && listed[hint].satellite == satellite) {
      entries.push_back(&listed[hint]);
      continue;
    }
    const SatelliteEntry* found = epoch.find(satellite);
    if (found != nullptr) hint = static_cast<std::size_t>(found - listed.data());
    entries.push_back(found);
  }
  return entries;
}

std::optional<CodeId> preferred_snr_code(const ObsData& obs,
                                         std::span<const SatelliteEntry* const> entries) {
  std::vector<bool> seen(obs.codes().size(), false);
  for (const SatelliteEntry* entry : entries) {
    if (entry == nullptr) continue;
    for (const ObsRecord& record : entry->observations()) seen[record.code] = true;
  }
  std::optional<CodeId> best;
  for (std::size_t id = 0; id < seen.size(); ++id) {
    const ObsCode& code = obs.code(static_cast<CodeId>(id));
    if (!seen[id] || code.kind != ObsKind::Snr) continue;
    if (!best || preferred_before(code, obs.code(*best))) best = static_cast<CodeId>(id);
  }
  return best;
}

TimeSeries snr_samples(std::span<const double> epoch_times,
                       std::span<const SatelliteEntry* const> entries, CodeId code) {
  TimeSeries series;
  for (std::size_t e = 0; e < entries.size(); ++e) {
    if (entries[e] == nullptr) continue;
    for (const ObsRecord& record : entries[e]->observations()) {
      if (record.code != code) continue;
      if (record.value > 0.0) {
        series.t.push_back(epoch_times[e]);
        series.values.push_back(record.value);
      }
      break;
    }
  }
  return series;
}

}  // namespace skyloam

#include "obs_invariants.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "analysis/multipath/multipath_analysis.hpp"
#include "fuzz_check.hpp"
#include "rinex/obs_reader/obs_queries.hpp"
#include "rinex/obs_reader/snr_series.hpp"

namespace skyloam::fuzz {
namespace {

bool valid_indicator(std::uint8_t indicator) { return indicator <= 9 || indicator == kNoIndicator; }

void check_epochs(const ObsData& data) {
  std::size_t records = 0;
  for (const ObsEpoch& epoch : data.epochs()) {
    FUZZ_CHECK(epoch.flag < 2 || epoch.flag > 5, "an event epoch (flag 2 to 5) was stored");
    std::set<Satellite> seen;
    for (const SatelliteEntry& entry : epoch.satellites()) {
      FUZZ_CHECK(seen.insert(entry.satellite).second, "a satellite twice in one epoch");
      FUZZ_CHECK(epoch.find(entry.satellite) == &entry, "find() misses an entry of its epoch");
      std::set<CodeId> codes;
      for (const ObsRecord& record : entry.observations()) {
        FUZZ_CHECK(record.code < data.codes().size(), "a record with an unknown code id");
        FUZZ_CHECK(codes.insert(record.code).second, "a code twice in one satellite entry");
        FUZZ_CHECK(valid_indicator(record.lli) && valid_indicator(record.ssi),
                   "an indicator outside 0..9");
      }
      records += entry.record_count;
    }
  }
  FUZZ_CHECK(records == data.observation_count(), "observation_count differs from the records");
}

void check_satellite_list(const ObsData& data, const std::vector<Satellite>& satellites) {
  FUZZ_CHECK(std::adjacent_find(satellites.begin(), satellites.end(),
                                [](const Satellite& a, const Satellite& b) { return !(a < b); }) ==
                 satellites.end(),
             "unique_satellites is not strictly ascending");
  for (const Satellite& satellite : satellites) {
    const bool observed = std::any_of(data.epochs().begin(), data.epochs().end(),
                                      [&](const ObsEpoch& e) { return e.find(satellite) != nullptr; });
    FUZZ_CHECK(observed, "a listed satellite is in no epoch");
  }
  for (const ObsEpoch& epoch : data.epochs()) {
    for (const SatelliteEntry& entry : epoch.satellites()) {
      FUZZ_CHECK(std::binary_search(satellites.begin(), satellites.end(), entry.satellite),
                 "an observed satellite is missing from unique_satellites");
    }
  }
  std::size_t counted = 0;
  for (const SystemCount& count : satellites_by_system(data)) counted += count.satellites;
  FUZZ_CHECK(counted == satellites.size(), "satellites_by_system does not add up");
}

template <class Texts>
bool strictly_ascending(const Texts& texts) {
  return std::adjacent_find(texts.begin(), texts.end(),
                            [](const auto& a, const auto& b) { return !(a < b); }) == texts.end();
}

void check_observation_types(const ObsData& data) {
  for (GnssSystem system : kAllSystems) {
    const std::vector<std::string> codes = observation_types(data, system);
    FUZZ_CHECK(strictly_ascending(codes), "observation_types not sorted and unique");
    for (const std::string& code : codes) {
      const std::optional<ObsCode> parsed = parse_obs_code(code);
      FUZZ_CHECK(parsed && to_string(*parsed) == code, "observation_types gave a text that is no code");
    }
  }
}

void check_snr(const ObsData& data, const Satellite& satellite) {
  const std::vector<std::string> codes = snr_codes(data, satellite);
  FUZZ_CHECK(strictly_ascending(codes), "snr_codes not sorted and unique");
  const std::vector<SnrSeries> all = snr_series(data, satellite);
  FUZZ_CHECK(all.size() <= codes.size(), "more SNR series than SNR codes");
  for (std::size_t i = 0; i < all.size(); ++i) {
    const SnrSeries& series = all[i];
    FUZZ_CHECK(series.code.kind == ObsKind::Snr, "an SNR series of another kind of code");
    FUZZ_CHECK(series.times.size() == series.values.size(), "SNR times and values differ in length");
    FUZZ_CHECK(!series.values.empty(), "an empty SNR series");
    for (double value : series.values) FUZZ_CHECK(value > 0.0, "an SNR value that is not positive");
    for (double time : series.times) FUZZ_CHECK(std::isfinite(time), "an SNR time that is not finite");
    if (i > 0) FUZZ_CHECK(text_less(all[i - 1].code, series.code), "SNR series out of code order");
    const std::vector<SnrSeries> one = snr_series(data, satellite, series.code);
    FUZZ_CHECK(one.size() == 1 && one.front().values == series.values,
               "the series of one code differs from the same code among all");
  }
}

void check_interval(const ObsData& data) {
  const std::optional<double> interval = effective_interval(data);
  const auto& epochs = data.epochs();
  if (epochs.size() < 2) {
    const std::optional<double> declared = data.header().declared_interval;
    FUZZ_CHECK(interval.has_value() == declared.has_value() &&
                   (!interval || *interval == *declared || (std::isnan(*interval) && std::isnan(*declared))),
               "interval is not the declared one");
    return;
  }
  FUZZ_CHECK(interval.has_value(), "no interval with two epochs");
  const double expected = std::fabs(seconds_between(epochs[1].time, epochs[0].time));
  FUZZ_CHECK(*interval == expected || (std::isnan(*interval) && std::isnan(expected)),
             "interval is not |second - first|");
}

bool label_order(const std::string& a, const std::string& b) { return a < b; }

template <class T>
bool indices_within(const Column<T>& column, std::size_t count) {
  return std::ranges::all_of(column.values(), [count](T index) {
    return index >= 0 && static_cast<std::size_t>(index) < count;
  });
}

// Columns of one length; satellites and signals listed once, in order, and
// each observed; index columns within their lists.
void check_estimate_store(const EstimateStore& store, const std::vector<Satellite>& observed) {
  const std::size_t n = store.size();
  FUZZ_CHECK(store.time().size() == n && store.time_ms().size() == n &&
                 store.elevation().size() == n && store.azimuth().size() == n &&
                 store.snr().size() == n && store.satellite().size() == n &&
                 store.signal().size() == n && store.arc().size() == n,
             "estimate columns of different lengths");
  const auto& satellites = store.satellites();
  const auto& signals = store.signals();
  FUZZ_CHECK(std::ranges::adjacent_find(satellites, std::greater_equal<>()) == satellites.end(),
             "satellite list not sorted and distinct");
  FUZZ_CHECK(std::ranges::adjacent_find(signals, [](const ObsCode& a, const ObsCode& b) {
               return !text_less(a, b);
             }) == signals.end(),
             "signal list not sorted and distinct");
  for (const Satellite& satellite : satellites) {
    FUZZ_CHECK(std::binary_search(observed.begin(), observed.end(), satellite),
               "an estimate of a satellite that was never observed");
  }
  for (const ObsCode& signal : signals) {
    FUZZ_CHECK(signal.kind == ObsKind::Pseudorange, "an estimate of a non-pseudorange");
  }
  FUZZ_CHECK(indices_within(store.satellite(), satellites.size()) &&
                 indices_within(store.signal(), signals.size()),
             "an index column points past its list");
}

void check_analysis(const ObsData& data, const AnalyzerConfig& config,
                    const std::vector<Satellite>& satellites) {
  const AnalysisOutput output = analyze(data, config);
  std::size_t counted = 0;
  for (std::size_t i = 0; i < output.statistics.size(); ++i) {
    const MultipathStats& stats = output.statistics[i];
    FUZZ_CHECK(stats.count > 0, "statistics of a label without estimates");
    FUZZ_CHECK(stats.first_estimate + stats.count <= output.estimates.size(),
               "statistics point past the estimates");
    if (i > 0) {
      FUZZ_CHECK(label_order(output.statistics[i - 1].label, stats.label),
                 "statistics not one per label in byte order");
    }
    counted += stats.count;
  }
  FUZZ_CHECK(counted == output.estimates.size(), "statistics do not count every estimate");
  check_estimate_store(output.estimates, satellites);
  for (const SlipRecord& slip : output.cycle_slips) {
    FUZZ_CHECK(std::binary_search(satellites.begin(), satellites.end(), slip.satellite),
               "a cycle slip of a satellite that was never observed");
    FUZZ_CHECK(slip.code_count >= 1 && slip.code_count <= 2, "a cycle slip naming no code");
  }
  for (std::size_t i = 1; i < output.slip_counts.size(); ++i) {
    FUZZ_CHECK(label_order(output.slip_counts[i - 1].label, output.slip_counts[i].label),
               "slip counts not in label order");
  }
}

}  // namespace

void check_obs_data(const ObsData& data) {
  check_epochs(data);
  const std::vector<Satellite> satellites = unique_satellites(data);
  check_satellite_list(data, satellites);
  check_observation_types(data);
  for (const Satellite& satellite : satellites) {
    check_snr(data, satellite);
    if (satellite.system == GnssSystem::GLONASS) (void)glonass_channel(data.header(), satellite);
  }
  check_interval(data);
}

void check_multipath(const ObsData& data) {
  const std::vector<Satellite> satellites = unique_satellites(data);
  check_analysis(data, AnalyzerConfig{}, satellites);

  AnalyzerConfig eager;
  eager.systems.assign(kAllSystems.begin(), kAllSystems.end());
  eager.bias_window_seconds.reset();
  eager.min_arc_seconds = 0.0;
  eager.elevation_cutoff = -90.0;
  eager.max_epochs = 50;
  check_analysis(data, eager, satellites);
}

void check_obs_result(const Result<ObsData>& result) {
  if (!result) {
    FUZZ_CHECK(!result.error().display().empty(), "a failure without a text");
    return;
  }
  check_obs_data(*result);
  check_multipath(*result);
}

}  // namespace skyloam::fuzz

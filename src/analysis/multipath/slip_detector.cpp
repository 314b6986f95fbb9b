#include "analysis/multipath/slip_detector.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/multipath/combinations.hpp"
#include "analysis/multipath/epoch_scan.hpp"

namespace skyloam {
namespace {

constexpr double kMinRateStep = 0.001;  // seconds; closer epochs are the same instant

}  // namespace

SlipDetector::SlipDetector(const ObservationCatalog& catalog,
                           std::span<const ObsEpoch* const> epochs, const EpochTimes& times,
                           const AnalyzerConfig& config)
    : catalog_(catalog), epochs_(epochs), times_(times), config_(config) {
  satellites_.resize(catalog.satellite_count());
  for (std::uint32_t s = 0; s < catalog.satellite_count(); ++s) {
    SatelliteTables& tables = satellites_[s];
    const auto codes = catalog.codes(s);
    tables.phase_begin = static_cast<std::uint32_t>(phases_.size());
    tables.range_begin = static_cast<std::uint32_t>(ranges_.size());
    for (const CodeCount& c : codes) {
      if (c.code.kind == ObsKind::CarrierPhase) phases_.push_back({c.id, c.code});
      if (c.code.kind != ObsKind::Pseudorange) continue;
      const ObsCode phase{ObsKind::CarrierPhase, c.code.band, c.code.attribute};
      const auto match = std::find_if(codes.begin(), codes.end(),
                                      [&](const CodeCount& p) { return p.code == phase; });
      ranges_.push_back({c.id, c.code, match == codes.end() ? kNoCodeId : match->id});
    }
    tables.phase_end = static_cast<std::uint32_t>(phases_.size());
    tables.range_end = static_cast<std::uint32_t>(ranges_.size());
    const GnssSystem system = catalog.satellite(s).system;
    for (std::uint8_t band = 0; band < kBandCount; ++band) {
      tables.second[band] = second_bands(system, band, catalog.frequencies(s));
    }
  }
  gf_.assign(phases_.size(), RateState{0.0, kNoCodeId, false});
  cp_.assign(ranges_.size(), RateState{0.0, kNoCodeId, false});
}

void SlipDetector::observe(std::uint32_t epoch, std::uint32_t satellite,
                           const EntryValues& values) {
  SatelliteTables& tables = satellites_[satellite];
  if (config_.use_lli) check_loss_of_lock(epoch, satellite, values);
  const std::optional<double> dt = rate_step(epoch, tables);
  check_geometry_free(epoch, satellite, values, dt);
  check_code_phase(epoch, satellite, values, dt);
  tables.seen = true;
  tables.last_epoch = epoch;
}

std::optional<double> SlipDetector::rate_step(std::uint32_t epoch, const SatelliteTables& tables) {
  if (!tables.seen) return std::nullopt;
  if (!step_known_ || step_epoch_ != epoch || step_from_ != tables.last_epoch) {
    step_seconds_ =
        std::abs(seconds_between(epochs_[epoch]->time, epochs_[tables.last_epoch]->time));
    step_epoch_ = epoch;
    step_from_ = tables.last_epoch;
    step_known_ = true;
  }
  const double dt = step_seconds_;
  if (dt >= kMinRateStep && dt <= config_.slip_max_gap_seconds) return dt;
  return std::nullopt;
}

void SlipDetector::check_loss_of_lock(std::uint32_t epoch, std::uint32_t satellite,
                                      const EntryValues& values) {
  const SatelliteTables& tables = satellites_[satellite];
  for (std::uint32_t i = tables.phase_begin; i < tables.phase_end; ++i) {
    const PhaseSlot& phase = phases_[i];
    if (!values.has(phase.id)) continue;
    const std::uint8_t lli = values.lli(phase.id);
    if (lli != kNoIndicator && (lli & 3) != 0) {
      record(epoch, satellite, SlipMethod::Lli, phase.code, std::nullopt, 1.0, 0.0);
    }
  }
}

std::optional<double> SlipDetector::advance(RateState& state, std::optional<double> value,
                                            CodeId partner, std::optional<double> dt,
                                            double threshold) {
  const RateState previous = state;
  state.valid = value && std::isfinite(*value);
  if (!state.valid) return std::nullopt;
  state.value = *value;
  state.partner = partner;
  if (!dt || !previous.valid || previous.partner != partner) return std::nullopt;
  const double change = std::abs(*value - previous.value);
  if (change > threshold) return change;
  return std::nullopt;
}

void SlipDetector::check_geometry_free(std::uint32_t epoch, std::uint32_t satellite,
                                       const EntryValues& values, std::optional<double> dt) {
  const SatelliteTables& tables = satellites_[satellite];
  const BandFrequencies& frequencies = catalog_.frequencies(satellite);
  // The first usable phase of each band; phases are in band, then attribute order.
  std::array<std::uint32_t, kBandCount> first_on_band;
  first_on_band.fill(0);
  for (std::uint32_t i = tables.phase_end; i-- > tables.phase_begin;) {
    const std::uint8_t band = phases_[i].code.band;
    if (band < kBandCount && values.usable(phases_[i].id)) first_on_band[band] = i + 1;
  }
  const double threshold = dt ? config_.ion_delta_base + config_.ion_delta_rate * *dt : 0.0;
  for (std::uint32_t i = tables.phase_begin; i < tables.phase_end; ++i) {
    const PhaseSlot& a = phases_[i];
    const auto phase_a = values.usable(a.id);
    std::uint32_t partner = 0;
    if (phase_a && a.code.band < kBandCount) {
      for (const std::uint8_t band : tables.second[a.code.band].list()) {
        if ((partner = first_on_band[band]) != 0) break;
      }
    }
    if (partner == 0) {
      gf_[i].valid = false;
      continue;
    }
    const PhaseSlot& b = phases_[partner - 1];
    const double value = geometry_free(frequencies.wavelength(a.code.band), *phase_a,
                                       frequencies.wavelength(b.code.band), values.value(b.id),
                                       frequency_ratio_squared(frequencies.frequency(a.code.band),
                                                               frequencies.frequency(b.code.band)));
    if (const auto change = advance(gf_[i], value, b.id, dt, threshold)) {
      record(epoch, satellite, SlipMethod::Gf, a.code, b.code, *change, threshold);
    }
  }
}

void SlipDetector::check_code_phase(std::uint32_t epoch, std::uint32_t satellite,
                                    const EntryValues& values, std::optional<double> dt) {
  const SatelliteTables& tables = satellites_[satellite];
  const BandFrequencies& frequencies = catalog_.frequencies(satellite);
  const double threshold = dt ? config_.cp_delta_base + config_.cp_delta_rate * *dt : 0.0;
  for (std::uint32_t i = tables.range_begin; i < tables.range_end; ++i) {
    const RangeSlot& range = ranges_[i];
    std::optional<double> value;
    if (range.phase != kNoCodeId && frequencies.has(range.code.band)) {
      const auto pseudorange = values.usable(range.id);
      const auto phase = values.usable(range.phase);
      if (pseudorange && phase) {
        value = code_minus_phase(frequencies.wavelength(range.code.band), *phase, *pseudorange);
      }
    }
    if (const auto change = advance(cp_[i], value, range.phase, dt, threshold)) {
      const ObsCode phase_code{ObsKind::CarrierPhase, range.code.band, range.code.attribute};
      record(epoch, satellite, SlipMethod::CodePhase, phase_code, range.code, *change, threshold);
    }
  }
}

void SlipDetector::record(std::uint32_t epoch, std::uint32_t satellite, SlipMethod method,
                          ObsCode first, std::optional<ObsCode> second, double magnitude,
                          double threshold) {
  SlipRecord slip{times_.calendar(epoch),
                  magnitude,
                  threshold,
                  catalog_.satellite(satellite),
                  {first, second.value_or(ObsCode{})},
                  static_cast<std::uint8_t>(second ? 2 : 1),
                  method};
  keys_.push_back({times_.millis(epoch), catalog_.text_rank(satellite),
                   static_cast<std::uint32_t>(records_.size())});
  records_.push_back(slip);
}

SlipDetection SlipDetector::finish() && {
  std::sort(keys_.begin(), keys_.end(), [](const SortKey& a, const SortKey& b) {
    if (a.millis != b.millis) return a.millis < b.millis;
    if (a.satellite_rank != b.satellite_rank) return a.satellite_rank < b.satellite_rank;
    return a.sequence < b.sequence;
  });
  SlipDetection out;
  out.records.reserve(records_.size());
  for (const SortKey& key : keys_) out.records.push_back(records_[key.sequence]);
  out.index = SlipIndex(out.records);
  return out;
}

SlipDetection detect_slips(std::span<const ObsEpoch* const> epochs, const ObsData& data,
                           const AnalyzerConfig& config) {
  if (!config.detect_cycle_slips) return {};
  const ObservationCatalog catalog(epochs, data);
  const EpochTimes times(epochs);
  SlipDetector detector(catalog, epochs, times, config);
  scan_epochs(epochs, catalog, detector);
  return std::move(detector).finish();
}

}  // namespace skyloam

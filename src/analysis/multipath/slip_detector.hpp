// Cycle-slip detection over the analysed epochs.
//
// For every satellite entry, in epoch order:
//  1. loss of lock: each carrier phase whose indicator has bit 0 or 1 set
//     (when use_lli), in code order;
//  2. the rate tests run only when the satellite was seen before and the
//     step dt since then satisfies 0.001 s <= dt <= slip_max_gap_seconds;
//  3. geometry-free: each phase, in code order, against a phase of the
//     first band of its second-band list that has one now (the smallest
//     attribute there); a slip when the partner is the one used last time
//     and the change exceeds ion_delta_base + ion_delta_rate·dt;
//  4. code-minus-phase: each pseudorange, in code order, with the phase of
//     its band and attribute; a slip when the change exceeds
//     cp_delta_base + cp_delta_rate·dt;
//  5. the satellite's state becomes this epoch's values.
// A change of exactly the threshold is not a slip. The rate tests treat a
// pseudorange or phase of 0.0 (or not finite) as absent; the loss-of-lock
// test sees every record. Systems and code filters do not restrict the
// detector.
//
// Records are ordered by epoch time (milliseconds), then satellite text,
// then detection order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/analyzer_config.hpp"
#include "analysis/multipath/entry_values.hpp"
#include "analysis/multipath/observation_catalog.hpp"
#include "analysis/multipath/slip_records.hpp"

namespace skyloam {

struct SlipDetection {
  std::vector<SlipRecord> records;
  SlipIndex index;
};

class SlipDetector {
 public:
  SlipDetector(const ObservationCatalog& catalog, std::span<const ObsEpoch* const> epochs,
               const EpochTimes& times, const AnalyzerConfig& config);

  // One satellite entry (catalog index `satellite`) of analysed epoch `epoch`.
  void observe(std::uint32_t epoch, std::uint32_t satellite, const EntryValues& values);

  SlipDetection finish() &&;

 private:
  struct PhaseSlot {
    CodeId id;
    ObsCode code;
  };
  struct RangeSlot {
    CodeId id;
    ObsCode code;
    CodeId phase;  // same band and attribute, kNoCodeId when never observed
  };
  // The last value of one rate test; comparable only with a value formed
  // with the same partner code (second phase, or the pseudorange's phase).
  struct RateState {
    double value;
    CodeId partner;
    bool valid;
  };
  struct SatelliteTables {
    std::uint32_t phase_begin, phase_end;  // into phases_ / gf_
    std::uint32_t range_begin, range_end;  // into ranges_ / cp_
    std::array<SecondBands, kBandCount> second;
    bool seen = false;
    std::uint32_t last_epoch = 0;
  };
  struct SortKey {
    std::int64_t millis;
    std::uint32_t satellite_rank;
    std::uint32_t sequence;
  };

  // Stores this epoch's value (absent or non-finite: nothing comparable) and
  // returns the change when it exceeds the threshold.
  static std::optional<double> advance(RateState& state, std::optional<double> value,
                                       CodeId partner, std::optional<double> dt, double threshold);
  std::optional<double> rate_step(std::uint32_t epoch, const SatelliteTables& tables);
  void check_loss_of_lock(std::uint32_t epoch, std::uint32_t satellite, const EntryValues& values);
  void check_geometry_free(std::uint32_t epoch, std::uint32_t satellite, const EntryValues& values,
                           std::optional<double> dt);
  void check_code_phase(std::uint32_t epoch, std::uint32_t satellite, const EntryValues& values,
                        std::optional<double> dt);
  void record(std::uint32_t epoch, std::uint32_t satellite, SlipMethod method, ObsCode first,
              std::optional<ObsCode> second, double magnitude, double threshold);

  const ObservationCatalog& catalog_;
  std::span<const ObsEpoch* const> epochs_;
  const EpochTimes& times_;
  const AnalyzerConfig& config_;
  std::vector<SatelliteTables> satellites_;
  std::vector<PhaseSlot> phases_;
  std::vector<RateState> gf_;
  std::vector<RangeSlot> ranges_;
  std::vector<RateState> cp_;
  std::vector<SlipRecord> records_;
  std::vector<SortKey> keys_;
  // Most satellites of an epoch step from the same previous epoch.
  std::uint32_t step_epoch_ = 0, step_from_ = 0;
  double step_seconds_ = 0.0;
  bool step_known_ = false;
};

// Detection on its own (the full analysis runs it within its single scan).
SlipDetection detect_slips(std::span<const ObsEpoch* const> epochs, const ObsData& data,
                           const AnalyzerConfig& config);

}  // namespace skyloam

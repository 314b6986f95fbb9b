// ObsData: the observation data set (header plus epochs), stored compactly.
//
// A multi-GNSS day at 1 Hz holds tens of millions of observations, so the
// epochs are not maps of maps. Each epoch points at a contiguous run of
// SatelliteEntry values (one per satellite, unique within the epoch, in the
// order the file gave them) and each entry at a contiguous run of ObsRecord
// values (one per observation code, unique within the satellite). Codes are
// interned per data set: a record carries a small CodeId into `codes()`.
// Runs live in arena blocks that never move, so an ObsData is move-only and
// is shared read-only (std::shared_ptr<const ObsData>) once built.
//
// Build one with ObsDataBuilder (readers and test fixtures alike).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "rinex/obs_reader/arena.hpp"
#include "rinex/obs_reader/obs_header.hpp"
#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

using CodeId = std::uint16_t;
inline constexpr std::uint8_t kNoIndicator = 0xFF;

// One observation: value as written, loss-of-lock and signal-strength
// indicators 0..9 or kNoIndicator.
struct ObsRecord {
  double value;
  CodeId code;
  std::uint8_t lli;
  std::uint8_t ssi;
};
static_assert(sizeof(ObsRecord) == 16);

struct SatelliteEntry {
  Satellite satellite;
  std::uint32_t record_count;
  const ObsRecord* records;

  std::span<const ObsRecord> observations() const { return {records, record_count}; }
};

struct ObsEpoch {
  Epoch time;
  std::optional<double> clock_offset;  // seconds; RINEX 3 epoch lines only
  const SatelliteEntry* entries;
  std::uint32_t entry_count;
  std::uint8_t flag;

  std::span<const SatelliteEntry> satellites() const { return {entries, entry_count}; }
  // The satellite's entry in this epoch, or nullptr.
  const SatelliteEntry* find(const Satellite& satellite) const;
};

class ObsData {
 public:
  ObsData() = default;
  ObsData(ObsData&&) noexcept = default;
  ObsData& operator=(ObsData&&) noexcept = default;
  ObsData(const ObsData&) = delete;
  ObsData& operator=(const ObsData&) = delete;

  const RinexObsHeader& header() const { return header_; }
  const std::vector<ObsEpoch>& epochs() const { return epochs_; }
  const std::vector<ObsCode>& codes() const { return codes_; }
  const ObsCode& code(CodeId id) const { return codes_[id]; }
  // The interned id of a code, if any record of the data set uses it.
  std::optional<CodeId> find_code(const ObsCode& code) const;
  std::size_t observation_count() const { return observation_count_; }

 private:
  friend class ObsDataBuilder;
  RinexObsHeader header_;
  std::vector<ObsEpoch> epochs_;
  std::vector<ObsCode> codes_;
  std::size_t observation_count_ = 0;
  Arena<SatelliteEntry> entry_arena_;
  Arena<ObsRecord> record_arena_;
};

// Collects one epoch at a time and files it into an ObsData.
//
//   builder.begin_satellite(sat); builder.add(code, value, lli, ssi); ...
//   builder.commit_epoch(time, flag, clock);   // or discard_epoch()
//
// Within an epoch a satellite begun again replaces its earlier entry; within
// a satellite a code added again replaces its earlier record. An entry may
// hold no records; drop_empty_satellite() removes the current satellite when
// nothing was added to it.
class ObsDataBuilder {
 public:
  explicit ObsDataBuilder(RinexObsHeader header);

  CodeId intern(const ObsCode& code);

  void begin_satellite(const Satellite& satellite);
  // Inline: the readers call it for every observation.
  void add(CodeId code, double value, std::uint8_t lli = kNoIndicator,
           std::uint8_t ssi = kNoIndicator) {
    if (pending_satellites_.empty()) throw_no_satellite();
    const ObsRecord record{value, code, lli, ssi};
    if (stamp_of_code_[code] == stamp_) {
      pending_records_[slot_of_code_[code]] = record;
      return;
    }
    stamp_of_code_[code] = stamp_;
    slot_of_code_[code] = static_cast<std::uint32_t>(pending_records_.size());
    pending_records_.push_back(record);
    ++pending_satellites_.back().count;
  }
  void drop_empty_satellite();

  void commit_epoch(const Epoch& time, std::uint8_t flag, std::optional<double> clock_offset);
  void discard_epoch();

  std::size_t epoch_count() const { return data_.epochs_.size(); }
  ObsData finish() &&;

 private:
  struct PendingSatellite {
    Satellite satellite;
    std::uint32_t first;  // into pending_records_
    std::uint32_t count;
  };

  [[noreturn]] static void throw_no_satellite();

  ObsData data_;
  std::vector<std::uint16_t> code_ids_;  // packed code -> id + 1 (0 = none)
  std::vector<PendingSatellite> pending_satellites_;
  std::vector<ObsRecord> pending_records_;
  // Per code id: the pending_records_ slot in the current satellite, valid
  // when the stamp matches the current satellite's stamp.
  std::vector<std::uint32_t> slot_of_code_;
  std::vector<std::uint32_t> stamp_of_code_;
  std::uint32_t stamp_ = 0;
};

}  // namespace skyloam

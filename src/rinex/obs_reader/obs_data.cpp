#include "rinex/obs_reader/obs_data.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace skyloam {

std::string to_string(const RinexVersion& version) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02u", static_cast<int>(version.major), version.minor);
  return text;
}

const SatelliteEntry* ObsEpoch::find(const Satellite& satellite) const {
  for (const SatelliteEntry& entry : satellites()) {
    if (entry.satellite == satellite) return &entry;
  }
  return nullptr;
}

std::optional<CodeId> ObsData::find_code(const ObsCode& code) const {
  for (std::size_t i = 0; i < codes_.size(); ++i) {
    if (codes_[i] == code) return static_cast<CodeId>(i);
  }
  return std::nullopt;
}

namespace {
// Codes are 5 kinds x 10 band digits x 256 attribute bytes.
constexpr std::size_t kBands = 10;
constexpr std::size_t kCodeSpace = 5 * kBands * 256;

std::size_t code_index(const ObsCode& code) {
  if (code.band >= kBands) throw std::logic_error("observation code band is not a digit");
  return (static_cast<std::size_t>(code.kind) * kBands + code.band) * 256 +
         static_cast<unsigned char>(code.attribute);
}
}  // namespace

ObsDataBuilder::ObsDataBuilder(RinexObsHeader header) : code_ids_(kCodeSpace, 0) {
  data_.header_ = std::move(header);
}

CodeId ObsDataBuilder::intern(const ObsCode& code) {
  std::uint16_t& slot = code_ids_[code_index(code)];
  if (slot == 0) {
    // At most kCodeSpace codes: ids always fit.
    data_.codes_.push_back(code);
    slot = static_cast<std::uint16_t>(data_.codes_.size());
    slot_of_code_.push_back(0);
    stamp_of_code_.push_back(0);
  }
  return static_cast<CodeId>(slot - 1);
}

void ObsDataBuilder::begin_satellite(const Satellite& satellite) {
  ++stamp_;
  if (stamp_ == 0) {  // wrapped: forget every stale stamp
    std::fill(stamp_of_code_.begin(), stamp_of_code_.end(), 0);
    stamp_ = 1;
  }
  pending_satellites_.push_back(
      {satellite, static_cast<std::uint32_t>(pending_records_.size()), 0});
}

void ObsDataBuilder::throw_no_satellite() {
  throw std::logic_error("observation added before a satellite");
}

void ObsDataBuilder::drop_empty_satellite() {
  if (!pending_satellites_.empty() && pending_satellites_.back().count == 0) {
    pending_satellites_.pop_back();
  }
}

void ObsDataBuilder::commit_epoch(const Epoch& time, std::uint8_t flag,
                                  std::optional<double> clock_offset) {
  // A satellite given twice keeps its last entry, in the place of the first.
  // A bit per (system, number mod 64) keeps the usual no-duplicate case linear.
  std::uint64_t seen[8] = {};
  std::size_t kept = 0;
  for (std::size_t i = 0; i < pending_satellites_.size(); ++i) {
    const Satellite& satellite = pending_satellites_[i].satellite;
    std::uint64_t& bits = seen[static_cast<std::size_t>(satellite.system) & 7];
    const std::uint64_t bit = std::uint64_t{1} << (satellite.prn & 63);
    bool replaced = false;
    for (std::size_t j = 0; (bits & bit) != 0 && j < kept; ++j) {
      if (pending_satellites_[j].satellite == pending_satellites_[i].satellite) {
        pending_satellites_[j] = pending_satellites_[i];
        replaced = true;
        break;
      }
    }
    bits |= bit;
    if (!replaced) pending_satellites_[kept++] = pending_satellites_[i];
  }
  pending_satellites_.resize(kept);

  SatelliteEntry* entries = data_.entry_arena_.allocate(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    const PendingSatellite& p = pending_satellites_[i];
    ObsRecord* records = data_.record_arena_.allocate(p.count);
    if (p.count != 0) {
      std::memcpy(records, pending_records_.data() + p.first, p.count * sizeof(ObsRecord));
    }
    entries[i] = {p.satellite, p.count, records};
    data_.observation_count_ += p.count;
  }
  data_.epochs_.push_back(
      {time, clock_offset, entries, static_cast<std::uint32_t>(kept), flag});
  discard_epoch();
}

void ObsDataBuilder::discard_epoch() {
  pending_satellites_.clear();
  pending_records_.clear();
}

ObsData ObsDataBuilder::finish() && {
  discard_epoch();
  return std::move(data_);
}

}  // namespace skyloam

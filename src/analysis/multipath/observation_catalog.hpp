// ObservationCatalog: what the analysed epochs hold, gathered in one pass.
//
// Every satellite that has an entry in at least one analysed epoch gets a
// dense index; indices follow satellite order (code letter, then number).
// For each satellite the catalog keeps the codes it was observed on, sorted
// by code text (so by kind, band, attribute), each with the number of
// epochs that hold it, and the carrier frequency of each of its bands.
//
// The analysis scans look a satellite's index up once per satellite entry,
// never per observation.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "analysis/multipath/signal_frequencies.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

inline constexpr std::uint32_t kNoSatellite = 0xFFFFFFFFu;
// Code ids stay far below this (5 kinds x 10 bands x 256 attributes).
inline constexpr CodeId kNoCodeId = 0xFFFF;

struct CodeCount {
  ObsCode code;
  CodeId id;
  std::uint32_t epochs;  // analysed epochs in which the satellite has this code
};

// Satellite -> index: a flat table for numbers below 256 (every real
// constellation), a hash map for the rest.
class SatelliteMap {
 public:
  // The slot of a satellite, created holding kNoSatellite when new.
  std::uint32_t& slot(const Satellite& satellite);
  std::uint32_t find(const Satellite& satellite) const;

 private:
  static constexpr std::uint32_t kFlatNumbers = 256;
  std::vector<std::uint32_t> flat_ =
      std::vector<std::uint32_t>(kAllSystems.size() * kFlatNumbers, kNoSatellite);
  std::unordered_map<std::uint64_t, std::uint32_t> large_numbers_;
};

class ObservationCatalog {
 public:
  ObservationCatalog(std::span<const ObsEpoch* const> epochs, const ObsData& data);

  std::uint32_t satellite_count() const { return static_cast<std::uint32_t>(satellites_.size()); }
  const Satellite& satellite(std::uint32_t index) const { return satellites_[index]; }
  // The dense index of a satellite, or kNoSatellite when no analysed epoch has it.
  std::uint32_t index_of(const Satellite& satellite) const { return index_.find(satellite); }

  // The satellite's codes in text order.
  std::span<const CodeCount> codes(std::uint32_t index) const {
    return {codes_.data() + code_begin_[index], codes_.data() + code_begin_[index + 1]};
  }
  // Epochs in which the satellite has `code`; 0 when it never has it.
  std::uint32_t obs_count(std::uint32_t index, const ObsCode& code) const;

  const BandFrequencies& frequencies(std::uint32_t index) const { return frequencies_[index]; }

  // Position of the satellite's text form ("G01") in byte order among all
  // catalogued satellites; differs from the index for numbers above 99.
  std::uint32_t text_rank(std::uint32_t index) const { return text_rank_[index]; }

  // Size of the data set's code-id space.
  std::size_t code_id_count() const { return code_id_count_; }

 private:
  std::vector<Satellite> satellites_;
  SatelliteMap index_;
  std::vector<std::uint32_t> code_begin_;  // per satellite, into codes_; one extra at the end
  std::vector<CodeCount> codes_;
  std::vector<BandFrequencies> frequencies_;
  std::vector<std::uint32_t> text_rank_;
  std::size_t code_id_count_ = 0;
};

}  // namespace skyloam

// Observation files held in memory, under the file name FUZZ_FILE_NAME
// (which picks the decompression layers; compact RINEX is recognised by its
// content). The ordinary read must give what reading the restored text
// alone gives (compact records are otherwise taken as numbers); then the
// body is also read with the grammar the header did not choose, so every
// input exercises both grammars.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "fuzz_check.hpp"
#include "obs_invariants.hpp"
#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/header_reader.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "rinex/obs_reader/obs_input.hpp"
#include "text_only_lines.hpp"

#ifndef FUZZ_FILE_NAME
#error "FUZZ_FILE_NAME names the file the input stands for"
#endif

using namespace skyloam;

namespace {

bool same_records(const ObsData& a, const ObsData& b, const SatelliteEntry& u,
                  const SatelliteEntry& v) {
  if (u.satellite != v.satellite || u.record_count != v.record_count) return false;
  for (std::size_t r = 0; r < u.record_count; ++r) {
    const ObsRecord& p = u.records[r];
    const ObsRecord& q = v.records[r];
    if (a.code(p.code) != b.code(q.code) || p.lli != q.lli || p.ssi != q.ssi ||
        std::bit_cast<std::uint64_t>(p.value) != std::bit_cast<std::uint64_t>(q.value)) {
      return false;
    }
  }
  return true;
}

bool same_time(const Epoch& a, const Epoch& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute &&
         std::bit_cast<std::uint64_t>(a.second) == std::bit_cast<std::uint64_t>(b.second);
}

bool same_data(const ObsData& a, const ObsData& b) {
  if (a.epochs().size() != b.epochs().size()) return false;
  for (std::size_t e = 0; e < a.epochs().size(); ++e) {
    const ObsEpoch& x = a.epochs()[e];
    const ObsEpoch& y = b.epochs()[e];
    if (x.flag != y.flag || x.entry_count != y.entry_count || !same_time(x.time, y.time)) return false;
    for (std::size_t s = 0; s < x.entry_count; ++s) {
      if (!same_records(a, b, x.entries[s], y.entries[s])) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto bytes = fuzz::as_chars(data, size);
  const auto read = read_obs_bytes(bytes, FUZZ_FILE_NAME);
  fuzz::check_obs_result(read);

  if (auto text = open_obs_bytes(bytes, FUZZ_FILE_NAME)) {
    testing::TextOnlyLines text_only(std::move(*text));
    const auto by_text = read_obs(text_only);
    FUZZ_CHECK(read.has_value() == by_text.has_value(), "records as numbers and as text disagree");
    if (read) {
      FUZZ_CHECK(same_data(*read, *by_text), "records as numbers and as text give other data");
    } else {
      FUZZ_CHECK(read.error().display() == by_text.error().display(),
                 "records as numbers and as text fail differently");
    }
  }

  auto lines = open_obs_bytes(bytes, FUZZ_FILE_NAME);
  if (!lines) return 0;
  auto header = read_header(**lines);
  if (!header) return 0;
  const bool rinex2 = header->version.major == RinexGeneration::V2;
  fuzz::check_obs_result(rinex2 ? read_rinex3_body(**lines, std::move(*header))
                                : read_rinex2_body(**lines, std::move(*header)));
  return 0;
}

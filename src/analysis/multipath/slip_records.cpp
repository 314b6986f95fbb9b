#include "analysis/multipath/slip_records.hpp"

#include <algorithm>
#include <tuple>

#include "analysis/multipath/analysed_epochs.hpp"

namespace skyloam {

std::string_view method_text(SlipMethod method) {
  switch (method) {
    case SlipMethod::Gf: return "gf";
    case SlipMethod::CodePhase: return "code_phase";
    case SlipMethod::Lli: return "lli";
  }
  return "";
}

SlipIndex::SlipIndex(std::span<const SlipRecord> records) {
  std::vector<std::tuple<std::uint64_t, std::uint32_t, std::int64_t>> entries;
  for (const SlipRecord& record : records) {
    for (const ObsCode& code : record.codes()) {
      if (code.kind != ObsKind::CarrierPhase) continue;
      entries.emplace_back(sort_key(record.satellite), pack(code), calendar_millis(record.time));
    }
  }
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
  keys_.reserve(entries.size());
  times_.reserve(entries.size());
  for (const auto& [satellite, code, millis] : entries) {
    keys_.push_back({satellite, code});
    times_.push_back(millis);
  }
}

std::span<const std::int64_t> SlipIndex::times(const Satellite& satellite,
                                               const ObsCode& phase) const {
  const Key key{sort_key(satellite), pack(phase)};
  const auto [first, last] = std::equal_range(keys_.begin(), keys_.end(), key);
  return {times_.data() + (first - keys_.begin()), times_.data() + (last - keys_.begin())};
}

}  // namespace skyloam

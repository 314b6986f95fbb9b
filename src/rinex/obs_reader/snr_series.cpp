#include "rinex/obs_reader/snr_series.hpp"

#include <algorithm>
#include <cstdint>

#include "utils/time/epoch.hpp"

namespace skyloam {

std::vector<std::string> snr_codes(const ObsData& data, const Satellite& satellite) {
  std::vector<bool> seen(data.codes().size(), false);
  for (const ObsEpoch& epoch : data.epochs()) {
    const SatelliteEntry* entry = epoch.find(satellite);
    if (entry == nullptr) continue;
    for (const ObsRecord& record : entry->observations()) seen[record.code] = true;
  }
  std::vector<ObsCode> codes;
  for (std::size_t id = 0; id < seen.size(); ++id) {
    const ObsCode& code = data.code(static_cast<CodeId>(id));
    if (seen[id] && code.kind == ObsKind::Snr) codes.push_back(code);
  }
  std::sort(codes.begin(), codes.end(), text_less);
  std::vector<std::string> texts;
  for (const ObsCode& code : codes) texts.push_back(to_string(code));
  return texts;
}

std::vector<SnrSeries> snr_series(const ObsData& data, const Satellite& satellite,
                                  std::optional<ObsCode> code) {
  // Per code id: whether it is selected, and its series once it has one.
  constexpr std::uint32_t kNone = UINT32_MAX;
  std::vector<bool> selected(data.codes().size(), false);
  for (std::size_t id = 0; id < selected.size(); ++id) {
    const ObsCode& candidate = data.code(static_cast<CodeId>(id));
    selected[id] = code ? candidate == *code : candidate.kind == ObsKind::Snr;
  }
  std::vector<std::uint32_t> series_of(selected.size(), kNone);
  std::vector<SnrSeries> series;
  for (const ObsEpoch& epoch : data.epochs()) {
    const SatelliteEntry* entry = epoch.find(satellite);
    if (entry == nullptr) continue;
    std::optional<double> time;
    for (const ObsRecord& record : entry->observations()) {
      if (!selected[record.code] || !(record.value > 0.0)) continue;
      if (!time) time = unix_seconds(epoch.time);
      std::uint32_t& index = series_of[record.code];
      if (index == kNone) {
        index = static_cast<std::uint32_t>(series.size());
        series.push_back({data.code(record.code), {}, {}});
      }
      series[index].times.push_back(*time);
      series[index].values.push_back(record.value);
    }
  }
  std::sort(series.begin(), series.end(),
            [](const SnrSeries& a, const SnrSeries& b) { return text_less(a.code, b.code); });
  return series;
}

namespace {

// prefix + text + suffix (appended piecewise: g++ 12 warns falsely about
// chained operator+ on strings).
std::string quoted(std::string_view prefix, std::string_view text, std::string_view suffix) {
  std::string out;
  out.reserve(prefix.size() + text.size() + suffix.size());
  out.append(prefix).append(text).append(suffix);
  return out;
}

}  // namespace

Result<Satellite> satellite_argument(std::string_view text) {
  if (const auto satellite = parse_satellite(text)) return *satellite;
  return fail(GnssError::message(quoted("Invalid satellite id '", text, "'")));
}

Result<ObsCode> snr_code_argument(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const auto code = parse_obs_code(upper);
  if (code && code->kind == ObsKind::Snr) return *code;
  return fail(GnssError::message(quoted("'", text, "' is not an S-code")));
}

Result<std::vector<SnrSeries>> snr_series_for(const ObsData& data, std::string_view satellite,
                                              std::optional<std::string_view> code) {
  const auto parsed_satellite = satellite_argument(satellite);
  if (!parsed_satellite) return fail(std::move(parsed_satellite.error()));
  std::optional<ObsCode> parsed_code;
  if (code) {
    auto checked = snr_code_argument(*code);
    if (!checked) return fail(std::move(checked.error()));
    parsed_code = *checked;
  }
  return snr_series(data, *parsed_satellite, parsed_code);
}

}  // namespace skyloam

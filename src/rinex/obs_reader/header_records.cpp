#include "rinex/obs_reader/header_records.hpp"

#include <string>
#include <vector>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kLabelColumn = 60;

std::vector<std::string_view> pieces_before_label(std::string_view line) {
  return split_whitespace(column(line, 0, kLabelColumn));
}

// A non-empty run of digits, an optional leading '+' allowed.
bool is_count_field(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::optional<RinexVersion> parse_rinex_version(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return std::nullopt;
  const auto major = parse_int<std::uint8_t>(text.substr(0, point));
  if (!major || *major < 2 || *major > 4) return std::nullopt;
  std::string_view minor_part = text.substr(point + 1);
  minor_part = minor_part.substr(0, minor_part.find('.'));
  const auto minor = parse_int<std::uint8_t>(minor_part.substr(0, 2));
  if (!minor) return std::nullopt;
  return RinexVersion{static_cast<RinexGeneration>(*major), *minor};
}

std::optional<std::array<double, 3>> parse_number_triple(std::string_view line) {
  std::array<double, 3> numbers{};
  std::size_t found = 0;
  for (const std::string_view piece : pieces_before_label(line)) {
    const auto number = parse_f64(piece);
    if (!number) continue;
    numbers[found++] = *number;
    if (found == numbers.size()) return numbers;
  }
  return std::nullopt;
}

std::optional<Epoch> parse_header_time(std::string_view line) {
  const std::vector<std::string_view> pieces = split_whitespace(column(line, 0, 43));
  if (pieces.size() < 6) return std::nullopt;
  const auto year = parse_int<std::int32_t>(pieces[0]);
  const auto month = parse_int<std::uint32_t>(pieces[1]);
  const auto day = parse_int<std::uint32_t>(pieces[2]);
  const auto hour = parse_int<std::uint32_t>(pieces[3]);
  const auto minute = parse_int<std::uint32_t>(pieces[4]);
  const auto second = parse_f64(pieces[5]);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  return Epoch{*year, *month, *day, *hour, *minute, *second};
}

void add_rinex3_obs_types(std::string_view line, RinexObsHeader& header,
                          std::optional<GnssSystem>& continued) {
  if (line[0] == ' ') {
    if (!continued) return;
  } else {
    const auto system = system_from_letter(line[0]);
    if (!system) return;
    continued = system;
  }
  std::vector<ObsCode>& codes = header.obs_types[*continued];
  // Thirteen 4-byte slots from byte 7, then the one byte left before 60.
  for (std::size_t start = 7; start < kLabelColumn; start += 4) {
    const std::string_view piece = trimmed_column(line, start, std::min(start + 4, kLabelColumn));
    if (piece.size() < 3) continue;
    if (const auto code = parse_obs_code(piece)) codes.push_back(*code);
  }
}

void add_rinex2_obs_types(std::string_view line, RinexObsHeader& header) {
  const std::size_t first = is_count_field(trimmed_column(line, 0, 6)) ? 6 : 0;
  for (std::size_t start = first; start < kLabelColumn; start += 6) {
    const std::string_view piece = trimmed_column(line, start, std::min(start + 6, kLabelColumn));
    if (!piece.empty()) header.obs_types_v2.emplace_back(piece);
  }
}

void add_glonass_slots(std::string_view line, RinexObsHeader& header) {
  const std::vector<std::string_view> pieces = pieces_before_label(line);
  // The first line of the record starts with the count, continuations do not.
  const std::size_t first = !pieces.empty() && pieces[0].front() == 'R' ? 0 : 1;
  for (std::size_t i = first; i + 1 < pieces.size(); i += 2) {
    std::string_view slot_text = pieces[i];
    while (!slot_text.empty() && slot_text.front() == 'R') slot_text.remove_prefix(1);
    const auto slot = parse_int<std::uint32_t>(slot_text);
    const auto channel = parse_int<std::int8_t>(pieces[i + 1]);
    if (slot && channel) header.glonass_slots[*slot] = *channel;
  }
}

void add_glonass_biases(std::string_view line, RinexObsHeader& header) {
  const std::vector<std::string_view> pieces = pieces_before_label(line);
  std::map<std::string, double> biases =
      header.glonass_cod_phs_bis ? std::move(*header.glonass_cod_phs_bis)
                                 : std::map<std::string, double>{};
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    if (const auto value = parse_f64(pieces[i + 1])) biases[std::string(pieces[i])] = *value;
  }
  if (biases.empty()) {
    header.glonass_cod_phs_bis.reset();
  } else {
    header.glonass_cod_phs_bis = std::move(biases);
  }
}

}  // namespace skyloam

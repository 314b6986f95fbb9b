#include "testkit/rinex_body_model.hpp"

#include <stdexcept>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam::testing {

namespace {

std::string_view label_of(std::string_view line) { return line.size() > 60 ? trim(line.substr(60)) : ""; }

// "-12.345" with `decimals` or fewer decimals -> -12345 (for 3 decimals).
std::int64_t parse_scaled(std::string_view text, int decimals) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
  const auto point = text.find('.');
  if (point == std::string_view::npos) throw std::runtime_error("no decimal point in " + std::string(text));
  std::string digits(text.substr(0, point));
  std::string fraction(text.substr(point + 1));
  if (static_cast<int>(fraction.size()) > decimals) throw std::runtime_error("too many decimals: " + std::string(text));
  fraction.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
  const auto magnitude = parse_int<std::int64_t>(digits.empty() ? fraction : digits + fraction);
  if (!magnitude) throw std::runtime_error("not a number: " + std::string(text));
  return negative ? -*magnitude : *magnitude;
}

RinexField parse_field(std::string_view line, std::size_t begin) {
  RinexField field;
  const std::string_view value = trimmed_column(line, begin, begin + 14);
  if (value.empty()) return field;
  field.present = true;
  field.value = parse_scaled(value, 3);
  field.lli = begin + 14 < line.size() ? line[begin + 14] : ' ';
  field.ssi = begin + 15 < line.size() ? line[begin + 15] : ' ';
  return field;
}

std::optional<std::int64_t> parse_clock(std::string_view line, std::size_t begin, std::size_t end, int decimals) {
  const std::string_view text = trimmed_column(line, begin, end);
  if (text.empty()) return std::nullopt;
  return parse_scaled(text, decimals);
}

std::size_t parse_count(std::string_view line, std::size_t begin) {
  const auto count = parse_int<std::size_t>(trimmed_column(line, begin, begin + 3));
  if (!count) throw std::runtime_error("no count on epoch line: " + std::string(line));
  return *count;
}

void read_header(RinexModel& model, const std::vector<std::string>& lines, std::size_t& i) {
  for (; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    model.header.push_back(line);
    const std::string_view label = label_of(line);
    if (label == "RINEX VERSION / TYPE") model.rinex2 = trimmed_column(line, 0, 9).starts_with('2');
    if (label == "# / TYPES OF OBSERV" && !trimmed_column(line, 0, 6).empty()) {
      model.types_v2 = *parse_int<int>(trimmed_column(line, 0, 6));
    }
    if (label == "SYS / # / OBS TYPES" && line[0] != ' ') {
      model.types_v3[line[0]] = *parse_int<int>(trimmed_column(line, 3, 6));
    }
    if (label == "END OF HEADER") {
      ++i;
      return;
    }
  }
}

void read_records(RinexEpoch& epoch, std::size_t count, const std::vector<std::string>& lines, std::size_t& i) {
  for (std::size_t r = 0; r < count && i < lines.size(); ++r) epoch.records.push_back(lines[i++]);
}

RinexEpoch read_epoch_v3(const RinexModel& model, const std::vector<std::string>& lines, std::size_t& i) {
  RinexEpoch epoch;
  epoch.line = lines[i++];
  epoch.fields = std::string(trim_end(column(epoch.line, 0, 41)));
  epoch.flag = epoch.line.size() > 31 ? epoch.line[31] : '0';
  const std::size_t count = parse_count(epoch.line, 32);
  if (epoch.is_event()) {
    read_records(epoch, count, lines, i);
    return epoch;
  }
  epoch.clock = parse_clock(epoch.line, 41, 56, 12);
  for (std::size_t s = 0; s < count; ++s) {
    const std::string& line = lines.at(i++);
    epoch.ids.push_back(line.substr(0, 3));
    std::vector<RinexField> fields(static_cast<std::size_t>(model.types_for(epoch.ids.back())));
    for (std::size_t t = 0; t < fields.size(); ++t) fields[t] = parse_field(line, 3 + 16 * t);
    epoch.observations.push_back(std::move(fields));
  }
  return epoch;
}

RinexEpoch read_epoch_v2(const RinexModel& model, const std::vector<std::string>& lines, std::size_t& i) {
  RinexEpoch epoch;
  epoch.line = lines[i];
  epoch.fields = std::string(trim_end(column(epoch.line, 0, 32)));
  epoch.flag = epoch.line.size() > 28 ? epoch.line[28] : '0';
  const std::size_t count = parse_count(epoch.line, 29);
  if (epoch.is_event()) {
    ++i;
    read_records(epoch, count, lines, i);
    return epoch;
  }
  epoch.clock = parse_clock(epoch.line, 68, 80, 9);
  for (std::size_t s = 0; s < count; ++s) {
    const std::string& line = lines.at(i + s / 12);
    epoch.ids.push_back(std::string(column(line, 32 + 3 * (s % 12), 35 + 3 * (s % 12))));
    epoch.ids.back().resize(3, ' ');
  }
  i += count == 0 ? 1 : (count + 11) / 12;
  const auto types = static_cast<std::size_t>(model.types_v2);
  for (std::size_t s = 0; s < count; ++s) {
    std::vector<RinexField> fields(types);
    for (std::size_t t = 0; t < types; ++t) fields[t] = parse_field(lines.at(i + t / 5), 16 * (t % 5));
    i += (types + 4) / 5;
    epoch.observations.push_back(std::move(fields));
  }
  return epoch;
}

}  // namespace

int RinexModel::types_for(std::string_view id) const {
  if (rinex2) return types_v2;
  const auto found = types_v3.find(id.front());
  if (found == types_v3.end()) throw std::runtime_error("no types for " + std::string(id));
  return found->second;
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

RinexModel parse_rinex(std::string_view text) {
  RinexModel model;
  const std::vector<std::string> lines = split_lines(text);
  std::size_t i = 0;
  read_header(model, lines, i);
  while (i < lines.size()) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    model.epochs.push_back(model.rinex2 ? read_epoch_v2(model, lines, i) : read_epoch_v3(model, lines, i));
  }
  return model;
}

}  // namespace skyloam::testing

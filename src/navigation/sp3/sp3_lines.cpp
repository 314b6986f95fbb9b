#include "navigation/sp3/sp3_lines.hpp"

#include <cmath>
#include <vector>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kMinHeaderBytes = 60;
constexpr double kBadClockLimit = 900000.0;
constexpr double kMetresPerKilometre = 1000.0;

// The field times `scale`, when that is a finite number.
std::optional<double> finite_field(std::string_view line, std::size_t begin, std::size_t end,
                                   double scale = 1.0) {
  const auto value = parse_f64(trimmed_column(line, begin, end));
  if (!value || !std::isfinite(*value * scale)) return std::nullopt;
  return *value * scale;
}

// SP3-a writes "P  1": no system letter, every satellite is GPS.
std::optional<Satellite> position_satellite(std::string_view line) {
  const std::string_view field = column(line, 1, 4);
  if (auto satellite = parse_satellite(field)) return satellite;
  if (field.empty() || field.front() != ' ') return std::nullopt;
  const auto number = parse_int<std::uint32_t>(trim(field));
  if (!number) return std::nullopt;
  return Satellite{GnssSystem::GPS, *number};
}

}  // namespace

Sp3LineKind classify_sp3_line(std::string_view line) {
  if (line.empty()) return Sp3LineKind::Other;
  switch (line.front()) {
    case '#': {
      if (line.size() < kMinHeaderBytes) return Sp3LineKind::Other;
      const char second = line[1];
      if (second == '#') return Sp3LineKind::TimeHeader;
      if (second >= 'a' && second <= 'd') return Sp3LineKind::Header;
      return Sp3LineKind::Other;
    }
    case '*': return Sp3LineKind::Epoch;
    case 'P': return line.size() < kMinHeaderBytes ? Sp3LineKind::Other : Sp3LineKind::Position;
    default: return Sp3LineKind::Other;
  }
}

std::uint64_t declared_epoch_count(std::string_view header_line) {
  const auto count = parse_int<std::uint64_t>(trimmed_column(header_line, 32, 39));
  return count ? *count : 0;
}

double declared_interval(std::string_view time_header_line) {
  const auto interval = parse_f64(trimmed_column(time_header_line, 24, 38));
  return interval ? *interval : 900.0;
}

std::optional<Epoch> parse_epoch_line(std::string_view line) {
  const std::vector<std::string_view> fields = split_whitespace(column(line, 3, 31));
  if (fields.size() < 6) return std::nullopt;
  const auto year = parse_int<std::int32_t>(fields[0]);
  const auto month = parse_int<std::uint32_t>(fields[1]);
  const auto day = parse_int<std::uint32_t>(fields[2]);
  const auto hour = parse_int<std::uint32_t>(fields[3]);
  const auto minute = parse_int<std::uint32_t>(fields[4]);
  const auto second = parse_f64(fields[5]);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  return Epoch{*year, *month, *day, *hour, *minute, *second};
}

std::optional<PositionLine> parse_position_line(std::string_view line) {
  const auto satellite = position_satellite(line);
  if (!satellite) return std::nullopt;
  const auto x = finite_field(line, 4, 18, kMetresPerKilometre);
  const auto y = finite_field(line, 18, 32, kMetresPerKilometre);
  const auto z = finite_field(line, 32, 46, kMetresPerKilometre);
  if (!x || !y || !z) return std::nullopt;
  if (*x == 0.0 && *y == 0.0 && *z == 0.0) return std::nullopt;
  const auto clock = finite_field(line, 46, 60);
  if (!clock || std::fabs(*clock) > kBadClockLimit) return std::nullopt;
  return PositionLine{*satellite, *x, *y, *z, *clock};
}

}  // namespace skyloam

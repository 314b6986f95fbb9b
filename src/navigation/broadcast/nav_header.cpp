#include "navigation/broadcast/nav_header.hpp"

#include <string>

#include "navigation/broadcast/gnss_time.hpp"
#include "rinex/obs_reader/header_records.hpp"
#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kLabelColumn = 60;

std::string_view label_of(std::string_view line) {
  return trim(column(line, kLabelColumn, line.size()));
}

GnssError not_navigation(std::string_view why) {
  return GnssError(ErrorKind::Navigation, "not a RINEX navigation file: " + std::string(why));
}

// The system of a version 2 file type letter.
std::optional<GnssSystem> version2_system(char type) {
  switch (type) {
    case 'N':
      return GnssSystem::GPS;
    case 'G':
      return GnssSystem::GLONASS;
    case 'H':
      return GnssSystem::SBAS;
    case 'E':
      return GnssSystem::Galileo;
    default:
      return std::nullopt;
  }
}

Result<NavHeader> parse_version_line(std::string_view line) {
  if (label_of(line) != "RINEX VERSION / TYPE") {
    return fail(not_navigation("the first line is not RINEX VERSION / TYPE"));
  }
  const std::string_view text = trimmed_column(line, 0, 9);
  const auto version = parse_rinex_version(text);
  const auto value = parse_f64(text);
  if (!version || !value) return fail(GnssError(ErrorKind::UnsupportedVersion, std::string(text)));
  NavHeader header;
  header.version = *value;
  header.generation = version->major;
  const char type = line.size() > 20 ? line[20] : ' ';
  if (header.generation == RinexGeneration::V2) {
    header.system = version2_system(type);
    if (!header.system) return fail(not_navigation("file type '" + std::string(1, type) + "'"));
    return header;
  }
  if (type != 'N') return fail(not_navigation("file type '" + std::string(1, type) + "'"));
  const char system = line.size() > 40 ? line[40] : ' ';
  if (system != 'M') header.system = system_from_letter(system);
  return header;
}

void apply_leap_seconds(std::string_view line, NavHeader& header) {
  const auto count = parse_int<std::int32_t>(trimmed_column(line, 0, 6));
  if (!count || *count < 0 || *count > 1000) return;
  header.leap_seconds = *count;
  const bool beidou = trimmed_column(line, 24, 27) == "BDS";
  header.gps_minus_utc = *count + (beidou ? static_cast<std::int32_t>(kBeidouBehindGps) : 0);
}

}  // namespace

Result<NavHeader> read_nav_header(LineSource& lines) {
  std::optional<NavHeader> header;
  for (;;) {
    Result<std::optional<Line>> next = lines.next();
    if (!next) return fail(std::move(next.error()));
    if (!*next) break;
    const std::string_view line = (*next)->text;
    if (!header) {
      if (trim(line).empty()) continue;
      Result<NavHeader> parsed = parse_version_line(line);
      if (!parsed) return fail(std::move(parsed.error()));
      header = *parsed;
      continue;
    }
    const std::string_view label = label_of(line);
    if (label == "END OF HEADER") break;
    if (label == "LEAP SECONDS") apply_leap_seconds(line, *header);
  }
  if (!header) return fail(not_navigation("no RINEX VERSION / TYPE line"));
  return *header;
}

}  // namespace skyloam

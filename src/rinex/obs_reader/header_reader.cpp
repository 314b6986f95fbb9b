#include "rinex/obs_reader/header_reader.hpp"

#include <array>
#include <string>
#include <type_traits>

#include "rinex/obs_reader/header_records.hpp"
#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

enum class Label : std::uint8_t {
  Version,
  Program,
  MarkerName,
  MarkerNumber,
  MarkerType,
  Observer,
  Receiver,
  Antenna,
  ApproxPosition,
  AntennaDelta,
  Rinex3ObsTypes,
  Rinex2ObsTypes,
  Interval,
  FirstObs,
  LastObs,
  LeapSeconds,
  SatelliteCount,
  GlonassSlots,
  GlonassBiases,
  Comment,
  EndOfHeader,
  Unknown,
};

struct LabelText {
  std::string_view text;
  Label label;
};

constexpr std::array<LabelText, 21> kLabels = {{
    {"RINEX VERSION / TYPE", Label::Version},
    {"PGM / RUN BY / DATE", Label::Program},
    {"MARKER NAME", Label::MarkerName},
    {"MARKER NUMBER", Label::MarkerNumber},
    {"MARKER TYPE", Label::MarkerType},
    {"OBSERVER / AGENCY", Label::Observer},
    {"REC # / TYPE / VERS", Label::Receiver},
    {"ANT # / TYPE", Label::Antenna},
    {"APPROX POSITION XYZ", Label::ApproxPosition},
    {"ANTENNA: DELTA H/E/N", Label::AntennaDelta},
    {"SYS / # / OBS TYPES", Label::Rinex3ObsTypes},
    {"# / TYPES OF OBSERV", Label::Rinex2ObsTypes},
    {"INTERVAL", Label::Interval},
    {"TIME OF FIRST OBS", Label::FirstObs},
    {"TIME OF LAST OBS", Label::LastObs},
    {"LEAP SECONDS", Label::LeapSeconds},
    {"# OF SATELLITES", Label::SatelliteCount},
    {"GLONASS SLOT / FRQ #", Label::GlonassSlots},
    {"GLONASS COD/PHS/BIS", Label::GlonassBiases},
    {"COMMENT", Label::Comment},
    {"END OF HEADER", Label::EndOfHeader},
}};

Label label_of(std::string_view text) {
  for (const LabelText& entry : kLabels) {
    if (entry.text == text) return entry.label;
  }
  return Label::Unknown;
}

std::string text_field(std::string_view line, std::size_t begin, std::size_t end) {
  return std::string(trimmed_column(line, begin, end));
}

// Sets `field` from the trimmed columns when they parse as a T.
template <class T>
void set_number(std::optional<T>& field, std::string_view line, std::size_t begin,
                std::size_t end) {
  const std::string_view text = trimmed_column(line, begin, end);
  if constexpr (std::is_floating_point_v<T>) {
    if (const auto value = parse_f64(text)) field = *value;
  } else {
    if (const auto value = parse_int<T>(text)) field = *value;
  }
}

class HeaderLines {
 public:
  // False after "END OF HEADER"; an error for an unusable version.
  Result<bool> apply(std::string_view line);
  RinexObsHeader take() { return std::move(header_); }

 private:
  Result<void> apply_version(std::string_view line);
  void apply_observer_fields(Label label, std::string_view line);

  RinexObsHeader header_;
  std::optional<GnssSystem> obs_types_system_;
};

Result<void> HeaderLines::apply_version(std::string_view line) {
  const std::string_view text = trimmed_column(line, 0, 9);
  const auto version = parse_rinex_version(text);
  if (!version) return fail(GnssError(ErrorKind::UnsupportedVersion, std::string(text)));
  header_.version = *version;
  header_.file_type = line[20];
  header_.satellite_system = system_from_letter(line[40]);
  return {};
}

// The labels whose fields are plain texts at fixed columns.
void HeaderLines::apply_observer_fields(Label label, std::string_view line) {
  RinexObsHeader& h = header_;
  switch (label) {
    case Label::Program:
      h.program = text_field(line, 0, 20);
      h.run_by = text_field(line, 20, 40);
      h.date = text_field(line, 40, 60);
      break;
    case Label::MarkerName: h.marker_name = text_field(line, 0, 60); break;
    case Label::MarkerNumber: h.marker_number = text_field(line, 0, 20); break;
    case Label::MarkerType: h.marker_type = text_field(line, 0, 20); break;
    case Label::Observer:
      h.observer = text_field(line, 0, 20);
      h.agency = text_field(line, 20, 60);
      break;
    case Label::Receiver:
      h.receiver_number = text_field(line, 0, 20);
      h.receiver_type = text_field(line, 20, 40);
      h.receiver_version = text_field(line, 40, 60);
      break;
    case Label::Antenna:
      h.antenna_number = text_field(line, 0, 20);
      h.antenna_type = text_field(line, 20, 40);
      break;
    case Label::Comment: h.comments.push_back(text_field(line, 0, 60)); break;
    default: break;
  }
}

Result<bool> HeaderLines::apply(std::string_view line) {
  if (line.size() < 60) return true;
  const Label label = label_of(trim(line.substr(60)));
  RinexObsHeader& h = header_;
  switch (label) {
    case Label::Version:
      if (auto applied = apply_version(line); !applied) return fail(std::move(applied.error()));
      break;
    case Label::ApproxPosition:
      if (const auto xyz = parse_number_triple(line)) h.approx_position = xyz;
      break;
    case Label::AntennaDelta:
      if (const auto hen = parse_number_triple(line)) h.antenna_delta = hen;
      break;
    case Label::Rinex3ObsTypes: add_rinex3_obs_types(line, h, obs_types_system_); break;
    case Label::Rinex2ObsTypes: add_rinex2_obs_types(line, h); break;
    case Label::Interval: set_number(h.declared_interval, line, 0, 10); break;
    case Label::FirstObs:
      if (const auto time = parse_header_time(line)) h.time_of_first_obs = time;
      h.time_system = text_field(line, 48, 51);
      break;
    case Label::LastObs:
      if (const auto time = parse_header_time(line)) h.time_of_last_obs = time;
      break;
    case Label::LeapSeconds: set_number(h.leap_seconds, line, 0, 6); break;
    case Label::SatelliteCount: set_number(h.declared_satellites, line, 0, 6); break;
    case Label::GlonassSlots: add_glonass_slots(line, h); break;
    case Label::GlonassBiases: add_glonass_biases(line, h); break;
    case Label::EndOfHeader: return false;
    case Label::Unknown: break;
    default: apply_observer_fields(label, line); break;
  }
  return true;
}

}  // namespace

Result<RinexObsHeader> read_header(LineSource& lines) {
  HeaderLines header;
  for (;;) {
    auto next = lines.next();
    if (!next) return fail(std::move(next.error()));
    if (!*next) break;
    auto more = header.apply(strip_trailing_cr((*next)->text));
    if (!more) return fail(std::move(more.error()));
    if (!*more) break;
  }
  return header.take();
}

}  // namespace skyloam

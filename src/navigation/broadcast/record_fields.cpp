#include "navigation/broadcast/record_fields.hpp"

#include <limits>

#include "navigation/broadcast/nav_number.hpp"
#include "rinex/obs_reader/header_records.hpp"
#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kFieldWidth = 19;

struct Layout {
  std::size_t epoch_begin;   // the epoch's fields lie in [epoch_begin, first_number)
  std::size_t first_number;  // column of the first number of the first line
  std::size_t continued;     // column of the first number of the other lines
};

constexpr Layout kVersion2{2, 22, 3};
constexpr Layout kVersion3{3, 23, 4};

// Whether records of a version 4 message type have an orbit model here.
bool has_orbit_model(std::string_view message, GnssSystem system) {
  switch (system) {
    case GnssSystem::GPS:
    case GnssSystem::QZSS:
    case GnssSystem::NavIC:
      return message == "LNAV";
    case GnssSystem::Galileo:
      return message == "INAV" || message == "FNAV";
    case GnssSystem::BeiDou:
      return message == "D1" || message == "D2";
    case GnssSystem::GLONASS:
      return message == "FDMA";
    case GnssSystem::SBAS:
      return message == "SBAS";
    default:
      return false;
  }
}

std::optional<Satellite> satellite_of(std::string_view first, const NavHeader& header) {
  const bool version2 = header.generation == RinexGeneration::V2;
  std::optional<GnssSystem> system = header.system;
  if (!version2 && !first.empty() && first.front() != ' ') {
    system = system_from_letter(first.front());
  }
  const auto number =
      parse_int<std::uint32_t>(trimmed_column(first, version2 ? 0 : 1, version2 ? 2 : 3));
  if (!system || *system == GnssSystem::Mixed || !number || *number == 0) return std::nullopt;
  return Satellite{*system, *number};
}

// Year, month, day, hour, minute, second: the blank-separated pieces.
std::optional<Epoch> epoch_of(std::string_view text, bool two_digit_year) {
  std::optional<Epoch> epoch = parse_header_time(text);
  if (!epoch || !two_digit_year) return epoch;
  if (epoch->year < 0 || epoch->year > 99) return std::nullopt;
  epoch->year += epoch->year < 80 ? 2000 : 1900;
  return epoch;
}

}  // namespace

std::optional<RecordFields> read_record_fields(const RecordText& text, const NavHeader& header) {
  if (text.size() == 0) return std::nullopt;
  const std::string_view first = text.line(0);
  const auto satellite = satellite_of(first, header);
  if (!satellite) return std::nullopt;
  // Version 4 names each record's message type in the "> EPH" line before it.
  if (header.generation == RinexGeneration::V4 &&
      !has_orbit_model(text.message(), satellite->system)) {
    return std::nullopt;
  }
  const bool version2 = header.generation == RinexGeneration::V2;
  const Layout& layout = version2 ? kVersion2 : kVersion3;
  const auto epoch = epoch_of(column(first, layout.epoch_begin, layout.first_number), version2);
  if (!epoch) return std::nullopt;
  return RecordFields{*satellite, *epoch,
                      RecordNumbers(text, layout.first_number, layout.continued)};
}

double RecordNumbers::operator[](std::size_t index) const {
  // Three numbers on the first line, four on each after it.
  const std::size_t line = index < 3 ? 0 : (index - 3) / 4 + 1;
  if (line >= text_->size()) return std::numeric_limits<double>::quiet_NaN();
  const std::size_t begin = index < 3 ? first_column_ + index * kFieldWidth
                                      : continued_column_ + (index - 3) % 4 * kFieldWidth;
  return parse_nav_number(column(text_->line(line), begin, begin + kFieldWidth));
}

}  // namespace skyloam

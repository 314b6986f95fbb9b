// Epoch text parsing: the RINEX form "yy m d h m s" and the ISO forms.
#include <string>
#include <vector>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {
namespace {

GnssError invalid_epoch(std::string text) {
  return GnssError(ErrorKind::InvalidEpoch, std::move(text));
}

std::string quoted(std::string_view what, std::string_view text) {
  return std::string(what) + " '" + std::string(text) + "'";
}

std::vector<std::string_view> split_on(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t pos = text.find(separator, start);
    if (pos == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string_view strip_suffixes(std::string_view text, std::string_view suffix) {
  while (text.ends_with(suffix)) text.remove_suffix(suffix.size());
  return text;
}

Result<Epoch> parse_rinex_form(std::string_view text) {
  const std::vector<std::string_view> fields = split_whitespace(text);
  if (fields.size() < 6) {
    return fail(invalid_epoch("Insufficient components in epoch string: '" + std::string(text) + "'"));
  }
  Epoch epoch;
  const auto year = parse_int<std::int32_t>(fields[0]);
  if (!year) return fail(to_gnss_error(year.error()));
  std::uint32_t* const targets[4] = {&epoch.month, &epoch.day, &epoch.hour, &epoch.minute};
  for (int i = 0; i < 4; ++i) {
    const auto value = parse_int<std::uint32_t>(fields[1 + i]);
    if (!value) return fail(to_gnss_error(value.error()));
    *targets[i] = *value;
  }
  const auto second = parse_f64(fields[5]);
  if (!second) return fail(to_gnss_error(second.error()));
  epoch.second = *second;
  epoch.year = *year < 80 ? *year + 2000 : (*year < 100 ? *year + 1900 : *year);
  return epoch;
}

Result<Epoch> parse_iso_form(std::string_view text) {
  std::string_view s = strip_suffixes(text, "Z");
  s = strip_suffixes(s, "+00:00");
  s = strip_suffixes(s, "+00");
  std::size_t split = s.find('T');
  if (split == std::string_view::npos) split = s.find(' ');
  if (split == std::string_view::npos) {
    return fail(invalid_epoch(quoted("Cannot parse epoch:", s)));
  }
  const std::string_view date_part = s.substr(0, split);
  const std::string_view time_part = s.substr(split + 1);

  const std::vector<std::string_view> date = split_on(date_part, '-');
  if (date.size() != 3) return fail(invalid_epoch(quoted("Invalid date format:", date_part)));
  Epoch epoch;
  const auto year = parse_int<std::int32_t>(date[0]);
  if (!year) return fail(invalid_epoch(quoted("Invalid year:", date[0])));
  const auto month = parse_int<std::uint32_t>(date[1]);
  if (!month) return fail(invalid_epoch(quoted("Invalid month:", date[1])));
  const auto day = parse_int<std::uint32_t>(date[2]);
  if (!day) return fail(invalid_epoch(quoted("Invalid day:", date[2])));

  const std::vector<std::string_view> time = split_on(time_part, ':');
  if (time.size() < 3) return fail(invalid_epoch(quoted("Invalid time format:", time_part)));
  const auto hour = parse_int<std::uint32_t>(time[0]);
  if (!hour) return fail(invalid_epoch(quoted("Invalid hour:", time[0])));
  const auto minute = parse_int<std::uint32_t>(time[1]);
  if (!minute) return fail(invalid_epoch(quoted("Invalid minute:", time[1])));
  const auto second = parse_f64(time[2]);
  if (!second) return fail(invalid_epoch(quoted("Invalid second:", time[2])));

  epoch.year = *year;
  epoch.month = *month;
  epoch.day = *day;
  epoch.hour = *hour;
  epoch.minute = *minute;
  epoch.second = *second;
  return epoch;
}

}  // namespace

Result<Epoch> parse_epoch(std::string_view text) {
  const std::string_view t = trim(text);
  const bool iso = t.find('T') != std::string_view::npos ||
                   (t.find('-') != std::string_view::npos && t.find(':') != std::string_view::npos);
  return iso ? parse_iso_form(t) : parse_rinex_form(t);
}

}  // namespace skyloam

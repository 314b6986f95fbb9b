#include "large_files.hpp"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "utils/time/calendar.hpp"

namespace skyloam::bench {
namespace {

std::string read_all(const std::string& path) {
  gzFile file = gzopen(path.c_str(), "rb");  // plain files pass through
  if (file == nullptr) throw std::runtime_error("cannot open " + path);
  std::string text;
  char buffer[1 << 16];
  int got = 0;
  while ((got = gzread(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(got));
  gzclose(file);
  if (got < 0) throw std::runtime_error("cannot read " + path);
  return text;
}

int two_digits(std::string_view line, std::size_t at) {
  return (line[at] == ' ' ? 0 : line[at] - '0') * 10 + (line[at + 1] - '0');
}

// Rewrites the date of an epoch line in place, `days` later.
void shift_epoch_date(std::string& line, Grammar grammar, int days) {
  if (grammar == Grammar::Rinex3) {
    const int year = std::stoi(line.substr(2, 4));
    const CivilDate date = civil_from_days(
        days_from_civil(year, static_cast<std::uint32_t>(two_digits(line, 7)),
                        static_cast<std::uint32_t>(two_digits(line, 10))) + days);
    char text[16];
    std::snprintf(text, sizeof text, "%04d %02u %02u", static_cast<int>(date.year), date.month, date.day);
    line.replace(2, 10, text);
  } else {
    const int yy = two_digits(line, 1);
    const CivilDate date = civil_from_days(
        days_from_civil(yy < 80 ? 2000 + yy : 1900 + yy, static_cast<std::uint32_t>(two_digits(line, 4)),
                        static_cast<std::uint32_t>(two_digits(line, 7))) + days);
    char text[16];
    std::snprintf(text, sizeof text, "%2d %2u %2u", static_cast<int>(date.year % 100), date.month,
                  date.day);
    line.replace(1, 8, text);
  }
}

bool is_epoch_line(std::string_view line, Grammar grammar) {
  if (grammar == Grammar::Rinex3) return !line.empty() && line[0] == '>';
  return line.size() >= 29 && line[0] == ' ' && line[3] == ' ' && line[6] == ' ' &&
         line[18] == '.' && line[2] >= '0' && line[2] <= '9';
}

// The body again, dates moved on by `days`.
std::string shifted_body(std::string_view body, Grammar grammar, int days) {
  std::string out;
  out.reserve(body.size());
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::size_t end = body.find('\n', pos);
    end = end == std::string_view::npos ? body.size() : end + 1;
    std::string line(body.substr(pos, end - pos));
    if (days != 0 && is_epoch_line(line, grammar)) shift_epoch_date(line, grammar, days);
    out += line;
    pos = end;
  }
  return out;
}

}  // namespace

LargeFile make_large_file(const std::string& source, Grammar grammar, const std::string& folder,
                          const std::string& stem, std::size_t min_bytes) {
  const std::string text = read_all(source);
  const std::string marker = "END OF HEADER";
  const std::size_t header_end = text.find('\n', text.find(marker)) + 1;
  const std::string_view header(text.data(), header_end);
  const std::string_view body(text.data() + header_end, text.size() - header_end);

  LargeFile file{folder + "/" + stem, folder + "/" + stem + ".gz", 0, 0};
  std::FILE* plain = std::fopen(file.plain_path.c_str(), "wb");
  gzFile zipped = gzopen(file.gzip_path.c_str(), "wb6");
  if (plain == nullptr || zipped == nullptr) throw std::runtime_error("cannot write in " + folder);
  const auto write = [&](std::string_view part) {
    if (std::fwrite(part.data(), 1, part.size(), plain) != part.size() ||
        gzwrite(zipped, part.data(), static_cast<unsigned>(part.size())) != static_cast<int>(part.size())) {
      throw std::runtime_error("write failed in " + folder);
    }
    file.plain_bytes += part.size();
  };
  write(header);
  while (file.plain_bytes < min_bytes) write(shifted_body(body, grammar, file.copies++));
  std::fclose(plain);
  gzclose(zipped);
  return file;
}

}  // namespace skyloam::bench

#include "seed_texts.hpp"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "navigation/broadcast/nav_text.hpp"
#include "navigation/sp3/sp3_text.hpp"
#include "rinex/obs_reader/rinex_text.hpp"

namespace skyloam::fuzz {
namespace {

using testing::end_of_header;
using testing::header_line;

constexpr double kSpeedOfLight = 299792458.0;
constexpr double kL1 = kSpeedOfLight / 1575.42e6;
constexpr double kL2 = kSpeedOfLight / 1227.60e6;

std::string format(const char* pattern, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, pattern, values...);
  return line;
}

std::string field(double value, char lli = ' ', char ssi = ' ') {
  return testing::field(format("%.3f", value), lli, ssi);
}

std::string joined(const std::vector<std::string>& lines, bool crlf) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    text += crlf ? "\r\n" : "\n";
  }
  return text;
}

// Code, phases and SNR of one satellite at epoch i: both phases carry the
// range, the code adds a small wave, so the multipath analysis has arcs.
struct Values {
  double code, phase1, phase2, snr1, snr2, doppler;
};

Values values(int satellite, int i) {
  const double range = 20'000'000.0 + 1000.0 * satellite + 150.0 * i;
  return {range + 0.3 * std::sin(i * 0.7 + satellite), range / kL1, range / kL2,
          40.0 + satellite % 7 + 0.5 * (i % 3), 35.0 + satellite % 5, -500.0 + 3.0 * i};
}

void time_of(int i, int& hour, int& minute, int& second) {
  const int total = 30 * i;
  hour = total / 3600;
  minute = total / 60 % 60;
  second = total % 60;
}

}  // namespace

std::string rinex3_text(const SeedOptions& options, const std::string& version) {
  std::vector<std::string> lines = {
      header_line(std::string(9 - version.size(), ' ') + version +
                      "           OBSERVATION DATA    M",
                  "RINEX VERSION / TYPE"),
      header_line("seeds               fuzz                20240115 000000 UTC", "PGM / RUN BY / DATE"),
      header_line("SEED", "MARKER NAME"),
      header_line("  4331296.9226   567556.0704  4633134.0631", "APPROX POSITION XYZ"),
      header_line("G    6 C1C L1C L2W D1C S1C S2W", "SYS / # / OBS TYPES"),
      header_line("R    4 C1C L1C L2P S1C", "SYS / # / OBS TYPES"),
      header_line("E    4 C1C L1C L5Q S1C", "SYS / # / OBS TYPES"),
      header_line("  2 R07  5 R24  2", "GLONASS SLOT / FRQ #"),
      header_line("    30.000", "INTERVAL"),
      header_line("  2024    01    15    00    00    0.0000000     GPS", "TIME OF FIRST OBS"),
      end_of_header(),
  };
  for (int i = 0; i < options.epochs; ++i) {
    int hour = 0, minute = 0, second = 0;
    time_of(i, hour, minute, second);
    const bool slip = options.events && i == options.epochs / 2;
    std::string epoch = format("> 2024 01 15 %02d %02d %10.7f  %d%3d", hour, minute,
                               static_cast<double>(second), slip ? 6 : 0, 3);
    if (options.clock) epoch += format("      %15.12f", 1e-4 * i);
    lines.push_back(epoch);
    const Values g = values(5, i), r = values(7, i), e = values(11, i);
    const char lli = (options.events && i == 3) ? '1' : ' ';
    lines.push_back("G05" + field(g.code) + field(g.phase1, lli, '7') + field(g.phase2) +
                    field(g.doppler) + field(g.snr1) + field(g.snr2));
    lines.push_back("R07" + field(r.code) + field(r.phase1) + field(r.phase2) + field(r.snr1));
    lines.push_back("E11" + field(e.code) + field(e.phase1) + testing::field("") + field(0.0));
    if (options.events && i == 2) {
      lines.push_back(format("> 2024 01 15 %02d %02d %10.7f  4  2", hour, minute, second + 1.0));
      lines.push_back(header_line("an event epoch", "COMMENT"));
      lines.push_back(header_line("with two special records", "COMMENT"));
    }
  }
  return joined(lines, options.crlf);
}

std::string rinex2_text(const SeedOptions& options) {
  std::vector<std::string> lines = {
      header_line("     2.11           OBSERVATION DATA    M (MIXED)", "RINEX VERSION / TYPE"),
      header_line("SEED", "MARKER NAME"),
      header_line("  4331296.9226   567556.0704  4633134.0631", "APPROX POSITION XYZ"),
      header_line("     7    C1    L1    L2    P2    S1    S2    D1", "# / TYPES OF OBSERV"),
      header_line("    30.000", "INTERVAL"),
      end_of_header(),
  };
  const int satellites = 14;
  for (int i = 0; i < options.epochs; ++i) {
    int hour = 0, minute = 0, second = 0;
    time_of(i, hour, minute, second);
    const bool slip = options.events && i == options.epochs / 2;
    std::string list;
    for (int s = 1; s <= satellites; ++s) list += format("%c%02d", s % 4 == 0 ? 'R' : 'G', s);
    lines.push_back(format(" 24  1 15 %2d %2d%11.7f  %d%3d", hour, minute,
                           static_cast<double>(second), slip ? 6 : 0, satellites) +
                    list.substr(0, 36) + "  -0.000123456");
    lines.push_back(std::string(32, ' ') + list.substr(36));
    for (int s = 1; s <= satellites; ++s) {
      const Values v = values(s, i);
      const char lli = (options.events && i == 3 && s == 2) ? '1' : ' ';
      lines.push_back(field(v.code) + field(v.phase1, lli, '8') + field(v.phase2) +
                      field(v.code + 1.5) + field(v.snr1));
      lines.push_back(field(v.snr2) + field(v.doppler));
    }
    if (options.events && i == 2) {
      lines.push_back(format(" 24  1 15 %2d %2d%11.7f  3  2", hour, minute, second + 1.0));
      lines.push_back(header_line("NEW", "MARKER NAME"));
      lines.push_back(header_line("a new site", "COMMENT"));
    }
  }
  return joined(lines, options.crlf);
}

std::vector<std::string> nav_texts() {
  using namespace skyloam::testing;
  const Epoch toc{2020, 6, 25, 0, 0, 0.0};
  const Epoch tb{2020, 6, 25, 0, 15, 0.0};
  const double toe = 4 * 86400.0;
  const std::string mixed =
      nav_header("3.05", 'N', 'M', {header_line("    18", "LEAP SECONDS")}) +
      record_v3("G01", toc, keplerian_numbers(toe)) + record_v3("E11", toc, keplerian_numbers(toe)) +
      record_v3("C01", toc, keplerian_numbers(toe)) + record_v3("C11", toc, keplerian_numbers(toe)) +
      record_v3("J01", toc, keplerian_numbers(toe, 0.0, 0.0)) +
      record_v3("I02", toc, keplerian_numbers(toe)) + record_v3("R01", tb, glonass_numbers()) +
      record_v3("S23", {2020, 6, 25, 0, 2, 24.0}, sbas_numbers());
  const std::string version2 = nav_header("2.11", 'N', ' ') +
                               record_v2(7, toc, keplerian_numbers(toe)) +
                               record_v2(8, {2020, 6, 25, 2, 0, 0.0}, keplerian_numbers(toe + 7200));
  const std::string glonass2 = nav_header("2.11", 'G', ' ') + record_v2(3, tb, glonass_numbers());
  const std::string version4 =
      nav_header("4.00", 'N', 'M') + "> STO C21 CNVX\n    2020 06 25 00 20 00 BDGA\n" +
      "> EPH G01 LNAV\n" + record_v3("G01", toc, keplerian_numbers(toe)) + "> EPH R01 FDMA\n" +
      record_v3("R01", tb, glonass_numbers()) + "> ION G01 LNAV\n    2020 06 25 00 00 00\n";
  return {mixed, version2, glonass2, version4};
}

std::string sp3_text(bool crlf) {
  using namespace testing;
  std::vector<std::string> lines = {
      sp3_header_line("12"),
      sp3_time_line(),
      "+    3   G01G02R03  0  0  0  0  0  0  0  0  0  0  0  0  0  0",
      "++         2  2  2  0  0  0  0  0  0  0  0  0  0  0  0  0  0",
      "%c M  cc GPS ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc",
      "/* seeds of the SP3 fuzz target",
  };
  const char* satellites[] = {"G01", "G02", "R03"};
  for (int epoch = 0; epoch < 12; ++epoch) {
    lines.push_back(sp3_epoch_line(epoch / 4, 15 * (epoch % 4)));
    for (int s = 0; s < 3; ++s) {
      const double angle = 0.13 * epoch + 2.0 * s;
      const double radius = s == 2 ? 25510.0 : 26560.0;
      double clock = 12.345678 + 0.001 * epoch;
      if (s == 1 && epoch == 5) clock = 999999.999999;
      const bool missing = s == 0 && epoch == 7;
      lines.push_back(sp3_position_line(satellites[s], missing ? 0.0 : radius * std::cos(angle),
                                        missing ? 0.0 : radius * std::sin(angle),
                                        missing ? 0.0 : 1000.0 * s, clock));
    }
    if (epoch == 0) lines.push_back("VG01  -5000.000000  12000.000000   1500.000000 999999.999999");
  }
  lines.push_back("EOF");
  return joined(lines, crlf);
}

std::vector<std::string> epoch_texts() {
  return {"2024-03-01T12:00:30.25Z", "2024-03-01 12:00:30.25+00", "2024-03-01T12:00:30.25+00:00",
          "24 3 1 12 0 30.25",       "80 1 1 0 0 0",              "2024 3 1 12 0 30.25 extra",
          "2024 3 1 12 0",           "2024 3 x 12 0 0",           "2024-03-01T12:00",
          "2016-12-31T23:59:60.5Z",  "99 12 31 23 59 59.5",       "2024-13-01T00:00:00"};
}

std::vector<std::string> identifier_texts() {
  return {"G01", "g1", " G 07 ", "E+5", "C123", "R24", "S1C", "s1c", "L2w", "D5Q", "X1C",
          "GPS", "galileo", "M3", "G4294967295", "J193", "I09"};
}

std::vector<std::string> code_filter_texts() {
  return {"C1C\nC2W", " gc1c \nEC5Q", "C1C\nRC1P\nJC2L", "C1\nZ1C", "X1C1", "XC1C\nC1C"};
}

std::string gzip(const std::string& text) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out(deflateBound(&stream, text.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  out.resize(stream.total_out);
  return out;
}

}  // namespace skyloam::fuzz

// Round trips: RINEX -> test writer -> decoder gives the RINEX text back,
// for real files of every layout and for made-up corner cases, with the
// writer's knobs (arc orders, complete epoch lines, arc restarts) turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "support/test_data.hpp"
#include "utils/text/number_parse.hpp"
#include "testkit/crinex_writer.hpp"
#include "testkit/decode_text.hpp"
#include "testkit/rinex_body_model.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam {
namespace {

using testing::CrinexWriterOptions;
using Lines = std::vector<std::string>;

std::string without_trailing_blanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// The decoder writes "0.300" and "-0.353" where some writers put ".300"
// and "-.353": the same numbers in the same columns.
std::string with_leading_zeros(std::string line) {
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    const bool bare_point = line[i] == '.' && line[i + 1] >= '0' && line[i + 1] <= '9';
    if (!bare_point) continue;
    if (line[i - 1] == ' ') {
      line[i - 1] = '0';
    } else if (line[i - 1] == '-' && i >= 2 && line[i - 2] == ' ') {
      line[i - 2] = '-';
      line[i - 1] = '0';
    }
  }
  return line;
}

struct Token {
  std::size_t column;
  std::string text;
};

std::vector<Token> tokens(const std::string& line) {
  std::vector<Token> out;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    const std::size_t end = std::min(line.find(' ', i), line.size());
    out.push_back(Token{i, line.substr(i, end - i)});
    i = end;
  }
  return out;
}

// The same pieces starting in the same columns, numbers equal in value
// ("123456789.0" written by some programs is "123456789.000" restored).
bool same_pieces(const std::string& want, const std::string& got) {
  const auto a = tokens(want);
  const auto b = tokens(got);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].column != b[i].column) return false;
    if (a[i].text == b[i].text) continue;
    const auto x = parse_f64(a[i].text);
    const auto y = parse_f64(b[i].text);
    if (!x || !y || *x != *y) return false;
  }
  return true;
}

// Compares what the decoder gives with the original, line by line, trailing
// blanks aside; reports the first few differences.
enum class Spelling { Canonical, AsWrittenByOthers };

void expect_round_trip(const std::string& rinex, const CrinexWriterOptions& options, const std::string& what,
                       Spelling spelling = Spelling::AsWrittenByOthers) {
  const std::string compact = testing::write_crinex(rinex, options);
  const auto decoded = testing::decode_text(compact);
  ASSERT_FALSE(decoded.error) << what << ": " << decoded.error_text();
  Lines restored = decoded.header;
  restored.insert(restored.end(), decoded.body.begin(), decoded.body.end());
  const Lines original = testing::split_lines(rinex);
  std::size_t shown = 0;
  for (std::size_t i = 0; i < std::max(restored.size(), original.size()) && shown < 3; ++i) {
    std::string want = i < original.size() ? without_trailing_blanks(original[i]) : "<none>";
    std::string got = i < restored.size() ? without_trailing_blanks(restored[i]) : "<none>";
    if (spelling == Spelling::AsWrittenByOthers) {
      want = with_leading_zeros(want);
      got = with_leading_zeros(got);
    }
    const bool same = want == got || (spelling == Spelling::AsWrittenByOthers && same_pieces(want, got));
    if (!same) {
      ++shown;
      ADD_FAILURE() << what << " line " << i << "\n got: [" << got << "]\nwant: [" << want << "]";
    }
  }
}

const std::vector<CrinexWriterOptions> kWriterSettings = {
    {},
    {.order = 1, .clock_order = 1},
    {.order = 5, .clock_order = 3, .reinitialise_every = 3},
    {.order = 9, .clock_order = 0, .reinitialise_every = 1},
    {.order = 2, .clock_order = 2, .restart_arcs_every = 2},
};

class RealFileRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RealFileRoundTrip, GivesTheFileBack) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::string rinex = testing::read_file(testing::testdata_path(GetParam()));
  for (std::size_t s = 0; s < kWriterSettings.size(); ++s) {
    expect_round_trip(rinex, kWriterSettings[s], std::string(GetParam()) + " setting " + std::to_string(s));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealFileRoundTrip,
    ::testing::Values("rinex2/aiub0000.00o", "rinex2/arlm200a.15o", "rinex2/delf0010.21o",
                      "rinex2/npaz3550.21o", "rinex2/kerg1700.16o", "rinex2/faa1170b00.16o",
                      "rinex2/test_dfix_txau047.ed.12o", "rinex2/ice12720.07o", "rinex2/aopr0010.17o",
                      "rinex3/pixel6.23o", "rinex3/z_tracking.rnx", "rinex3/ABMF00GLP_R_20181330000_01D_30S_MO.rnx",
                      "rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx", "rinex3/VLNS0010.22O",
                      "rinex3/cycle-slip.00o", "rinex3/sptu0150.16o",
                      "rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx"));

// Made-up RINEX in canonical spelling, so that the round trip must give it
// back character for character: satellites that come, go and change places,
// empty, zero, negative and tiny values, flags, clocks, events.
class MadeUpRinex {
 public:
  MadeUpRinex(bool rinex2, unsigned seed) : rinex2_(rinex2), random_(seed) {}

  std::string make(int epochs) {
    std::string text = testing::header_line(rinex2_ ? "     2.11           OBSERVATION DATA    M"
                                                    : "     3.05           OBSERVATION DATA    M",
                                            "RINEX VERSION / TYPE") + "\n";
    if (rinex2_) {
      text += testing::header_line("     7    L1    L2    C1    P2    P1    S1    S2", "# / TYPES OF OBSERV") + "\n";
    } else {
      text += testing::header_line("G    4 C1C L1C D1C S1C", "SYS / # / OBS TYPES") + "\n";
      text += testing::header_line("R    2 C1C L1C", "SYS / # / OBS TYPES") + "\n";
      text += testing::header_line("E    6 C1X L1X C5X L5X S1X S5X", "SYS / # / OBS TYPES") + "\n";
    }
    text += testing::header_line("", "END OF HEADER") + "\n";
    for (int e = 0; e < epochs; ++e) text += epoch(e);
    return text;
  }

 private:
  int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  std::string epoch(int number) {
    char time[64];
    const int minute = number / 2;
    const int second = number % 2 * 30;
    const int roll = below(20);
    const char flag = roll == 0 ? static_cast<char>('2' + below(4)) : roll == 1 ? '1' : roll == 2 ? '6' : '0';
    if (rinex2_) {
      std::snprintf(time, sizeof time, " 24  3  5 %2d %2d %10.7f  %c", minute / 60, minute % 60, second * 1.0, flag);
    } else {
      std::snprintf(time, sizeof time, "> 2024 03 05 %02d %02d %10.7f  %c", minute / 60, minute % 60, second * 1.0, flag);
    }
    if (flag >= '2' && flag <= '5') return event(time);
    const auto ids = satellites();
    std::string head = time + count(ids.size());
    std::string clock;
    if (below(2) == 0) clock = fixed(static_cast<std::int64_t>(random_() % 2'000'000'000) - 1'000'000'000, rinex2_ ? 9 : 12, rinex2_ ? 12 : 15);
    std::string text;
    if (rinex2_) {
      std::string first = head;
      for (std::size_t k = 0; k < std::min<std::size_t>(12, ids.size()); ++k) first += ids[k];
      if (!clock.empty()) first = padded(first, 68) + clock;
      text += first + "\n";
      for (std::size_t k = 12; k < ids.size(); k += 12) {
        std::string more(32, ' ');
        for (std::size_t i = k; i < std::min(ids.size(), k + 12); ++i) more += ids[i];
        text += more + "\n";
      }
    } else {
      text += (clock.empty() ? head : padded(head, 41) + clock) + "\n";
    }
    for (const auto& id : ids) text += observations(id);
    return text;
  }

  std::string event(const std::string& time) {
    const int records = below(3);
    std::string text = time + count(static_cast<std::size_t>(records)) + "\n";
    for (int r = 0; r < records; ++r) text += testing::header_line("EVENT RECORD " + std::to_string(r), "COMMENT") + "\n";
    return text;
  }

  std::vector<std::string> satellites() {
    std::vector<std::string> ids;
    const char* systems = rinex2_ ? "GR" : "GRE";
    for (const char* system = systems; *system; ++system) {
      for (int prn = 1; prn <= 9; ++prn) {
        if (below(3) != 0) ids.push_back(std::string(1, *system) + "0" + std::to_string(prn));
      }
    }
    if (below(4) == 0 && ids.size() > 1) std::swap(ids.front(), ids.back());
    return ids;
  }

  std::string observations(const std::string& id) {
    const int types = rinex2_ ? 7 : id[0] == 'G' ? 4 : id[0] == 'R' ? 2 : 6;
    std::string text = rinex2_ ? "" : id;
    for (int t = 0; t < types; ++t) {
      if (rinex2_ && t > 0 && t % 5 == 0) text += "\n";
      const int kind = below(10);
      if (kind == 0) {
        text += std::string(16, ' ');
        continue;
      }
      // Zero, values below 1 in size, and anything the column holds.
      const std::int64_t value = kind == 1 ? 0 : kind == 2 ? -below(1000) : kind == 3 ? below(1000)
                                 : static_cast<std::int64_t>(random_() % 10'999'999'999'999ull) - 999'999'999'999;
      text += fixed(value, 3, 14);
      text += below(5) == 0 ? static_cast<char>('0' + below(10)) : ' ';
      text += below(3) == 0 ? ' ' : static_cast<char>('0' + below(10));
    }
    return text + "\n";
  }

  static std::string count(std::size_t n) {
    char text[8];
    std::snprintf(text, sizeof text, "%3zu", n);
    return text;
  }

  static std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size(), width), ' ');
    return text;
  }

  static std::string fixed(std::int64_t scaled, int decimals, int width) {
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i) unit *= 10;
    const std::int64_t whole = scaled / unit;
    const std::int64_t part = scaled % unit;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%0*lld", scaled < 0 ? "-" : "", static_cast<long long>(whole < 0 ? -whole : whole),
                  decimals, static_cast<long long>(part < 0 ? -part : part));
    const std::string body = text;
    return std::string(static_cast<std::size_t>(width) - body.size(), ' ') + body;
  }

  bool rinex2_;
  std::mt19937_64 random_;
};

TEST(MadeUpRoundTrip, Rinex3CornerCasesComeBackExactly) {
  if (const char* dump = std::getenv("SKYLOAM_DUMP_MADE_UP")) {
    const std::string rinex = MadeUpRinex(dump[0] == '2', 1).make(8);
    std::printf("%s\n----\n%s", rinex.c_str(), testing::write_crinex(rinex).c_str());
  }
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string rinex = MadeUpRinex(false, seed).make(60);
    for (std::size_t s = 0; s < kWriterSettings.size(); ++s) {
      expect_round_trip(rinex, kWriterSettings[s], "seed " + std::to_string(seed) + " setting " + std::to_string(s),
                        Spelling::Canonical);
    }
  }
}

TEST(MadeUpRoundTrip, Rinex2CornerCasesComeBackExactly) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string rinex = MadeUpRinex(true, seed).make(60);
    for (std::size_t s = 0; s < kWriterSettings.size(); ++s) {
      expect_round_trip(rinex, kWriterSettings[s], "seed " + std::to_string(seed) + " setting " + std::to_string(s),
                        Spelling::Canonical);
    }
  }
}

}  // namespace
}  // namespace skyloam

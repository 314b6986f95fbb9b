// The field reader of the body grammars against the general parser: the
// same double, bit for bit, on random texts and on every field of every
// real observation file.
#include "rinex/obs_reader/observation_field.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "rinex/obs_reader/obs_input.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

// What the readers did before fields were read as scaled integers: trim the
// 14 value bytes and parse them, indicators digit by digit.
struct GeneralReading {
  std::optional<std::uint64_t> value_bits;
  std::uint8_t lli;
  std::uint8_t ssi;
  bool operator==(const GeneralReading&) const = default;
};

std::uint8_t digit_or_none(std::string_view field, std::size_t pos) {
  if (pos >= field.size() || field[pos] < '0' || field[pos] > '9') return kNoIndicator;
  return static_cast<std::uint8_t>(field[pos] - '0');
}

GeneralReading general(std::string_view field) {
  GeneralReading reading{std::nullopt, digit_or_none(field, 14), digit_or_none(field, 15)};
  if (const auto value = parse_f64(trim(field.substr(0, std::min<std::size_t>(field.size(), 14))))) {
    reading.value_bits = std::bit_cast<std::uint64_t>(*value);
  }
  return reading;
}

GeneralReading fast(std::string_view field) {
  const ObservationField read = read_observation_field(field);
  return {read.present ? std::optional(std::bit_cast<std::uint64_t>(read.value)) : std::nullopt,
          read.lli, read.ssi};
}

// An F14.3 text, then perhaps damaged: a byte replaced or the field cut.
std::string random_field(std::mt19937_64& random) {
  static constexpr char kNoise[] = " -+.0159eE\tx";
  const int digits = 1 + static_cast<int>(random() % 13);
  std::uint64_t mantissa = random() % 10000000000000ULL;
  for (int i = digits; i < 13; ++i) mantissa /= 10;
  char text[40];
  std::snprintf(text, sizeof text, "%s%llu.%03llu", random() % 3 == 0 ? "-" : "",
                static_cast<unsigned long long>(mantissa / 1000),
                static_cast<unsigned long long>(mantissa % 1000));
  std::string field = std::string(14 - std::min<std::size_t>(14, std::strlen(text)), ' ') + text;
  field = field.substr(0, 14);
  field += static_cast<char>('0' + random() % 10);
  field += random() % 4 == 0 ? ' ' : static_cast<char>('0' + random() % 10);
  switch (random() % 4) {
    case 0: field[random() % 16] = kNoise[random() % (sizeof kNoise - 1)]; break;
    case 1: field.resize(random() % 17); break;
    default: break;
  }
  return field;
}

// The portable reader of the F14.3 shape does what the one in use does.
void expect_readers_agree(std::string field) {
#if defined(__SSE2__)
  field.resize(16, ' ');
  double portable = 0.0;
  double vector = 0.0;
  ASSERT_EQ(read_f14_3_portable(field.data(), portable), read_f14_3_sse2(field.data(), vector))
      << '"' << field << '"';
  ASSERT_EQ(std::bit_cast<std::uint64_t>(portable), std::bit_cast<std::uint64_t>(vector))
      << '"' << field << '"';
#else
  static_cast<void>(field);
#endif
}

TEST(ObservationField, RandomFieldsReadAsTheGeneralParserReadsThem) {
  std::mt19937_64 random(15);
  for (int i = 0; i < 1000000; ++i) {
    const std::string field = random_field(random);
    ASSERT_EQ(fast(field), general(field)) << '"' << field << '"';
    expect_readers_agree(field);
  }
}

TEST(ObservationField, ShapesAtTheEdgesOfTheFastPath) {
  for (const char* field :
       {"              ", "  9999999999.999", "9999999999.99912", "-999999999.999  ",
        "         0.000", "        -0.000", "        -.123", "          .123", "+123456789.123",
        "  12345678.9  ", "1234567890.1234", "   1 2345.678", "   12345.6-8", "  12345-78.123",
        "  --1234.567", "   1e3.000", "1234567.890\xC2\xA0", "\t12345678.901", "         5.000 9",
        "12345678901.12", "  123456789.12x"}) {
    EXPECT_EQ(fast(field), general(field)) << '"' << field << '"';
    expect_readers_agree(field);
  }
  EXPECT_EQ(read_observation_field("  20998403.120 6").value, 20998403.12);
}

// Every 16-byte field position of every line of every observation file, as
// the RINEX 2 (columns from 0) and RINEX 3 (columns from 3) grammars cut them.
TEST(ObservationField, EveryFieldOfTheRealFiles) {
  SKYLOAM_REQUIRE_TESTDATA();
  std::size_t fields = 0;
  for (const char* folder : {"rinex2", "rinex3", "rinex4", "misc"}) {
    for (const auto& entry : std::filesystem::directory_iterator(testing::testdata_path(folder))) {
      if (entry.path().filename() == "sst_nino3.dat") continue;
      auto lines = open_obs_file(entry.path().string());
      if (!lines) continue;
      for (auto line = (*lines)->next(); line && *line; line = (*lines)->next()) {
        const std::string_view text = (*line)->text;
        for (std::size_t start : {std::size_t{0}, std::size_t{3}}) {
          for (; start < text.size(); start += 16, ++fields) {
            const std::string_view field = text.substr(start, 16);
            ASSERT_EQ(fast(field), general(field)) << entry.path() << ": \"" << field << '"';
          }
        }
      }
    }
  }
  EXPECT_GT(fields, 5000000u);
}

}  // namespace
}  // namespace skyloam

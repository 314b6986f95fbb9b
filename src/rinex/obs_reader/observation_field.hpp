// One observation field of a record line: a 14-byte value, then the
// loss-of-lock and signal-strength indicator digits.
//
// The value is what trimming its text and parsing it with parse_f64 gives;
// the usual F14.3 shape is read as a scaled integer (fixed_decimal.hpp),
// other texts by parse_field_value. A field cut short by the end of its line
// reads as if blanks followed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "rinex/obs_reader/field_value.hpp"
#include "rinex/obs_reader/fixed_decimal.hpp"

namespace skyloam {

inline constexpr std::size_t kObservationFieldWidth = 16;
inline constexpr std::size_t kObservationValueWidth = 14;

struct ObservationField {
  double value = 0.0;
  bool present = false;  // the value text is neither blank nor unreadable
  std::uint8_t lli = kNoIndicator;
  std::uint8_t ssi = kNoIndicator;
};

namespace observation_field_detail {

[[gnu::noinline]] inline bool parse_other_value(const char* text, double& value) {
  const auto parsed = parse_field_value(std::string_view(text, kObservationValueWidth));
  if (parsed) value = *parsed;
  return parsed.has_value();
}

// `text` holds the 16 bytes of a whole field.
inline ObservationField read_whole_field(const char* text) {
  ObservationField field;
  switch (read_f14_3(text, field.value)) {
    case FixedDecimal::Value: field.present = true; break;
    case FixedDecimal::Blank: break;
    case FixedDecimal::Other: field.present = parse_other_value(text, field.value); break;
  }
  field.lli = indicator_digit(text[kObservationValueWidth]);
  field.ssi = indicator_digit(text[kObservationValueWidth + 1]);
  return field;
}

}  // namespace observation_field_detail

// The field starting at `field.data()`; `field` holds what the line has of
// it (up to kObservationFieldWidth bytes).
inline ObservationField read_observation_field(std::string_view field) {
  using namespace observation_field_detail;
  if (field.size() >= kObservationFieldWidth) return read_whole_field(field.data());
  char padded[kObservationFieldWidth];
  std::memset(padded, ' ', sizeof padded);
  std::memcpy(padded, field.data(), field.size());
  return read_whole_field(padded);
}

}  // namespace skyloam

// One field of a compact RINEX data or clock line.
//
// A field is empty (no observation), `n&v` (a new arc of difference order n,
// decimal digits, starting at the signed integer v) or a signed decimal
// integer (the next difference of the running arc). Nothing else is allowed:
// no blanks, no decimal point, no exponent.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

#include "error/expected.hpp"
#include "utils/text/ascii_words.hpp"

namespace skyloam {

struct CompactField {
  enum class Kind : std::uint8_t { Empty, ArcStart, Difference };
  Kind kind = Kind::Empty;
  int order = 0;            // ArcStart only
  std::int64_t number = 0;  // the start value or the difference
};

enum class CompactFieldError : std::uint8_t { Malformed, OrderTooHigh, OutOfRange };

// The field that fills all of `text`.
expected<CompactField, CompactFieldError> parse_compact_field(std::string_view text);

// Any field at `cursor`, as scan_compact_field reads it.
expected<CompactField, CompactFieldError> scan_any_compact_field(const char*& cursor, const char* end);

// The field that starts at `cursor` and ends at the next blank or at `end`;
// `cursor` is left on that blank (or at `end`), also after an error. Inline
// for the usual field, a difference of at most 18 digits, perhaps negative:
// every observation of a compact file is one.
inline expected<CompactField, CompactFieldError> scan_compact_field(const char*& cursor,
                                                                     const char* end) {
  using namespace ascii_words;
  const char* digits = cursor;
  const bool negative = digits != end && *digits == '-';
  if (negative) ++digits;
  if (end - digits >= 8) {  // one to seven digits and a blank, read at once
    const std::uint64_t word = load(digits);
    const std::uint64_t others = non_digit_bytes(word);
    const auto count = static_cast<unsigned>(std::countr_zero(others)) / 8;
    if (count > 0 && count < 8 && digits[count] == ' ') {
      const std::uint64_t aligned = word << (8 * (8 - count)) | (kZeros & low_bytes(8 - count));
      const auto value = static_cast<std::int64_t>(eight_digits_value(aligned));
      cursor = digits + count;
      return CompactField{CompactField::Kind::Difference, 0, negative ? -value : value};
    }
  }
  const char* stop = digits;
  std::int64_t value = 0;
  for (; stop != end && stop - digits < 18; ++stop) {
    const unsigned digit = static_cast<unsigned char>(*stop) - '0';
    if (digit >= 10) break;
    value = value * 10 + digit;
  }
  if (stop == digits || (stop != end && *stop != ' ')) return scan_any_compact_field(cursor, end);
  cursor = stop;
  return CompactField{CompactField::Kind::Difference, 0, negative ? -value : value};
}

// "is neither an arc start (n&v) nor a whole number" and the like, for messages.
const char* describe(CompactFieldError error);

}  // namespace skyloam

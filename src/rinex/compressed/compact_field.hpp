// One field of a compact RINEX data or clock line.
//
// A field is empty (no observation), `n&v` (a new arc of difference order n,
// decimal digits, starting at the signed integer v) or a signed decimal
// integer (the next difference of the running arc). Nothing else is allowed:
// no blanks, no decimal point, no exponent.
#pragma once

#include <cstdint>
#include <string_view>

#include "error/expected.hpp"

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

// The field that starts at `cursor` and ends at the next blank or at `end`;
// `cursor` is left on that blank (or at `end`), also after an error.
expected<CompactField, CompactFieldError> scan_compact_field(const char*& cursor, const char* end);

// "is neither an arc start (n&v) nor a whole number" and the like, for messages.
const char* describe(CompactFieldError error);

}  // namespace skyloam

#include "rinex/compressed/compact_field.hpp"

#include "rinex/compressed/difference_arc.hpp"

namespace skyloam {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A signed decimal integer filling the whole text.
expected<std::int64_t, CompactFieldError> parse_whole_number(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return unexpected(CompactFieldError::Malformed);
  // Accumulate towards the sign so that the most negative value parses.
  std::int64_t value = 0;
  for (const char c : text) {
    if (!is_digit(c)) return unexpected(CompactFieldError::Malformed);
    const int digit = c - '0';
    if (__builtin_mul_overflow(value, 10, &value) ||
        __builtin_add_overflow(value, negative ? -digit : digit, &value)) {
      return unexpected(CompactFieldError::OutOfRange);
    }
  }
  return value;
}

}  // namespace

expected<CompactField, CompactFieldError> parse_compact_field(std::string_view text) {
  if (text.empty()) return CompactField{};
  // Orders are short digit runs; the '&', if any, comes within the first few.
  std::size_t digits = 0;
  while (digits < text.size() && is_digit(text[digits])) ++digits;
  if (digits < text.size() && text[digits] == '&') {
    if (digits == 0) return unexpected(CompactFieldError::Malformed);
    int order = 0;
    for (std::size_t i = 0; i < digits; ++i) {
      order = order * 10 + (text[i] - '0');
      if (order > DifferenceArc::kMaxOrder) return unexpected(CompactFieldError::OrderTooHigh);
    }
    auto start = parse_whole_number(text.substr(digits + 1));
    if (!start) return unexpected(start.error());
    return CompactField{CompactField::Kind::ArcStart, order, *start};
  }
  auto difference = parse_whole_number(text);
  if (!difference) return unexpected(difference.error());
  return CompactField{CompactField::Kind::Difference, 0, *difference};
}

const char* describe(CompactFieldError error) {
  switch (error) {
    case CompactFieldError::Malformed: return "is neither an arc start (n&v) nor a whole number";
    case CompactFieldError::OrderTooHigh: return "starts an arc of a difference order above 9";
    case CompactFieldError::OutOfRange: return "holds a number outside the 64-bit range";
  }
  return "is malformed";
}

}  // namespace skyloam

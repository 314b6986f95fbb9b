#include "rinex/compressed/compact_field.hpp"

#include <limits>

#include "rinex/compressed/difference_arc.hpp"

namespace skyloam {

namespace {

constexpr int kMaxDigits = 19;  // any 19 digits fit in 64 unsigned bits

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool at_field_end(const char* cursor, const char* end) { return cursor == end || *cursor == ' '; }

struct DigitRun {
  std::uint64_t value = 0;
  int count = 0;  // may exceed kMaxDigits; value is then meaningless
};

DigitRun scan_digits(const char*& cursor, const char* end) {
  DigitRun run;
  for (; cursor != end && is_digit(*cursor); ++cursor, ++run.count) {
    run.value = run.value * 10 + static_cast<std::uint64_t>(*cursor - '0');
  }
  return run;
}

expected<std::int64_t, CompactFieldError> to_signed(const DigitRun& run, bool negative) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (run.count > kMaxDigits || run.value > kMax + (negative ? 1 : 0)) {
    return unexpected(CompactFieldError::OutOfRange);
  }
  return static_cast<std::int64_t>(negative ? 0 - run.value : run.value);
}

// A signed whole number that must end the field.
expected<std::int64_t, CompactFieldError> scan_whole_number(const char*& cursor, const char* end) {
  bool negative = false;
  if (cursor != end && (*cursor == '-' || *cursor == '+')) negative = *cursor++ == '-';
  const DigitRun run = scan_digits(cursor, end);
  if (run.count == 0 || !at_field_end(cursor, end)) return unexpected(CompactFieldError::Malformed);
  return to_signed(run, negative);
}

expected<CompactField, CompactFieldError> scan_field(const char*& cursor, const char* end) {
  if (at_field_end(cursor, end)) return CompactField{};
  const char* const begin = cursor;
  const DigitRun run = scan_digits(cursor, end);
  if (cursor != end && *cursor == '&') {
    // An order: unsigned digits directly before the '&'.
    if (run.count == 0) return unexpected(CompactFieldError::Malformed);
    if (run.count > kMaxDigits || run.value > static_cast<std::uint64_t>(DifferenceArc::kMaxOrder)) {
      return unexpected(CompactFieldError::OrderTooHigh);
    }
    ++cursor;
    auto start = scan_whole_number(cursor, end);
    if (!start) return unexpected(start.error());
    return CompactField{CompactField::Kind::ArcStart, static_cast<int>(run.value), *start};
  }
  if (run.count > 0 && at_field_end(cursor, end)) {
    auto difference = to_signed(run, false);
    if (!difference) return unexpected(difference.error());
    return CompactField{CompactField::Kind::Difference, 0, *difference};
  }
  cursor = begin;  // signed, or malformed
  auto difference = scan_whole_number(cursor, end);
  if (!difference) return unexpected(difference.error());
  return CompactField{CompactField::Kind::Difference, 0, *difference};
}

}  // namespace

expected<CompactField, CompactFieldError> scan_any_compact_field(const char*& cursor, const char* end) {
  auto field = scan_field(cursor, end);
  while (cursor != end && *cursor != ' ') ++cursor;
  return field;
}

expected<CompactField, CompactFieldError> parse_compact_field(std::string_view text) {
  const char* cursor = text.data();
  const char* const end = text.data() + text.size();
  auto field = scan_compact_field(cursor, end);
  if (field && cursor != end) return unexpected(CompactFieldError::Malformed);
  return field;
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

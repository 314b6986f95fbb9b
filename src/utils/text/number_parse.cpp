#include "utils/text/number_parse.hpp"


namespace skyloam {

std::string_view describe(IntParseError error) {
  switch (error) {
    case IntParseError::Empty: return "cannot parse integer from empty string";
    case IntParseError::InvalidDigit: return "invalid digit found in string";
    case IntParseError::PosOverflow: return "number too large to fit in target type";
    case IntParseError::NegOverflow: return "number too small to fit in target type";
  }
  return "invalid digit found in string";
}

std::string_view describe(FloatParseError error) {
  return error == FloatParseError::Empty ? "cannot parse float from empty string"
                                         : "invalid float literal";
}

GnssError to_gnss_error(IntParseError error) {
  return GnssError::message("Integer parse error: " + std::string(describe(error)));
}

GnssError to_gnss_error(FloatParseError error) {
  return GnssError::message("Float parse error: " + std::string(describe(error)));
}

namespace {

bool equals_ignoring_case(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

// For a literal the converter found out of range: does it overflow (true) or
// underflow (false)? Only the decimal magnitude matters, since such a value
// is either beyond the largest double or below the smallest one.
bool literal_overflows(std::string_view literal) {
  const std::size_t e = literal.find_first_of("eE");
  const std::string_view mantissa = literal.substr(0, e);
  const std::size_t point = mantissa.find('.');
  const std::string_view int_part = mantissa.substr(0, point);
  const std::string_view frac_part =
      point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
  long long magnitude = 0;
  if (const std::size_t nz = int_part.find_first_not_of('0'); nz != std::string_view::npos) {
    magnitude = static_cast<long long>(int_part.size() - nz);
  } else if (const std::size_t fz = frac_part.find_first_not_of('0');
             fz != std::string_view::npos) {
    magnitude = -static_cast<long long>(fz);
  } else {
    return false;
  }
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = literal.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    for (const char c : digits) {
      if (exponent < 1'000'000'000'000LL) exponent = exponent * 10 + (c - '0');
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

}  // namespace

expected<double, FloatParseError> parse_f64(std::string_view text) {
  if (text.empty()) return unexpected(FloatParseError::Empty);
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') {
    return unexpected(FloatParseError::Invalid);
  }
  const char first = text.front();
  if (!(first >= '0' && first <= '9') && first != '.') {
    double special = 0.0;
    if (equals_ignoring_case(text, "inf") || equals_ignoring_case(text, "infinity")) {
      special = std::numeric_limits<double>::infinity();
    } else if (equals_ignoring_case(text, "nan")) {
      special = std::numeric_limits<double>::quiet_NaN();
    } else {
      return unexpected(FloatParseError::Invalid);
    }
    return negative ? -special : special;
  }
  double value = 0.0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (end != text.data() + text.size()) return unexpected(FloatParseError::Invalid);
  if (ec == std::errc::result_out_of_range) {
    value = literal_overflows(text) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    return unexpected(FloatParseError::Invalid);
  }
  return negative ? -value : value;
}

}  // namespace skyloam

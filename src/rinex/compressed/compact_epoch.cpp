#include "rinex/compressed/compact_epoch.hpp"

#include "rinex/compressed/text_difference.hpp"
#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {

CompactEpoch::CompactEpoch(CrinexVersion version)
    : flag_column_(version == CrinexVersion::V1 ? 28 : 31),
      count_begin_(version == CrinexVersion::V1 ? 29 : 32),
      ids_begin_(version == CrinexVersion::V1 ? 32 : 41),
      start_marker_(version == CrinexVersion::V1 ? '&' : '>') {}

Result<void> CompactEpoch::restore(std::string_view compact, std::size_t index) {
  unchanged_ = compact.empty();
  initialised_ = !compact.empty() && compact.front() == start_marker_;
  if (initialised_) {
    text_.assign(compact);
    // Version 1.0 marks a complete line with '&' in place of its first blank.
    if (start_marker_ == '&') text_.front() = ' ';
  } else if (!compact.empty() && compact.front() != ' ') {
    return fail(GnssError::rinex_parse(
        index, std::string("compact epoch line starts with neither '") + start_marker_ +
                   "' (a complete line) nor a blank (a difference)"));
  } else if (!has_reference_) {
    return fail(GnssError::rinex_parse(
        index, "compact epoch line is a difference, but no complete epoch line came before it"));
  } else {
    apply_text_difference(text_, compact);
  }
  has_reference_ = true;
  text_.resize(trim_end(text_).size());
  return read_fields(index);
}

Result<void> CompactEpoch::read_fields(std::size_t index) {
  const char flag = flag_column_ < text_.size() ? text_[flag_column_] : ' ';
  if (flag != ' ' && (flag < '0' || flag > '9')) {
    return fail(GnssError::rinex_parse(
        index, std::string("restored epoch line has the epoch flag '") + flag + "', not a digit"));
  }
  flag_ = flag == ' ' ? '0' : flag;
  const std::string_view count_text = trimmed_column(text_, count_begin_, count_begin_ + 3);
  const auto count = parse_int<std::size_t>(count_text);
  if (!count) {
    return fail(GnssError::rinex_parse(
        index, "restored epoch line has no readable satellite or record count (\"" +
                   std::string(count_text) + "\")"));
  }
  count_ = *count;
  if (is_event()) return {};
  const std::size_t id_bytes = text_.size() > ids_begin_ ? text_.size() - ids_begin_ : 0;
  if (id_bytes < 3 * count_) {
    return fail(GnssError::rinex_parse(
        index, "restored epoch line lists " + std::to_string(count_) + " satellites but holds " +
                   std::to_string(id_bytes / 3) + " satellite ids"));
  }
  if (id_bytes > 3 * count_) {
    return fail(GnssError::rinex_parse(
        index, "restored epoch line holds more satellite ids than its count of " +
                   std::to_string(count_)));
  }
  return {};
}

std::string_view CompactEpoch::fields() const {
  const std::string_view text(text_);
  return trim_end(text.substr(0, std::min(text.size(), ids_begin_)));
}

}  // namespace skyloam

#include "rinex/compressed/crinex_header.hpp"

#include <string>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {

namespace {

constexpr std::size_t kLabelColumn = 60;
// The label is "CRINEX VERS   / TYPE"; its start is enough to know the file,
// and a file taken for plain RINEX by mistake would read as almost empty.
constexpr std::string_view kFirstLabelStart = "CRINEX VERS";
constexpr std::string_view kTypesLabelV2 = "# / TYPES OF OBSERV";
constexpr std::string_view kTypesLabelV3 = "SYS / # / OBS TYPES";

}  // namespace

std::string_view header_label(std::string_view line) {
  if (line.size() <= kLabelColumn) return {};
  return trim(line.substr(kLabelColumn));
}

bool is_crinex_first_line(std::string_view line) { return header_label(line).starts_with(kFirstLabelStart); }

Result<CrinexVersion> parse_crinex_version(std::string_view first_line, std::size_t index) {
  const std::string_view text = trimmed_column(first_line, 0, 20);
  const auto number = parse_f64(text);
  if (number && *number == 1.0) return CrinexVersion::V1;
  if (number && *number == 3.0) return CrinexVersion::V3;
  return fail(GnssError::rinex_parse(
      index, "unsupported compact RINEX (CRINEX) version \"" + std::string(text) +
                 "\": only 1.0 and 3.0 are known"));
}

Result<void> check_rinex_version(CrinexVersion version, std::string_view line, std::size_t index) {
  const std::string_view text = trimmed_column(line, 0, 9);
  const char major = text.empty() ? ' ' : text.front();
  const bool fits = version == CrinexVersion::V1 ? major == '2' : (major == '3' || major == '4');
  if (fits) return {};
  return fail(GnssError::rinex_parse(
      index, std::string("compact RINEX ") + (version == CrinexVersion::V1 ? "1.0" : "3.0") +
                 " carries RINEX " + (version == CrinexVersion::V1 ? "2" : "3 and 4") +
                 " files, but the header gives version \"" + std::string(text) + "\""));
}

void ObservationTypeCounts::record(char system, int count) {
  const auto slot = static_cast<unsigned char>(system) & 0x7F;
  // The same list started twice in one header adds up, as the reader appends.
  if (listed_in_group_[slot] && counts_[slot] >= 0) count += counts_[slot];
  listed_in_group_[slot] = true;
  counts_[slot] = count;
}

Result<void> ObservationTypeCounts::take_line(std::string_view line, std::size_t index) {
  const bool v1 = version_ == CrinexVersion::V1;
  if (header_label(line) != (v1 ? kTypesLabelV2 : kTypesLabelV3)) return {};
  const std::string_view count_text = v1 ? trimmed_column(line, 0, 6) : trimmed_column(line, 3, 6);
  const char system = v1 ? 'G' : line.front();
  if (count_text.empty() || (!v1 && system == ' ')) return {};  // a continuation line
  const auto count = parse_int<int>(count_text);
  if (!count || *count < 0 || *count > kMaxTypes) {
    return fail(GnssError::rinex_parse(
        index, "unusable observation type count \"" + std::string(count_text) + "\""));
  }
  record(v1 ? '\0' : system, *count);
  return {};
}

}  // namespace skyloam

// Helpers of the CRINEX decoder tests: building small compact files and
// decoding text through the whole stack (memory bytes, line splitter,
// decode_if_crinex).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "error/gnss_error.hpp"

namespace skyloam::testing {

// `content` padded to 60 columns, then `label`.
std::string header_line(std::string_view content, std::string_view label);

// A compact RINEX file: the two CRINEX lines, a RINEX header with the given
// version and type-list lines, END OF HEADER, then `body`.
std::string crinex_file(std::string_view crinex_version, std::string_view rinex_version,
                        const std::vector<std::string>& type_lines, const std::vector<std::string>& body);
// Shorthands: version 3.0 over RINEX 3.04, version 1.0 over RINEX 2.11.
std::string crinex3(const std::vector<std::string>& type_lines, const std::vector<std::string>& body);
std::string crinex1(std::string_view types_line, const std::vector<std::string>& body);

struct Decoded {
  std::vector<std::string> header;  // lines up to END OF HEADER
  std::vector<std::string> body;
  std::vector<std::size_t> body_indexes;
  std::optional<GnssError> error;

  std::string error_text() const { return error ? error->display() : ""; }
};

Decoded decode_text(std::string text, std::size_t chunk = 1 << 16);

}  // namespace skyloam::testing

#include "testkit/decode_text.hpp"

#include "rinex/compressed/crinex_detect.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam::testing {

std::string header_line(std::string_view content, std::string_view label) {
  std::string line(content);
  line.resize(60, ' ');
  return line + std::string(label);
}

std::string crinex_file(std::string_view crinex_version, std::string_view rinex_version,
                        const std::vector<std::string>& type_lines, const std::vector<std::string>& body) {
  std::string version_field(crinex_version);
  version_field.resize(20, ' ');
  std::string text = header_line(version_field + "COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") + "\n";
  text += header_line("test                                    01-Jan-24 00:00", "CRINEX PROG / DATE") + "\n";
  text += header_line("     " + std::string(rinex_version) + "           OBSERVATION DATA    M",
                      "RINEX VERSION / TYPE") + "\n";
  for (const auto& line : type_lines) text += line + "\n";
  text += header_line("", "END OF HEADER") + "\n";
  for (const auto& line : body) text += line + "\n";
  return text;
}

std::string crinex3(const std::vector<std::string>& type_lines, const std::vector<std::string>& body) {
  std::vector<std::string> labelled;
  for (const auto& line : type_lines) labelled.push_back(header_line(line, "SYS / # / OBS TYPES"));
  return crinex_file("3.0", "3.04", labelled, body);
}

std::string crinex1(std::string_view types_line, const std::vector<std::string>& body) {
  return crinex_file("1.0", "2.11", {header_line(types_line, "# / TYPES OF OBSERV")}, body);
}

Decoded decode_text(std::string text, std::size_t chunk) {
  Decoded out;
  auto bytes = std::make_unique<ChunkedByteSource>(std::move(text), chunk);
  auto opened = decode_if_crinex(std::make_unique<LineSplitter>(std::move(bytes)));
  if (!opened) {
    out.error = opened.error();
    return out;
  }
  bool in_header = true;
  for (;;) {
    auto line = (*opened)->next();
    if (!line) {
      out.error = line.error();
      return out;
    }
    if (!*line) return out;
    if (in_header) {
      out.header.emplace_back((*line)->text);
      in_header = !(*line)->text.ends_with("END OF HEADER");
    } else {
      out.body.emplace_back((*line)->text);
      out.body_indexes.push_back((*line)->index);
    }
  }
}

}  // namespace skyloam::testing

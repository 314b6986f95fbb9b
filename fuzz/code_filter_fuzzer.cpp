// The multipath code filters: entries are the input's lines. An accepted
// entry is normalised (trimmed, upper case, 3 or 4 bytes) and accepted again
// as itself; a rejected list fails on its first entry that fails alone, with
// that entry's message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/multipath/analyzer_config.hpp"
#include "fuzz_check.hpp"

using namespace skyloam;

namespace {

std::vector<std::string> lines_of(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool normalised(const std::string& entry) {
  if (entry.size() != 3 && entry.size() != 4) return false;
  for (char c : entry) {
    if (c >= 'a' && c <= 'z') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> entries = lines_of(fuzz::as_text(data, size));
  const auto parsed = parse_code_filter("include_codes", entries);
  if (!parsed) {
    const std::string message = parsed.error().display();
    bool found = false;
    for (const std::string& entry : entries) {
      const auto alone = parse_code_filter("include_codes", std::span(&entry, 1));
      if (alone) continue;
      FUZZ_CHECK(alone.error().display() == message, "the list fails with another entry's message");
      FUZZ_CHECK(message.starts_with("include_codes entry '" + entry + "' "),
                 "the message does not quote the entry as given");
      found = true;
      break;
    }
    FUZZ_CHECK(found, "the list fails while every entry passes alone");
    return 0;
  }
  FUZZ_CHECK(parsed->size() == entries.size(), "entries were lost or added");
  for (const std::string& entry : *parsed) {
    FUZZ_CHECK(normalised(entry), "an accepted entry is not normalised");
    const auto again = parse_code_filter("exclude_codes", std::span(&entry, 1));
    FUZZ_CHECK(again && again->size() == 1 && again->front() == entry,
               "a normalised entry does not parse as itself");
  }

  AnalyzerConfig config;
  config.include_codes = *parsed;
  config.systems = parse_systems(entries);
  for (GnssSystem system : kAllSystems) {
    for (const std::string& entry : *parsed) {
      const auto code = parse_obs_code(std::string_view(entry).substr(entry.size() - 3));
      FUZZ_CHECK(code.has_value(), "an accepted entry holds no code");
      if (code->kind != ObsKind::Pseudorange) continue;
      const bool named_for_all = entry.size() == 3;
      const bool named_for_this = entry.size() == 4 && entry.front() == system_code(system);
      if (named_for_all || named_for_this) {
        FUZZ_CHECK(passes_code_filter(config, system, *code), "an included code does not pass");
      }
    }
  }
  return 0;
}

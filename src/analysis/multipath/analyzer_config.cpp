#include "analysis/multipath/analyzer_config.hpp"

#include <algorithm>

#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// system_from_letter folds case itself; filters and system lists accept only
// the upper-case letters after their own folding, so this is the same set.
bool is_system_letter(char c) { return system_from_letter(c).has_value() && c >= 'A' && c <= 'Z'; }

GnssError filter_error(std::string_view name, std::string_view entry, std::string_view problem) {
  std::string text;
  text.reserve(name.size() + entry.size() + problem.size() + 10);
  text.append(name).append(" entry '").append(entry).append("' ").append(problem);
  return GnssError::message(std::move(text));
}

Result<std::string> normalise_filter_entry(std::string_view name, const std::string& entry) {
  std::string text(trim(entry));
  std::transform(text.begin(), text.end(), text.begin(), upper_ascii);
  if (text.size() != 3 && text.size() != 4) {
    return fail(filter_error(name, entry, "must be a 3-char code ('C1C') or system+code ('GC1C')"));
  }
  const std::string_view code_part = std::string_view(text).substr(text.size() - 3);
  if (!parse_obs_code(code_part)) {
    return fail(filter_error(name, entry, "is not a valid signal code"));
  }
  if (text.size() == 4 && !is_system_letter(text.front())) {
    return fail(filter_error(name, entry, "has an unknown system prefix"));
  }
  return text;
}

bool names_code(const std::vector<std::string>& entries, std::string_view short_text,
                std::string_view long_text) {
  return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
    return entry == short_text || entry == long_text;
  });
}

}  // namespace

std::vector<GnssSystem> parse_systems(std::span<const std::string> texts) {
  std::vector<GnssSystem> systems;
  for (const std::string& text : texts) {
    if (text.empty()) continue;
    const char letter = upper_ascii(text.front());
    if (is_system_letter(letter)) systems.push_back(*system_from_letter(letter));
  }
  return systems;
}

Result<std::vector<std::string>> parse_code_filter(std::string_view name,
                                                   std::span<const std::string> entries) {
  std::vector<std::string> normalised;
  normalised.reserve(entries.size());
  for (const std::string& entry : entries) {
    auto text = normalise_filter_entry(name, entry);
    if (!text) return fail(std::move(text.error()));
    normalised.push_back(std::move(*text));
  }
  return normalised;
}

bool passes_code_filter(const AnalyzerConfig& config, GnssSystem system, const ObsCode& code) {
  const std::string short_text = to_string(code);
  const std::string long_text = system_code(system) + short_text;
  if (names_code(config.exclude_codes, short_text, long_text)) return false;
  return config.include_codes.empty() || names_code(config.include_codes, short_text, long_text);
}

}  // namespace skyloam

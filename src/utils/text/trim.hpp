// Trimming and splitting of text fields.
//
// `trim` removes Unicode white space (the ASCII blanks, tab, line feed,
// vertical tab, form feed and carriage return, plus the multi-byte spaces
// such as U+00A0 and U+3000) from both ends. ASCII text takes a fast path.
// Bytes that are not valid UTF-8 are never taken for white space.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace skyloam {

inline bool is_ascii_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view text);
std::string_view trim_start(std::string_view text);
std::string_view trim_end(std::string_view text);

// Bytes [begin, end) of `line`, clipped to the line: a field that reaches past
// the end of the line is the part that exists (possibly empty).
inline std::string_view column(std::string_view line, std::size_t begin, std::size_t end) {
  if (begin >= line.size()) return {};
  return line.substr(begin, (end < line.size() ? end : line.size()) - begin);
}

// `column` then `trim`.
inline std::string_view trimmed_column(std::string_view line, std::size_t begin, std::size_t end) {
  return trim(column(line, begin, end));
}

// Splits at runs of white space; no empty pieces.
std::vector<std::string_view> split_whitespace(std::string_view text);

// Removes every trailing carriage return.
inline std::string_view strip_trailing_cr(std::string_view line) {
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace skyloam

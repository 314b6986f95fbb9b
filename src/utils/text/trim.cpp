#include "utils/text/trim.hpp"

#include <cstdint>

namespace skyloam {
namespace {

bool is_unicode_space(std::uint32_t cp) {
  return cp == 0x85 || cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
         cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

// Length of the UTF-8 sequence at text[pos] if it is well formed, else 0.
std::size_t decode_utf8(std::string_view text, std::size_t pos, std::uint32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[pos + i]); };
  const std::uint8_t lead = byte(0);
  std::size_t len = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
    cp = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
    cp = lead & 0x07u;
  } else {
    return 0;
  }
  if (pos + len > text.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (byte(i) & 0x3Fu);
  }
  return len;
}

// Length of a white-space character that starts at `pos`, or 0.
std::size_t space_at(std::string_view text, std::size_t pos) {
  const char c = text[pos];
  if (static_cast<unsigned char>(c) < 0x80) return is_ascii_space(c) ? 1 : 0;
  std::uint32_t cp = 0;
  const std::size_t len = decode_utf8(text, pos, cp);
  return (len != 0 && is_unicode_space(cp)) ? len : 0;
}

// Length of a white-space character that ends just before `end`, or 0.
std::size_t space_before(std::string_view text, std::size_t end) {
  const char c = text[end - 1];
  if (static_cast<unsigned char>(c) < 0x80) return is_ascii_space(c) ? 1 : 0;
  for (std::size_t len = 2; len <= 4 && len <= end; ++len) {
    std::uint32_t cp = 0;
    if (decode_utf8(text, end - len, cp) == len) return is_unicode_space(cp) ? len : 0;
  }
  return 0;
}

}  // namespace

std::string_view trim_start(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t len = space_at(text, pos);
    if (len == 0) break;
    pos += len;
  }
  return text.substr(pos);
}

std::string_view trim_end(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0) {
    const std::size_t len = space_before(text, end);
    if (len == 0) break;
    end -= len;
  }
  return text.substr(0, end);
}

std::string_view trim(std::string_view text) { return trim_end(trim_start(text)); }

std::vector<std::string_view> split_whitespace(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t len = space_at(text, pos);
    if (len != 0) {
      pos += len;
      continue;
    }
    const std::size_t start = pos;
    while (pos < text.size() && space_at(text, pos) == 0) ++pos;
    pieces.push_back(text.substr(start, pos - start));
  }
  return pieces;
}

}  // namespace skyloam

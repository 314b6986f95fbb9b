#include "navigation/sp3/utf8_validator.hpp"

#include <cstdint>
#include <cstring>

namespace skyloam {
namespace {

bool all_ascii(const char* bytes) {
  std::uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return (word & 0x8080808080808080ULL) == 0;
}

}  // namespace

bool Utf8Validator::feed(std::span<const char> bytes) {
  if (rejected_) return false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (needed_ == 0 && bytes.size() - i >= 8 && all_ascii(bytes.data() + i)) {
      i += 8;
      continue;
    }
    if (!feed_byte(static_cast<unsigned char>(bytes[i]))) {
      rejected_ = true;
      return false;
    }
    ++i;
  }
  return true;
}

bool Utf8Validator::feed_byte(unsigned char byte) {
  if (needed_ > 0) {
    if (byte < low_ || byte > high_) return false;
    --needed_;
    low_ = 0x80;
    high_ = 0xBF;
    return true;
  }
  if (byte < 0x80) return true;
  // The second byte's range excludes overlong forms, surrogates and code
  // points beyond U+10FFFF.
  if (byte >= 0xC2 && byte <= 0xDF) {
    needed_ = 1;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    needed_ = 2;
    if (byte == 0xE0) low_ = 0xA0;
    if (byte == 0xED) high_ = 0x9F;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    needed_ = 3;
    if (byte == 0xF0) low_ = 0x90;
    if (byte == 0xF4) high_ = 0x8F;
  } else {
    return false;
  }
  return true;
}

}  // namespace skyloam

// Utf8Validator: checks a byte stream for well-formed UTF-8, chunk by chunk.
//
// A multi-byte sequence may be split across chunks; `complete()` tells at
// the end of the stream whether the last sequence was finished. Rejects
// overlong forms, surrogates (U+D800..U+DFFF) and code points above
// U+10FFFF. Once a chunk was rejected the validator stays rejected.
#pragma once

#include <span>

namespace skyloam {

class Utf8Validator {
 public:
  // False when the bytes so far are not a prefix of valid UTF-8.
  bool feed(std::span<const char> bytes);
  // True when no multi-byte sequence is left open (and nothing was rejected).
  bool complete() const { return !rejected_ && needed_ == 0; }

 private:
  bool feed_byte(unsigned char byte);

  unsigned needed_ = 0;      // continuation bytes still expected
  unsigned char low_ = 0x80;   // allowed range of the next continuation byte
  unsigned char high_ = 0xBF;
  bool rejected_ = false;
};

}  // namespace skyloam

// LzwDictionary: the string table of Unix compress (.Z) decoding.
//
// Codes 0-255 are the single bytes; entries from the first free code up are
// added one per code read, each the string of the previous code plus one
// byte, until 2^max_bits entries exist. An entry is stored as its prefix
// code and last byte, with its length and first byte so that it can be
// written straight into place, back to front. Memory is fixed by max_bits.
#pragma once

#include <cstdint>
#include <vector>

namespace skyloam {

class LzwDictionary {
 public:
  explicit LzwDictionary(unsigned max_bits);

  // Forgets every entry from `first_free` up.
  void reset(std::uint32_t first_free) { next_ = first_free; }

  std::uint32_t next() const { return next_; }
  bool full() const { return next_ == capacity_; }

  // Adds string(prefix) + last_byte when the table is not full. `prefix`
  // must be a code below next().
  void add(std::uint32_t prefix, std::uint8_t last_byte) {
    if (full()) return;
    prefix_[next_] = static_cast<std::uint16_t>(prefix);
    last_[next_] = last_byte;
    first_[next_] = first_[prefix];
    length_[next_] = length_[prefix] + 1;
    ++next_;
  }

  // For codes below next().
  std::uint32_t length(std::uint32_t code) const { return length_[code]; }
  std::uint8_t first_byte(std::uint32_t code) const { return first_[code]; }

  // Writes string(code) to out[0 .. length(code)).
  void expand(std::uint32_t code, char* out) const {
    char* cursor = out + length_[code];
    while (code >= 256) {
      *--cursor = static_cast<char>(last_[code]);
      code = prefix_[code];
    }
    *--cursor = static_cast<char>(code);
  }

 private:
  std::uint32_t capacity_;
  std::uint32_t next_ = 256;
  std::vector<std::uint16_t> prefix_;
  std::vector<std::uint8_t> last_;
  std::vector<std::uint8_t> first_;
  std::vector<std::uint32_t> length_;
};

}  // namespace skyloam

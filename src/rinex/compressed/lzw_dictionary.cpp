#include "rinex/compressed/lzw_dictionary.hpp"

namespace skyloam {

LzwDictionary::LzwDictionary(unsigned max_bits)
    : capacity_(std::uint32_t{1} << max_bits),
      prefix_(capacity_),
      last_(capacity_),
      first_(capacity_),
      length_(capacity_) {
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    last_[byte] = static_cast<std::uint8_t>(byte);
    first_[byte] = static_cast<std::uint8_t>(byte);
    length_[byte] = 1;
  }
}

}  // namespace skyloam

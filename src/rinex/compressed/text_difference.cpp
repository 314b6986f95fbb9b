#include "rinex/compressed/text_difference.hpp"

namespace skyloam {

void apply_text_difference(std::string& reference, std::string_view difference) {
  if (reference.size() < difference.size()) reference.resize(difference.size(), ' ');
  for (std::size_t i = 0; i < difference.size(); ++i) {
    const char c = difference[i];
    if (c == ' ') continue;
    reference[i] = c == '&' ? ' ' : c;
  }
}

}  // namespace skyloam

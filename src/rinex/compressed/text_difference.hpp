// Text differencing of compact RINEX epoch lines and flag strings.
//
// The new text is the reference changed character by character: a blank in
// the difference keeps the reference character (a blank past its end), `&`
// puts a blank, any other character replaces. Reference characters past the
// end of the difference are kept, so the result is as long as the longer of
// the two.
#pragma once

#include <string>
#include <string_view>

namespace skyloam {

void apply_text_difference(std::string& reference, std::string_view difference);

}  // namespace skyloam

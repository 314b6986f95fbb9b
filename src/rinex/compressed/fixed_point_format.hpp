// Writing scaled integers as RINEX fixed-point numbers (F14.3, F12.9, F15.12).
//
// `scaled` is the number times 10^decimals. The text is sign, integer part,
// point and exactly `decimals` digits ("-0.250", "0.000"), right-justified
// in `width` columns. A text wider than the field is refused: no RINEX file
// could have held it, and a wider field would shift every column after it.
#pragma once

#include <cstdint>

namespace skyloam {

// Writes out[0 .. width); false (out untouched) when the text needs more.
bool write_fixed_point(std::int64_t scaled, int decimals, int width, char* out);

// Whether write_fixed_point would succeed.
bool fits_fixed_point(std::int64_t scaled, int decimals, int width);

}  // namespace skyloam

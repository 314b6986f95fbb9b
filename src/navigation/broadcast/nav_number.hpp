// The numbers of navigation-record fields (D19.12 and the like).
//
// Accepted as written by real files: 'D' or 'd' exponents as well as 'E'/'e',
// no leading zero (".579084269702D-03"), a leading '+', blanks around. A
// field is missing - NaN - when it is blank, does not parse as a whole, is
// not finite, or holds the "unknown" marker .999999999999e+09 (no field an
// orbit uses comes near that size).
#pragma once

#include <string_view>

namespace skyloam {

double parse_nav_number(std::string_view field);

}  // namespace skyloam

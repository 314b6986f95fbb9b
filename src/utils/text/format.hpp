// Number formatting for reprs and reports.
//
// Non-finite values print as NaN, inf and -inf in both forms.
#pragma once

#include <string>

namespace skyloam {

// Fixed notation with exactly `decimals` digits after the point.
std::string format_fixed(double value, int decimals);

// The shortest fixed-notation text that reads back to the same value, with
// no fractional part when the value is integral: 900.0 -> "900", 0.5 -> "0.5".
std::string format_shortest(double value);

}  // namespace skyloam

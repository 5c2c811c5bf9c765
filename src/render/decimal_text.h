// Doubles as decimal text and back, the same with every standard library (not all of them have the
// floating-point std::to_chars and std::from_chars). "." is the decimal point: the programs keep
// the "C" numeric locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace drevanti {

// The shortest general form with at most the given number of significant digits, as printf's
// "%.Ng" writes it (99999.9, 3456.78901234567, 1e-300).
std::string generalDecimal(double value, int significantDigits);

// The shortest text that reads back as the same double, in fixed or scientific form, whichever is
// shorter (fixed on a tie), as std::to_chars without a format writes it (4851.793836717795, 30,
// 1e+22).
std::string shortestDecimal(double value);

// The double that the whole text spells, as std::from_chars reads it: an optional "-", then
// decimal digits with an optional point and exponent, or "inf", "infinity", "nan" (any case).
// Nothing when the text is anything else, or names a number out of the double's range.
std::optional<double> readDecimal(std::string_view text);

}  // namespace drevanti

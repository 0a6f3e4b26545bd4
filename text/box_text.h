#pragma once

#include <string>
#include <string_view>

// How the window's boxes read a number from what was typed and show a result: leniently, as a
// person types, unlike the strict reading of program input (number_text.h).
namespace velhorn::text {

// Reads the number at the start of `text`. Blanks, tabs and line feeds are skipped wherever
// they stand; then an optional sign, digits with an optional point, and an optional exponent
// (E or e, optional sign, digits). Reading stops at the first character that cannot continue
// the number, so "2,5" reads as 2 whatever the user's locale. Text that does not begin with a
// number reads as 0. A number beyond the double range reads as an infinity of its sign; one too
// small to represent reads as 0.
[[nodiscard]] double parseNumber(std::u16string_view text);

// Rounds to three decimals: scaled by 1000, to the nearest integer with ties to even, and back.
// Values too large to scale are already whole and come back unchanged.
[[nodiscard]] double roundTo3(double value);

// The text shown for a (rounded) number: at most 15 significant digits, no trailing zeros, a
// leading zero below 1, a minus sign but never on zero, and `decimalSeparator` for the point.
// Magnitudes of 10^15 and above are written with an exponent, as in 1.5E+20. Not-a-number and
// infinities have no text and give an empty string.
[[nodiscard]] std::string displayNumber(double rounded, std::string_view decimalSeparator);

}  // namespace velhorn::text

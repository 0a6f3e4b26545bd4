#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as text for programs and people: written by {fmt}, read by fast_float, so every build
// (native, Windows, WebAssembly) writes and reads the same bytes and none depends on a locale.
namespace velhorn::text {

// Room for any text below (at most 24 characters), and for the shortest text's fixed-size copies.
inline constexpr std::size_t kNumberTextSize = 48;

// The shortest text that reads back to `value`, laid out as std::to_chars lays it out: fixed or
// scientific notation, whichever is shorter, fixed on a tie. `first` must have kNumberTextSize
// characters of room. Writes nothing for not-a-number and infinities.
char* writeShortest(char* first, double value);
// printf's %.*g with `precision` (1 to 17) significant digits, into kNumberTextSize characters.
char* writeGeneral(char* first, double value, int precision);

// writeShortest as a string, or appended to one; "0" for either zero.
[[nodiscard]] std::string shortestNumber(double value);
void appendShortest(std::string& out, double value);
// `digits` significant digits (1 to 17), for people.
[[nodiscard]] std::string roundedNumber(double value, int digits);

// A whole number as a program gives it: optional sign, digits, optional point and fraction,
// optional exponent, nothing else, and finite and not lost to underflow. Nothing for anything else.
[[nodiscard]] std::optional<double> readNumber(std::string_view text);

// Whether `text`, as readNumber reads it, is already what writeShortest writes for that number,
// told from its characters alone: fixed notation as writeShortest chooses it, no zero leading
// or trailing needlessly, not nought, and at most 15 significant digits, which no other text of
// as few digits shares with it. A number read back from such a text may be written as the text.
[[nodiscard]] bool isShortestText(std::string_view text);

}  // namespace velhorn::text

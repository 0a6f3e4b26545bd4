#pragma once

#include <system_error>

// Floating-point to_chars and from_chars as the standard gives them, or their C library
// equivalents where the standard library lacks them (the libc++ of the WebAssembly build).
// Internal to press/.
namespace velhorn::press::chars {

// As std::to_chars with chars_format::general and `precision`: printf's %.*g.
char* general(char* first, char* last, double value, int precision);
// As std::to_chars without a format: the shortest text that reads back to `value`. Faster with
// at least 40 characters of room, though it needs at most 24.
char* shortest(char* first, char* last, double value);
// As std::from_chars for a decimal number; `end` is where reading stopped.
std::errc read(const char* first, const char* last, double& value, const char*& end);

}  // namespace velhorn::press::chars

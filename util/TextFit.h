#pragma once
#include <string>
#include <string_view>

namespace dovra {

// Fill to width with `fill`, or cut to the first `width` bytes. A width of 0 or less gives "".
std::string FitLeftAligned(std::string_view text, int width, char fill = ' ');
std::string FitRightAligned(std::string_view text, int width, char fill = ' ');
std::string FitCentered(std::string_view text, int width, char fill = ' ');

// Text without the bytes of codes 0 to 32 (blanks and control characters) at both ends.
std::string_view TrimBlanks(std::string_view text);

// The bytes "0" to "9" of text, in order.
std::string KeepDigits(std::string_view text);
// The bytes of text that occur in `allowed`, in order.
std::string KeepCharsInSet(std::string_view text, std::string_view allowed);

}  // namespace dovra

#pragma once
#include <string>
#include <string_view>

namespace dovra {

// Printer data made readable: control bytes become "[ESC]", "[LF]", "[200]"...;
// bytes 32 to 126 stay themselves.
std::string ToBracketNotation(std::string_view bytes);

}  // namespace dovra

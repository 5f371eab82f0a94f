// Reading whole numbers written as text: tag contents, printer replies and INI values.
#pragma once

#include <optional>
#include <string_view>

namespace dovra {

// The forms ReadInteger accepts beyond plain decimal digits.
struct IntegerSyntax {
  // "$1F" is hexadecimal, like "0x1F".
  bool dollarHex = true;
  // A sign may stand before "$" or "0x" ("-$10" is -16).
  bool signedHex = true;
  // Hexadecimal may use all 32 bits and then reads as two's complement ("$FFFFFFFF" is -1,
  // "-$FFFFFFFF" is 1). Otherwise every value must fit in a signed 32-bit integer.
  bool hexUsesAllBits = false;
};

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits after "$" or
// "0x"/"0X", and nothing after them. Empty when the text is not such a number or the value
// is out of range.
std::optional<int> ReadInteger(std::string_view text, const IntegerSyntax& syntax = {});

}  // namespace dovra

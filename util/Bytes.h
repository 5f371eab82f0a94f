#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace dovra {

// `count` bytes, low byte first, taken from the hexadecimal form of value as the
// printer commands expect (a value too large for count bytes keeps its leading digits).
std::string IntToLittleEndianBytes(std::int64_t value, int count);

// True when bit `bit` (0 = least significant, 0 to 31) of value is 1.
bool BitIsSet(std::int64_t value, int bit);

// One byte holding the low 8 bits of value (a command's numeric parameter).
inline std::string Byte(int value) { return std::string(1, static_cast<char>(value & 0xFF)); }

// Bytes from hexadecimal text such as "1B 40" or "1b40"; for command tables written as data.
// Throws std::invalid_argument on anything that is not pairs of hex digits and blanks.
std::string Hex(std::string_view hexText);

}  // namespace dovra

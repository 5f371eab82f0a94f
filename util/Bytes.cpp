#include "Bytes.h"

#include <stdexcept>

namespace dovra {

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string IntToLittleEndianBytes(std::int64_t value, int count) {
  if (count <= 0) return {};
  // Negative values are written as their 32-bit two's complement, eight digits.
  std::uint64_t magnitude = value < 0 ? static_cast<std::uint32_t>(value)
                                      : static_cast<std::uint64_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[magnitude & 0xF]);
    magnitude >>= 4;
  } while (magnitude != 0);
  const std::size_t wanted = 2 * static_cast<std::size_t>(count);
  if (digits.size() < wanted) digits.insert(0, wanted - digits.size(), '0');

  // The first `count` pairs from the left, last pair first. When the value has more
  // digits than fit, its trailing digits are dropped, as the printers' firmware expects.
  std::string out(static_cast<std::size_t>(count), '\0');
  for (int i = 0; i < count; ++i) {
    const int hi = HexDigitValue(digits[2 * i]);
    const int lo = HexDigitValue(digits[2 * i + 1]);
    out[static_cast<std::size_t>(count - 1 - i)] = static_cast<char>(hi * 16 + lo);
  }
  return out;
}

bool BitIsSet(std::int64_t value, int bit) {
  if (bit < 0 || bit > 63) return false;
  return ((static_cast<std::uint64_t>(value) >> bit) & 1U) != 0;
}

std::string Hex(std::string_view hexText) {
  std::string out;
  out.reserve(hexText.size() / 2);
  std::size_t i = 0;
  while (i < hexText.size()) {
    if (hexText[i] == ' ') {
      ++i;
      continue;
    }
    const int hi = HexDigitValue(hexText[i]);
    const int lo = i + 1 < hexText.size() ? HexDigitValue(hexText[i + 1]) : -1;
    if (hi < 0 || lo < 0)
      throw std::invalid_argument("Hex: texto hexadecimal inválido: \"" + std::string(hexText) +
                                  "\"");
    out.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return out;
}

}  // namespace dovra

#include "util/Numbers.h"

#include <cstdint>

namespace dovra {

namespace {

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base != 16) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int> ReadInteger(std::string_view text, const IntegerSyntax& syntax) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  bool hasSign = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i++] == '-';
    hasSign = true;
  }
  int base = 10;
  if (!hasSign || syntax.signedHex) {
    if (syntax.dollarHex && i < text.size() && text[i] == '$') {
      base = 16;
      ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
  }
  if (i >= text.size()) return std::nullopt;
  const std::uint64_t limit = base == 16 && syntax.hexUsesAllBits
                                  ? 0xFFFFFFFFull
                                  : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  if (negative) bits = ~bits + 1u;
  return static_cast<int>(bits);
}

}  // namespace dovra

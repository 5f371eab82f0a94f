// Byte packing, bit tests, hexadecimal command tables and error class names.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "util/Bytes.h"
#include "util/DovraErrors.h"

namespace dovra {
namespace {

TEST(IntToLittleEndianBytes, HexDigitPairsInReverseOrder) {
  struct Case {
    std::int64_t value;
    int count;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {300, 2, std::string("\x2C\x01", 2)},
      {5, 1, std::string("\x05", 1)},
      {0, 2, std::string("\x00\x00", 2)},
      {255, 1, std::string("\xFF", 1)},
      {0x1234, 3, std::string("\x34\x12\x00", 3)},
      {0x12345678, 4, std::string("\x78\x56\x34\x12", 4)},
      // Too large: the leading pairs are kept, the trailing digits lost.
      {256, 1, std::string("\x10", 1)},
      {0x12345, 2, std::string("\x34\x12", 2)},
      // Negative: eight-digit two's complement, then the same rule.
      {-1, 2, std::string("\xFF\xFF", 2)},
      {-2, 4, std::string("\xFE\xFF\xFF\xFF", 4)},
      {-2, 2, std::string("\xFF\xFF", 2)},
      {-1, 5, std::string("\xFF\xFF\xFF\xFF\x00", 5)},
      {7, 0, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IntToLittleEndianBytes(c.value, c.count), c.expected)
        << c.value << " in " << c.count << " bytes";
}

TEST(BitIsSet, BitsZeroToThirtyOne) {
  EXPECT_TRUE(BitIsSet(0x80, 7));
  EXPECT_FALSE(BitIsSet(0x80, 6));
  EXPECT_TRUE(BitIsSet(1, 0));
  EXPECT_FALSE(BitIsSet(2, 0));
  EXPECT_TRUE(BitIsSet(0x80000000LL, 31));
  EXPECT_TRUE(BitIsSet(-1, 31));
  EXPECT_FALSE(BitIsSet(-1, -1));  // out of range is never set, and no undefined shift
  EXPECT_FALSE(BitIsSet(-1, 64));
}

TEST(Hex, ParsesPairsAndBlanks) {
  EXPECT_EQ(Hex("1B 40"), "\x1B\x40");
  EXPECT_EQ(Hex("1b40ff"), "\x1B\x40\xFF");
  EXPECT_EQ(Hex(" 00  0A "), std::string("\x00\x0A", 2));
  EXPECT_EQ(Hex(""), "");
  for (const char* bad : {"1", "1B4", "1 B", "GG", "1B,40", "0x1B"})
    EXPECT_THROW(Hex(bad), std::invalid_argument) << bad;
}

namespace sample {
struct CustomError : std::runtime_error {
  CustomError() : std::runtime_error("x") {}
};
}  // namespace sample

TEST(ErrorClassName, DovraNamesAndDemangledTypes) {
  EXPECT_EQ(ErrorClassName(EPosPrinterException("m")), "EPosPrinterException");
  EXPECT_EQ(ErrorClassName(EFileError("EFCreateError", "m")), "EFCreateError");
  EXPECT_EQ(ErrorClassName(std::runtime_error("m")), "runtime_error");
  EXPECT_EQ(ErrorClassName(std::out_of_range("m")), "out_of_range");
  EXPECT_EQ(ErrorClassName(sample::CustomError()), "CustomError");
  // Through a base reference the dynamic type is named.
  const std::exception& base = std::invalid_argument("m");
  EXPECT_EQ(ErrorClassName(base), "invalid_argument");
}

}  // namespace
}  // namespace dovra

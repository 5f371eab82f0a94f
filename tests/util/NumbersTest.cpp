// Reading whole numbers: the forms every caller shares and the three rule sets they use.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "util/Numbers.h"

namespace dovra {
namespace {

constexpr IntegerSyntax kAllBits{.hexUsesAllBits = true};
constexpr IntegerSyntax kPlainHex{.dollarHex = false, .signedHex = false};

struct NumberCase {
  std::string text;
  std::optional<int> byDefault, allBits, plainHex;
};

TEST(ReadInteger, FormsAndRanges) {
  const std::optional<int> no;
  const std::vector<NumberCase> cases = {
      // Decimal, with blanks in front and a sign.
      {"48", 48, 48, 48},
      {"   12", 12, 12, 12},
      {"+7", 7, 7, 7},
      {"-5", -5, -5, -5},
      {"007", 7, 7, 7},
      {"00000000000000000000000001", 1, 1, 1},
      {"2147483647", INT_MAX, INT_MAX, INT_MAX},
      {"-2147483648", INT_MIN, INT_MIN, INT_MIN},
      {"2147483648", no, no, no},
      {"-2147483649", no, no, no},
      {"99999999999999999999", no, no, no},
      // Hexadecimal after "$" or "0x", in either letter case.
      {"$1F", 31, 31, no},
      {"0x1f", 31, 31, 31},
      {"0X1F", 31, 31, 31},
      {"  $ff", 255, 255, no},
      {"-$10", -16, -16, no},
      {"+0x10", 16, 16, no},
      {"-0x10", -16, -16, no},
      {"0x7FFFFFFF", INT_MAX, INT_MAX, INT_MAX},
      // Beyond 31 bits only when all 32 may be used, read as two's complement.
      {"$80000000", no, INT_MIN, no},
      {"0x80000000", no, INT_MIN, no},
      {"-$80000000", INT_MIN, INT_MIN, no},
      {"$FFFFFFFF", no, -1, no},
      {"-$FFFFFFFF", no, 1, no},
      {"$100000000", no, no, no},
      {"$0000000000FF", 255, 255, no},
      // Nothing else may stand before, between or after the digits.
      {"", no, no, no},
      {"   ", no, no, no},
      {"-", no, no, no},
      {"$", no, no, no},
      {"0x", no, no, no},
      {"-$", no, no, no},
      {"12 ", no, no, no},
      {"1 2", no, no, no},
      {"- 5", no, no, no},
      {"\t5", no, no, no},
      {"1.5", no, no, no},
      {"12a", no, no, no},
      {"$1G", no, no, no},
      {"0x1g", no, no, no},
      {"$-1", no, no, no},
      {"0x-1", no, no, no},
      {"--1", no, no, no},
      {"abc", no, no, no},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(ReadInteger(c.text), c.byDefault) << '"' << c.text << '"';
    EXPECT_EQ(ReadInteger(c.text, kAllBits), c.allBits) << '"' << c.text << "\" all bits";
    EXPECT_EQ(ReadInteger(c.text, kPlainHex), c.plainHex) << '"' << c.text << "\" 0x only";
  }
}

}  // namespace
}  // namespace dovra

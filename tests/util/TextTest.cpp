// Bracket notation, line breaks, column fitting, character filters and tag scanning.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/BracketNotation.h"
#include "util/LineBreaks.h"
#include "util/TagScan.h"
#include "util/TextFit.h"

namespace dovra {
namespace {

TEST(BracketNotation, EveryByteClass) {
  struct Case {
    unsigned char byte;
    const char* text;
  };
  const std::vector<Case> cases = {
      {0x00, "[NUL]"}, {0x01, "[SOH]"}, {0x02, "[STX]"}, {0x03, "[ETX]"}, {0x04, "[4]"},
      {0x05, "[ENQ]"}, {0x06, "[ACK]"}, {0x07, "[7]"},   {0x08, "[BS]"},  {0x09, "[TAB]"},
      {0x0A, "[LF]"},  {0x0B, "[11]"},  {0x0C, "[FF]"},  {0x0D, "[CR]"},  {0x0E, "[14]"},
      {0x10, "[16]"},  {0x11, "[WAK]"}, {0x12, "[18]"},  {0x14, "[20]"},  {0x15, "[NAK]"},
      {0x16, "[22]"},  {0x1A, "[26]"},  {0x1B, "[ESC]"}, {0x1C, "[FS]"},  {0x1D, "[GS]"},
      {0x1E, "[30]"},  {0x1F, "[31]"},  {0x20, " "},     {0x41, "A"},     {0x7E, "~"},
      {0x7F, "[127]"}, {0x80, "[128]"}, {0xC8, "[200]"}, {0xFF, "[255]"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToBracketNotation(std::string(1, static_cast<char>(c.byte))), c.text)
        << "byte " << int(c.byte);
}

TEST(BracketNotation, ConcatenatesWithoutSeparators) {
  EXPECT_EQ(ToBracketNotation("\x1B\x40OK\x0D\x0A"), "[ESC]@OK[CR][LF]");
  EXPECT_EQ(ToBracketNotation(std::string("\x00\x00", 2)), "[NUL][NUL]");
  EXPECT_EQ(ToBracketNotation(""), "");
  // UTF-8 text is shown byte by byte: "ã" is C3 A3.
  EXPECT_EQ(ToBracketNotation("n\xC3\xA3o"), "n[195][163]o");
}

TEST(ReplaceLineBreaks, NormalisesEveryKindOfBreak) {
  struct Case {
    std::string text, newBreak, expected;
  };
  const std::vector<Case> cases = {
      {"A\r\nB\rC\nD", "\r\n", "A\r\nB\r\nC\r\nD"},
      {"A\r\nB\rC\nD", "\n", "A\nB\nC\nD"},
      {"A\r\nB\rC\nD", "\r", "A\rB\rC\rD"},
      {"\n\rX", "\r\n", "\r\n\r\nX"},    // LF CR is two breaks, not one
      {"X\r\r\n", "\n", "X\n\n"},
      {"A\nB", "", "AB"},
      {"a\rb\rc\nd\r", "\n", "a\nb\nc\nd\n"},  // CRs before and after an LF
      {"\rA\r\nB\n\nC\r", "|", "|A|B||C|"},
      {"   ", "\r\n", "   "},            // blanks only: unchanged
      {"\r\n\t\r", "\n", "\r\n\t\r"},    // control characters only: unchanged
      {"", "\r\n", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReplaceLineBreaks(c.text, c.newBreak), c.expected) << testing::PrintToString(c.text);
}

TEST(TextFit, TrimBlanksDropsCodesUpToBlankAtBothEnds) {
  EXPECT_EQ(TrimBlanks(" \t\r\n abc def \x01\x1f "), "abc def");
  EXPECT_EQ(TrimBlanks("\x21x\x7f"), "\x21x\x7f");  // "!" and DEL are not blanks
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks(""), "");
}

TEST(TextFit, FillAndCut) {
  enum Kind { L, R, C };
  struct Case {
    Kind kind;
    std::string text;
    int width;
    char fill;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {L, "abcdef", 4, ' ', "abcd"}, {L, "ab", 4, '.', "ab.."},  {L, "abcd", 4, ' ', "abcd"},
      {R, "ab", 4, '0', "00ab"},     {R, "abcdef", 4, ' ', "abcd"},  // cut on the right too
      {C, "ab", 5, '*', "*ab**"},    {C, "abc", 6, '-', "-abc--"}, {C, "a", 4, '=', "=a=="},
      {C, "abcdef", 3, ' ', "abc"},  {C, "", 3, '+', "+++"},
      {L, "abc", 0, ' ', ""},        {R, "abc", -1, ' ', ""},      {C, "abc", -5, ' ', ""},
  };
  for (const auto& c : cases) {
    const std::string got = c.kind == L   ? FitLeftAligned(c.text, c.width, c.fill)
                            : c.kind == R ? FitRightAligned(c.text, c.width, c.fill)
                                          : FitCentered(c.text, c.width, c.fill);
    EXPECT_EQ(got, c.expected) << "kind " << c.kind << " text " << c.text << " width " << c.width;
  }
}

TEST(TextFilter, KeepDigitsAndCharsInSet) {
  EXPECT_EQ(KeepDigits("R$ 1.234,56 (x9)"), "1234569");
  EXPECT_EQ(KeepDigits("sem numeros"), "");
  EXPECT_EQ(KeepCharsInSet("A-B_C d", "ABC-"), "A-BC");
  // The bytes of a multi-byte character are dropped unless the set holds them.
  EXPECT_EQ(KeepCharsInSet("a\xC3\xA7o", "abcdefghijklmnopqrstuvwxyz"), "ao");
  EXPECT_EQ(KeepCharsInSet("\x01\xFF" "b", "\xFF"), "\xFF");
  EXPECT_EQ(KeepCharsInSet("abc", ""), "");
}

TEST(FindNextTag, ScanningRules) {
  struct Case {
    std::string text;
    std::size_t start;
    std::string tag;
    std::size_t position;
  };
  const std::vector<Case> cases = {
      {"a < b <N>", 1, "<n>", 7},        // stray "<" skipped
      {"<<n>>", 1, "<n>", 2},            // wrapped tag
      {"<a<b<c>", 1, "<c>", 5},          // the last "<" before ">" wins
      {"abc <n", 1, "", 0},              // "<" without ">"
      {"abc", 1, "", 0},
      {"", 1, "", 0},
      {"<>", 1, "<>", 1},
      {"x>y<n>", 1, "<n>", 4},           // a ">" before any "<" is ignored
      {"<CE>Texto</CE>", 1, "<ce>", 1},
      {"<CE>Texto</CE>", 2, "</ce>", 10},
      {"<CE>Texto</CE>", 10, "</ce>", 10},  // start exactly on the "<"
      {"<CE>Texto</CE>", 11, "", 0},
      {"<n>", 50, "", 0},                // start past the end
      {"<n>", 0, "<n>", 1},              // start 0 counts as 1
      {"<QRCODE_1 A=Z>", 1, "<qrcode_1 a=z>", 1},
      {"<\xC3\x87X>", 1, "<\xC3\x87x>", 1},  // only A to Z change
  };
  for (const auto& c : cases) {
    const FoundTag found = FindNextTag(c.text, c.start);
    EXPECT_EQ(found.tag, c.tag) << c.text << " from " << c.start;
    EXPECT_EQ(found.position, c.position) << c.text << " from " << c.start;
  }
}

}  // namespace
}  // namespace dovra

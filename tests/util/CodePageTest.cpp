// Code-page conversion (UTF-8 text to the printer's code pages and back) and ASCII folding.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "util/CodePage.h"

namespace dovra {
namespace {

TEST(CodePage, EncodesUtf8TextToPrinterPages) {
  struct Case {
    int codePage;
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {850, "\xC3\xA7\xC3\xA3o", "\x87\xC6o"},                 // "ção"
      {850, "\xE2\x82\xAC", "?"},                              // "€" is not in 850
      {850, "\xC5\x81\xC3\xA7", "?\x87"},                      // "Łç"
      {437, "\xC3\xA7\xC3\xA3", "\x87?"},                      // "çã": 437 has no ã
      {860, "\xC3\xA3\xC3\xB5\xC3\x83\xC3\x95", "\x84\x94\x8E\x99"},  // "ãõÃÕ"
      {852, "\xC4\x85\xC4\x8D", "\xA5\x9F"},                   // "ąč"
      {1252, "\xE2\x82\xAC 10", "\x80 10"},                    // "€ 10"
      {1252, "\xF0\x9F\x98\x80!", "?!"},                       // emoji: one "?" for the character
      {850, "ab\xFF" "cd", "ab?cd"},                           // invalid byte
      {850, "a\xE3\x81", "a?"},                                // cut sequence: one "?"
      {850, "\xC3x", "?x"},
      {850, "\xED\xA0\x80z", "???z"},                          // encoded surrogate is invalid
      {850, "plain ASCII\r\n\x1B@", "plain ASCII\r\n\x1B@"},
      {9999, "a\xC3\xA7" "b", "a?b"},                          // unknown page: ASCII only
  };
  for (const auto& c : cases)
    EXPECT_EQ(UnicodeToCodePage(c.text, c.codePage), c.expected)
        << c.codePage << " " << testing::PrintToString(c.text);
}

TEST(CodePage, DecodesPrinterPagesToUtf8) {
  EXPECT_EQ(CodePageToUnicode("\x87\xC6o", 850), "\xC3\xA7\xC3\xA3o");
  EXPECT_EQ(CodePageToUnicode("\x80", 1252), "\xE2\x82\xAC");
  EXPECT_EQ(CodePageToUnicode("x\x81y", 1252), "x?y");  // undefined in 1252
  EXPECT_EQ(CodePageToUnicode("\x84\x94", 860), "\xC3\xA3\xC3\xB5");
  EXPECT_EQ(CodePageToUnicode("a\x87", 9999), "a?");
}

TEST(CodePage, FullByteRangeRoundTripsThroughDosPages) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (int page : {437, 850, 852, 860}) {
    const std::string text = CodePageToUnicode(all, page);
    EXPECT_EQ(std::count(text.begin(), text.end(), '?'), 1) << page;  // only byte 3F itself
    EXPECT_EQ(UnicodeToCodePage(text, page), all) << page;
  }
}

TEST(CodePage, Utf8PagesPassValidTextAndReplaceInvalid) {
  const std::string text = "Impress\xC3\xA3o \xE2\x82\xAC \xF0\x9F\x98\x80";
  for (int page : {kSystemCodePage, kUtf8CodePage}) {
    EXPECT_EQ(UnicodeToCodePage(text, page), text);
    EXPECT_EQ(CodePageToUnicode(text, page), text);
    EXPECT_EQ(UnicodeToCodePage("a\xC0\xAF" "b", page), "a??b");  // overlong form
  }
  EXPECT_EQ(AnsiRoundTrip(text), text);
  EXPECT_EQ(AnsiRoundTrip("x\xFE\xE2\x82"), "x??");
}

TEST(CodePage, RecodeFromSystemPage) {
  EXPECT_EQ(RecodeBytes("P\xC3\xA3o", 850, kSystemCodePage), "P\xC6o");
  EXPECT_EQ(RecodeBytes("P\xC3\xA3o", kUtf8CodePage, kSystemCodePage), "P\xC3\xA3o");
  EXPECT_EQ(RecodeBytes("\x87", kUtf8CodePage, 850), "\xC3\xA7");
  EXPECT_EQ(RecodeBytes("\x87", 1252, 850), "\xE7");
  EXPECT_EQ(RecodeBytes("\x1B\x40 ok", 437, kSystemCodePage), "\x1B\x40 ok");
}

TEST(CodePage, LongTextsKeepEveryCharacter) {
  // Longer than any first guess of the output size, with ASCII before the first accent.
  std::string text(1000, 'x');
  std::string encoded(1000, 'x');
  for (int i = 0; i < 5000; ++i) {
    text += "\xC3\xA7\xE2\x82\xAC";  // "ç€"
    encoded += "\x87?";
  }
  EXPECT_EQ(UnicodeToCodePage(text, 850), encoded);

  const std::string bytes(20000, '\x87');
  std::string decoded;
  for (int i = 0; i < 20000; ++i) decoded += "\xC3\xA7";
  EXPECT_EQ(CodePageToUnicode(bytes, 850), decoded);
}

TEST(FoldToAscii, FoldsAccentsAndBlanksTheRest) {
  struct Case {
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {"Impress\xC3\xA3o", "Impressao"},
      {"\xC3\xA7 \xC3\x91", "c N"},                     // ç Ñ
      {"n\xC2\xBA 5", "n  5"},                          // º
      {"a\tb", "a b"},
      {"\x1B@\x7F", " @ "},                             // ESC and DEL
      {"l1\r\nl2\x08", "l1\r\nl2\x08"},                 // CR, LF and BS stay
      {"\xE2\x82\xAC" "5", " 5"},                       // any other character: one blank
      {"\xF0\x9F\x98\x80", " "},
      {"a\xFF" "b", "a b"},                             // invalid: one blank per byte
      {"a\xE3\x81" "b", "a  b"},
      {std::string("\x00", 1), " "},
      // The whole table, U+00C0 to U+00FF.
      {"\xC3\x80\xC3\x81\xC3\x82\xC3\x83\xC3\x84\xC3\x85\xC3\x86\xC3\x87"
       "\xC3\x88\xC3\x89\xC3\x8A\xC3\x8B\xC3\x8C\xC3\x8D\xC3\x8E\xC3\x8F"
       "\xC3\x90\xC3\x91\xC3\x92\xC3\x93\xC3\x94\xC3\x95\xC3\x96\xC3\x97"
       "\xC3\x98\xC3\x99\xC3\x9A\xC3\x9B\xC3\x9C\xC3\x9D\xC3\x9E\xC3\x9F"
       "\xC3\xA0\xC3\xA1\xC3\xA2\xC3\xA3\xC3\xA4\xC3\xA5\xC3\xA6\xC3\xA7"
       "\xC3\xA8\xC3\xA9\xC3\xAA\xC3\xAB\xC3\xAC\xC3\xAD\xC3\xAE\xC3\xAF"
       "\xC3\xB0\xC3\xB1\xC3\xB2\xC3\xB3\xC3\xB4\xC3\xB5\xC3\xB6\xC3\xB7"
       "\xC3\xB8\xC3\xB9\xC3\xBA\xC3\xBB\xC3\xBC\xC3\xBD\xC3\xBE\xC3\xBF",
       "AAAAAAAC" "EEEEIIII" "DNOOOOOx" "0UUUUYbB"
       "aaaaaaac" "eeeeiiii" "onooooo/" "0uuuuyby"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FoldToAscii(c.text), c.expected) << testing::PrintToString(c.text);
}

}  // namespace
}  // namespace dovra

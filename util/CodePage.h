#pragma once
#include <string>
#include <string_view>

namespace dovra {

// Code page numbers as the printer settings name them. 0 is the system code page,
// which is UTF-8 here; 65001 is UTF-8 too. Supported: 437, 850, 852, 860, 1252, 65001.
// A character the target cannot hold becomes "?"; so does an invalid input sequence.
constexpr int kSystemCodePage = 0;
constexpr int kUtf8CodePage = 65001;

// "Unicode" text is UTF-8 in this library.
std::string UnicodeToCodePage(std::string_view text, int codePage);
std::string CodePageToUnicode(std::string_view bytes, int codePage);
std::string RecodeBytes(std::string_view bytes, int targetCodePage, int sourceCodePage);

// Text through the system code page and back; with UTF-8 as the system code page,
// invalid sequences come back as "?".
std::string AnsiRoundTrip(std::string_view text);

// Folds UTF-8 text to printable ASCII: U+00C0..U+00FF by the folding table, any other
// non-ASCII character to a blank, and every byte other than BS, LF, CR and 32..126 to a blank.
std::string FoldToAscii(std::string_view text);

}  // namespace dovra

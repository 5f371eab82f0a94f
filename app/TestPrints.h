// The configurator's built-in test texts: tagged texts that show on paper how the chosen
// dialect renders fonts, alignment, barcodes, QR codes, the stored logo, invalid tags and the
// code page. Plain functions without Qt; every line is UTF-8 text without its line break.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dovra {

// A dot per column, "+" at every fifth column and the tens digit at every tenth.
inline constexpr const char* kColumnRuler =
    "....+....1....+....2....+....3....+....4....+....5....+....6....+....7....+....8";

// The ruler shaped to `columns` characters: its first `columns` characters up to 80,
// above 80 the whole ruler right-aligned behind blanks; empty for 0 or less.
std::string ColumnRuler(int columns);

// The 35 lines of the character-formatting test for the given column counts in normal,
// expanded and condensed font.
std::vector<std::string> FontTestLines(int normal, int expanded, int condensed);

// The 29 lines of the alignment test.
std::vector<std::string> AlignmentTestLines();

// The 36 lines of the barcode test: eleven symbologies, each with its caption.
std::vector<std::string> BarcodeTestLines();

// Sample contents of the QR code test.
extern const char* const kQRCodeHomePage;      // a project's home page, 25 characters
extern const char* const kQRCodeForumPage;     // a page of its support forum, 72 characters
extern const char* const kQRCodeForumPage2;    // another forum page, 81 characters
extern const char* const kQRCodeNFCeAddress;   // an NFC-e consultation address, 375 characters
extern const char* const kQRCodeSATContent;    // a SAT receipt's QR content, 523 characters

// The 16 lines of the QR code test with the printer's QR type, module width and
// error-correction level.
std::vector<std::string> QRCodeTestLines(int tipo, int larguraModulo, int errorLevel);

// The 5 lines of the logo test with the printer's logo key codes and magnification.
std::vector<std::string> LogoTestLines(std::uint8_t keyCode1, std::uint8_t keyCode2,
                                       std::uint8_t fatorX, std::uint8_t fatorY);

// The 5 lines of the invalid-tags test: stray brackets and quotes, unknown and unclosed tags.
std::vector<std::string> InvalidTagsTestLines();

// The 4 lines of the code-page test, with twenty accented letters used in Portuguese.
std::vector<std::string> CodePageTestLines();

}  // namespace dovra

// The document model of a printed receipt: what the virtual printer made of the bytes it
// received. A receipt is a sequence of elements: printed lines (alignment and styled runs) and
// block elements (barcode, QR code, stored logo, cut, drawer pulse, beep, page-mode block) plus
// settings that print nothing (a configuration string). Bytes the printer did not understand are
// kept, in order, as runs of their own inside the line where they arrived.
//
// Plain data with no behaviour beyond comparisons, so a renderer or a transcript can walk it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace dovra::emulator {

enum class TAlignment { kLeft, kCenter, kRight };

// Character style of a run. Condensed and font B are kept apart because the dialects select them
// with different commands; where a dialect uses the same bytes for both, the decoder picks one.
struct TTextStyle {
  bool condensed = false;
  bool expanded = false;
  bool doubleHeight = false;
  bool bold = false;
  bool underline = false;
  bool inverted = false;
  bool italic = false;
  bool fontB = false;

  bool IsPlain() const { return *this == TTextStyle{}; }
  bool operator==(const TTextStyle&) const = default;
};

// A piece of a line: text (UTF-8) in one style, or bytes the printer did not understand.
struct TRun {
  std::string text;       // UTF-8 text, or the raw bytes when `unknown`
  TTextStyle style;
  bool unknown = false;

  bool operator==(const TRun&) const = default;
};

struct TLine {
  TAlignment alignment = TAlignment::kLeft;
  std::vector<TRun> runs;
  // Line spacing in effect when the line was printed: -1 = the printer's default, otherwise the
  // value of the dialect's spacing command (motion units).
  int lineSpacing = -1;

  bool Empty() const { return runs.empty(); }
  bool operator==(const TLine&) const = default;
};

struct TBarcode {
  std::string symbology;  // "EAN13", "CODE128", ...
  std::string data;       // what the bars encode, decoded (Code 128 code sets resolved)
  char codeSet = 0;       // 'A', 'B' or 'C' when a Code 128 code carried its own selector
  bool hri = false;       // human-readable text printed with the bars
  int height = 0;         // dots (0 = the printer's default)
  int width = 0;          // module width (0 = the printer's default)
  TAlignment alignment = TAlignment::kLeft;

  bool operator==(const TBarcode&) const = default;
};

struct TQrCode {
  std::string data;       // the bytes stored in the symbol
  int moduleSize = 0;     // dots per module
  char errorLevel = 'L';  // 'L', 'M', 'Q' or 'H'
  int model = 2;
  TAlignment alignment = TAlignment::kLeft;

  bool operator==(const TQrCode&) const = default;
};

// A logo stored in the printer, selected by key codes (kc1 kc2), by number, or the printer's
// only logo.
struct TLogo {
  enum class TSelect { kOnly, kKeyCodes, kNumber };
  TSelect select = TSelect::kOnly;
  int number = 0;
  int keyCode1 = 0;
  int keyCode2 = 0;
  int scaleX = 1;
  int scaleY = 1;
  TAlignment alignment = TAlignment::kLeft;

  bool operator==(const TLogo&) const = default;
};

struct TCut {
  bool partial = false;
  bool operator==(const TCut&) const = default;
};

struct TDrawerPulse {
  int drawer = 1;   // 1 or 2
  int onTime = 0;   // as the command gave them (units are the dialect's)
  int offTime = 0;
  bool operator==(const TDrawerPulse&) const = default;
};

struct TBeep {
  bool operator==(const TBeep&) const = default;
};

// Lines composed in the page buffer and printed as one block.
struct TPageModeBlock {
  int direction = 0;  // 0 left to right, 1 bottom to top, 2 right to left, 3 top to bottom
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<TLine> lines;
  bool printed = true;  // false when the page was left without being printed (its data is lost)

  bool operator==(const TPageModeBlock&) const = default;
};

// A configuration string the printer received (it prints nothing). `values` holds the
// parameter bytes; `unchanged` is the byte that leaves a setting as it was.
struct TConfiguration {
  std::string values;
  char unchanged = 'X';
  bool operator==(const TConfiguration&) const = default;
};

using TElement = std::variant<TLine, TBarcode, TQrCode, TLogo, TCut, TDrawerPulse, TBeep,
                              TPageModeBlock, TConfiguration>;

struct TReceipt {
  int number = 0;   // 1, 2, ... in the order the printer finished them
  int columns = 48; // characters of the normal font per line
  // Width of a condensed (or font B) character in 1/10000 of a normal one.
  int condensedWidth = 7500;
  std::vector<TElement> elements;

  // True when the receipt holds anything a printer would put on paper or act on (everything but
  // configuration strings).
  bool HasContent() const;
  bool operator==(const TReceipt&) const = default;
};

}  // namespace dovra::emulator

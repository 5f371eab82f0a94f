#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "emulator/model/Receipt.h"

namespace dovra::emulator {

// Lays out what a decoder reports into receipts the way a line printer does: characters fill a
// line until a line feed or until the next character no longer fits the paper width (then the
// line wraps), block elements start on a fresh line, and a cut ends the receipt. Each finished
// receipt goes to the handler; a receipt with nothing printed is dropped.
class TReceiptBuilder {
 public:
  using TReceiptHandler = std::function<void(TReceipt)>;

  // Width of a character in 1/10000 of a normal column.
  static constexpr int kNormalWidth = 10000;
  static constexpr int kCondensedWidth = 7500;

  TReceiptBuilder(int columns, TReceiptHandler onReceipt);

  int Columns() const { return columns_; }
  // Width of a condensed (or font B) character; some printers fit more condensed columns.
  void SetCondensedWidth(int width) { condensedWidth_ = width; }
  int CondensedWidth() const { return condensedWidth_; }

  // State the next lines and blocks take. A line keeps the alignment in effect when its first
  // character arrived, as printers apply alignment at the start of a line.
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  TAlignment Alignment() const { return alignment_; }
  void SetLineSpacing(int spacing) { lineSpacing_ = spacing; }

  // UTF-8 text, one or more characters, in one style.
  void Text(std::string_view utf8, const TTextStyle& style);
  // Moves to the next tab stop (every 8 characters) with blanks.
  void Tab(const TTextStyle& style);
  // Bytes the printer did not understand, kept in the line where they arrived.
  void Unknown(std::string_view bytes);
  // Ends the current line; an empty line still feeds the paper.
  void LineFeed();
  // Prints the current line if it holds anything (a command that prints the buffer).
  void PrintBuffer();
  // Barcodes, QR codes, logos, drawer pulses, beeps, configuration strings.
  void Block(TElement element);
  // Adds the cut and hands the receipt over.
  void Cut(bool partial);
  // The connection ended: whatever is pending is printed and the receipt handed over.
  void Close();

  // Page mode: lines go to the page buffer until the page is printed or left.
  bool InPageMode() const { return inPageMode_; }
  void EnterPageMode();
  void SetPageArea(int x, int y, int width, int height);
  void SetPageDirection(int direction);
  // Prints the page buffer as one block; page mode goes on with an empty buffer.
  void PrintPage();
  // Back to standard mode; whatever the page buffer still holds is lost (a printer discards
  // it), and the receipt records that.
  void LeavePageMode();

 private:
  void AddRun(std::string_view text, const TTextStyle& style, bool unknown);
  int CharWidth(const TTextStyle& style) const;
  void EndLine();
  void Emit(TElement element);
  void FinishReceipt();

  int columns_;
  TReceiptHandler onReceipt_;
  int condensedWidth_ = kCondensedWidth;
  TAlignment alignment_ = TAlignment::kLeft;
  int lineSpacing_ = -1;

  TReceipt receipt_;
  TLine line_;
  bool lineOpen_ = false;
  int lineWidth_ = 0;
  int lineChars_ = 0;

  bool inPageMode_ = false;
  TPageModeBlock page_;
};

}  // namespace dovra::emulator

// Command handlers that several dialects share.
#pragma once

#include <string>
#include <string_view>

#include "emulator/dialects/CommandTable.h"
#include "emulator/dialects/Decoder.h"

namespace dovra::emulator::handlers {

inline unsigned char Byte(std::string_view p, std::size_t i) {
  return i < p.size() ? static_cast<unsigned char>(p[i]) : 0;
}
// Parameters that accept both 0/1 and "0"/"1".
inline bool On(unsigned char n) { return (n & 1) != 0; }

void LineFeed(TDecoder& d, std::string_view);
void Ignore(TDecoder& d, std::string_view);
void Tab(TDecoder& d, std::string_view);
void Reset(TDecoder& d, std::string_view);

// A handler that sets one style flag, on or off, without parameters.
TCommandHandler SetStyle(bool TTextStyle::*flag, bool on);
// A handler that sets one style flag from bit 0 of its single parameter.
TCommandHandler StyleFromParam(bool TTextStyle::*flag);

// ESC ! n: condensed (bit 0), bold (3), double height (4), expanded (5), underline (7).
void PrintMode(TDecoder& d, std::string_view p);
// ESC - n: 0 off, 1 or 2 (or "1", "2") on.
void Underline(TDecoder& d, std::string_view p);
// ESC a n / ESC j n: 0 left, 1 centre, 2 right (also "0" to "2"); anything else is unknown.
TCommandHandler Align(std::string head);
void DefaultLineSpacing(TDecoder& d, std::string_view);
void LineSpacing(TDecoder& d, std::string_view p);
// ESC d n: prints the buffer and feeds n lines.
void FeedLines(TDecoder& d, std::string_view p);
// ESC J n: prints the buffer and feeds n dots.
void FeedDots(TDecoder& d, std::string_view p);

// Selects the code page whose number `table` gives for the parameter; an unlisted parameter is
// reported as unknown bytes and the code page stays.
struct TCodePageEntry {
  unsigned char param;
  int codePage;
};
TCommandHandler CodePage(std::string head, std::vector<TCodePageEntry> table);

void FullCut(TDecoder& d, std::string_view);
void PartialCut(TDecoder& d, std::string_view);
void Beep(TDecoder& d, std::string_view);

// GS w n, GS h n, GS H n (ESC/POS barcode settings).
void BarWidth(TDecoder& d, std::string_view p);
void BarHeight(TDecoder& d, std::string_view p);
void BarHri(TDecoder& d, std::string_view p);

// Prints a barcode with the current barcode settings.
void PrintBarcode(TDecoder& d, std::string symbology, std::string data, char codeSet = 0);
// Code 128 data that carries its own code-set selectors ("{A", "{B", "{C"): the characters it
// encodes (code set C values as digit pairs) and the first code set.
std::string DecodeCode128(std::string_view data, char& codeSet);

// FS p n m: stored logo n, m = 1 double width, 2 double height, 3 both.
void StoredLogo(TDecoder& d, std::string_view p);

// QR code functions of ESC/POS (cn "1" of GS ( k, or of ESC ( k): p = pL pH cn fn ...
// `withAlignment` also accepts fn "B" (symbol alignment).
TCommandHandler QrFunction(std::string head, bool withAlignment);

// GS k m ...: function A (m 0 to 6, data up to NUL) or function B (m 65 and up, n and data).
std::size_t MeasureGsK(std::string_view p);
// `selectors`: Code 128 data carries "{A"/"{B"/"{C" code-set selectors.
TCommandHandler GsKBarcode(bool selectors);

// GS V m [n]: cut (m 0/48 full, 1/49 partial; 65 full and 66 partial after a feed of n dots).
std::size_t MeasureGsV(std::string_view p);
void GsVCut(TDecoder& d, std::string_view p);

// A command with a length field whose meaning the printer does not know: kept whole as
// unknown bytes.
TCommandHandler UnknownCommand(std::string head);

// A handler that passes the command on as a query.
TCommandHandler Ask(TQueryKind kind, std::string head);

}  // namespace dovra::emulator::handlers

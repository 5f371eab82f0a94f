// Epson ESC/P2 dot-matrix printers, and plain text printers.
#include "emulator/dialects/Dialects.h"
#include "emulator/dialects/Handlers.h"
#include "emulator/dialects/Heads.h"

namespace dovra::emulator {

using namespace handlers;
using namespace heads;

namespace {

// ESC ! n (master select): condensed (bit 2), bold (3 and 4), double width (5), italic (6),
// underline (7).
void MasterSelect(TDecoder& d, std::string_view p) {
  const unsigned char n = Byte(p, 0);
  TTextStyle& s = d.Settings().style;
  s.condensed = n & 0x04;
  s.bold = n & 0x18;
  s.expanded = n & 0x20;
  s.italic = n & 0x40;
  s.underline = n & 0x80;
}

}  // namespace

TCommandTable EscP2Commands() {
  return {
      {"\n", NoParams(), LineFeed},
      {"\r", NoParams(), Ignore},
      {"\t", NoParams(), Tab},
      {"\x0f", NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {"\x12", NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {Esc("\x0f"), NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {Esc("@"), NoParams(), Reset},
      {Esc("!"), Fixed(1), MasterSelect},
      {Esc("W"), Fixed(1), StyleFromParam(&TTextStyle::expanded)},
      {Esc("w"), Fixed(1), StyleFromParam(&TTextStyle::doubleHeight)},
      {Esc("4"), NoParams(), SetStyle(&TTextStyle::italic, true)},
      {Esc("5"), NoParams(), SetStyle(&TTextStyle::italic, false)},
      {Esc("E"), NoParams(), SetStyle(&TTextStyle::bold, true)},
      {Esc("F"), NoParams(), SetStyle(&TTextStyle::bold, false)},
      {Esc("G"), NoParams(), SetStyle(&TTextStyle::bold, true)},
      {Esc("H"), NoParams(), SetStyle(&TTextStyle::bold, false)},
      {Esc("-"), Fixed(1), Underline},
      {Esc("a"), Fixed(1), Align(Esc("a"))},
      {Esc("2"), NoParams(), DefaultLineSpacing},
      {Esc("0"), NoParams(), [](TDecoder& d, std::string_view) { d.Out().SetLineSpacing(23); }},
      {Esc("3"), Fixed(1), LineSpacing},
      {Esc("A"), Fixed(1), [](TDecoder& d, std::string_view p) {
         d.Out().SetLineSpacing(Byte(p, 0) * 3);
       }},
  };
}

TCommandTable TextoCommands() {
  return {
      {"\n", NoParams(), LineFeed},
      {"\r", NoParams(), Ignore},
      {"\t", NoParams(), Tab},
  };
}

}  // namespace dovra::emulator

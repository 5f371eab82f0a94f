// ESC/POS printers: Epson, and Diebold with its own QR code (under ESC) and logo commands.
#include "emulator/dialects/Dialects.h"
#include "emulator/dialects/Handlers.h"
#include "emulator/dialects/Heads.h"

namespace dovra::emulator {

using namespace handlers;
using namespace heads;

namespace {

// GS ! n: width multiplier in the high nibble, height multiplier in the low one.
void CharacterSize(TDecoder& d, std::string_view p) {
  const unsigned char n = Byte(p, 0);
  d.Settings().style.expanded = (n & 0x70) != 0;
  d.Settings().style.doubleHeight = (n & 0x07) != 0;
}

// ESC p m t1 t2: m 0/48 pin 2 (drawer 1), 1/49 pin 5 (drawer 2).
void DrawerPulse(TDecoder& d, std::string_view p) {
  TDrawerPulse pulse;
  pulse.drawer = On(Byte(p, 0)) ? 2 : 1;
  pulse.onTime = Byte(p, 1);
  pulse.offTime = Byte(p, 2);
  d.Out().Block(pulse);
}

// ESC T n: 0 left to right, 1 bottom to top, 2 right to left, 3 top to bottom.
void PageDirection(TDecoder& d, std::string_view p) {
  d.Out().SetPageDirection(Byte(p, 0) & 0x03);
}

// ESC W xL xH yL yH dxL dxH dyL dyH
void PageArea(TDecoder& d, std::string_view p) {
  auto word = [&](std::size_t i) { return Byte(p, i) + 256 * Byte(p, i + 1); };
  d.Out().SetPageArea(word(0), word(2), word(4), word(6));
}

void FormFeed(TDecoder& d, std::string_view) {
  if (d.Out().InPageMode()) {
    d.Out().PrintPage();
    d.Out().LeavePageMode();
  } else {
    d.Unknown("\x0c");
  }
}

// GS ( L pL pH m fn ...: fn 69 prints the stored graphic kc1 kc2 at x times y.
void Graphics(TDecoder& d, std::string_view p) {
  if (p.size() == 8 && Byte(p, 2) == '0' && Byte(p, 3) == 69) {
    TLogo logo;
    logo.select = TLogo::TSelect::kKeyCodes;
    logo.keyCode1 = Byte(p, 4);
    logo.keyCode2 = Byte(p, 5);
    logo.scaleX = Byte(p, 6);
    logo.scaleY = Byte(p, 7);
    logo.alignment = d.Out().Alignment();
    d.Out().Block(logo);
    return;
  }
  d.Unknown(Gs("(L") + std::string(p));
}

// Diebold's GS 0 9 n: stored logo n.
void DieboldLogo(TDecoder& d, std::string_view p) {
  TLogo logo;
  logo.select = TLogo::TSelect::kNumber;
  logo.number = Byte(p, 0);
  logo.alignment = d.Out().Alignment();
  d.Out().Block(logo);
}

}  // namespace

TCommandTable EscPosEpsonCommands() {
  return {
      {"\n", NoParams(), LineFeed},
      {"\r", NoParams(), Ignore},
      {"\t", NoParams(), Tab},
      {"\x0c", NoParams(), FormFeed},
      {"\x0f", NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {"\x12", NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {Esc("@"), NoParams(), Reset},
      {Esc("!"), Fixed(1), PrintMode},
      {Esc("E"), Fixed(1), StyleFromParam(&TTextStyle::bold)},
      {Esc("G"), Fixed(1), StyleFromParam(&TTextStyle::bold)},
      {Esc("-"), Fixed(1), Underline},
      {Esc("M"), Fixed(1), StyleFromParam(&TTextStyle::fontB)},
      {Esc("4"), NoParams(), SetStyle(&TTextStyle::italic, true)},
      {Esc("5"), NoParams(), SetStyle(&TTextStyle::italic, false)},
      {Gs("B"), Fixed(1), StyleFromParam(&TTextStyle::inverted)},
      {Gs("!"), Fixed(1), CharacterSize},
      {Esc("a"), Fixed(1), Align(Esc("a"))},
      {Esc("2"), NoParams(), DefaultLineSpacing},
      {Esc("3"), Fixed(1), LineSpacing},
      {Esc("t"), Fixed(1),
       CodePage(Esc("t"), {{0, 437}, {2, 850}, {3, 860}, {16, 1252}, {18, 852}})},
      {Esc("d"), Fixed(1), FeedLines},
      {Esc("J"), Fixed(1), FeedDots},
      {Esc("p"), Fixed(3), DrawerPulse},
      {Esc("i"), NoParams(), FullCut},
      {Esc("m"), NoParams(), PartialCut},
      {Gs("V"), Custom(MeasureGsV), GsVCut},
      {Esc("(A"), Length16(), Beep},
      {Esc("("), Length16(1), UnknownCommand(Esc("("))},
      {Esc("L"), NoParams(), [](TDecoder& d, std::string_view) { d.Out().EnterPageMode(); }},
      {Esc("S"), NoParams(), [](TDecoder& d, std::string_view) { d.Out().LeavePageMode(); }},
      {Esc("\x0c"), NoParams(), [](TDecoder& d, std::string_view) { d.Out().PrintPage(); }},
      {Esc("T"), Fixed(1), PageDirection},
      {Esc("W"), Fixed(8), PageArea},
      {Gs("w"), Fixed(1), BarWidth},
      {Gs("h"), Fixed(1), BarHeight},
      {Gs("H"), Fixed(1), BarHri},
      {Gs("f"), Fixed(1), Ignore},
      {Gs("k"), Custom(MeasureGsK), GsKBarcode(true)},
      {Gs("(k"), Length16(), QrFunction(Gs("(k"), false)},
      {Gs("(L"), Length16(), Graphics},
      {Gs("("), Length16(1), UnknownCommand(Gs("("))},
      {Fs("p"), Fixed(2), StoredLogo},
      {Gs("a"), Fixed(1), Ignore},
      {Dle("\x04"), Fixed(1), Ask(TQueryKind::kRealTimeStatus, Dle("\x04"))},
      {Gs("I"), Fixed(1), Ask(TQueryKind::kPrinterId, Gs("I"))},
  };
}

TCommandTable DieboldCommands() {
  TCommandTable t = EscPosEpsonCommands();
  // Diebold's barcodes take no Code 128 code-set selector.
  for (TCommand& c : t) {
    if (c.head == Gs("k")) c.handle = GsKBarcode(false);
  }
  t.push_back({Esc("(k"), Length16(), QrFunction(Esc("(k"), true)});
  t.push_back({Gs("09"), Fixed(1), DieboldLogo});
  return t;
}

}  // namespace dovra::emulator

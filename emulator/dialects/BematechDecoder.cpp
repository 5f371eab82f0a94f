// Bematech printers in their own command mode, and Elgin, which adds its QR code and ENQ status.
#include "emulator/dialects/Dialects.h"
#include "emulator/dialects/Handlers.h"
#include "emulator/dialects/Heads.h"

namespace dovra::emulator {

using namespace handlers;
using namespace heads;

namespace {

void Drawer(TDecoder& d, int drawer, std::string_view p) {
  TDrawerPulse pulse;
  pulse.drawer = drawer;
  pulse.onTime = Byte(p, 0);
  d.Out().Block(pulse);
}

// GS k Q e s v c nL nH data: error level 0..3, module size in dots.
std::size_t MeasureQr(std::string_view p) {
  if (p.size() < 6) return TParamLayout::kNeedMore;
  const std::size_t total = 6 + Byte(p, 4) + 256u * Byte(p, 5);
  return p.size() >= total ? total : TParamLayout::kNeedMore;
}

void BematechQr(TDecoder& d, std::string_view p) {
  static constexpr char kLevels[] = "LMQH";
  const unsigned char e = Byte(p, 0);
  if (e > 3) {
    d.Unknown(Gs("kQ") + std::string(p));
    return;
  }
  TQrCode qr;
  qr.errorLevel = kLevels[e];
  qr.moduleSize = Byte(p, 1);
  qr.data = std::string(p.substr(6));
  qr.alignment = d.Out().Alignment();
  d.Out().Block(std::move(qr));
}

// GS F9 p1 p2: 20 n selects the command set; 27 n asks for identification.
void GsF9(TDecoder& d, std::string_view p) {
  if (Byte(p, 0) == 0x20) return;
  if (Byte(p, 0) == 0x27) {
    d.Ask(TQuery{TQueryKind::kBematechInfo, Byte(p, 1), Gs("\xf9") + std::string(p)});
    return;
  }
  d.Unknown(Gs("\xf9") + std::string(p));
}

void GsF8(TDecoder& d, std::string_view p) {
  if (Byte(p, 0) == '1') {
    d.Ask(TQuery{TQueryKind::kBematechStatus, '1', Gs("\xf8") + std::string(p)});
    return;
  }
  d.Unknown(Gs("\xf8") + std::string(p));
}

// Elgin: GS o 0 s 0 t sets module size s and model t of the next QR code.
void ElginQrSettings(TDecoder& d, std::string_view p) {
  d.Settings().qrModuleSize = Byte(p, 1);
  d.Settings().qrModel = Byte(p, 3);
}

// Elgin: GS k 0B e "A," data NUL prints a QR code, e the letter L, M, Q or H.
void ElginQr(TDecoder& d, std::string_view p) {
  const char e = static_cast<char>(Byte(p, 0));
  const bool levelOk = e == 'L' || e == 'M' || e == 'Q' || e == 'H';
  if (!levelOk || p.substr(1, 2) != "A,") {
    d.Unknown(Gs("k\x0b") + std::string(p));
    return;
  }
  TQrCode qr;
  qr.errorLevel = e;
  qr.moduleSize = d.Settings().qrModuleSize;
  qr.model = d.Settings().qrModel;
  qr.data = std::string(p.substr(3, p.size() - 4));
  qr.alignment = d.Out().Alignment();
  d.Out().Block(std::move(qr));
}

}  // namespace

TCommandTable BematechCommands() {
  return {
      {"\n", NoParams(), LineFeed},
      {"\r", NoParams(), Ignore},
      {"\t", NoParams(), Tab},
      {"\x0f", NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {"\x12", NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {Esc("@"), NoParams(), Reset},
      {Esc("!"), Fixed(1), PrintMode},
      {Esc("E"), NoParams(), SetStyle(&TTextStyle::bold, true)},
      {Esc("F"), NoParams(), SetStyle(&TTextStyle::bold, false)},
      {Esc("-"), Fixed(1), Underline},
      {Esc("4"), NoParams(), SetStyle(&TTextStyle::italic, true)},
      {Esc("5"), NoParams(), SetStyle(&TTextStyle::italic, false)},
      {Esc("\x0f"), NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {Esc("H"), NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {Esc("W"), Fixed(1), StyleFromParam(&TTextStyle::expanded)},
      {Esc("d"), Fixed(1), StyleFromParam(&TTextStyle::doubleHeight)},
      {Esc("a"), Fixed(1), Align(Esc("a"))},
      {Esc("2"), NoParams(), DefaultLineSpacing},
      {Esc("3"), Fixed(1), LineSpacing},
      {Esc("t"), Fixed(1), CodePage(Esc("t"), {{3, 437}, {2, 850}, {4, 860}, {8, 65001}})},
      {Esc("m"), NoParams(), PartialCut},
      {Esc("w"), NoParams(), FullCut},
      {Esc("v"), Fixed(1), [](TDecoder& d, std::string_view p) { Drawer(d, 1, p); }},
      {Esc("\x80"), Fixed(1), [](TDecoder& d, std::string_view p) { Drawer(d, 2, p); }},
      {Esc("(A"), Length16(), Beep},
      {Esc("("), Length16(1), UnknownCommand(Esc("("))},
      {Gs("w"), Fixed(1), BarWidth},
      {Gs("h"), Fixed(1), BarHeight},
      {Gs("H"), Fixed(1), BarHri},
      {Gs("f"), Fixed(1), Ignore},
      {Gs("k"), Custom(MeasureGsK), GsKBarcode(false)},
      {Gs("kQ"), Custom(MeasureQr), BematechQr},
      {Gs("("), Length16(1), UnknownCommand(Gs("("))},
      {Fs("p"), Fixed(2), StoredLogo},
      {Gs("\xf9"), Fixed(2), GsF9},
      {Gs("\xf8"), Fixed(1), GsF8},
  };
}

TCommandTable ElginCommands() {
  TCommandTable t = BematechCommands();
  t.push_back({Gs("o"), Fixed(4), ElginQrSettings});
  t.push_back({Gs("k\x0b"), Until('\0', 3), ElginQr});
  t.push_back({"\x05", NoParams(), Ask(TQueryKind::kEnq, "\x05")});
  return t;
}

}  // namespace dovra::emulator

// Daruma printers: their own barcode, QR code, logo and configuration commands, ENQ and GS ENQ
// status and the ESC identification queries.
#include "emulator/dialects/Dialects.h"
#include "emulator/dialects/Handlers.h"
#include "emulator/dialects/Heads.h"

namespace dovra::emulator {

using namespace handlers;
using namespace heads;

namespace {

// ESC b t w h r data NUL
void Barcode(TDecoder& d, std::string_view p) {
  static const char* const kNames[] = {nullptr, "EAN13", "EAN8",    "STD", "INTER", "CODE128",
                                       "CODE39", "CODE93", "UPCA", "CODABAR", "MSI", "CODE11"};
  const unsigned char t = Byte(p, 0);
  if (t == 0 || t > 11) {
    d.Unknown(Esc("b") + std::string(p));
    return;
  }
  TBarcode b;
  b.symbology = kNames[t];
  b.width = Byte(p, 1);
  b.height = Byte(p, 2);
  b.hri = On(Byte(p, 3));
  b.data = std::string(p.substr(4, p.size() - 5));
  b.alignment = d.Out().Alignment();
  d.Out().Block(std::move(b));
}

// ESC 81 nL nH s e data: n counts s, e and the data; e "M", "Q", "H" or 0 (the lowest level).
void Qr(TDecoder& d, std::string_view p) {
  const unsigned char e = Byte(p, 3);
  if (p.size() < 4 || (e != 0 && e != 'M' && e != 'Q' && e != 'H')) {
    d.Unknown(Esc("\x81") + std::string(p));
    return;
  }
  TQrCode qr;
  qr.moduleSize = Byte(p, 2);
  qr.errorLevel = e == 0 ? 'L' : static_cast<char>(e);
  qr.data = std::string(p.substr(4));
  qr.alignment = d.Out().Alignment();
  d.Out().Block(std::move(qr));
}

void Logo(TDecoder& d, std::string_view) {
  TLogo logo;
  logo.alignment = d.Out().Alignment();
  d.Out().Block(logo);
}

// ESC C6 and 40 parameter bytes; "X" leaves a setting as it is. The 31st byte selects the
// condensed font: "1" fits 57 characters where the normal font fits 48, "0" fits 64.
void Configuration(TDecoder& d, std::string_view p) {
  const unsigned char condensed = Byte(p, 30);
  if (condensed == '1') d.Out().SetCondensedWidth(8421);
  if (condensed == '0') d.Out().SetCondensedWidth(TReceiptBuilder::kCondensedWidth);
  d.Out().Block(TConfiguration{std::string(p), 'X'});
}

}  // namespace

TCommandTable DarumaCommands() {
  return {
      {"\n", NoParams(), LineFeed},
      {"\r", NoParams(), Ignore},
      {"\t", NoParams(), Tab},
      {"\x07", NoParams(), Beep},
      {"\x0f", NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {"\x12", NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {"\x14", NoParams(), SetStyle(&TTextStyle::condensed, false)},
      {Esc("@"), NoParams(), Reset},
      {Esc("!"), Fixed(1), PrintMode},
      {Esc("E"), NoParams(), SetStyle(&TTextStyle::bold, true)},
      {Esc("F"), NoParams(), SetStyle(&TTextStyle::bold, false)},
      {Esc("-"), Fixed(1), Underline},
      {Esc("4"), Fixed(1), StyleFromParam(&TTextStyle::italic)},
      {Esc("\x0f"), NoParams(), SetStyle(&TTextStyle::condensed, true)},
      {Esc("W"), Fixed(1), StyleFromParam(&TTextStyle::expanded)},
      {Esc("w"), Fixed(1), StyleFromParam(&TTextStyle::doubleHeight)},
      {Esc("j"), Fixed(1), Align(Esc("j"))},
      {Esc("2"), NoParams(), DefaultLineSpacing},
      {Esc("3"), Fixed(1), LineSpacing},
      {Esc("m"), NoParams(), FullCut},
      {Esc("p"), NoParams(), [](TDecoder& d, std::string_view) { d.Out().Block(TDrawerPulse{}); }},
      {Esc("b"), Until('\0', 4), Barcode},
      {Esc("\x81"), Length16(), Qr},
      {"\x16\x08\x16\x09", NoParams(), Logo},
      {Esc("\xc6"), Fixed(40), Configuration},
      {"\x05", NoParams(), Ask(TQueryKind::kEnq, "\x05")},
      {Gs("\x05"), NoParams(), Ask(TQueryKind::kGsEnq, Gs("\x05"))},
      {Esc("\xc7"), NoParams(), Ask(TQueryKind::kDarumaFirmware, Esc("\xc7"))},
      {Esc("\xc3"), NoParams(), Ask(TQueryKind::kDarumaModel, Esc("\xc3"))},
      {Esc("\xe5"), NoParams(), Ask(TQueryKind::kDarumaSettings, Esc("\xe5"))},
  };
}

}  // namespace dovra::emulator

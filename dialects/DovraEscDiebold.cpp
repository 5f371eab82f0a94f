#include "dialects/DovraEscDiebold.h"

#include <algorithm>
#include <cstddef>

#include "engine/DovraPosPrinter.h"
#include "util/Bytes.h"

namespace dovra {

namespace {


constexpr std::size_t kMaxQrData = 0xFFFF - 3;

// The two key codes read as a decimal number ("0" "3" is logo 3): leading blanks and a sign
// are allowed, nothing after the digits; anything else is logo 0. Logos go from 0 to 9.
int LogoNumber(char first, char second) {
  const std::string text{first, second};
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  int value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
  }
  return std::clamp(negative ? -value : value, 0, 9);
}

}  // namespace

TDovraEscDiebold::TDovraEscDiebold(TDovraPosPrinter& printer) : TDovraEscPosEpson(printer) {
  modelName_ = "EscDiebold";
}

std::string TDovraEscDiebold::BarcodeCommand(const std::string& tag, const std::string& code) {
  TDovraECFConfigBarras& barras = Printer().ConfigBarras();
  return PlainCode128BarcodeCommand(tag, code, barras.MostrarCodigo(), barras.LarguraLinha(),
                                    barras.Altura());
}

std::string TDovraEscDiebold::QRCodeCommand(const std::string& data) {
  const TDovraConfigQRCode& qr = Printer().ConfigQRCode();
  const std::string stored = data.substr(0, kMaxQrData);
  const char align = Printer().Alignment() == paLeft ? '0' : '1';
  return Hex("1B 28 6B 03 00 31 42") + align +
         Hex("1B 28 6B 03 00 31 43") + Byte(qr.LarguraModulo()) +
         Hex("1B 28 6B 03 00 31 45") + Byte('0' + qr.ErrorLevel()) +
         Hex("1B 28 6B") + IntToLittleEndianBytes(static_cast<int>(stored.size() + 3), 2) +
         Hex("31 50 30") + stored + Hex("1B 28 6B 03 00 31 51 30");
}

std::string TDovraEscDiebold::LogoCommand() {
  const TDovraConfigLogo& logo = Printer().ConfigLogo();
  return Hex("1D 30 39") + Byte(LogoNumber(static_cast<char>(logo.KeyCode1()),
                                           static_cast<char>(logo.KeyCode2())));
}

std::string TDovraEscDiebold::ReadInfo() { return "Fabricante=Diebold\r\n"; }

}  // namespace dovra

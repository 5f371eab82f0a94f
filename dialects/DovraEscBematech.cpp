#include "dialects/DovraEscBematech.h"

#include <algorithm>
#include <cstdint>

#include "dialects/CommandTable.h"
#include "dialects/DovraEscPosEpson.h"
#include "engine/DovraPosPrinter.h"
#include "util/Bytes.h"

namespace dovra {

namespace {

constexpr TCommandTableRow kBematechCommands[] = {
    {&TDovraPosComandos::Beep, "1B 28 41 04 00 01 02 01 00"},
    {&TDovraPosComandos::AlignCenter, "1B 61 01"},
    {&TDovraPosComandos::AlignRight, "1B 61 02"},
    {&TDovraPosComandos::AlignLeft, "1B 61 00"},
    {&TDovraPosComandos::PartialCut, "1B 6D"},
    {&TDovraPosComandos::DoubleHeightOff, "1B 64 00"},
    {&TDovraPosComandos::InvertedOff, ""},
    {&TDovraPosComandos::PageModeOff, ""},
    {&TDovraPosComandos::DefaultLineSpacing, "1B 32"},
    {&TDovraPosComandos::PrintPage, ""},
    {&TDovraPosComandos::DoubleHeightOn, "1B 64 01"},
    {&TDovraPosComandos::InvertedOn, ""},
    {&TDovraPosComandos::NormalFont, "1B 21 00 1B 48 1B 35"},
    {&TDovraPosComandos::CondensedOn, "1B 0F"},
    {&TDovraPosComandos::FullCut, "1B 77"},
    {&TDovraPosComandos::LineSpacing, "1B 33"},
    {&TDovraPosComandos::ExpandedOn, "1B 57 01"},
    {&TDovraPosComandos::CondensedOff, "1B 48"},
    {&TDovraPosComandos::ExpandedOff, "1B 57 00"},
    {&TDovraPosComandos::ItalicOff, "1B 35"},
    {&TDovraPosComandos::BoldOff, "1B 46"},
    {&TDovraPosComandos::UnderlineOff, "1B 2D 00"},
    {&TDovraPosComandos::FontA, "1B 48"},
    {&TDovraPosComandos::FontB, "1B 0F"},
    {&TDovraPosComandos::ItalicOn, "1B 34"},
    {&TDovraPosComandos::PageModeOn, ""},
    {&TDovraPosComandos::BoldOn, "1B 45"},
    {&TDovraPosComandos::UnderlineOn, "1B 2D 01"},
    {&TDovraPosComandos::LineBreak, "0A"},
    {&TDovraPosComandos::Reset, "1B 40"},
};

constexpr int kTimeOutMs = 500;
// The QR code's length field has 16 bits; longer data is cut so the length stays true.
constexpr std::size_t kMaxQRData = 0xFFFF;

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// The stored-logo number that two key codes spell as a decimal number ("1", "2" is 12;
// a blank or "+" may stand in front of a single digit), or 1 when they spell none.
int KeyCodePairNumber(std::uint8_t kc1, std::uint8_t kc2) {
  if (!IsDigit(kc2)) return 1;
  if (IsDigit(kc1)) return (kc1 - '0') * 10 + (kc2 - '0');
  if (kc1 == ' ' || kc1 == '+') return kc2 - '0';
  return 1;
}

}  // namespace

TDovraEscBematech::TDovraEscBematech(TDovraPosPrinter& printer) : TDovraPosPrinterClass(printer) {
  modelName_ = "EscBematech";
  ApplyCommandTable(commands_, kBematechCommands);
}

std::string TDovraEscBematech::BarcodeCommand(const std::string& tag, const std::string& code) {
  TDovraECFConfigBarras& barras = Printer().ConfigBarras();
  return PlainCode128BarcodeCommand(tag, code, barras.MostrarCodigo(), barras.LarguraLinha(),
                                    barras.Altura());
}

std::string TDovraEscBematech::QRCodeCommand(const std::string& data) {
  const TDovraConfigQRCode& qr = Printer().ConfigQRCode();
  const std::string payload = data.substr(0, kMaxQRData);
  std::string cmd = Hex("1D 6B 51");
  cmd += static_cast<char>(qr.ErrorLevel());
  cmd += static_cast<char>(qr.LarguraModulo() * 2);
  cmd += Hex("00 01");
  cmd += IntToLittleEndianBytes(static_cast<std::int64_t>(payload.size()), 2);
  cmd += payload;
  return cmd;
}

std::string TDovraEscBematech::CodePageCommand(TDovraPosPaginaCodigo page) {
  switch (page) {
    case pc437: return Hex("1B 74 03");
    case pc850: return Hex("1B 74 02");
    case pc860: return Hex("1B 74 04");
    case pcUTF8: return Hex("1B 74 08");
    default: return {};
  }
}

std::string TDovraEscBematech::LogoCommand() {
  const TDovraConfigLogo& logo = Printer().ConfigLogo();
  int n;
  if (logo.KeyCode2() == 0) {
    n = IsDigit(logo.KeyCode1()) ? logo.KeyCode1() - '0' : logo.KeyCode1();
  } else {
    n = KeyCodePairNumber(logo.KeyCode1(), logo.KeyCode2());
  }
  int m = 0;
  if (logo.FatorX() > 1) m += 1;
  if (logo.FatorY() > 1) m += 2;
  std::string cmd = Hex("1C 70");
  cmd += static_cast<char>(n);
  cmd += static_cast<char>(m);
  return cmd;
}

std::string TDovraEscBematech::DrawerCommand(int drawer) {
  const TDovraConfigGaveta& gaveta = Printer().ConfigGaveta();
  const std::uint8_t pulse = std::max(gaveta.TempoON(), gaveta.TempoOFF());
  std::string cmd = drawer > 1 ? Hex("1B 80") : Hex("1B 76");
  cmd += static_cast<char>(pulse);
  return cmd;
}

std::string TDovraEscBematech::InitCommand() {
  return Hex("1D F9 20 00") + TDovraPosPrinterClass::InitCommand();
}

void TDovraEscBematech::ReadStatus(TDovraPosStatusSet& status) {
  std::string reply;
  try {
    reply = Printer().SendAndReceive(Hex("1D F8 31"), 5, kTimeOutMs, false);
  } catch (...) {  // a hook port's owner may throw anything; status reading never raises
    status.Include(stErroLeitura);
    return;
  }
  if (reply.size() < 2) {
    status.Include(stErroLeitura);
    return;
  }
  const auto b1 = static_cast<std::uint8_t>(reply[0]);
  const auto b2 = static_cast<std::uint8_t>(reply[1]);
  if (BitIsSet(b1, 2)) status.Include(stImprimindo);
  if (BitIsSet(b1, 3)) status.Include(stOffLine);
  if (BitIsSet(b1, 4)) status.Include(stImprimindo);
  if (BitIsSet(b2, 1)) status.Include(stPoucoPapel);
  if (BitIsSet(b2, 2)) status.Include(stSemPapel);
  if (!BitIsSet(b2, 4)) status.Include(stGavetaAberta);
  if (BitIsSet(b2, 5)) status.Include(stSemPapel);
  if (BitIsSet(b2, 6)) status.Include(stErro);
  if (!BitIsSet(b2, 7)) status.Include(stTampaAberta);
}

std::string TDovraEscBematech::ReadInfo() {
  TDovraPosPrinter& printer = Printer();
  std::string info;
  info += "Modelo=" + printer.SendAndReceive(Hex("1D F9 27 00"), 10, kTimeOutMs, false) + "\r\n";
  info += "Serial=" + printer.SendAndReceive(Hex("1D F9 27 01"), 0, kTimeOutMs, false) + "\r\n";
  info += "Firmware=" + printer.SendAndReceive(Hex("1D F9 27 03"), 3, kTimeOutMs, false) + "\r\n";
  const std::string state = printer.SendAndReceive(Hex("1D F8 31"), 5, kTimeOutMs, false);
  if (state.size() >= 3) {
    const bool noCutter = BitIsSet(static_cast<std::uint8_t>(state[2]), 2);
    info += std::string("Guilhotina=") + (noCutter ? "0" : "1") + "\r\n";
  }
  return info;
}

}  // namespace dovra

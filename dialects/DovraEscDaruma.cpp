#include "dialects/DovraEscDaruma.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "dialects/CommandTable.h"
#include "engine/DovraPosPrinter.h"
#include "util/Bytes.h"
#include "util/Numbers.h"

namespace dovra {

namespace {

constexpr TCommandTableRow kDarumaCommands[] = {
    {&TDovraPosComandos::Beep, "07"},
    {&TDovraPosComandos::AlignCenter, "1B 6A 01"},
    {&TDovraPosComandos::AlignRight, "1B 6A 02"},
    {&TDovraPosComandos::AlignLeft, "1B 6A 00"},
    {&TDovraPosComandos::PartialCut, "1B 6D"},
    {&TDovraPosComandos::DoubleHeightOff, "1B 77 00"},
    {&TDovraPosComandos::InvertedOff, ""},
    {&TDovraPosComandos::PageModeOff, ""},
    {&TDovraPosComandos::DefaultLineSpacing, "1B 32"},
    {&TDovraPosComandos::PrintPage, ""},
    {&TDovraPosComandos::DoubleHeightOn, "1B 77 01"},
    {&TDovraPosComandos::InvertedOn, ""},
    {&TDovraPosComandos::NormalFont, "1B 21 00 12"},
    {&TDovraPosComandos::CondensedOn, "1B 0F"},
    {&TDovraPosComandos::FullCut, "1B 6D"},
    {&TDovraPosComandos::LineSpacing, "1B 33"},
    {&TDovraPosComandos::ExpandedOn, "1B 57 01"},
    {&TDovraPosComandos::CondensedOff, "12"},
    {&TDovraPosComandos::ExpandedOff, "1B 57 00"},
    {&TDovraPosComandos::ItalicOff, "1B 34 00"},
    {&TDovraPosComandos::BoldOff, "1B 46"},
    {&TDovraPosComandos::UnderlineOff, "1B 2D 00"},
    {&TDovraPosComandos::FontA, "14"},
    {&TDovraPosComandos::FontB, "1B 0F"},
    {&TDovraPosComandos::ItalicOn, "1B 34 01"},
    {&TDovraPosComandos::PageModeOn, ""},
    {&TDovraPosComandos::BoldOn, "1B 45"},
    {&TDovraPosComandos::UnderlineOn, "1B 2D 01"},
    {&TDovraPosComandos::LineBreak, "0A"},
    {&TDovraPosComandos::Reset, "1B 40"},
};

constexpr int kTimeOutMs = 500;
constexpr char kCR = '\x0D';
constexpr double kCondensadaAte20000 = 0.8421;
constexpr double kCondensadaAcima20000 = 0.75;
// The QR code's length field (data + 2) has 16 bits; longer data is cut so it stays true.
constexpr std::size_t kMaxQRData = 0xFFFF - 2;

// The value of the first "name=value" line called `name` in an identification text.
std::optional<std::string> InfoValue(const std::string& info, std::string_view name) {
  std::size_t start = 0;
  while (start < info.size()) {
    std::size_t end = info.find("\r\n", start);
    if (end == std::string::npos) end = info.size();
    const std::string_view line(info.data() + start, end - start);
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && line.substr(0, eq) == name) {
      return std::string(line.substr(eq + 1));
    }
    start = end + 2;
  }
  return std::nullopt;
}

// The byte at 1-based `position` of `reply`, or "" beyond its end.
std::string ByteAt(const std::string& reply, std::size_t position) {
  return position <= reply.size() ? reply.substr(position - 1, 1) : std::string();
}

}  // namespace

TDovraEscDaruma::TDovraEscDaruma(TDovraPosPrinter& printer) : TDovraPosPrinterClass(printer) {
  modelName_ = "EscDaruma";
  ApplyCommandTable(commands_, kDarumaCommands);
  columnRatios_.Condensada = kCondensadaAte20000;
}

std::string TDovraEscDaruma::ConfigurationCommand(char c) {
  std::string cmd = Hex("1B C6");
  cmd += std::string(30, 'X');
  cmd += c;
  cmd += std::string(9, 'X');
  return cmd;
}

void TDovraEscDaruma::Configure() {
  configured_ = false;
  TDovraDevice& device = Printer().Device();
  const TDovraDeviceType kind = device.TipoPorta();
  if (kind != dtSerial && kind != dtTCP && kind != dtHook) return;

  const std::string info = ReadInfo();
  int colunas = Printer().ColunasFonteNormal();
  if (auto v = InfoValue(info, "Colunas")) colunas = ReadInteger(*v).value_or(colunas);
  int modelo = 0;
  if (auto v = InfoValue(info, "Modelo")) modelo = ReadInteger(*v).value_or(0);

  Printer().SetColunasFonteNormal(colunas);
  char c;
  if (modelo <= 20000) {
    columnRatios_.Condensada = kCondensadaAte20000;
    c = '1';
  } else {
    columnRatios_.Condensada = kCondensadaAcima20000;
    c = '0';
  }
  device.EnviaString(ConfigurationCommand(c));
  configured_ = true;
}

std::string TDovraEscDaruma::InitCommand() {
  std::string cmd = configured_ ? std::string() : ConfigurationCommand('1');
  return cmd + TDovraPosPrinterClass::InitCommand();
}

std::string TDovraEscDaruma::BarcodeCommand(const std::string& tag, const std::string& code) {
  int t;
  if (tag == "<ean13>") t = 1;
  else if (tag == "<ean8>") t = 2;
  else if (tag == "<std>") t = 3;
  else if (tag == "<inter>") t = 4;
  else if (tag == "<code128>" || tag == "<code128a>" || tag == "<code128b>" ||
           tag == "<code128c>") t = 5;
  else if (tag == "<code39>") t = 6;
  else if (tag == "<code93>") t = 7;
  else if (tag == "<upca>") t = 8;
  else if (tag == "<codabar>") t = 9;
  else if (tag == "<msi>") t = 10;
  else if (tag == "<code11>") t = 11;
  else return code;

  const TDovraECFConfigBarras& barras = Printer().ConfigBarras();
  const int w = barras.LarguraLinha() == 0 ? 2 : std::clamp(barras.LarguraLinha(), 2, 5);
  const int h = barras.Altura() == 0 ? 50 : std::clamp(barras.Altura(), 50, 200);
  std::string cmd = Hex("1B 62");
  cmd += static_cast<char>(t);
  cmd += static_cast<char>(w);
  cmd += static_cast<char>(h);
  cmd += static_cast<char>(barras.MostrarCodigo() ? 1 : 0);
  cmd += code;
  cmd += '\0';
  return cmd;
}

std::string TDovraEscDaruma::QRCodeCommand(const std::string& data) {
  TDovraConfigQRCode& qr = Printer().ConfigQRCode();
  const std::string payload = data.substr(0, kMaxQRData);
  const int s = std::clamp(qr.LarguraModulo(), 3, 7);
  char e;
  switch (qr.ErrorLevel()) {
    case 1: e = 'M'; break;
    case 2: e = 'Q'; break;
    case 3: e = 'H'; break;
    default: e = '\0'; break;
  }
  if (payload.size() > 256) {
    // Large symbols need a bigger module and error correction; the module size takes
    // effect from the next QR code on.
    if (qr.LarguraModulo() < 4) qr.SetLarguraModulo(4);
    if (e == '\0') e = 'M';
  }
  std::string cmd = Hex("1B 81");
  cmd += IntToLittleEndianBytes(static_cast<std::int64_t>(payload.size() + 2), 2);
  cmd += static_cast<char>(s);
  cmd += e;
  cmd += payload;
  return cmd;
}

std::string TDovraEscDaruma::LogoCommand() { return Hex("16 08 16 09"); }

std::string TDovraEscDaruma::DrawerCommand(int /*drawer*/) { return Hex("1B 70"); }

void TDovraEscDaruma::ReadStatus(TDovraPosStatusSet& status) {
  auto query = [this](const char* cmd, std::uint8_t& byte) {
    try {
      const std::string reply = Printer().SendAndReceive(Hex(cmd), 1, kTimeOutMs, false);
      if (reply.empty()) return false;
      byte = static_cast<std::uint8_t>(reply[0]);
      return true;
    } catch (...) {  // a hook port's owner may throw anything; status reading never raises
      return false;
    }
  };

  std::uint8_t b = 0;
  if (!query("05", b)) {
    status.Include(stErroLeitura);
    return;
  }
  if (BitIsSet(b, 0)) status.Include(stImprimindo);
  if (BitIsSet(b, 3)) status.Include(stErro);
  if (!BitIsSet(b, 4)) status.Include(stOffLine);
  if (BitIsSet(b, 5)) status.Include(stSemPapel);
  if (BitIsSet(b, 7)) status.Include(stTampaAberta);

  if (!query("1D 05", b)) {
    status.Include(stErroLeitura);
    return;
  }
  if (BitIsSet(b, 0)) status.Include(stPoucoPapel);
  if (BitIsSet(b, 1)) status.Include(stSemPapel);
  if (BitIsSet(b, 3)) status.Include(stOffLine);
  if (!BitIsSet(b, 4)) status.Include(stTampaAberta);
  if (BitIsSet(b, 6)) status.Include(stErro);
  if (BitIsSet(b, 7)) status.Include(stGavetaAberta);
}

std::string TDovraEscDaruma::ReadInfo() {
  TDovraPosPrinter& printer = Printer();
  auto query = [&printer](const char* cmd) {
    return printer.SendAndReceive(Hex(cmd), kCR, kTimeOutMs, true);
  };
  // The replies to ESC C7 and ESC C3 start with a header byte.
  auto withoutHeader = [](const std::string& reply) {
    return reply.empty() ? reply : reply.substr(1);
  };

  std::string info = "Fabricante=Daruma\r\n";
  info += "Firmware=" + withoutHeader(query("1B C7")) + "\r\n";
  info += "Modelo=" + withoutHeader(query("1B C3")) + "\r\n";
  const std::string r = query("1B E5");
  const std::string width = ByteAt(r, 12);
  const char* colunas = width == "2" ? "34" : width == "1" ? "52" : "48";
  info += "Guilhotina=" + ByteAt(r, 9) + "\r\n";
  info += std::string("Colunas=") + colunas + "\r\n";
  info += "CodPage=" + ByteAt(r, 40) + "\r\n";
  return info;
}

}  // namespace dovra

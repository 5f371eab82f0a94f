#include "dialects/DovraEscPosEpson.h"

#include <algorithm>
#include <cstdint>

#include "dialects/CommandTable.h"
#include "engine/DovraPosPrinter.h"
#include "util/Bytes.h"
#include "util/TextFit.h"

namespace dovra {

namespace {

constexpr TCommandTableRow kEscPosCommands[] = {
    {&TDovraPosComandos::Beep, "1B 28 41 05 00 61 64 01 32 32"},
    {&TDovraPosComandos::AlignCenter, "1B 61 01"},
    {&TDovraPosComandos::AlignRight, "1B 61 02"},
    {&TDovraPosComandos::AlignLeft, "1B 61 00"},
    {&TDovraPosComandos::PartialCut, "1D 56 01"},
    {&TDovraPosComandos::DoubleHeightOff, "1D 21 00"},
    {&TDovraPosComandos::InvertedOff, "1D 42 00"},
    {&TDovraPosComandos::PageModeOff, "1B 53"},
    {&TDovraPosComandos::DefaultLineSpacing, "1B 32"},
    {&TDovraPosComandos::PrintPage, "1B 0C"},
    {&TDovraPosComandos::DoubleHeightOn, "1D 21 01"},
    {&TDovraPosComandos::InvertedOn, "1D 42 01"},
    {&TDovraPosComandos::NormalFont, "1B 21 00"},
    {&TDovraPosComandos::CondensedOn, "0F"},
    {&TDovraPosComandos::FullCut, "1D 56 00"},
    {&TDovraPosComandos::LineSpacing, "1B 33"},
    {&TDovraPosComandos::ExpandedOn, "1D 21 10"},
    {&TDovraPosComandos::CondensedOff, "12"},
    {&TDovraPosComandos::ExpandedOff, "1D 21 00"},
    {&TDovraPosComandos::ItalicOff, "1B 35"},
    {&TDovraPosComandos::BoldOff, "1B 45 00"},
    {&TDovraPosComandos::UnderlineOff, "1B 2D 00"},
    {&TDovraPosComandos::FontA, "1B 4D 00"},
    {&TDovraPosComandos::FontB, "1B 4D 01"},
    {&TDovraPosComandos::ItalicOn, "1B 34"},
    {&TDovraPosComandos::PageModeOn, "1B 4C"},
    {&TDovraPosComandos::BoldOn, "1B 45 01"},
    {&TDovraPosComandos::UnderlineOn, "1B 2D 01"},
    {&TDovraPosComandos::LineBreak, "0A"},
    {&TDovraPosComandos::Reset, "1B 40"},
};

// GS k function B: the symbology byte m, and for Code 128 the code-set selector.
struct TBarcodeSymbology {
  const char* tag;
  char m;
  const char* selector;  // empty: no selector
};

constexpr TBarcodeSymbology kSymbologies[] = {
    {"<upca>", 0x41, ""},      {"<upce>", 0x42, ""},       {"<ean13>", 0x43, ""},
    {"<ean8>", 0x44, ""},      {"<code39>", 0x45, ""},     {"<inter>", 0x46, ""},
    {"<codabar>", 0x47, ""},   {"<code93>", 0x48, ""},     {"<code128>", 0x49, "{B"},
    {"<code128b>", 0x49, "{B"}, {"<code128a>", 0x49, "{A"}, {"<code128c>", 0x49, "{C"},
    {"<msi>", 0x52, ""},
};

constexpr char kCode128 = 0x49;
constexpr std::size_t kMaxBarcodeData = 255;  // GS k n is one byte

const TBarcodeSymbology* FindSymbology(const std::string& tag) {
  for (const TBarcodeSymbology& s : kSymbologies)
    if (tag == s.tag) return &s;
  return nullptr;
}

// Code 128 set C: the decimal digits, with a "0" in front when their count is odd, each pair
// as one byte of value 00..99.
std::string PackDigitPairs(const std::string& code) {
  std::string digits = KeepDigits(code);
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
  std::string packed;
  packed.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2)
    packed += static_cast<char>((digits[i] - '0') * 10 + (digits[i + 1] - '0'));
  return packed;
}

// GS w, GS h, GS H, then GS k m n and the data (cut to what n can count).
std::string BarcodeFrame(char m, std::string data, bool showText, int barWidth, int barHeight) {
  if (data.size() > kMaxBarcodeData) data.resize(kMaxBarcodeData);
  const int w = barWidth == 0 ? 2 : std::clamp(barWidth, 1, 4);
  const int h = barHeight == 0 ? 50 : std::clamp(barHeight, 1, 255);
  const int p = showText ? 2 : 0;
  return Hex("1D 77") + Byte(w) + Hex("1D 68") + Byte(h) + Hex("1D 48") + Byte(p) + Hex("1D 6B") +
         m + Byte(static_cast<int>(data.size())) + data;
}

std::string Le16(int value) { return IntToLittleEndianBytes(std::clamp(value, 0, 0xFFFF), 2); }

// The five GS ( k QR commands store their data with a 16-bit length that counts 3 more bytes.
constexpr std::size_t kMaxQrData = 0xFFFF - 3;

// One status query and the bits of its one-byte reply: a rule matches when
// (reply & mask) == value.
struct TStatusRule {
  std::uint8_t mask;
  std::uint8_t value;
  TDovraPosTipoStatus status;
};
struct TStatusQuery {
  const char* command;
  TStatusRule rules[4];
  int ruleCount;
};

constexpr TStatusQuery kStatusQueries[] = {
    // DLE EOT 1: printer status.
    {"10 04 01",
     {{0x04, 0x00, stGavetaAberta}, {0x08, 0x08, stOffLine}, {0x20, 0x20, stErro},
      {0x40, 0x40, stImprimindo}},
     4},
    // DLE EOT 2: off-line cause.
    {"10 04 02",
     {{0x04, 0x04, stTampaAberta}, {0x08, 0x08, stImprimindo}, {0x20, 0x20, stSemPapel},
      {0x40, 0x40, stErro}},
     4},
    // DLE EOT 4: paper sensors.
    {"10 04 04", {{0x0C, 0x0C, stPoucoPapel}, {0x60, 0x60, stSemPapel}}, 2},
};

struct TInfoQuery {
  const char* command;
  const char* name;
};

// GS I: each reply starts with a header byte and ends with NUL.
constexpr TInfoQuery kInfoQueries[] = {
    {"1D 49 42", "Fabricante"},
    {"1D 49 41", "Firmware"},
    {"1D 49 43", "Modelo"},
    {"1D 49 44", "Serial"},
};

constexpr int kReplyTimeOutMs = 500;

}  // namespace

TDovraEscPosEpson::TDovraEscPosEpson(TDovraPosPrinter& printer) : TDovraPosPrinterClass(printer) {
  modelName_ = "EscPosEpson";
  ApplyCommandTable(commands_, kEscPosCommands);
}

std::string EscPosBarcodeCommand(const std::string& tag, const std::string& code, bool showText,
                                 int barWidth, int barHeight) {
  const TBarcodeSymbology* symbology = FindSymbology(tag);
  if (symbology == nullptr) return code;
  std::string data = tag == "<code128c>" ? PackDigitPairs(code) : code;
  if (symbology->m == kCode128 && (data.empty() || data[0] != '{'))
    data.insert(0, symbology->selector);
  return BarcodeFrame(symbology->m, std::move(data), showText, barWidth, barHeight);
}

std::string PlainCode128BarcodeCommand(const std::string& tag, const std::string& code,
                                       bool showText, int barWidth, int barHeight) {
  const bool code128 =
      tag == "<code128>" || tag == "<code128a>" || tag == "<code128b>" || tag == "<code128c>";
  if (!code128) return EscPosBarcodeCommand(tag, code, showText, barWidth, barHeight);
  std::string data = !code.empty() && code[0] == '{' ? code.substr(std::min<std::size_t>(2, code.size()))
                                                      : code;
  return BarcodeFrame(kCode128, std::move(data), showText, barWidth, barHeight);
}

std::string TDovraEscPosEpson::BarcodeCommand(const std::string& tag, const std::string& code) {
  TDovraECFConfigBarras& barras = Printer().ConfigBarras();
  return EscPosBarcodeCommand(tag, code, barras.MostrarCodigo(), barras.LarguraLinha(),
                              barras.Altura());
}

std::string TDovraEscPosEpson::QRCodeCommand(const std::string& data) {
  const TDovraConfigQRCode& qr = Printer().ConfigQRCode();
  const std::string stored = data.substr(0, kMaxQrData);
  return Hex("1D 28 6B 04 00 31 41") + Byte('0' + qr.Tipo()) + Hex("00") +
         Hex("1D 28 6B 03 00 31 43") + Byte(qr.LarguraModulo()) +
         Hex("1D 28 6B 03 00 31 45") + Byte('0' + qr.ErrorLevel()) +
         Hex("1D 28 6B") + Le16(static_cast<int>(stored.size() + 3)) + Hex("31 50 30") + stored +
         Hex("1D 28 6B 03 00 31 51 30");
}

std::string TDovraEscPosEpson::CodePageCommand(TDovraPosPaginaCodigo page) {
  switch (page) {
    case pc437: return Hex("1B 74 00");
    case pc850: return Hex("1B 74 02");
    case pc852: return Hex("1B 74 12");
    case pc860: return Hex("1B 74 03");
    case pc1252: return Hex("1B 74 10");
    default: return {};  // pcNone, pcUTF8: the printer has no table for them
  }
}

std::string TDovraEscPosEpson::LogoCommand() {
  const TDovraConfigLogo& logo = Printer().ConfigLogo();
  if (logo.KeyCode2() == 0) {
    int n = logo.KeyCode1();
    if (n >= '0' && n <= '9') n -= '0';
    const int m = (logo.FatorX() > 1 ? 1 : 0) + (logo.FatorY() > 1 ? 2 : 0);
    return Hex("1C 70") + Byte(n) + Byte(m);
  }
  return Hex("1D 28 4C 06 00 30 45") + Byte(logo.KeyCode1()) + Byte(logo.KeyCode2()) +
         Byte(logo.FatorX()) + Byte(logo.FatorY());
}

std::string TDovraEscPosEpson::DrawerCommand(int drawer) {
  const TDovraConfigGaveta& gaveta = Printer().ConfigGaveta();
  return Hex("1B 70") + Byte(drawer > 1 ? 1 : 0) + Byte(gaveta.TempoON()) + Byte(gaveta.TempoOFF());
}

std::string TDovraEscPosEpson::FontCommand(TDovraPosFontKind kind, bool turnOn) {
  switch (kind) {
    case fkCondensed:
    case fkExpanded:
    case fkBold:
    case fkUnderline:
    case fkDoubleHeight:
      break;
    default:
      return TDovraPosPrinterClass::FontCommand(kind, turnOn);
  }
  TDovraPosFontState s = Printer().FontState();
  if (turnOn)
    s.Include(kind);
  else
    s.Exclude(kind);
  int n = 0;
  if (s.Contains(fkCondensed)) n += 1;
  if (s.Contains(fkBold)) n += 8;
  if (s.Contains(fkDoubleHeight)) n += 16;
  if (s.Contains(fkExpanded)) n += 32;
  if (s.Contains(fkUnderline)) n += 128;
  static const std::string kSelectPrintMode = Hex("1B 21");
  std::string result = kSelectPrintMode + Byte(n);
  // Inversion and italic are not part of ESC !; they follow it while they are on.
  if (s.Contains(fkInverted)) result += commands_.InvertedOn;
  if (s.Contains(fkItalic)) result += commands_.ItalicOn;
  return result;
}

std::string TDovraEscPosEpson::PageModeSetupCommand() {
  const TDovraConfigModoPagina& mp = Printer().ConfigModoPagina();
  // ESC T numbers the directions by their starting corner, not in the order of the setting.
  int d = 0;
  switch (mp.Direcao()) {
    case dirEsquerdaParaDireita: d = 0; break;
    case dirTopoParaBaixo: d = 3; break;
    case dirDireitaParaEsquerda: d = 2; break;
    case dirBaixoParaTopo: d = 1; break;
    default: d = 0; break;  // a stored byte beyond the four directions
  }
  return Hex("1B 54") + Byte(d) + LineSpacingCommand(mp.EspacoEntreLinhas()) + Hex("1B 57") +
         Le16(mp.Esquerda()) + Le16(mp.Topo()) + Le16(mp.Largura()) + Le16(mp.Altura());
}

void TDovraEscPosEpson::ReadStatus(TDovraPosStatusSet& status) {
  try {
    Printer().SetDeviceActive(true);
    for (const TStatusQuery& query : kStatusQueries) {
      const std::string reply = Printer().SendAndReceive(Hex(query.command), 1, kReplyTimeOutMs, false);
      if (reply.empty()) {
        // Nothing to decode for this query; the others may still answer.
        status.Include(stErroLeitura);
        continue;
      }
      const auto b = static_cast<std::uint8_t>(reply[0]);
      for (int i = 0; i < query.ruleCount; ++i) {
        const TStatusRule& rule = query.rules[i];
        if ((b & rule.mask) == rule.value) status.Include(rule.status);
      }
    }
  } catch (...) {
    status.Include(stErroLeitura);
  }
}

std::string TDovraEscPosEpson::ReadInfo() {
  std::string info;
  for (const TInfoQuery& query : kInfoQueries) {
    const std::string reply = Printer().SendAndReceive(Hex(query.command), 0x00, kReplyTimeOutMs, true);
    info += std::string(query.name) + "=" + (reply.empty() ? std::string() : reply.substr(1)) + "\r\n";
  }
  // GS I 2: type ID, bit 1 tells whether the printer has a cutter.
  const std::string reply = Printer().SendAndReceive(Hex("1D 49 32"), 1, kReplyTimeOutMs, false);
  if (!reply.empty())
    info += std::string("Guilhotina=") + (BitIsSet(static_cast<std::uint8_t>(reply[0]), 1) ? "1" : "0") +
            "\r\n";
  return info;
}

}  // namespace dovra

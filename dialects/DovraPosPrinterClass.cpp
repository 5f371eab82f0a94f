#include "dialects/DovraPosPrinterClass.h"

#include "engine/DovraPosPrinter.h"

namespace dovra {

TDovraPosPrinterClass::TDovraPosPrinterClass(TDovraPosPrinter& printer) : printer_(printer) {}

std::string TDovraPosPrinterClass::TranslateBlockTag(const std::string&,
                                                     const std::string& content) {
  return content;
}

// Plain text has no barcodes: the cleaned code is printed as it is.
std::string TDovraPosPrinterClass::BarcodeCommand(const std::string&, const std::string& code) {
  return code;
}

std::string TDovraPosPrinterClass::QRCodeCommand(const std::string&) { return {}; }

std::string TDovraPosPrinterClass::LineSpacingCommand(std::uint8_t spacing) {
  if (spacing == 0) return commands_.DefaultLineSpacing;
  if (commands_.LineSpacing.empty()) return {};
  std::string cmd = commands_.LineSpacing;
  cmd += static_cast<char>(spacing);
  return cmd;
}

std::string TDovraPosPrinterClass::CodePageCommand(TDovraPosPaginaCodigo) { return {}; }

std::string TDovraPosPrinterClass::LogoCommand() { return {}; }

std::string TDovraPosPrinterClass::DrawerCommand(int) { return {}; }

std::string TDovraPosPrinterClass::InitCommand() {
  return LineSpacingCommand(printer_.EspacoEntreLinhas()) +
         CodePageCommand(printer_.PaginaDeCodigo());
}

std::string TDovraPosPrinterClass::LineFeedCommand(int lines) {
  std::string feed;
  if (lines <= 0) return feed;
  const std::string unit = " " + commands_.LineBreak;
  feed.reserve(unit.size() * static_cast<std::size_t>(lines));
  for (int i = 0; i < lines; ++i) feed += unit;
  return feed;
}

std::string TDovraPosPrinterClass::FontCommand(TDovraPosFontKind kind, bool turnOn) {
  const TDovraPosComandos& c = commands_;
  switch (kind) {
    case fkCondensed: return turnOn ? c.CondensedOn : c.CondensedOff;
    case fkExpanded: return turnOn ? c.ExpandedOn : c.ExpandedOff;
    case fkBold: return turnOn ? c.BoldOn : c.BoldOff;
    case fkUnderline: return turnOn ? c.UnderlineOn : c.UnderlineOff;
    case fkInverted: return turnOn ? c.InvertedOn : c.InvertedOff;
    case fkItalic: return turnOn ? c.ItalicOn : c.ItalicOff;
    case fkFontB: return turnOn ? c.FontB : c.FontA;
    case fkDoubleHeight: return turnOn ? c.DoubleHeightOn : c.DoubleHeightOff;
    case fkNormal: break;
  }
  return {};
}

std::string TDovraPosPrinterClass::PageModeSetupCommand() { return {}; }

void TDovraPosPrinterClass::Configure() {}

void TDovraPosPrinterClass::ReadStatus(TDovraPosStatusSet&) {}

std::string TDovraPosPrinterClass::ReadInfo() { return {}; }

}  // namespace dovra

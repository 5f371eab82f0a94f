// The ESC/POS dialect of Epson-compatible receipt printers, and the ESC/POS barcode builders
// that the other ESC/POS-like dialects reuse.
#pragma once

#include <string>

#include "dialects/DovraPosPrinterClass.h"

namespace dovra {

class TDovraEscPosEpson : public TDovraPosPrinterClass {
 public:
  explicit TDovraEscPosEpson(TDovraPosPrinter& printer);

  std::string BarcodeCommand(const std::string& tag, const std::string& code) override;
  std::string QRCodeCommand(const std::string& data) override;
  std::string CodePageCommand(TDovraPosPaginaCodigo page) override;
  std::string LogoCommand() override;
  std::string DrawerCommand(int drawer) override;
  // Condensed, expanded, bold, underline and double height go out as one ESC ! print mode,
  // built from the printer's font state with the requested change applied.
  std::string FontCommand(TDovraPosFontKind kind, bool turnOn) override;
  std::string PageModeSetupCommand() override;
  void ReadStatus(TDovraPosStatusSet& status) override;
  std::string ReadInfo() override;
};

// GS w, GS h, GS H and GS k (function B) for the symbology named by `tag` ("<ean13>",
// "<code128a>"...). Code 128 data gets the code-set selector ("{B", "{A", "{C") unless it
// begins with "{"; "<code128c>" digits are packed in pairs. The data is cut to 255 bytes,
// selector included. A tag ESC/POS has no symbology for gives `code` unchanged.
// barWidth: 0 = 2, else 1..4; barHeight: 0 = 50, else 1..255.
std::string EscPosBarcodeCommand(const std::string& tag, const std::string& code, bool showText,
                                 int barWidth, int barHeight);

// As EscPosBarcodeCommand, for printers whose Code 128 takes no code-set selector: every
// Code 128 tag sends the code as it is, without a leading "{x" selector.
std::string PlainCode128BarcodeCommand(const std::string& tag, const std::string& code,
                                       bool showText, int barWidth, int barHeight);

}  // namespace dovra

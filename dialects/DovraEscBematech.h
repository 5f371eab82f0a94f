// The Bematech dialect: Bematech receipt printers in their own command mode. Barcodes are the
// ESC/POS ones without Code 128 code-set selectors.
#pragma once

#include <string>

#include "dialects/DovraPosPrinterClass.h"

namespace dovra {

class TDovraEscBematech : public TDovraPosPrinterClass {
 public:
  explicit TDovraEscBematech(TDovraPosPrinter& printer);

  std::string BarcodeCommand(const std::string& tag, const std::string& code) override;
  std::string QRCodeCommand(const std::string& data) override;
  std::string CodePageCommand(TDovraPosPaginaCodigo page) override;
  std::string LogoCommand() override;
  std::string DrawerCommand(int drawer) override;
  // GS F9 20 00 (Bematech command mode), then line spacing and code page.
  std::string InitCommand() override;
  // GS F8 "1": the first two bytes of the five-byte reply carry the flags.
  void ReadStatus(TDovraPosStatusSet& status) override;
  // Model, serial number, firmware and cutter, from GS F9 27 n and GS F8 "1".
  std::string ReadInfo() override;
};

}  // namespace dovra

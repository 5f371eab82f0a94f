// The Diebold receipt printers: ESC/POS with selector-free Code 128, QR codes under ESC,
// numbered logos and a fixed identification.
#pragma once

#include <string>

#include "dialects/DovraEscPosEpson.h"

namespace dovra {

class TDovraEscDiebold : public TDovraEscPosEpson {
 public:
  explicit TDovraEscDiebold(TDovraPosPrinter& printer);

  std::string BarcodeCommand(const std::string& tag, const std::string& code) override;
  // Places the symbol by the printer's current alignment (left, or not left).
  std::string QRCodeCommand(const std::string& data) override;
  std::string LogoCommand() override;
  // Answered without asking the printer.
  std::string ReadInfo() override;
};

}  // namespace dovra

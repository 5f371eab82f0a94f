// The Daruma dialect. On activation it asks the printer for its model and line width, adopts
// the width as the printer's normal column count, picks the condensed-font ratio by model and
// sends the printer its configuration string.
#pragma once

#include <string>

#include "dialects/DovraPosPrinterClass.h"

namespace dovra {

class TDovraEscDaruma : public TDovraPosPrinterClass {
 public:
  explicit TDovraEscDaruma(TDovraPosPrinter& printer);

  std::string BarcodeCommand(const std::string& tag, const std::string& code) override;
  std::string QRCodeCommand(const std::string& data) override;
  std::string LogoCommand() override;
  std::string DrawerCommand(int drawer) override;
  // Line spacing, preceded by the configuration string ("1") while Configure has not sent it.
  std::string InitCommand() override;
  // Only on ports that can answer (serial, TCP, hook); errors of the exchange propagate.
  void Configure() override;
  // ENQ, then GS ENQ: one byte each.
  void ReadStatus(TDovraPosStatusSet& status) override;
  std::string ReadInfo() override;

  // ESC 0xC6 and 40 parameter bytes, all "X" (keep the printer's setting) but the 31st, `c`.
  static std::string ConfigurationCommand(char c);
  // True once Configure has sent the configuration string since the last activation.
  bool Configured() const { return configured_; }

 private:
  bool configured_ = false;
};

}  // namespace dovra

// Epson dot-matrix printers speaking ESC/P2: the plain-text dialect with ESC/P2 font, line
// spacing and reset commands. The condensed font is this dialect's normal font.
#pragma once

#include "dialects/DovraPosPrinterClass.h"

namespace dovra {

class TDovraEscEpsonP2 : public TDovraPosPrinterClass {
 public:
  explicit TDovraEscEpsonP2(TDovraPosPrinter& printer);
};

}  // namespace dovra

// The Elgin dialect: the Bematech command set with Elgin's own QR code and status reading.
#pragma once

#include <string>

#include "dialects/DovraEscBematech.h"

namespace dovra {

class TDovraEscElgin : public TDovraEscBematech {
 public:
  explicit TDovraEscElgin(TDovraPosPrinter& printer);

  std::string QRCodeCommand(const std::string& data) override;
  // ENQ: one status byte.
  void ReadStatus(TDovraPosStatusSet& status) override;
};

}  // namespace dovra

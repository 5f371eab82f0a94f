#pragma once

#include <string>

namespace dovra::emulator {

// A status or identification request a decoder found in the byte stream; the responder of the
// dialect answers it.
enum class TQueryKind {
  kRealTimeStatus,   // DLE EOT n (ESC/POS): n = 1 printer, 2 off-line cause, 3 error, 4 paper
  kPrinterId,        // GS I n (ESC/POS)
  kBematechStatus,   // GS F8 "1"
  kBematechInfo,     // GS F9 27 n: n = 0 model, 1 serial number, 3 firmware
  kEnq,              // ENQ
  kGsEnq,            // GS ENQ (Daruma)
  kDarumaFirmware,   // ESC C7
  kDarumaModel,      // ESC C3
  kDarumaSettings,   // ESC E5
};

struct TQuery {
  TQueryKind kind;
  int param = 0;
  std::string bytes;  // the query as received
};

}  // namespace dovra::emulator

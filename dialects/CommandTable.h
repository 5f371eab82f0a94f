// A dialect's fixed commands written as data: one row per field of TDovraPosComandos, with
// the bytes in hexadecimal ("1B 45 01"), applied once by the dialect's constructor.
#pragma once

#include <span>
#include <string>

#include "dialects/DovraPosPrinterClass.h"
#include "util/Bytes.h"

namespace dovra {

struct TCommandTableRow {
  std::string TDovraPosComandos::*field;
  const char* hex;
};

// Writes every row into `commands`; fields without a row keep their value.
inline void ApplyCommandTable(TDovraPosComandos& commands, std::span<const TCommandTableRow> rows) {
  for (const TCommandTableRow& row : rows) commands.*(row.field) = Hex(row.hex);
}

}  // namespace dovra

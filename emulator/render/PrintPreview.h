// What a printer of a model puts on paper for a byte stream: the virtual printer's interpreter
// without a port, for previews. Qt-free.
#pragma once

#include <string_view>
#include <vector>

#include "emulator/model/Receipt.h"
#include "engine/DovraPosTypes.h"

namespace dovra::emulator {

// The receipts a printer of `modelo`, just switched on with `columns` columns (8 to 255; other
// values are brought into that range), makes of `bytes` followed by the end of the connection,
// numbered from 1. Status and identification queries in the bytes go unanswered.
std::vector<TReceipt> DecodeReceipts(TDovraPosPrinterModelo modelo, std::string_view bytes,
                                     int columns);

}  // namespace dovra::emulator

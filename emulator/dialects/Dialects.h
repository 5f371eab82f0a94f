// The command tables of the seven printer models the virtual printer can be.
#pragma once

#include <memory>

#include "emulator/dialects/CommandTable.h"
#include "emulator/dialects/Decoder.h"
#include "engine/DovraPosTypes.h"

namespace dovra::emulator {

TCommandTable TextoCommands();
TCommandTable EscPosEpsonCommands();
TCommandTable DieboldCommands();
TCommandTable BematechCommands();
TCommandTable ElginCommands();
TCommandTable DarumaCommands();
TCommandTable EscP2Commands();

TCommandTable CommandsFor(TDovraPosPrinterModelo modelo);
// The code page a printer of this model starts with: 437 for ESC/POS printers (table 0), 850
// for the others.
int PowerOnCodePage(TDovraPosPrinterModelo modelo);

// A decoder for the model, starting at `codePage` (0 = the model's power-on code page).
std::unique_ptr<TDecoder> MakeDecoder(TDovraPosPrinterModelo modelo, TReceiptBuilder& out,
                                      TDecoder::TQueryHandler onQuery, int codePage = 0);

}  // namespace dovra::emulator

#include "emulator/dialects/Dialects.h"

#include <utility>

namespace dovra::emulator {

TCommandTable CommandsFor(TDovraPosPrinterModelo modelo) {
  switch (modelo) {
    case ppEscPosEpson: return EscPosEpsonCommands();
    case ppEscBematech: return BematechCommands();
    case ppEscDaruma: return DarumaCommands();
    case ppEscVox: return ElginCommands();
    case ppEscDiebold: return DieboldCommands();
    case ppEscEpsonP2: return EscP2Commands();
    case ppTexto: break;
  }
  return TextoCommands();
}

int PowerOnCodePage(TDovraPosPrinterModelo modelo) {
  return (modelo == ppEscPosEpson || modelo == ppEscDiebold) ? 437 : 850;
}

std::unique_ptr<TDecoder> MakeDecoder(TDovraPosPrinterModelo modelo, TReceiptBuilder& out,
                                      TDecoder::TQueryHandler onQuery, int codePage) {
  return std::make_unique<TDecoder>(CommandsFor(modelo),
                                    codePage ? codePage : PowerOnCodePage(modelo), out,
                                    std::move(onQuery));
}

}  // namespace dovra::emulator

#include "engine/TraduzirTexto.h"

#include <utility>

namespace dovra {

std::string TraduzirTexto(TDovraPosPrinter& printer, const std::string& text, int copias) {
  printer.SetPorta("DLL");
  TDovraGravarLog earlier = printer.OnEnviarStringDevice();
  std::string bytes;
  printer.SetOnEnviarStringDevice([&bytes](const std::string& data, bool& tratado) {
    bytes += data;
    tratado = true;
  });
  const auto restore = [&] {
    printer.SetDeviceActive(false);
    printer.SetOnEnviarStringDevice(std::move(earlier));
  };
  try {
    printer.SetDeviceActive(true);
    printer.Imprimir(text, false, true, true, copias);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return bytes;
}

}  // namespace dovra

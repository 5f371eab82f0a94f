#include "engine/TraduzirTexto.h"

#include <utility>

namespace dovra {

void TraduzirTexto(TDovraPosPrinter& printer, const std::string& text, int copias,
                   const std::function<void(const std::string& bytes)>& sink) {
  printer.SetPorta("DLL");
  TDovraGravarLog earlier = printer.OnEnviarStringDevice();
  printer.SetOnEnviarStringDevice([&sink](const std::string& data, bool& tratado) {
    sink(data);
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
}

std::string TraduzirTexto(TDovraPosPrinter& printer, const std::string& text, int copias) {
  std::string bytes;
  TraduzirTexto(printer, text, copias, [&bytes](const std::string& data) { bytes += data; });
  return bytes;
}

}  // namespace dovra

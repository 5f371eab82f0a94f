// imprimir and traduzir: the same printer, the same text, the same Imprimir call; traduzir
// takes the bytes over before they reach a port.
#include "cli/Commands.h"
#include "engine/DovraPosPrinter.h"

namespace dovra::cli {
namespace {

void Print(TDovraPosPrinter& printer, const std::string& text, int copias) {
  printer.Imprimir(text, false, true, true, copias);
}

}  // namespace

int RunImprimir(const Options& o) {
  TDovraPosPrinter printer;
  ApplyPrinterOptions(o, printer);
  const std::string text = ReadInputText(o.arquivo);
  printer.Ativar();
  try {
    Print(printer, text, o.copias);
  } catch (...) {
    try {
      printer.Desativar();
    } catch (...) {
      // The printing error is the one worth reporting.
    }
    throw;
  }
  printer.Desativar();
  return 0;
}

int RunTraduzir(const Options& o) {
  TDovraPosPrinter printer;
  ApplyPrinterOptions(o, printer);
  const std::string text = ReadInputText(o.arquivo);

  // A hook port with no hooks bound opens and closes without touching anything, and the
  // send event takes every byte over. The port is opened bare, without the printer's
  // activation: on a file port the activation configures nothing (no dialect can ask a
  // file for its configuration), while on a hook port a dialect such as Daruma would try
  // to, and its first send would then differ from what a file port receives.
  std::string bytes;
  printer.SetOnEnviarStringDevice([&bytes](const std::string& data, bool& tratado) {
    bytes += data;
    tratado = true;
  });
  printer.SetPorta("DLL");
  printer.SetDeviceActive(true);
  try {
    Print(printer, text, o.copias);
  } catch (...) {
    printer.SetDeviceActive(false);
    throw;
  }
  printer.SetDeviceActive(false);
  WriteOutput(o.saida, bytes);
  return 0;
}

}  // namespace dovra::cli

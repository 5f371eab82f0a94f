// imprimir and traduzir: the same printer, the same text, the same Imprimir call; traduzir
// takes the bytes over before they reach a port.
#include "cli/Commands.h"
#include "engine/DovraPosPrinter.h"
#include "engine/TraduzirTexto.h"

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
  OutputFile output(o.saida);
  TraduzirTexto(printer, text, o.copias, [&output](const std::string& bytes) { output.Write(bytes); });
  output.Finish();
  return 0;
}

}  // namespace dovra::cli

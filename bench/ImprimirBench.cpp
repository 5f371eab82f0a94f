// End-to-end throughput of Imprimir: a tagged receipt of 10 MB through the code-page step, the
// line-break step, the tag translation and the send step to a file port.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/DovraPosPrinter.h"

namespace {

using dovra::TDovraPosPrinter;

std::string Receipt(std::size_t size, bool accented) {
  static const std::vector<std::string> ascii = {
      "<ce><e>PADARIA E CONFEITARIA BOM PAO LTDA</e></ce>\n",
      "<c>CNPJ 12.345.678/0001-90   IE 123.456.789.012   IM 98.765-4</c>\n",
      "Rua das Flores, 1234 - Centro - Sao Paulo - SP - CEP 01234-567\n",
      "</linha_simples>\n",
      "<n>001</n> 7891000100103 Cafe expresso <i>duplo</i> 2 UN x 3,50 <ad>7,00</ad>\n",
      "<n>002</n> 7891000200206 Pao de queijo tradicional <s>100g</s> 1 UN <ad>7,00</ad>\n",
      "<n>003</n> 7891000300309 Suco de laranja natural 300ml 1 UN <ad>9,90</ad>\n",
      "<ce><n>TOTAL</n> R$ <e>23,90</e></ce>\n",
      "Forma de pagamento: cartao de debito     Valor pago: R$ 23,90\n",
      "<ean13>7891234567895</ean13></lf>\n",
      "<in>Volte sempre!</in> Troco: R$ 0,00 </fn></corte_total>\n",
  };
  static const std::vector<std::string> accents = {
      "<ce><e>PADARIA E CONFEITARIA BOM PÃO LTDA</e></ce>\n",
      "<c>CNPJ 12.345.678/0001-90   IE 123.456.789.012   IM 98.765-4</c>\n",
      "Rua das Flores, 1234 - Centro - São Paulo - SP - CEP 01234-567\n",
      "</linha_simples>\n",
      "<n>001</n> 7891000100103 Café expresso <i>duplo</i> 2 UN x 3,50 <ad>7,00</ad>\n",
      "<n>002</n> 7891000200206 Pão de queijo tradicional <s>100g</s> 1 UN <ad>7,00</ad>\n",
      "<n>003</n> 7891000300309 Suco de laranja natural 300ml 1 UN <ad>9,90</ad>\n",
      "<ce><n>TOTAL</n> R$ <e>23,90</e></ce>\n",
      "Forma de pagamento: cartão de débito     Valor pago: R$ 23,90\n",
      "<ean13>7891234567895</ean13></lf>\n",
      "<in>Volte sempre!</in> Troco: R$ 0,00 </fn></corte_total>\n",
  };
  const std::vector<std::string>& lines = accented ? accents : ascii;
  std::string text;
  text.reserve(size + 128);
  for (std::size_t i = 0; text.size() < size; ++i) text += lines[i % lines.size()];
  return text;
}

class TempFolder {
 public:
  TempFolder() {
    // A memory file system where there is one, so the figure is the engine's, not the disk's.
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string tmpl = std::string(base) + "/dovra-bench-XXXXXX";
    const char* made = ::mkdtemp(tmpl.data());
    path_ = made ? made : "/tmp";
  }
  ~TempFolder() {
    std::error_code ec;
    if (path_ != "/tmp") std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

void BM_Imprimir(benchmark::State& state, bool accented) {
  TempFolder folder;
  TDovraPosPrinter printer;
  printer.SetModelo(static_cast<dovra::TDovraPosPrinterModelo>(state.range(1)));
  printer.SetPorta("FILE:" + folder.Path() + "/cupom.prn");
  printer.SetLinhasEntreCupons(3);
  const std::string text = Receipt(static_cast<std::size_t>(state.range(0)), accented);
  for (auto _ : state) {
    state.PauseTiming();
    printer.Desativar();  // the next activation starts the file afresh
    printer.Ativar();
    state.ResumeTiming();
    printer.Imprimir(text);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.SetLabel(printer.Dialect().ModelName());
}

void BM_ImprimirAscii(benchmark::State& state) { BM_Imprimir(state, false); }
void BM_ImprimirAcentuado(benchmark::State& state) { BM_Imprimir(state, true); }

// Arguments: text size, model (0 plain text, 1 ESC/POS Epson).
BENCHMARK(BM_ImprimirAscii)
    ->Args({10 << 20, 0})
    ->Args({10 << 20, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImprimirAcentuado)
    ->Args({10 << 20, 0})
    ->Args({10 << 20, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

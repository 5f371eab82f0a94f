// Throughput of the tag translation on receipt-like texts: a registered tag about every 20
// bytes, with alignment and barcode blocks and some unregistered brackets.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/DovraTagProcessor.h"

namespace {

using dovra::TDovraTagProcessor;

void RegisterVocabulary(TDovraTagProcessor& proc) {
  proc.AddTags({"<e>", "</e>", "<a>", "</a>", "<n>", "</n>", "<s>", "</s>", "<c>", "</c>", "<i>",
                "</i>", "</fn>", "</fa>", "</fb>", "<in>", "</in>", "</ae>", "</ce>", "</ad>",
                "</linha_simples>", "</linha_dupla>", "</pular_linhas>", "</logo>",
                "</corte_parcial>", "</corte_total>", "</abre_gaveta>", "</beep>", "</zera>",
                "</lf>", "</cr>", "</reset>"},
               {}, false);
  proc.AddTags({"<ad>", "<ae>", "<ce>", "<ean8>", "<ean13>", "<std>", "<inter>", "<code11>",
                "<code39>", "<code93>", "<code128>", "<upca>", "<codabar>", "<msi>", "<qrcode>",
                "<ignorar_tags>"},
               {}, true);
  proc.SetSimpleTagCallback([](const std::string& tag) -> std::string {
    if (tag == "</linha_simples>") return std::string(48, '-');
    return tag.size() > 4 ? "\x1d\x56\x01" : "\x1b\x45\x01";
  });
  proc.SetBlockTagCallback([](const std::string& tag, const std::string& content) {
    if (tag == "<ean13>") return "\x1dk\x02" + content + std::string(1, '\0');
    return "\x1b\x61\x01" + content + "\x1b\x61\x00";
  });
}

std::string ReceiptText(std::size_t size) {
  static const std::vector<std::string> lines = {
      "<ce><e>PADARIA E CONFEITARIA BOM PAO LTDA</e></ce>\n",
      "<c>CNPJ 12.345.678/0001-90   IE 123.456.789.012   IM 98.765-4</c>\n",
      "Rua das Flores, 1234 - Centro - Sao Paulo - SP - CEP 01234-567\n",
      "</linha_simples>\n",
      "<n>001</n> 7891000100103 Cafe expresso <i>duplo</i> 2 UN x 3,50 <ad>7,00</ad>\n",
      "<n>002</n> 7891000200206 Pao de queijo tradicional <s>100g</s> 1 UN <ad>7,00</ad>\n",
      "<n>003</n> 7891000300309 Suco de laranja natural 300ml 1 UN <ad>9,90</ad> <obs>\n",
      "<ce><n>TOTAL</n> R$ <e>23,90</e></ce>\n",
      "Forma de pagamento: cartao de debito     Valor pago: R$ 23,90\n",
      "<ean13>7891234567895</ean13></lf>\n",
      "<in>Volte sempre!</in> Troco para a < b: R$ 0,00 </fn></corte_total>\n",
  };
  std::string text;
  text.reserve(size + 64);
  for (std::size_t i = 0; text.size() < size; ++i) text += lines[i % lines.size()];
  text.resize(size);
  return text;
}

void BM_TranslateText(benchmark::State& state) {
  TDovraTagProcessor proc;
  RegisterVocabulary(proc);
  const std::string text = ReceiptText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string out = proc.TranslateText(text);
    benchmark::DoNotOptimize(out.data());
  }
  std::size_t tags = 0;
  for (char c : text) tags += c == '<';
  state.counters["bytes_per_tag"] = static_cast<double>(text.size()) / static_cast<double>(tags);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TranslateText)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

// Arbitrary texts through Imprimir with the plain-text dialect on a file port. The first input
// byte picks the options: bits 0-2 the code page, bit 3 IgnorarTags, bit 4 TraduzirTags off,
// bit 5 the text's first line goes through the line buffer first, bit 6 a line break after the
// text, bit 7 no code-page step. The rest is the text.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/DovraPosPrinter.h"

namespace {

struct Bench {
  Bench() {
    char tmpl[] = "/tmp/dovra-imprimir-fuzz-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    folder = made ? made : "/tmp";
    file = folder + "/saida.prn";
    printer.SetPorta("FILE:" + file);
    printer.SetLinhasEntreCupons(2);
    printer.Ativar();
  }
  ~Bench() {
    printer.Desativar();
    ::unlink(file.c_str());
    ::rmdir(folder.c_str());
  }
  std::string folder;
  std::string file;
  dovra::TDovraPosPrinter printer;
  unsigned runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Bench bench;
  if (size == 0) return 0;
  dovra::TDovraPosPrinter& p = bench.printer;
  const std::uint8_t options = data[0];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const int page = (options & 7) % dovra::kPaginaCodigoCount;
  p.SetPaginaDeCodigo(static_cast<dovra::TDovraPosPaginaCodigo>(page));
  p.SetIgnorarTags((options & 8) != 0);
  p.SetTraduzirTags((options & 16) == 0);
  p.SetLinhasBuffer((options & 32) ? 1 : 0);
  if (options & 32) {
    const std::size_t cut = text.find('\n');
    p.LineBuffer().Add(text.substr(0, cut));
    text = cut == std::string::npos ? std::string() : text.substr(cut + 1);
  }
  p.Imprimir(text, (options & 64) != 0, true, (options & 128) == 0, 1);

  // Every activation of a file port starts the file afresh, which keeps it small.
  if (++bench.runs % 256 == 0) {
    p.Desativar();
    p.Ativar();
  }
  return 0;
}

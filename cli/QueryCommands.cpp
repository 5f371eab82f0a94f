// status and info: one query each, the port opened and closed by the printer itself.
#include <cstdio>

#include "cli/Commands.h"
#include "engine/DovraPosPrinter.h"

namespace dovra::cli {

int RunStatus(const Options& o) {
  TDovraPosPrinter printer;
  ApplyPrinterOptions(o, printer);
  const TDovraPosStatusSet status = printer.LerStatusImpressora(o.tentativas);
  const std::string line = StatusLine(status);
  std::printf("%s\n", line.c_str());
  return 0;
}

int RunInfo(const Options& o) {
  TDovraPosPrinter printer;
  ApplyPrinterOptions(o, printer);
  const std::string info = printer.LerInfoImpressora();
  // The printer's lines end in CR LF; a terminal wants LF.
  std::string text;
  for (std::size_t i = 0; i < info.size(); ++i) {
    if (info[i] == '\r' && i + 1 < info.size() && info[i + 1] == '\n') continue;
    text += info[i];
  }
  if (text.empty() || text.back() != '\n') text += '\n';
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace dovra::cli

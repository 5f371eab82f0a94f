#include <cstdio>
#include <exception>
#include <string>

#include "cli/Commands.h"
#include "util/DovraErrors.h"

namespace dovra::cli {
namespace {

// Error messages may hold line breaks (the serial range errors do); stderr gets one line.
std::string OneLine(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return message;
}

void PrintError(const std::string& message) {
  std::fprintf(stderr, "dovrapos: %s\n", OneLine(message).c_str());
}

int Dispatch(const Options& o) {
  switch (o.command) {
    case Command::Imprimir: return RunImprimir(o);
    case Command::Traduzir: return RunTraduzir(o);
    case Command::Tags: return RunTags(o);
    case Command::Status: return RunStatus(o);
    case Command::Info: return RunInfo(o);
    case Command::Portas: return RunPortas(o);
    case Command::None: break;
  }
  return 2;
}

}  // namespace

int Run(const std::vector<std::string>& args) {
  int status;
  try {
    Options o = ParseCommandLine(args);
    if (o.help) {
      std::string help = HelpText(o.command);
      std::fwrite(help.data(), 1, help.size(), stdout);
      status = 0;
    } else {
      status = Dispatch(o);
    }
  } catch (const UsageError& e) {
    PrintError(e.what());
    std::fprintf(stderr, "%s\n", UsageLine(e.command()).c_str());
    if (e.command() != Command::None) {
      std::fprintf(stderr, "Use \"dovrapos %s --help\" para ajuda.\n",
                   args.empty() ? "" : args[0].c_str());
    }
    return 2;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    PrintError(e.what());
    return 1;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    PrintError("não foi possível escrever na saída padrão");
    return 1;
  }
  return status;
}

}  // namespace dovra::cli

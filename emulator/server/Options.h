#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "emulator/server/Server.h"

namespace dovra::emulator {

// A command line that cannot be carried out (exit status 2).
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TCommandLine {
  bool help = false;
  TServerOptions server;
};

// pdv-impressora-virtual --modelo M [--porta TCP:host:porta | --porta pty] [--estado LISTA]
//                        [--colunas N] [--saida DIR] [--pagina-codigo N]
// Raises TUsageError with a Portuguese message.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string HelpText();
std::string UsageLine();

}  // namespace dovra::emulator

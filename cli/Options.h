#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/DovraPosPrinter.h"

namespace dovra::cli {

enum class Command { None, Imprimir, Traduzir, Tags, Status, Info, Portas };

// A command line that cannot be carried out as written (exit status 2).
class UsageError : public std::runtime_error {
 public:
  UsageError(Command command, const std::string& message)
      : std::runtime_error(message), command_(command) {}
  Command command() const { return command_; }

 private:
  Command command_;
};

// Everything the command line says, before anything is applied.
struct Options {
  Command command = Command::None;
  bool help = false;

  // Printer settings, applied in this order whatever their order on the command line.
  std::optional<std::string> config;
  std::optional<TDovraPosPrinterModelo> modelo;
  std::optional<TDovraPosPaginaCodigo> paginaCodigo;
  std::optional<std::string> porta;
  std::optional<int> colunas;
  std::optional<int> espacoEntreLinhas;
  std::optional<int> linhasPular;
  std::optional<int> linhasBuffer;
  std::optional<bool> cortarPapel;
  std::optional<bool> controlePorta;
  std::optional<bool> traduzirTags;
  std::optional<bool> ignorarTags;
  std::optional<std::string> log;
  std::optional<std::string> serial;

  int copias = 1;
  int tentativas = 1;
  // Input text file ("-" or absent = standard input) and output file of traduzir.
  std::optional<std::string> arquivo;
  std::optional<std::string> saida;
};

// Parses argv[1..]. Raises UsageError for an unknown subcommand or option, a missing or
// malformed value, a value out of range, or an argument the subcommand does not take.
Options ParseCommandLine(const std::vector<std::string>& args);

// Applies the printer settings of `o` to the printer in their fixed order: --config first
// (its file must exist), then the single options. Errors of the printer, the device or the
// file propagate (EDovraError).
void ApplyPrinterOptions(const Options& o, TDovraPosPrinter& printer);

// Texts shown by --help (stdout) and after a usage error (stderr).
std::string HelpText(Command command);
std::string UsageLine(Command command);

}  // namespace dovra::cli

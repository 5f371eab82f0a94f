#pragma once
#include <optional>
#include <string>
#include <vector>

#include "cli/Options.h"

namespace dovra::cli {

// The whole program: parses the arguments, runs the subcommand, reports errors on stderr.
// Returns the exit status (0 success, 1 printer, port or file error, 2 usage error).
int Run(const std::vector<std::string>& args);

// One function per subcommand; each returns the exit status and lets errors propagate.
int RunImprimir(const Options& o);
int RunTraduzir(const Options& o);
int RunTags(const Options& o);
int RunStatus(const Options& o);
int RunInfo(const Options& o);
int RunPortas(const Options& o);

// Standard input and output, as bytes.
// The text to print: the file named (or standard input for "-" or none), with one
// trailing line break dropped.
std::string ReadInputText(const std::optional<std::string>& arquivo);
// Writes bytes to the file named (created or emptied first), or to standard output for
// none or "-". Raises EFileError when the bytes cannot be written.
void WriteOutput(const std::optional<std::string>& saida, const std::string& bytes);

}  // namespace dovra::cli

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
// Bytes written to the file named, or to standard output for none or "-". The file is created
// (or emptied) by the first write, or by Finish when nothing was written, so a command that
// fails before producing output leaves an existing file alone. Raises EFileError when the
// bytes cannot be written.
class OutputFile {
 public:
  explicit OutputFile(const std::optional<std::string>& saida);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  void Write(const std::string& bytes);
  void Finish();

 private:
  void Open();
  std::optional<std::string> saida_;
  int fd_ = -1;
};

}  // namespace dovra::cli

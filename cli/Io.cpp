#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/Commands.h"
#include "util/FileDescriptor.h"

namespace dovra::cli {
namespace {

bool IsStdio(const std::optional<std::string>& name) { return !name || *name == "-"; }

std::string ReadAllOf(int fd, const std::string& what) {
  std::string data;
  if (!ReadAll(fd, data)) {
    const int err = errno;
    RaiseFileError("EReadError", "Não foi possível ler " + what, err);
  }
  return data;
}

void WriteAllTo(int fd, const std::string& bytes, const std::string& what) {
  if (!WriteAll(fd, bytes)) {
    const int err = errno;
    RaiseFileError("EWriteError", "Não foi possível gravar " + what, err);
  }
}

}  // namespace

std::string ReadInputText(const std::optional<std::string>& arquivo) {
  std::string text;
  if (IsStdio(arquivo)) {
    text = ReadAllOf(STDIN_FILENO, "a entrada padrão");
  } else {
    const FileDescriptor fd(::open(arquivo->c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
      const int err = errno;
      RaiseFileError("EFOpenError", "Não foi possível abrir o arquivo " + *arquivo, err);
    }
    text = ReadAllOf(fd.Get(), "o arquivo " + *arquivo);
  }
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
    text.resize(text.size() - 2);
  } else if (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

OutputFile::OutputFile(const std::optional<std::string>& saida)
    : saida_(IsStdio(saida) ? std::nullopt : saida) {}

OutputFile::~OutputFile() {
  if (saida_ && fd_ >= 0) ::close(fd_);
}

void OutputFile::Open() {
  if (fd_ >= 0) return;
  if (!saida_) {
    std::fflush(stdout);
    fd_ = STDOUT_FILENO;
    return;
  }
  fd_ = ::open(saida_->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    const int err = errno;
    RaiseFileError("EFCreateError", "Não foi possível criar o arquivo " + *saida_, err);
  }
}

void OutputFile::Write(const std::string& bytes) {
  Open();
  WriteAllTo(fd_, bytes, saida_ ? "o arquivo " + *saida_ : std::string("a saída padrão"));
}

void OutputFile::Finish() {
  Open();
  if (!saida_) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int err = errno;
    RaiseFileError("EWriteError", "Não foi possível gravar o arquivo " + *saida_, err);
  }
}

}  // namespace dovra::cli

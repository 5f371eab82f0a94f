#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/Commands.h"
#include "util/DovraErrors.h"

namespace dovra::cli {
namespace {

bool IsStdio(const std::optional<std::string>& name) { return !name || *name == "-"; }

std::string ReadAll(int fd, const std::string& what) {
  std::string data;
  // A regular file gets a buffer of its size up front: receipts may be megabytes long.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      data.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return data;
    } else if (errno != EINTR) {
      throw EFileError("EReadError",
                       "Não foi possível ler " + what + ": " + std::strerror(errno));
    }
  }
}

void WriteAll(int fd, const std::string& bytes, const std::string& what) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFileError("EWriteError",
                       "Não foi possível gravar " + what + ": " + std::strerror(errno));
    }
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::string ReadInputText(const std::optional<std::string>& arquivo) {
  std::string text;
  if (IsStdio(arquivo)) {
    text = ReadAll(STDIN_FILENO, "a entrada padrão");
  } else {
    int fd = ::open(arquivo->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      throw EFileError("EFOpenError", "Não foi possível abrir o arquivo " + *arquivo + ": " +
                                          std::strerror(errno));
    }
    try {
      text = ReadAll(fd, "o arquivo " + *arquivo);
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
  }
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
    text.resize(text.size() - 2);
  } else if (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

void WriteOutput(const std::optional<std::string>& saida, const std::string& bytes) {
  if (IsStdio(saida)) {
    std::fflush(stdout);
    WriteAll(STDOUT_FILENO, bytes, "a saída padrão");
    return;
  }
  int fd = ::open(saida->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    throw EFileError("EFCreateError", "Não foi possível criar o arquivo " + *saida + ": " +
                                          std::strerror(errno));
  }
  try {
    WriteAll(fd, bytes, "o arquivo " + *saida);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) {
    throw EFileError("EWriteError",
                     "Não foi possível gravar o arquivo " + *saida + ": " + std::strerror(errno));
  }
}

}  // namespace dovra::cli

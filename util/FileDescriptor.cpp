#include "util/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "util/DovraErrors.h"

namespace dovra {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

FileDescriptor::~FileDescriptor() { Close(); }

int FileDescriptor::Release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int FileDescriptor::Close() noexcept {
  if (fd_ < 0) return 0;
  return ::close(Release());
}

bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& data) {
  // A regular file gets a buffer of its size up front: receipts may be megabytes long.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(data.size() + static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      data.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return true;
    } else if (errno != EINTR) {
      return false;
    }
  }
}

std::string SystemReason(int err) { return std::generic_category().message(err); }

void RaiseFileError(const std::string& className, const std::string& message, int err) {
  throw EFileError(className, message + ": " + SystemReason(err));
}

OutputFile::OutputFile(const std::string& fileName, int flags, bool appending)
    : fileName_(fileName), fd_(::open(fileName.c_str(), flags, 0666)) {
  if (fd_.Valid()) return;
  const int err = errno;
  if (appending) RaiseFileError("EFOpenError", "Não foi possível abrir o arquivo " + Quoted(), err);
  RaiseFileError("EFCreateError", "Não foi possível criar o arquivo " + Quoted(), err);
}

void OutputFile::Write(std::string_view data) {
  if (WriteAll(fd_.Get(), data)) return;
  const int err = errno;
  RaiseFileError("EWriteError", "Erro ao gravar no arquivo " + Quoted(), err);
}

void OutputFile::Close() {
  if (fd_.Close() == 0 || errno == EINTR) return;
  const int err = errno;
  RaiseFileError("EWriteError", "Erro ao gravar no arquivo " + Quoted(), err);
}

std::string OutputFile::Quoted() const { return "\"" + fileName_ + "\""; }

}  // namespace dovra

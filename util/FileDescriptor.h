// Owning POSIX file descriptors, whole reads and writes, and the file errors that name the
// system's reason.
#pragma once

#include <string>
#include <string_view>

namespace dovra {

// Owns a file descriptor (-1 for none) and closes it when it goes out of scope.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  int Get() const noexcept { return fd_; }
  bool Valid() const noexcept { return fd_ >= 0; }
  // Gives the descriptor up without closing it.
  int Release() noexcept;
  // Closes the descriptor now: close(2)'s result, with errno set by it; 0 when there was none.
  int Close() noexcept;

 private:
  int fd_ = -1;
};

// Writes all of `data`, going on after short writes and interrupted calls. False, with errno
// set, when a write fails.
bool WriteAll(int fd, std::string_view data);

// Appends everything up to the end of the file to `data`. False, with errno set, when a read
// fails.
bool ReadAll(int fd, std::string& data);

// The system's text for an errno value ("No such file or directory").
std::string SystemReason(int err);

// Raises EFileError of class `className` with the message "<message>: <system reason>".
[[noreturn]] void RaiseFileError(const std::string& className, const std::string& message,
                                 int err);

// A file that print data or log lines are written to. Open raises EFOpenError for an existing
// file opened to append to, EFCreateError otherwise; Write and Close raise EWriteError. The
// messages name the file in quotes, then the system's reason.
class OutputFile {
 public:
  OutputFile(const std::string& fileName, int flags, bool appending);
  void Write(std::string_view data);
  // A close interrupted by a signal counts as done: the descriptor is gone either way.
  void Close();

 private:
  std::string Quoted() const;

  std::string fileName_;
  FileDescriptor fd_;
};

}  // namespace dovra

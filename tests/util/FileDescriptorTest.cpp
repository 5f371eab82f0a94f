// Owning descriptors, whole reads and writes, and the errors of the file writers.
#include "util/FileDescriptor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"
#include "util/DovraErrors.h"

namespace dovra {
namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

TEST(FileDescriptor, ClosesWhatItOwnsExactlyOnce) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  const int readEnd = ends[0];
  const int writeEnd = ends[1];
  {
    FileDescriptor a(readEnd);
    FileDescriptor b(std::move(a));
    EXPECT_FALSE(a.Valid());
    EXPECT_EQ(b.Get(), readEnd);
    FileDescriptor c(writeEnd);
    c = std::move(b);  // the write end it held is closed, the read end taken over
    EXPECT_FALSE(IsOpen(writeEnd));
    EXPECT_EQ(c.Get(), readEnd);
    EXPECT_EQ(c.Close(), 0);
    EXPECT_FALSE(c.Valid());
    EXPECT_EQ(c.Close(), 0) << "a second close must not reach the system";
  }
  EXPECT_FALSE(IsOpen(readEnd));

  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  {
    FileDescriptor kept(ends[0]);
    EXPECT_EQ(kept.Release(), ends[0]);
  }
  EXPECT_TRUE(IsOpen(ends[0])) << "a released descriptor stays open";
  ::close(ends[0]);
  ::close(ends[1]);
}

// More than a pipe holds, so both sides go through many partial transfers.
TEST(FileDescriptor, WriteAllAndReadAllMoveEveryByte) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  FileDescriptor in(ends[0]);
  FileDescriptor out(ends[1]);
  std::string data(3 << 20, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 4096);
  bool written = false;
  std::thread writer([&] {
    written = WriteAll(out.Get(), data);
    out.Close();
  });
  std::string got = "antes:";
  const bool read = ReadAll(in.Get(), got);
  writer.join();
  EXPECT_TRUE(written);
  EXPECT_TRUE(read);
  EXPECT_TRUE(got == "antes:" + data) << got.size() << " bytes";

  errno = 0;
  EXPECT_FALSE(WriteAll(in.Get(), "x"));  // the read end cannot be written
  EXPECT_EQ(errno, EBADF);
  EXPECT_FALSE(ReadAll(-1, got));
  EXPECT_EQ(errno, EBADF);
}

TEST(OutputFile, ErrorsNameTheFileAndTheSystemReason) {
  testing::TempFolder folder;
  const std::string missing = folder.File("sem-pasta/cupom.prn");
  const std::string dir = folder.Path().string();
  auto expect = [](const char* what, const std::string& className, const std::string& message,
                   auto action) {
    try {
      action();
      ADD_FAILURE() << what << ": no error";
    } catch (const EFileError& e) {
      EXPECT_EQ(e.ClassName(), className) << what;
      EXPECT_EQ(std::string(e.what()), message) << what;
    }
  };
  expect("append to a folder", "EFOpenError",
         "Não foi possível abrir o arquivo \"" + dir + "\": Is a directory",
         [&] { OutputFile(dir, O_WRONLY | O_APPEND, true); });
  expect("create in a missing folder", "EFCreateError",
         "Não foi possível criar o arquivo \"" + missing + "\": No such file or directory",
         [&] { OutputFile(missing, O_WRONLY | O_CREAT | O_TRUNC, false); });
  if (::access("/dev/full", W_OK) == 0) {
    expect("write to a full device", "EWriteError",
           "Erro ao gravar no arquivo \"/dev/full\": No space left on device", [] {
             OutputFile full("/dev/full", O_WRONLY, false);
             full.Write("x");
           });
  }

  const std::string ok = folder.File("cupom.prn");
  OutputFile file(ok, O_WRONLY | O_CREAT | O_TRUNC, false);
  file.Write(std::string("\x1B@\x00", 3));
  file.Write("fim");
  file.Close();
  EXPECT_EQ(testing::ReadFile(ok), std::string("\x1B@\x00" "fim", 6));
}

TEST(RaiseFileError, MessageEndsWithTheSystemReason) {
  try {
    RaiseFileError("EReadError", "Não foi possível ler a entrada padrão", EIO);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.ClassName(), "EReadError");
    EXPECT_STREQ(e.what(), "Não foi possível ler a entrada padrão: Input/output error");
  }
}

}  // namespace
}  // namespace dovra

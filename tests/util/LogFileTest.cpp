// Writing bytes and log lines to files, and the log time stamps.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/support/TempFolder.h"
#include "util/DovraErrors.h"
#include "util/LogFile.h"

namespace dovra {
namespace {

namespace fs = std::filesystem;
using LogFile = testing::TempFolderTest;
using testing::ReadFile;
using testing::WriteFile;

TEST_F(LogFile, AppendLogTextAddsOneLinePerCall) {
  const std::string log = folder.File("pdv.log");
  AppendLogText(log, "primeira", false);
  AppendLogText(log, "\x1B@OK\r\n", true);
  AppendLogText(log, "\x1B", false);
  EXPECT_EQ(ReadFile(log), "primeira\r\n[ESC]@OK[CR][LF]\r\n\x1B\r\n");
}

TEST_F(LogFile, AppendLogTextNeverFails) {
  const std::string inMissingFolder = folder.File("nao-existe/pdv.log");
  EXPECT_NO_THROW(AppendLogText(inMissingFolder, "linha", false));
  EXPECT_FALSE(fs::exists(folder.Path() / "nao-existe"));  // no folder is created for a log

  EXPECT_NO_THROW(AppendLogText(folder.Path().string(), "linha", true));  // a folder, not a file
  EXPECT_NO_THROW(AppendLogText("", "linha", false));
}

TEST_F(LogFile, EmptyBytesCreateAMissingFileButLeaveAnExistingOne) {
  const std::string withBreak = folder.File("a.txt");
  WriteBytesToFile(withBreak, "", true, true, false);
  EXPECT_EQ(ReadFile(withBreak), "\r\n");

  const std::string withoutBreak = folder.File("b.txt");
  WriteBytesToFile(withoutBreak, "", false, false, false);
  ASSERT_TRUE(fs::exists(withoutBreak));
  EXPECT_EQ(fs::file_size(withoutBreak), 0u);

  // Not even emptied when append is off.
  const std::string existing = folder.File("c.txt");
  WriteFile(existing, "dados");
  WriteBytesToFile(existing, "", false, true, false);
  EXPECT_EQ(ReadFile(existing), "dados");
}

TEST_F(LogFile, AppendOrReplace) {
  const std::string file = folder.File("f.bin");
  WriteFile(file, "abc");
  WriteBytesToFile(file, std::string("\x00\xFF", 2), true, false, false);
  EXPECT_EQ(ReadFile(file), std::string("abc\x00\xFF", 5));
  WriteBytesToFile(file, "z", false, true, false);
  EXPECT_EQ(ReadFile(file), "z\r\n");
  // Append to a missing file creates it.
  WriteBytesToFile(folder.File("novo.txt"), "x", true, false, false);
  EXPECT_EQ(ReadFile(folder.File("novo.txt")), "x");
}

TEST_F(LogFile, CreatesMissingFoldersOnlyWhenAsked) {
  const std::string nested = folder.File("um/dois/tres.txt");
  try {
    WriteBytesToFile(nested, "x", true, true, false);
    FAIL() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.ClassName(), "EFCreateError");
    const std::string message = e.what();
    EXPECT_NE(message.find(nested), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
  }
  EXPECT_FALSE(fs::exists(folder.Path() / "um"));

  WriteBytesToFile(nested, "x", true, true, true);
  EXPECT_EQ(ReadFile(nested), "x\r\n");
}

TEST_F(LogFile, WriteErrorsAreRaised) {
  EXPECT_THROW(WriteBytesToFile(folder.Path().string(), "x", true, false, false), EFileError);
  EXPECT_THROW(WriteBytesToFile(folder.Path().string(), "x", false, false, false), EFileError);
  EXPECT_NO_THROW(WriteBytesToFile("", "x", true, true, true));
}

TEST(LogTimestamp, Patterns) {
  EXPECT_TRUE(std::regex_match(LogTimestamp(), std::regex(R"(\d\d/\d\d \d\d:\d\d:\d\d:\d\d\d)")))
      << LogTimestamp();
  EXPECT_TRUE(
      std::regex_match(LogDateTime(), std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d:\d\d\d)")))
      << LogDateTime();
}

}  // namespace
}  // namespace dovra

// Rules of WriteBytesToFile:
//  - an empty file name does nothing;
//  - an existing file with empty bytes is left alone (not even a line break is written);
//  - a missing file is created, with its missing folders when createFolders is set;
//  - append adds to the end of an existing file, otherwise the file is emptied first;
//  - addLineBreak writes CR LF after the bytes.
// The file is opened and closed on every call, so a log survives a crash up to its last line.
#include "LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "BracketNotation.h"
#include "FileDescriptor.h"

namespace dovra {

namespace {

std::string FormatNow(bool withYear) {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto millis =
      duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char buf[80];
  if (withYear)
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d:%02d:%03d", local.tm_mday,
                  local.tm_mon + 1, local.tm_year % 100, local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis));
  else
    std::snprintf(buf, sizeof buf, "%02d/%02d %02d:%02d:%02d:%03d", local.tm_mday,
                  local.tm_mon + 1, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
  return buf;
}

}  // namespace

void WriteBytesToFile(const std::string& fileName, std::string_view bytes, bool append,
                      bool addLineBreak, bool createFolders) {
  if (fileName.empty()) return;
  struct stat st {};
  const bool existed = ::stat(fileName.c_str(), &st) == 0;
  if (existed && bytes.empty()) return;

  if (!existed && createFolders) {
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    std::error_code ec;
    // A failure shows up below, when the file cannot be created in the folder.
    if (!folder.empty() && !std::filesystem::exists(folder, ec))
      std::filesystem::create_directories(folder, ec);
  }

  const bool appending = append && existed;
  const int flags = appending ? (O_WRONLY | O_APPEND) : (O_WRONLY | O_CREAT | O_TRUNC);
  OutputFile file(fileName, flags | O_CLOEXEC, appending);

  // One write call per line, so lines of several writers do not interleave.
  std::string data(bytes);
  if (addLineBreak) data += "\r\n";
  file.Write(data);
  file.Close();
}

void AppendLogText(const std::string& fileName, std::string_view bytes, bool translate) {
  if (fileName.empty()) return;
  try {
    if (translate)
      WriteBytesToFile(fileName, ToBracketNotation(bytes), true, true, false);
    else
      WriteBytesToFile(fileName, bytes, true, true, false);
  } catch (...) {
    // Logging never fails its caller.
  }
}

std::string LogTimestamp() { return FormatNow(false); }
std::string LogDateTime() { return FormatNow(true); }

}  // namespace dovra

#pragma once
#include <string>
#include <string_view>

namespace dovra {

// Writes bytes to a file (see the rules in LogFile.cpp); raises EFileError on failure.
// An empty file name does nothing; an existing file with empty bytes is left alone.
void WriteBytesToFile(const std::string& fileName, std::string_view bytes, bool append,
                      bool addLineBreak, bool createFolders);

// Appends one line ending in CR LF to a log file. Never fails: errors are swallowed,
// and a file in a missing folder is simply not written.
void AppendLogText(const std::string& fileName, std::string_view bytes, bool translate);

// Local time as "dd/mm hh:nn:ss:zzz" (log lines) and "dd/mm/yy hh:nn:ss:zzz" (activation blocks).
std::string LogTimestamp();
std::string LogDateTime();

}  // namespace dovra

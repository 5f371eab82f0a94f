// Small helpers shared by the device tests: a scripted spooler, a scripted serial line, a
// temporary folder, and file reading.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "device/PrintSpooler.h"
#include "device/SerialLine.h"

namespace dovra::testing {

// A spooler whose printer list the test chooses; counts how often the list is asked for.
class TFakeSpooler : public IPrintSpooler {
 public:
  explicit TFakeSpooler(std::vector<std::string> names = {}, int defaultIndex = -1)
      : names_(std::move(names)), defaultIndex_(defaultIndex) {}
  std::vector<std::string> PrinterNames() override {
    ++listQueries;
    return names_;
  }
  int DefaultPrinterIndex() override { return defaultIndex_; }
  void SubmitRawDocument(const std::string& printer, const std::string& documentName,
                         const std::string& data) override {
    documents.push_back({printer, documentName, data});
  }

  struct Document {
    std::string printer, name, data;
  };
  std::vector<Document> documents;
  int listQueries = 0;

 private:
  std::vector<std::string> names_;
  int defaultIndex_;
};

// A serial line that reports, for each write, the next scripted count (capped to the block);
// once the script is used up every write is complete. It never touches a real line.
class TScriptedLine : public TSerialLine {
 public:
  explicit TScriptedLine(std::deque<std::size_t> script = {}) : script_(std::move(script)) {}
  std::size_t WriteBlock(const std::string& data) override {
    blocks.push_back(data);
    std::size_t n = data.size();
    if (!script_.empty()) {
      n = std::min(n, script_.front());
      script_.pop_front();
    }
    written += data.substr(0, n);
    return n;
  }
  std::vector<std::string> blocks;
  std::string written;

 private:
  std::deque<std::size_t> script_;
};

class TTempDir {
 public:
  TTempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "dovra-device-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The lines of a log file, split at CR LF.
inline std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  const std::string text = ReadFile(path);
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  if (at < text.size()) lines.push_back(text.substr(at));
  return lines;
}

}  // namespace dovra::testing

// Small helpers shared by the device tests: a scripted spooler, a scripted serial line, the
// lines of a log file and the error an action raises (with the temporary folder and file
// reading of tests/support/TempFolder.h).
#pragma once

#include <gtest/gtest.h>
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
#include "tests/support/TempFolder.h"
#include "util/DovraErrors.h"

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

// Runs `action` and returns the error of type Caught it raised; when it raised another error
// or none, fails the test and returns `none`.
template <typename Caught, typename Result, typename F>
Result ExpectError(F action, Result none) {
  try {
    action();
  } catch (const Caught& e) {
    return e;
  } catch (const std::exception& e) {
    ADD_FAILURE() << "erro inesperado: " << ErrorClassName(e) << ": " << e.what();
    return none;
  }
  ADD_FAILURE() << "nenhum erro foi levantado";
  return none;
}

}  // namespace dovra::testing

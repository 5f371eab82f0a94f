#pragma once

#include <string>

#include "emulator/model/Receipt.h"

namespace dovra::emulator {

// Writes each receipt's transcript to DIR/receipt-NNNN.txt (the folder is created when missing).
class TTranscriptWriter {
 public:
  explicit TTranscriptWriter(std::string dir) : dir_(std::move(dir)) {}
  const std::string& Dir() const { return dir_; }
  // The path written; raises std::runtime_error with a Portuguese message when it cannot write.
  std::string Write(const TReceipt& receipt) const;

 private:
  std::string dir_;
};

}  // namespace dovra::emulator

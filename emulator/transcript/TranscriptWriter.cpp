#include "emulator/transcript/TranscriptWriter.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "emulator/transcript/ReceiptFiles.h"
#include "emulator/transcript/Transcript.h"

namespace dovra::emulator {

std::string TTranscriptWriter::Write(const TReceipt& receipt) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(dir_, ec);
  const std::string path = (fs::path(dir_) / (ReceiptBaseName(receipt.number) + ".txt")).string();
  const std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    const std::string text = TranscriptText(receipt);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      fs::remove(tmp, ec);
      throw std::runtime_error("não foi possível gravar " + path);
    }
  }
  // Readers never see a half-written transcript.
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    throw std::runtime_error("não foi possível gravar " + path);
  }
  return path;
}

}  // namespace dovra::emulator

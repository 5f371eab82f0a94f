// Pictures of receipts as PNG files, for programs that are otherwise free of Qt (the virtual
// printer): nothing of Qt shows in this header.
#pragma once

#include <memory>
#include <string>

#include "emulator/model/Receipt.h"

namespace dovra::emulator {

// Keeps a Qt GUI application object alive for the drawing: where the program has none, one
// is created on the "offscreen" platform (no display needed). Create it on the main thread
// before the first picture and keep it while pictures are drawn.
class TRenderSession {
 public:
  TRenderSession();
  ~TRenderSession();
  TRenderSession(const TRenderSession&) = delete;
  TRenderSession& operator=(const TRenderSession&) = delete;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// "DIR/receipt-0001.png" for "DIR/receipt-0001.txt": the picture goes next to the transcript.
std::string PngPathFor(const std::string& transcriptPath);

// Draws the receipt and writes it as PNG (through a temporary file, so that readers never see
// half a picture). Raises std::runtime_error with a Portuguese message when it cannot write.
void WriteReceiptPng(const TReceipt& receipt, const std::string& path);

}  // namespace dovra::emulator

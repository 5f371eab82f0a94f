#pragma once

#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/dialects/Decoder.h"
#include "emulator/model/ReceiptBuilder.h"
#include "emulator/responder/AnswerMode.h"
#include "emulator/responder/Conditions.h"
#include "emulator/responder/Responder.h"
#include "engine/DovraPosTypes.h"

namespace dovra::emulator {

struct TPrinterConfig {
  TDovraPosPrinterModelo modelo = ppEscPosEpson;
  TConditions conditions;
  int columns = 48;
  int codePage = 0;  // 0 = the model's power-on code page
  TIdentity identity;
};

// One printer of a model, independent of the port: bytes in, receipts and replies out. The
// printer keeps its settings from one connection to the next, as a real one stays switched on.
class TVirtualPrinter {
 public:
  struct TReply {
    std::string bytes;
    int delayMs = 0;
  };

  TVirtualPrinter(const TPrinterConfig& config, TReceiptBuilder::TReceiptHandler onReceipt);

  // Bytes from the host; the replies to send back, in order.
  std::vector<TReply> Receive(std::string_view bytes);
  // The host went away: the receipt in progress is finished.
  void ConnectionClosed();
  // In hang-up mode: true once bytes of a job arrived on the current connection.
  bool ShouldHangUp() const { return hangUpNow_; }

  TConditions Conditions() const { return conditions_; }
  void SetConditions(TConditions c) { conditions_ = c; }
  const TAnswerMode& Mode() const { return mode_; }
  void SetMode(const TAnswerMode& m) { mode_ = m; }
  const TResponder& Responder() const { return *responder_; }
  int Columns() const { return builder_.Columns(); }

 private:
  void OnQuery(const TQuery& query);

  TReceiptBuilder builder_;
  std::unique_ptr<TResponder> responder_;
  std::unique_ptr<TDecoder> decoder_;
  TConditions conditions_;
  TAnswerMode mode_;
  std::vector<TReply> pending_;
  bool hangUpNow_ = false;
  std::mt19937 random_;
};

}  // namespace dovra::emulator

#include "emulator/server/VirtualPrinter.h"

#include "emulator/dialects/Dialects.h"

namespace dovra::emulator {

TVirtualPrinter::TVirtualPrinter(const TPrinterConfig& config,
                                 TReceiptBuilder::TReceiptHandler onReceipt)
    : builder_(config.columns, std::move(onReceipt)),
      responder_(MakeResponder(config.modelo, config.identity)),
      conditions_(config.conditions),
      random_(std::random_device{}()) {
  decoder_ = MakeDecoder(
      config.modelo, builder_, [this](const TQuery& q) { OnQuery(q); }, config.codePage);
}

std::vector<TVirtualPrinter::TReply> TVirtualPrinter::Receive(std::string_view bytes) {
  pending_.clear();
  decoder_->Feed(bytes);
  if (mode_.kind == TAnswerMode::Kind::kHangUp && !bytes.empty()) {
    hangUpNow_ = true;
    pending_.clear();
  }
  return std::move(pending_);
}

void TVirtualPrinter::ConnectionClosed() {
  decoder_->Finish();
  hangUpNow_ = false;
}

void TVirtualPrinter::OnQuery(const TQuery& query) {
  std::optional<std::string> reply = responder_->Answer(query, conditions_);
  if (!reply) return;
  switch (mode_.kind) {
    case TAnswerMode::Kind::kNormal:
    case TAnswerMode::Kind::kHangUp:
      pending_.push_back({std::move(*reply), 0});
      break;
    case TAnswerMode::Kind::kSilent:
      break;
    case TAnswerMode::Kind::kLate:
      pending_.push_back({std::move(*reply), mode_.delayMs});
      break;
    case TAnswerMode::Kind::kGarbage: {
      std::uniform_int_distribution<int> length(1, 8), byte(0, 255);
      std::string junk(static_cast<std::size_t>(length(random_)), '\0');
      for (char& c : junk) c = static_cast<char>(byte(random_));
      pending_.push_back({std::move(junk), 0});
      break;
    }
  }
}

}  // namespace dovra::emulator

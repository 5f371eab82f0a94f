// Helpers of the virtual-printer tests: decoding bytes straight into transcripts, and the
// server run in-process on an ephemeral loopback port (or a pseudo-terminal).
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/dialects/Dialects.h"
#include "emulator/responder/Conditions.h"
#include "emulator/server/Server.h"
#include "emulator/transcript/Transcript.h"
#include "engine/DovraPosTypes.h"

namespace dovra::emulator::test {

struct TDecoded {
  std::vector<std::string> transcripts;  // one per finished receipt
  std::vector<TQuery> queries;
};

// Feeds `bytes` to a fresh printer of the model in pieces of `piece` bytes (0 = all at once),
// then ends the connection.
inline TDecoded Decode(TDovraPosPrinterModelo modelo, const std::string& bytes,
                       std::size_t piece = 0, int columns = 48) {
  TDecoded out;
  TReceiptBuilder builder(columns, [&](TReceipt r) { out.transcripts.push_back(TranscriptText(r)); });
  auto decoder = MakeDecoder(modelo, builder, [&](const TQuery& q) { out.queries.push_back(q); });
  if (piece == 0) piece = bytes.size() ? bytes.size() : 1;
  for (std::size_t i = 0; i < bytes.size(); i += piece) decoder->Feed(bytes.substr(i, piece));
  decoder->Finish();
  return out;
}

// The engine's status flag for each condition.
inline TDovraPosStatusSet ToStatusSet(TConditions c) {
  TDovraPosStatusSet s;
  if (c.Has(TCondition::kPoucoPapel)) s.Include(stPoucoPapel);
  if (c.Has(TCondition::kSemPapel)) s.Include(stSemPapel);
  if (c.Has(TCondition::kTampaAberta)) s.Include(stTampaAberta);
  if (c.Has(TCondition::kGavetaAberta)) s.Include(stGavetaAberta);
  if (c.Has(TCondition::kOffline)) s.Include(stOffLine);
  if (c.Has(TCondition::kErro)) s.Include(stErro);
  if (c.Has(TCondition::kImprimindo)) s.Include(stImprimindo);
  return s;
}

// A virtual printer serving on its own thread until destroyed.
class TRunningServer {
 public:
  explicit TRunningServer(TServerOptions options) {
    if (!options.pty) {
      options.host = "127.0.0.1";
      options.port = "0";
    }
    server_ = std::make_unique<TServer>(
        std::move(options), [this](const std::string& line) { Record(line); },
        [this](const std::string& line) { Record("erro: " + line); });
    server_->SetOnReceipt([this](const TReceipt& r, const std::string&) {
      std::lock_guard<std::mutex> lock(mutex_);
      transcripts_.push_back(TranscriptText(r));
      receipts_.push_back(r);
      changed_.notify_all();
    });
    porta_ = server_->Open();
    thread_ = std::thread([this] { server_->Run(); });
  }
  ~TRunningServer() {
    server_->RequestStop();
    thread_.join();
  }

  // The port name for the engine's Porta: "TCP:127.0.0.1:<port>" or the slave path.
  const std::string& Porta() const { return porta_; }
  void Command(const std::string& line) { server_->Post(line); }

  // The transcripts finished so far, after waiting (at most `timeout`) for `count` of them.
  std::vector<std::string> WaitForTranscripts(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return transcripts_.size() >= count; });
    return transcripts_;
  }
  // The receipts themselves, as WaitForTranscripts.
  std::vector<TReceipt> WaitForReceipts(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return receipts_.size() >= count; });
    return receipts_;
  }
  // Waits (at most `timeout`) for a message line that begins with `prefix` and returns it
  // (empty when none came).
  std::string WaitForMessage(const std::string& prefix,
                             std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::string found;
    changed_.wait_for(lock, timeout, [&] {
      for (const std::string& m : messages_) {
        if (m.starts_with(prefix)) {
          found = m;
          return true;
        }
      }
      return false;
    });
    return found;
  }

 private:
  void Record(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(line);
    changed_.notify_all();
  }

  std::unique_ptr<TServer> server_;
  std::string porta_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> transcripts_;
  std::vector<TReceipt> receipts_;
  std::vector<std::string> messages_;
};

}  // namespace dovra::emulator::test

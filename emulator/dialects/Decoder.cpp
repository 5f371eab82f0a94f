#include "emulator/dialects/Decoder.h"

#include <utility>

#include "util/CodePage.h"

namespace dovra::emulator {

namespace {

bool IsTextByte(unsigned char b) { return b >= 0x20 && b != 0x7F; }

// A command still waiting for its parameters after this many bytes is given up (its head is
// reported unknown), so a host that never ends a command cannot make the printer hoard memory.
constexpr std::size_t kMaxPending = 1 << 20;

// Bytes at the end of `text` that start a UTF-8 character not yet complete.
std::size_t IncompleteUtf8Tail(std::string_view text) {
  const std::size_t n = text.size();
  for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto b = static_cast<unsigned char>(text[n - back]);
    if ((b & 0xC0) == 0x80) continue;  // continuation byte: keep looking for the lead
    std::size_t need = 1;
    if (b >= 0xF0 && b <= 0xF4) need = 4;
    else if (b >= 0xE0 && b <= 0xEF) need = 3;
    else if (b >= 0xC2 && b <= 0xDF) need = 2;
    return need > back ? back : 0;
  }
  return 0;
}

}  // namespace

bool IsCommandPrefix(unsigned char b) { return b == 0x1B || b == 0x1D || b == 0x1C || b == 0x10; }

TDecoder::TDecoder(TCommandTable table, int codePage, TReceiptBuilder& out, TQueryHandler onQuery)
    : table_(std::move(table)), powerOnCodePage_(codePage), out_(out),
      onQuery_(std::move(onQuery)) {
  settings_.codePage = codePage;
}

void TDecoder::Feed(std::string_view bytes) {
  buffer_.append(bytes);
  while (!buffer_.empty() && Step(false)) {
  }
}

void TDecoder::Finish() {
  while (!buffer_.empty() && Step(true)) {
  }
  buffer_.clear();
  out_.Close();
}

void TDecoder::Ask(TQuery query) {
  if (onQuery_) onQuery_(query);
}

void TDecoder::Reset() {
  if (out_.InPageMode()) out_.LeavePageMode();
  out_.PrintBuffer();
  settings_ = TPrinterSettings{};
  settings_.codePage = powerOnCodePage_;
  out_.SetAlignment(TAlignment::kLeft);
  out_.SetLineSpacing(-1);
}

bool TDecoder::Step(bool finishing) {
  const auto first = static_cast<unsigned char>(buffer_[0]);
  if (IsTextByte(first)) return StepText(finishing);

  const TCommand* best = nullptr;
  bool longerHeadPossible = false;
  for (const TCommand& c : table_) {
    if (buffer_.size() >= c.head.size()) {
      if (buffer_.compare(0, c.head.size(), c.head) == 0 &&
          (!best || c.head.size() > best->head.size())) {
        best = &c;
      }
    } else if (c.head.compare(0, buffer_.size(), buffer_) == 0) {
      longerHeadPossible = true;
    }
  }
  if (longerHeadPossible && !finishing) return false;

  if (best) {
    const std::size_t headSize = best->head.size();
    const std::size_t n = best->params.Measure(std::string_view(buffer_).substr(headSize));
    if (n == TParamLayout::kNeedMore && buffer_.size() > kMaxPending) {
      Unknown(std::string_view(buffer_).substr(0, headSize));
      buffer_.erase(0, headSize);
      return true;
    }
    if (n == TParamLayout::kNeedMore) {
      if (!finishing) return false;
      Unknown(buffer_);
      buffer_.clear();
      return true;
    }
    if (n == TParamLayout::kInvalid) {
      Unknown(std::string_view(buffer_).substr(0, headSize));
      buffer_.erase(0, headSize);
      return true;
    }
    const std::string command = buffer_.substr(0, headSize + n);
    buffer_.erase(0, headSize + n);
    if (best->handle) best->handle(*this, std::string_view(command).substr(headSize));
    return true;
  }

  std::size_t len = 1;
  if (IsCommandPrefix(first)) {
    if (buffer_.size() >= 2) {
      len = 2;
    } else if (!finishing) {
      return false;
    }
  }
  Unknown(std::string_view(buffer_).substr(0, len));
  buffer_.erase(0, len);
  return true;
}

bool TDecoder::StepText(bool finishing) {
  std::size_t end = 0;
  while (end < buffer_.size() && IsTextByte(static_cast<unsigned char>(buffer_[end]))) ++end;
  std::size_t take = end;
  if (settings_.codePage == kUtf8CodePage && end == buffer_.size() && !finishing) {
    take -= IncompleteUtf8Tail(std::string_view(buffer_).substr(0, end));
    if (take == 0) return false;
  }
  out_.Text(CodePageToUnicode(std::string_view(buffer_).substr(0, take), settings_.codePage),
            settings_.style);
  buffer_.erase(0, take);
  return true;
}

}  // namespace dovra::emulator

#include "emulator/model/ReceiptBuilder.h"

#include <utility>

namespace dovra::emulator {

namespace {

// Length of the UTF-8 character that starts with `lead` (1 for anything malformed).
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

TReceiptBuilder::TReceiptBuilder(int columns, TReceiptHandler onReceipt)
    : columns_(columns > 0 ? columns : 48), onReceipt_(std::move(onReceipt)) {
  receipt_.columns = columns_;
}

int TReceiptBuilder::CharWidth(const TTextStyle& style) const {
  int w = (style.condensed || style.fontB) ? condensedWidth_ : kNormalWidth;
  return style.expanded ? 2 * w : w;
}

void TReceiptBuilder::Text(std::string_view utf8, const TTextStyle& style) {
  const int capacity = columns_ * kNormalWidth;
  const int width = CharWidth(style);
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t len = Utf8Length(static_cast<unsigned char>(utf8[i]));
    if (i + len > utf8.size()) len = utf8.size() - i;
    if (lineChars_ > 0 && lineWidth_ + width > capacity) EndLine();
    AddRun(utf8.substr(i, len), style, false);
    lineWidth_ += width;
    ++lineChars_;
    i += len;
  }
}

void TReceiptBuilder::Tab(const TTextStyle& style) {
  const int blanks = 8 - lineChars_ % 8;
  const int capacity = columns_ * kNormalWidth;
  for (int i = 0; i < blanks && lineWidth_ + CharWidth(style) <= capacity; ++i) Text(" ", style);
}

void TReceiptBuilder::Unknown(std::string_view bytes) { AddRun(bytes, TTextStyle{}, true); }

void TReceiptBuilder::AddRun(std::string_view text, const TTextStyle& style, bool unknown) {
  if (!lineOpen_) {
    line_ = TLine{};
    line_.alignment = alignment_;
    lineOpen_ = true;
  }
  line_.lineSpacing = lineSpacing_;
  if (!line_.runs.empty() && !unknown && !line_.runs.back().unknown &&
      line_.runs.back().style == style) {
    line_.runs.back().text.append(text);
  } else {
    line_.runs.push_back(TRun{std::string(text), style, unknown});
  }
}

void TReceiptBuilder::EndLine() {
  if (!lineOpen_) {
    line_ = TLine{};
    line_.alignment = alignment_;
  }
  line_.lineSpacing = lineSpacing_;
  TLine done = std::move(line_);
  line_ = TLine{};
  lineOpen_ = false;
  lineWidth_ = 0;
  lineChars_ = 0;
  if (inPageMode_) {
    page_.lines.push_back(std::move(done));
  } else {
    receipt_.elements.emplace_back(std::move(done));
  }
}

void TReceiptBuilder::LineFeed() { EndLine(); }

void TReceiptBuilder::PrintBuffer() {
  if (lineOpen_) EndLine();
}

void TReceiptBuilder::Emit(TElement element) {
  PrintBuffer();
  receipt_.elements.push_back(std::move(element));
}

void TReceiptBuilder::Block(TElement element) { Emit(std::move(element)); }

void TReceiptBuilder::Cut(bool partial) {
  if (inPageMode_) LeavePageMode();
  Emit(TCut{partial});
  FinishReceipt();
}

void TReceiptBuilder::Close() {
  if (inPageMode_) LeavePageMode();
  PrintBuffer();
  FinishReceipt();
}

void TReceiptBuilder::FinishReceipt() {
  TReceipt done = std::move(receipt_);
  done.condensedWidth = condensedWidth_;
  receipt_ = TReceipt{};
  receipt_.columns = columns_;
  if (done.HasContent() && onReceipt_) onReceipt_(std::move(done));
}

void TReceiptBuilder::EnterPageMode() {
  if (inPageMode_) return;
  PrintBuffer();
  inPageMode_ = true;
  page_ = TPageModeBlock{};
}

void TReceiptBuilder::SetPageArea(int x, int y, int width, int height) {
  page_.x = x;
  page_.y = y;
  page_.width = width;
  page_.height = height;
}

void TReceiptBuilder::SetPageDirection(int direction) { page_.direction = direction; }

void TReceiptBuilder::PrintPage() {
  if (!inPageMode_) return;
  PrintBuffer();
  TPageModeBlock next;
  next.direction = page_.direction;
  next.x = page_.x;
  next.y = page_.y;
  next.width = page_.width;
  next.height = page_.height;
  if (!page_.lines.empty()) receipt_.elements.emplace_back(std::move(page_));
  page_ = std::move(next);
}

void TReceiptBuilder::LeavePageMode() {
  if (!inPageMode_) return;
  PrintBuffer();
  inPageMode_ = false;
  if (!page_.lines.empty()) {
    page_.printed = false;
    receipt_.elements.emplace_back(std::move(page_));
  }
  page_ = TPageModeBlock{};
}

}  // namespace dovra::emulator

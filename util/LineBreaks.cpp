#include "LineBreaks.h"

#include <algorithm>
#include <cstring>

namespace dovra {

namespace {

// Finds the next occurrences of one byte, searching again only once the caller has moved past
// the last one found, so a whole text costs one pass per byte value.
class ByteFinder {
 public:
  ByteFinder(std::string_view text, char byte) : text_(text), byte_(byte) {}
  std::size_t NextFrom(std::size_t from) {
    if (found_ < from || found_ == kUnknown) {
      const void* hit = std::memchr(text_.data() + from, byte_, text_.size() - from);
      found_ = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data())
                   : text_.size();
    }
    return found_;
  }

 private:
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::string_view text_;
  char byte_;
  std::size_t found_ = kUnknown;
};

}  // namespace

std::string ReplaceLineBreaks(std::string_view text, std::string_view newBreak) {
  bool onlyBlanks = true;
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 32) {
      onlyBlanks = false;
      break;
    }
  }
  if (onlyBlanks) return std::string(text);

  std::string out;
  out.reserve(text.size() + text.size() / 16);
  ByteFinder lf(text, '\n');
  ByteFinder cr(text, '\r');
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t at = std::min(lf.NextFrom(i), cr.NextFrom(i));
    out.append(text, i, at - i);
    if (at == text.size()) break;
    out.append(newBreak);
    i = at + 1;
    if (text[at] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return out;
}

bool LineBreaksUnchanged(std::string_view text, std::string_view newBreak) {
  return newBreak == "\n" && std::memchr(text.data(), '\r', text.size()) == nullptr;
}

}  // namespace dovra

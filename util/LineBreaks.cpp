#include "LineBreaks.h"

namespace dovra {

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
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += newBreak;
    } else if (c == '\n') {
      out += newBreak;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace dovra

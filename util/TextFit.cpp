#include "TextFit.h"

namespace dovra {

std::string FitLeftAligned(std::string_view text, int width, char fill) {
  if (width <= 0) return {};
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) return std::string(text.substr(0, w));
  std::string out(text);
  out.append(w - text.size(), fill);
  return out;
}

std::string FitRightAligned(std::string_view text, int width, char fill) {
  if (width <= 0) return {};
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) return std::string(text.substr(0, w));
  std::string out(w - text.size(), fill);
  out += text;
  return out;
}

std::string FitCentered(std::string_view text, int width, char fill) {
  if (width <= 0) return {};
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) return std::string(text.substr(0, w));
  // The odd fill character goes to the right.
  std::string out((w - text.size()) / 2, fill);
  out += text;
  return FitLeftAligned(out, width, fill);
}

std::string KeepDigits(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c >= '0' && c <= '9') out.push_back(c);
  return out;
}

std::string KeepCharsInSet(std::string_view text, std::string_view allowed) {
  bool member[256] = {};
  for (char c : allowed) member[static_cast<unsigned char>(c)] = true;
  std::string out;
  for (char c : text)
    if (member[static_cast<unsigned char>(c)]) out.push_back(c);
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace dovra

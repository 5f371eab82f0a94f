#include "emulator/responder/AnswerMode.h"

#include <charconv>

#include "util/TextFit.h"

namespace dovra::emulator {

std::optional<TAnswerMode> ParseAnswerMode(std::string_view text) {
  text = TrimBlanks(text);
  using K = TAnswerMode::Kind;
  if (text == "normal") return TAnswerMode{K::kNormal, 0};
  if (text == "silencioso") return TAnswerMode{K::kSilent, 0};
  if (text == "lixo") return TAnswerMode{K::kGarbage, 0};
  if (text == "desligar") return TAnswerMode{K::kHangUp, 0};
  constexpr std::string_view kLate = "atrasado";
  if (text.starts_with(kLate)) {
    std::string_view n = TrimBlanks(text.substr(kLate.size()));
    if (n.size() == text.size() - kLate.size()) return std::nullopt;  // "atrasadoX"
    int ms = 0;
    const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), ms);
    if (ec != std::errc() || end != n.data() + n.size() || ms < 0 || ms > 600000) {
      return std::nullopt;
    }
    return TAnswerMode{K::kLate, ms};
  }
  return std::nullopt;
}

std::string Describe(const TAnswerMode& mode) {
  switch (mode.kind) {
    case TAnswerMode::Kind::kNormal: return "normal";
    case TAnswerMode::Kind::kSilent: return "silencioso";
    case TAnswerMode::Kind::kLate: return "atrasado " + std::to_string(mode.delayMs) + " ms";
    case TAnswerMode::Kind::kGarbage: return "lixo";
    case TAnswerMode::Kind::kHangUp: return "desligar";
  }
  return "";
}

}  // namespace dovra::emulator

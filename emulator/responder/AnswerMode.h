#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dovra::emulator {

// How the virtual printer answers queries, to try out a host's error handling.
struct TAnswerMode {
  enum class Kind {
    kNormal,   // answers at once
    kSilent,   // never answers
    kLate,     // answers after `delayMs`
    kGarbage,  // answers with random bytes
    kHangUp,   // drops the connection as soon as a job starts arriving
  };
  Kind kind = Kind::kNormal;
  int delayMs = 0;

  bool operator==(const TAnswerMode&) const = default;
};

// "normal", "silencioso", "atrasado N" (milliseconds), "lixo", "desligar".
std::optional<TAnswerMode> ParseAnswerMode(std::string_view text);
// The same words: "atrasado 300 ms" for a late mode.
std::string Describe(const TAnswerMode& mode);

}  // namespace dovra::emulator

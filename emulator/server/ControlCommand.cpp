#include "emulator/server/ControlCommand.h"

#include "util/TextFit.h"

namespace dovra::emulator {

TControlCommand ParseControlCommand(std::string_view line) {
  using K = TControlCommand::Kind;
  TControlCommand c;
  line = TrimBlanks(line);
  if (line.empty()) return c;
  const std::size_t blank = line.find_first_of(" \t");
  const std::string_view word = line.substr(0, blank);
  const std::string_view rest =
      blank == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(blank));
  if (word == "sair" && rest.empty()) {
    c.kind = K::kSair;
  } else if (word == "estado") {
    std::string bad;
    if (const auto conditions = ParseConditions(rest, &bad)) {
      c.kind = K::kEstado;
      c.conditions = *conditions;
    } else {
      c.kind = K::kInvalid;
      c.error = "estado desconhecido: \"" + bad +
                "\" (use ok, pouco-papel, sem-papel, tampa-aberta, gaveta-aberta, offline, erro "
                "ou imprimindo)";
    }
  } else if (word == "modo") {
    if (const auto mode = ParseAnswerMode(rest)) {
      c.kind = K::kModo;
      c.mode = *mode;
    } else {
      c.kind = K::kInvalid;
      c.error = "modo desconhecido: \"" + std::string(rest) +
                "\" (use normal, silencioso, atrasado N, lixo ou desligar)";
    }
  } else {
    c.kind = K::kInvalid;
    c.error = "comando desconhecido: \"" + std::string(line) + "\" (use estado, modo ou sair)";
  }
  return c;
}

}  // namespace dovra::emulator

#pragma once

#include <string>
#include <string_view>

#include "emulator/responder/AnswerMode.h"
#include "emulator/responder/Conditions.h"

namespace dovra::emulator {

// A line typed on the virtual printer's standard input:
//   estado sem-papel,tampa-aberta | estado ok
//   modo silencioso | modo atrasado 300 | modo lixo | modo desligar | modo normal
//   sair
struct TControlCommand {
  enum class Kind { kNone, kEstado, kModo, kSair, kInvalid };
  Kind kind = Kind::kNone;
  TConditions conditions;
  TAnswerMode mode;
  std::string error;  // the message for kInvalid
};

TControlCommand ParseControlCommand(std::string_view line);

}  // namespace dovra::emulator

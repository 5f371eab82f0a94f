#include "emulator/responder/Conditions.h"

#include "util/TextFit.h"

namespace dovra::emulator {

const char* NameOf(TCondition c) {
  switch (c) {
    case TCondition::kPoucoPapel: return "pouco-papel";
    case TCondition::kSemPapel: return "sem-papel";
    case TCondition::kTampaAberta: return "tampa-aberta";
    case TCondition::kGavetaAberta: return "gaveta-aberta";
    case TCondition::kOffline: return "offline";
    case TCondition::kErro: return "erro";
    case TCondition::kImprimindo: return "imprimindo";
  }
  return "";
}

std::optional<TConditions> ParseConditions(std::string_view list, std::string* bad) {
  TConditions result;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string_view name = TrimBlanks(list.substr(start, comma - start));
    bool known = name == "ok";
    for (int i = 0; i < kConditionCount && !known; ++i) {
      const auto c = static_cast<TCondition>(i);
      if (name == NameOf(c)) {
        result.Set(c);
        known = true;
      }
    }
    if (!known) {
      if (bad) *bad = std::string(name);
      return std::nullopt;
    }
    start = comma + 1;
  }
  return result;
}

std::string FormatConditions(TConditions conditions) {
  std::string out;
  for (int i = 0; i < kConditionCount; ++i) {
    const auto c = static_cast<TCondition>(i);
    if (!conditions.Has(c)) continue;
    if (!out.empty()) out += ", ";
    out += NameOf(c);
  }
  return out.empty() ? "ok" : out;
}

}  // namespace dovra::emulator

// What the virtual printer reports about itself: paper, cover, drawer, errors.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace dovra::emulator {

enum class TCondition : std::uint8_t {
  kPoucoPapel, kSemPapel, kTampaAberta, kGavetaAberta, kOffline, kErro, kImprimindo
};
constexpr int kConditionCount = 7;

// The command-line name of a condition: "pouco-papel", "sem-papel", "tampa-aberta",
// "gaveta-aberta", "offline", "erro", "imprimindo".
const char* NameOf(TCondition c);

class TConditions {
 public:
  constexpr TConditions() = default;
  constexpr TConditions(std::initializer_list<TCondition> list) {
    for (TCondition c : list) Set(c);
  }
  constexpr bool Has(TCondition c) const { return bits_ & Bit(c); }
  constexpr void Set(TCondition c, bool on = true) {
    bits_ = on ? (bits_ | Bit(c)) : (bits_ & ~Bit(c));
  }
  constexpr bool Ok() const { return bits_ == 0; }
  constexpr TConditions Intersect(TConditions other) const {
    TConditions r;
    r.bits_ = bits_ & other.bits_;
    return r;
  }
  constexpr bool operator==(const TConditions&) const = default;

 private:
  static constexpr std::uint8_t Bit(TCondition c) {
    return static_cast<std::uint8_t>(1u << static_cast<int>(c));
  }
  std::uint8_t bits_ = 0;
};

// "sem-papel,tampa-aberta" (blanks around the names are allowed) or "ok". Empty when a name is
// not one of the conditions; `bad` then receives it.
std::optional<TConditions> ParseConditions(std::string_view list, std::string* bad = nullptr);
// "sem-papel, tampa-aberta", or "ok" when there is none.
std::string FormatConditions(TConditions conditions);

}  // namespace dovra::emulator

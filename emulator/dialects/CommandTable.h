// A dialect's commands as data: the bytes that start a command (its head), how many parameter
// bytes follow, and what the command does to the printer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dovra::emulator {

class TDecoder;

// How the parameters after a command's head are measured.
struct TParamLayout {
  enum class Kind {
    kNone,      // no parameters
    kFixed,     // `count` bytes
    kLength16,  // `offset` bytes, then a little-endian 16-bit length, then that many bytes
    kUntil,     // `offset` bytes, then bytes up to and including `terminator`
    kCustom,    // measured by `measure`
  };
  // Results of a measure function besides a length.
  static constexpr std::size_t kNeedMore = static_cast<std::size_t>(-1);
  static constexpr std::size_t kInvalid = static_cast<std::size_t>(-2);
  using TMeasure = std::size_t (*)(std::string_view afterHead);

  Kind kind = Kind::kNone;
  std::size_t count = 0;
  std::size_t offset = 0;
  char terminator = 0;
  TMeasure measure = nullptr;

  // Length of the parameters at the start of `afterHead`, kNeedMore when they have not all
  // arrived, kInvalid when the bytes cannot be this command.
  std::size_t Measure(std::string_view afterHead) const;
};

inline TParamLayout NoParams() { return {}; }
inline TParamLayout Fixed(std::size_t n) { return {TParamLayout::Kind::kFixed, n, 0, 0, nullptr}; }
inline TParamLayout Length16(std::size_t offset = 0) {
  return {TParamLayout::Kind::kLength16, 0, offset, 0, nullptr};
}
inline TParamLayout Until(char terminator, std::size_t offset = 0) {
  return {TParamLayout::Kind::kUntil, 0, offset, terminator, nullptr};
}
inline TParamLayout Custom(TParamLayout::TMeasure measure) {
  return {TParamLayout::Kind::kCustom, 0, 0, 0, measure};
}

// `params` are the bytes after the head, as measured.
using TCommandHandler = std::function<void(TDecoder& decoder, std::string_view params)>;

struct TCommand {
  std::string head;
  TParamLayout params;
  TCommandHandler handle;
};

using TCommandTable = std::vector<TCommand>;

}  // namespace dovra::emulator

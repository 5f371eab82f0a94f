// Short names for command heads in the tables.
#pragma once

#include <string>

namespace dovra::emulator::heads {

inline std::string Esc(std::string rest) { return "\x1b" + rest; }
inline std::string Gs(std::string rest) { return "\x1d" + rest; }
inline std::string Fs(std::string rest) { return "\x1c" + rest; }
inline std::string Dle(std::string rest) { return "\x10" + rest; }

}  // namespace dovra::emulator::heads

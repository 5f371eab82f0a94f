#include "BracketNotation.h"

namespace dovra {

namespace {

// Names of the control bytes that printers use; other non-printable bytes show their value.
const char* ControlName(unsigned char b) {
  switch (b) {
    case 0: return "[NUL]";
    case 1: return "[SOH]";
    case 2: return "[STX]";
    case 3: return "[ETX]";
    case 5: return "[ENQ]";
    case 6: return "[ACK]";
    case 8: return "[BS]";
    case 9: return "[TAB]";
    case 10: return "[LF]";
    case 12: return "[FF]";
    case 13: return "[CR]";
    case 17: return "[WAK]";
    case 21: return "[NAK]";
    case 27: return "[ESC]";
    case 28: return "[FS]";
    case 29: return "[GS]";
    default: return nullptr;
  }
}

}  // namespace

std::string ToBracketNotation(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 32 && b <= 126) {
      out.push_back(c);
    } else if (const char* name = ControlName(b)) {
      out += name;
    } else {
      out.push_back('[');
      out += std::to_string(b);
      out.push_back(']');
    }
  }
  return out;
}

}  // namespace dovra

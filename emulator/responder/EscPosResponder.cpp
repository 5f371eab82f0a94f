// ESC/POS real-time status (DLE EOT n) and printer identification (GS I n).
#include "emulator/responder/Responder.h"

namespace dovra::emulator {

namespace {

using C = TCondition;

// Bits 1 and 4 of every DLE EOT reply are fixed at 1.
constexpr unsigned char kFixedBits = 0x12;

char StatusByte(int n, TConditions s) {
  unsigned char b = kFixedBits;
  switch (n) {
    case 1:  // printer: drawer sensor (bit 2 low = open), off line, error, busy
      if (!s.Has(C::kGavetaAberta)) b |= 0x04;
      if (s.Has(C::kOffline)) b |= 0x08;
      if (s.Has(C::kErro)) b |= 0x20;
      if (s.Has(C::kImprimindo)) b |= 0x40;
      break;
    case 2:  // off-line cause: cover, paper being fed, paper end, error
      if (s.Has(C::kTampaAberta)) b |= 0x04;
      if (s.Has(C::kImprimindo)) b |= 0x08;
      if (s.Has(C::kSemPapel)) b |= 0x20;
      if (s.Has(C::kErro)) b |= 0x40;
      break;
    case 3:  // error cause: unrecoverable error
      if (s.Has(C::kErro)) b |= 0x20;
      break;
    case 4:  // paper sensors: near end (bits 2, 3), end (bits 5, 6)
      if (s.Has(C::kPoucoPapel)) b |= 0x0C;
      if (s.Has(C::kSemPapel)) b |= 0x60;
      break;
  }
  return static_cast<char>(b);
}

// GS I texts: a header byte, the text, NUL.
std::string IdText(const std::string& text) { return "_" + text + std::string(1, '\0'); }

}  // namespace

std::optional<std::string> EscPosAnswer(const TQuery& q, TConditions now, const TIdentity& id) {
  if (q.kind == TQueryKind::kRealTimeStatus) {
    if (q.param < 1 || q.param > 4) return std::nullopt;
    return std::string(1, StatusByte(q.param, now));
  }
  if (q.kind != TQueryKind::kPrinterId) return std::nullopt;
  switch (q.param) {
    case 1: case '1': return std::string("\x20");  // model ID
    case 2: case '2': return std::string(1, id.guilhotina ? '\x02' : '\x00');  // type ID
    case 3: case '3': return std::string("\x01");  // version ID
    case 'A': return IdText(id.firmware);
    case 'B': return IdText(id.fabricante);
    case 'C': return IdText(id.modelo);
    case 'D': return IdText(id.serial);
    default: return std::nullopt;
  }
}

}  // namespace dovra::emulator

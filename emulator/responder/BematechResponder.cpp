// Bematech status (GS F8 "1") and identification (GS F9 27 n); Elgin's ENQ status.
#include "emulator/responder/Responder.h"

namespace dovra::emulator {

namespace {

using C = TCondition;

std::string Fit(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

// Five bytes: 1 busy and off line; 2 paper, drawer sensor (bit 4 high = closed), error, cover
// (bit 7 high = closed); 3 bit 2 high when there is no cutter.
std::string StatusBytes(TConditions s, bool cutter) {
  unsigned char b1 = 0, b2 = 0, b3 = 0;
  if (s.Has(C::kImprimindo)) b1 |= 0x04;
  if (s.Has(C::kOffline)) b1 |= 0x08;
  if (s.Has(C::kPoucoPapel)) b2 |= 0x02;
  if (s.Has(C::kSemPapel)) b2 |= 0x24;
  if (!s.Has(C::kGavetaAberta)) b2 |= 0x10;
  if (s.Has(C::kErro)) b2 |= 0x40;
  if (!s.Has(C::kTampaAberta)) b2 |= 0x80;
  if (!cutter) b3 |= 0x04;
  return {static_cast<char>(b1), static_cast<char>(b2), static_cast<char>(b3), '\0', '\0'};
}

}  // namespace

std::optional<std::string> BematechAnswer(const TQuery& q, TConditions now, const TIdentity& id) {
  if (q.kind == TQueryKind::kBematechStatus) return StatusBytes(now, id.guilhotina);
  if (q.kind != TQueryKind::kBematechInfo) return std::nullopt;
  switch (q.param) {
    case 0: return Fit(id.modelo, 10);
    case 1: return id.serial;
    case 3: return Fit(id.firmware, 3);
    default: return std::nullopt;
  }
}

std::optional<std::string> ElginAnswer(const TQuery& q, TConditions now, const TIdentity& id) {
  if (q.kind != TQueryKind::kEnq) return BematechAnswer(q, now, id);
  // bit 0 high = on line, 1 paper end, 2 drawer open, 3 high = cover closed, 4 paper near end
  unsigned char b = 0;
  if (!now.Has(C::kOffline)) b |= 0x01;
  if (now.Has(C::kSemPapel)) b |= 0x02;
  if (now.Has(C::kGavetaAberta)) b |= 0x04;
  if (!now.Has(C::kTampaAberta)) b |= 0x08;
  if (now.Has(C::kPoucoPapel)) b |= 0x10;
  return std::string(1, static_cast<char>(b));
}

}  // namespace dovra::emulator

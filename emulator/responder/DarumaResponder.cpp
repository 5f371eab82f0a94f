// Daruma status (ENQ, GS ENQ) and identification (ESC C7, ESC C3, ESC E5, each ending in CR).
#include "emulator/responder/Responder.h"

namespace dovra::emulator {

namespace {

using C = TCondition;

constexpr char kHeader = ':';

// The settings reply: 40 bytes after which CR follows; byte 9 (counted from 1, header
// included) tells the cutter, byte 12 the column width ("1" 52, "2" 34, "0" 48), byte 40 the
// code page.
std::string Settings(const TIdentity& id) {
  std::string r(40, '0');
  r[0] = kHeader;
  r[8] = id.guilhotina ? '1' : '0';
  r[11] = id.colunas == 52 ? '1' : id.colunas == 34 ? '2' : '0';
  r[39] = id.paginaCodigo;
  return r + "\r";
}

}  // namespace

std::optional<std::string> DarumaAnswer(const TQuery& q, TConditions now, const TIdentity& id) {
  unsigned char b = 0;
  switch (q.kind) {
    case TQueryKind::kEnq:
      // bit 0 busy, 3 error, 4 high = on line, 5 paper end, 7 cover open
      if (now.Has(C::kImprimindo)) b |= 0x01;
      if (now.Has(C::kErro)) b |= 0x08;
      if (!now.Has(C::kOffline)) b |= 0x10;
      if (now.Has(C::kSemPapel)) b |= 0x20;
      if (now.Has(C::kTampaAberta)) b |= 0x80;
      return std::string(1, static_cast<char>(b));
    case TQueryKind::kGsEnq:
      // bit 0 paper near end, 1 paper end, 3 off line, 4 high = cover closed, 6 error,
      // 7 drawer open
      if (now.Has(C::kPoucoPapel)) b |= 0x01;
      if (now.Has(C::kSemPapel)) b |= 0x02;
      if (now.Has(C::kOffline)) b |= 0x08;
      if (!now.Has(C::kTampaAberta)) b |= 0x10;
      if (now.Has(C::kErro)) b |= 0x40;
      if (now.Has(C::kGavetaAberta)) b |= 0x80;
      return std::string(1, static_cast<char>(b));
    case TQueryKind::kDarumaFirmware:
      return kHeader + id.firmware + "\r";
    case TQueryKind::kDarumaModel:
      return kHeader + id.modeloNumero + "\r";
    case TQueryKind::kDarumaSettings:
      return Settings(id);
    default:
      return std::nullopt;
  }
}

}  // namespace dovra::emulator

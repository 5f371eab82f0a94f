#include "dialects/DovraEscElgin.h"

#include <algorithm>
#include <cstdint>

#include "engine/DovraPosPrinter.h"
#include "util/Bytes.h"

namespace dovra {

TDovraEscElgin::TDovraEscElgin(TDovraPosPrinter& printer) : TDovraEscBematech(printer) {
  modelName_ = "EscElgin";
}

std::string TDovraEscElgin::QRCodeCommand(const std::string& data) {
  static constexpr char kErrorLetters[] = {'L', 'M', 'Q', 'H'};
  const TDovraConfigQRCode& qr = Printer().ConfigQRCode();
  std::string cmd = Hex("1D 6F 00");
  cmd += static_cast<char>(qr.LarguraModulo());
  cmd += '\0';
  cmd += static_cast<char>(qr.Tipo());
  cmd += Hex("1D 6B 0B");
  cmd += kErrorLetters[std::clamp(qr.ErrorLevel(), 0, 3)];
  cmd += "A,";
  cmd += data;
  cmd += '\0';
  return cmd;
}

void TDovraEscElgin::ReadStatus(TDovraPosStatusSet& status) {
  std::string reply;
  try {
    reply = Printer().SendAndReceive(Hex("05"), 1, 500, false);
  } catch (...) {  // a hook port's owner may throw anything; status reading never raises
    status.Include(stErroLeitura);
    return;
  }
  if (reply.empty()) {
    status.Include(stErroLeitura);
    return;
  }
  const auto b = static_cast<std::uint8_t>(reply[0]);
  if (!BitIsSet(b, 0)) status.Include(stOffLine);
  if (BitIsSet(b, 1)) status.Include(stSemPapel);
  if (BitIsSet(b, 2)) status.Include(stGavetaAberta);
  if (!BitIsSet(b, 3)) status.Include(stTampaAberta);
  if (BitIsSet(b, 4)) status.Include(stPoucoPapel);
}

}  // namespace dovra

// Status and identification reading, and the query exchange the dialects use for them.
#include <chrono>
#include <thread>

#include "engine/DovraPosPrinter.h"

namespace dovra {

namespace {

bool CanAnswer(const TDovraDevice& d) { return d.IsSerial() || d.IsTCP() || d.IsHook(); }

// Puts the device back as it was found; while another error is on its way out, a failure
// here must not replace it.
void RestoreQuietly(TDovraPosPrinter& printer, bool wasOpen) {
  try {
    printer.SetDeviceActive(wasOpen);
  } catch (...) {
  }
}

}  // namespace

TDovraPosStatusSet TDovraPosPrinter::LerStatusImpressora(int tries) {
  if (tries < 2) tries = 1;
  if (LogEnabled())
    WriteLogLine("LerStatusImpressora( " + std::to_string(tries) + " )", false, true);

  TDovraPosStatusSet result;
  const auto logResult = [&] {
    if (!LogEnabled()) return;
    const std::string s = StatusToString(result);
    if (!s.empty()) WriteLogLine("   " + s, false, true);
  };
  try {
    if (!CanAnswer(*device_)) {
      result = TDovraPosStatusSet{stNaoSerial};
    } else {
      const bool wasOpen = device_->Ativo();
      try {
        SetDeviceActive(true);
        for (int i = 0; i < tries; ++i) {
          result.Clear();
          dialect_->ReadStatus(result);
          if (!result.Contains(stErroLeitura)) break;
        }
        if (configGaveta_.SinalInvertido()) result.Toggle(stGavetaAberta);
      } catch (...) {
        RestoreQuietly(*this, wasOpen);
        throw;
      }
      SetDeviceActive(wasOpen);
    }
  } catch (...) {
    logResult();
    throw;
  }
  logResult();
  return result;
}

std::string TDovraPosPrinter::LerInfoImpressora() {
  if (LogEnabled()) WriteLogLine("LerInfoImpressora", false, true);
  std::string result;
  const bool wasOpen = device_->Ativo();
  try {
    SetDeviceActive(true);
    if (!CanAnswer(*device_))
      throw EPosPrinterException("Leitura de Informações só disponivel em Portas Seriais ou TCP");
    result = dialect_->ReadInfo();
    if (!result.empty() && LogEnabled()) WriteLogLine("   " + result, true, true);
  } catch (...) {
    RestoreQuietly(*this, wasOpen);
    throw;
  }
  SetDeviceActive(wasOpen);
  return result;
}

std::string TDovraPosPrinter::SendAndReceive(const std::string& cmd, std::uint8_t bytesToRead,
                                             int timeOutMs, bool waitForTerminator) {
  device_->Limpar();
  if (LogEnabled()) WriteLogLine("TX -> " + cmd, true, true);
  const int old = device_->GetTimeOutMilissegundos();
  std::string reply;
  try {
    device_->SetTimeOutMilissegundos(timeOutMs);
    device_->EnviaString(cmd);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitForTerminator)
      reply = device_->LeString(timeOutMs, 0, std::string(1, static_cast<char>(bytesToRead)));
    else
      reply = device_->LeString(timeOutMs, bytesToRead, std::string());
  } catch (...) {
    try {
      device_->SetTimeOutMilissegundos(old);
    } catch (...) {
    }
    throw;
  }
  device_->SetTimeOutMilissegundos(old);
  if (LogEnabled()) WriteLogLine("RX <- " + reply, true, true);
  return reply;
}

}  // namespace dovra

// SetParamsString on arbitrary text. Checked: the only errors are the two range messages; on
// success the settings are valid and consistent; and the short form written back reproduces
// the serial settings in a second device.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/DovraDevice.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::string kBaudError =
    "Valor deve estar na faixa de 50 a 4000000.\nNormalmente os equipamentos Seriais utilizam: 9600";
const std::string kDataError =
    "Valor deve estar na faixa de 5 a 8.\nNormalmente os equipamentos Seriais utilizam: 7 ou 8";

std::string SerialPart(dovra::TDovraDevice& device) {
  return std::to_string(device.Baud()) + " " + std::to_string(device.Data()) + " " +
         device.ParityLetter() + " " + std::to_string(device.StopCode()) + " " +
         dovra::NameOf(device.HandShake()) + " " + (device.HardFlow() ? "H" : "-") +
         (device.SoftFlow() ? "S" : "-");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dovra::TDovraDevice device;
  static dovra::TDovraDevice copy;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    device.SetParamsString(text);
  } catch (const dovra::EDovraDeviceException& e) {
    Check(e.what() == kBaudError || e.what() == kDataError);
    return 0;
  }
  Check(device.Baud() >= 50 && device.Baud() <= 4000000);
  Check(device.Data() >= 5 && device.Data() <= 8);
  Check(std::string("NOEMS").find(device.ParityLetter()) != std::string::npos);
  Check(device.StopCode() >= 0 && device.StopCode() <= 2);
  Check(device.HardFlow() == (device.HandShake() == dovra::hsRTS_CTS));
  Check(device.SoftFlow() == (device.HandShake() == dovra::hsXON_XOFF));

  copy.SetParamsString(device.ParamsString());
  Check(SerialPart(copy) == SerialPart(device));
  return 0;
}

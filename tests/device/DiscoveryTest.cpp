// Serial-port discovery on a fake /dev and /sys tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <stdexcept>

#include "device/DovraDevice.h"
#include "device/SerialLine.h"
#include "tests/device/DeviceTestUtil.h"

namespace dovra {
namespace {

using testing::TempFolder;
using testing::WriteFile;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.Path() / "dev");
    for (const char* node : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyS4", "ttyUSB10", "ttyUSB2",
                             "ttyACM0", "ttyUSBx", "ttyAMA0", "tty0", "ttyACM"})
      WriteFile(dir.File("dev/" + std::string(node)), "");
    // ttyS2 has no device in sysfs (no UART); ttyS1 has one the driver calls unknown.
    for (const char* node : {"ttyS0", "ttyS1", "ttyS3", "ttyS4"})
      std::filesystem::create_directories(dir.Path() / "sys/class/tty" / node / "device");
  }
  std::string Dev() const { return dir.File("dev"); }
  std::string Sys() const { return dir.File("sys"); }

  TempFolder dir;
  std::vector<std::string> probed;
  TSerialHardwareProbe probe = [this](const std::string& path) {
    probed.push_back(path);
    if (path.ends_with("ttyS3")) throw std::runtime_error("probe failed");
    return !path.ends_with("ttyS1");
  };
};

TEST_F(DiscoveryTest, ListsHardwareBackedComPortsThenAdaptersInNumericOrder) {
  const std::vector<std::string> expected = {"COM1", "COM5", Dev() + "/ttyUSB2",
                                             Dev() + "/ttyUSB10", Dev() + "/ttyACM0"};
  EXPECT_EQ(FindSerialPorts(64, Dev(), Sys(), probe), expected);
  // Only nodes with a device in sysfs are probed; a failing probe skips just that port.
  const std::vector<std::string> probedExpected = {Dev() + "/ttyS0", Dev() + "/ttyS1",
                                                   Dev() + "/ttyS3", Dev() + "/ttyS4"};
  EXPECT_EQ(probed, probedExpected);
}

TEST_F(DiscoveryTest, HighestLimitsTheComNumbersOnly) {
  const std::vector<std::string> expected = {"COM1", Dev() + "/ttyUSB2", Dev() + "/ttyUSB10",
                                             Dev() + "/ttyACM0"};
  EXPECT_EQ(FindSerialPorts(4, Dev(), Sys(), probe), expected);
  const std::vector<std::string> adaptersOnly = {Dev() + "/ttyUSB2", Dev() + "/ttyUSB10",
                                                 Dev() + "/ttyACM0"};
  EXPECT_EQ(FindSerialPorts(0, Dev(), Sys(), probe), adaptersOnly);
}

TEST(DiscoveryDeviceTest, RealScanReplacesTheListWithPortNames) {
  EXPECT_FALSE(SerialPortHasHardware("/dev/no-such-serial-port"));
  TDovraDevice device;
  std::vector<std::string> list = {"stale entry"};
  device.AcharPortasSeriais(list, 64);
  const std::regex name(R"(COM([1-9]|[1-5][0-9]|6[0-4])|/dev/tty(USB|ACM)[0-9]+)");
  for (const std::string& port : list) EXPECT_TRUE(std::regex_match(port, name)) << port;
}

}  // namespace
}  // namespace dovra

// Serial settings: validation, the flow-control flags, and the parameter string both ways.
#include <gtest/gtest.h>

#include "device/DovraDevice.h"

namespace dovra {
namespace {

const char* const kBaudError =
    "Valor deve estar na faixa de 50 a 4000000.\nNormalmente os equipamentos Seriais utilizam: 9600";
const char* const kDataError =
    "Valor deve estar na faixa de 5 a 8.\nNormalmente os equipamentos Seriais utilizam: 7 ou 8";

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDovraDeviceException& e) {
    return e.what();
  }
  return "";
}

TEST(SerialSettingsTest, RangesAreCheckedAndAFailedSetKeepsTheValue) {
  TDovraDevice device;
  for (int baud : {49, 4000001, -9600}) {
    EXPECT_EQ(ErrorOf([&] { device.SetBaud(baud); }), kBaudError) << baud;
    EXPECT_EQ(device.Baud(), 9600);
  }
  for (int data : {4, 9}) {
    EXPECT_EQ(ErrorOf([&] { device.SetData(data); }), kDataError) << data;
    EXPECT_EQ(device.Data(), 8);
  }
  device.SetBaud(50);
  device.SetBaud(4000000);
  device.SetData(5);
  EXPECT_EQ(device.Baud(), 4000000);
  EXPECT_EQ(device.Data(), 5);
}

TEST(SerialSettingsTest, FlowFlagsFollowTheHandshake) {
  TDovraDevice device;
  device.SetHardFlow(true);
  EXPECT_EQ(device.HandShake(), hsRTS_CTS);
  EXPECT_TRUE(device.HardFlow());
  device.SetSoftFlow(true);
  EXPECT_EQ(device.HandShake(), hsXON_XOFF);
  EXPECT_FALSE(device.HardFlow());
  EXPECT_TRUE(device.SoftFlow());
  device.SetHardFlow(false);  // not the current handshake: nothing changes
  EXPECT_EQ(device.HandShake(), hsXON_XOFF);
  device.SetSoftFlow(false);
  EXPECT_EQ(device.HandShake(), hsNenhum);

  device.SetHandShake(hsDTR_DSR);
  device.SetHardFlow(false);
  device.SetSoftFlow(false);
  EXPECT_EQ(device.HandShake(), hsDTR_DSR);
  EXPECT_FALSE(device.HardFlow());
  EXPECT_FALSE(device.SoftFlow());
}

TEST(SerialSettingsTest, ParityAndStopKeepTheirInternalForms) {
  TDovraDevice device;
  const std::vector<std::pair<TDovraSerialParity, char>> parities = {
      {pOdd, 'O'}, {pEven, 'E'}, {pMark, 'M'}, {pSpace, 'S'}, {pNone, 'N'}};
  for (auto [parity, letter] : parities) {
    device.SetParity(parity);
    EXPECT_EQ(device.ParityLetter(), letter);
    EXPECT_EQ(device.Parity(), parity);
  }
  const std::vector<std::pair<TDovraSerialStop, int>> stops = {{s1eMeio, 1}, {s2, 2}, {s1, 0}};
  for (auto [stop, code] : stops) {
    device.SetStop(stop);
    EXPECT_EQ(device.StopCode(), code);
    EXPECT_EQ(device.Stop(), stop);
  }
}

TEST(DeviceToStringTest, ShortAndFullForms) {
  TDovraDevice device;
  EXPECT_EQ(device.DeviceToString(true), "");
  EXPECT_EQ(device.ParamsString(), "");
  EXPECT_EQ(device.DeviceToString(false),
            "BAUD=9600 DATA=8 PARITY=N STOP=1 HANDSHAKE= MAXBANDWIDTH=0 SENDBYTESCOUNT=0 "
            "SENDBYTESINTERVAL=0");

  device.SetBaud(19200);
  device.SetHandShake(hsRTS_CTS);
  EXPECT_EQ(device.DeviceToString(true), "BAUD=19200 HANDSHAKE=RTS/CTS HARDFLOW");

  device.SetData(7);
  device.SetParity(pSpace);
  device.SetStop(s1eMeio);
  device.SetHandShake(hsXON_XOFF);
  device.SetMaxBandwidth(1200);
  device.SetSendBytesCount(-4);  // only written in the full form
  device.SetSendBytesInterval(30);
  EXPECT_EQ(device.DeviceToString(true),
            "BAUD=19200 DATA=7 PARITY=S STOP=1,5 HANDSHAKE=XON/XOFF SOFTFLOW MAXBANDWIDTH=1200 "
            "SENDBYTESINTERVAL=30");
  EXPECT_EQ(device.DeviceToString(false),
            "BAUD=19200 DATA=7 PARITY=S STOP=1,5 HANDSHAKE=XON/XOFF SOFTFLOW MAXBANDWIDTH=1200 "
            "SENDBYTESCOUNT=-4 SENDBYTESINTERVAL=30");
}

struct ParamsCase {
  std::string text;
  int baud;
  int data;
  char parity;
  int stopCode;
  TDovraHandShake handShake;
  int maxBandwidth;
  int sendBytesCount;
  int sendBytesInterval;
};

class SetParamsStringTest : public ::testing::TestWithParam<ParamsCase> {};

// Every case starts from a device whose settings all differ from the defaults.
TEST_P(SetParamsStringTest, Parses) {
  const ParamsCase& c = GetParam();
  TDovraDevice device;
  device.SetBaud(2400);
  device.SetData(6);
  device.SetParity(pOdd);
  device.SetStop(s2);
  device.SetHandShake(hsDTR_DSR);
  device.SetMaxBandwidth(50);
  device.SetSendBytesCount(4);
  device.SetSendBytesInterval(6);

  device.SetParamsString(c.text);
  EXPECT_EQ(device.Baud(), c.baud);
  EXPECT_EQ(device.Data(), c.data);
  EXPECT_EQ(device.ParityLetter(), c.parity);
  EXPECT_EQ(device.StopCode(), c.stopCode);
  EXPECT_STREQ(NameOf(device.HandShake()), NameOf(c.handShake));
  EXPECT_EQ(device.HardFlow(), c.handShake == hsRTS_CTS);
  EXPECT_EQ(device.SoftFlow(), c.handShake == hsXON_XOFF);
  EXPECT_EQ(device.MaxBandwidth(), c.maxBandwidth);
  EXPECT_EQ(device.SendBytesCount(), c.sendBytesCount);
  EXPECT_EQ(device.SendBytesInterval(), c.sendBytesInterval);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SetParamsStringTest,
    ::testing::Values(
        ParamsCase{"", 9600, 8, 'N', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"   ", 9600, 8, 'N', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"baud=19200 parity=even stop=2", 19200, 8, 'E', 2, hsNenhum, 50, 4, 6},
        ParamsCase{"BAUD = 4800 DATA 7 PARITY=MARK", 4800, 7, 'M', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"PARITY=space STOP=1,5", 9600, 8, 'S', 1, hsNenhum, 50, 4, 6},
        ParamsCase{"STOP=1.5 PARITY=X", 9600, 8, 'N', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"BAUD=abc DATA=", 9600, 8, 'N', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"SOFTFLOW", 9600, 8, 'N', 0, hsXON_XOFF, 50, 4, 6},
        ParamsCase{"HARDFLOW", 9600, 8, 'N', 0, hsRTS_CTS, 50, 4, 6},
        ParamsCase{"HARDFLOW HANDSHAKE=XON/XOFF", 9600, 8, 'N', 0, hsXON_XOFF, 50, 4, 6},
        ParamsCase{"HANDSHAKE=DTR/DSR", 9600, 8, 'N', 0, hsDTR_DSR, 50, 4, 6},
        ParamsCase{"HANDSHAKE=", 9600, 8, 'N', 0, hsNenhum, 50, 4, 6},
        ParamsCase{"MAXBANDWIDTH=0 SENDBYTESCOUNT=-3 SENDBYTESINTERVAL=x", 9600, 8, 'N', 0,
                   hsNenhum, 0, -3, 6},
        ParamsCase{"BAUD=9600 DATA=8 PARITY=N STOP=1 HANDSHAKE= MAXBANDWIDTH=0 "
                   "SENDBYTESCOUNT=0 SENDBYTESINTERVAL=0",
                   9600, 8, 'N', 0, hsNenhum, 0, 0, 0},
        ParamsCase{"BAUD=99999999999 DATA=+7", 9600, 7, 'N', 0, hsNenhum, 50, 4, 6}));

TEST(SetParamsStringErrorsTest, AnOutOfRangeValueStopsTheRestOfTheText) {
  TDovraDevice device;
  EXPECT_EQ(ErrorOf([&] { device.SetParamsString("BAUD=10 DATA=7 PARITY=E SENDBYTESCOUNT=9"); }),
            kBaudError);
  EXPECT_EQ(device.Baud(), 9600);
  EXPECT_EQ(device.Data(), 8);
  EXPECT_EQ(device.SendBytesCount(), 0);

  EXPECT_EQ(ErrorOf([&] { device.SetParamsString("BAUD=19200 DATA=9 STOP=2"); }), kDataError);
  EXPECT_EQ(device.Baud(), 19200);
  EXPECT_EQ(device.StopCode(), 0);
}

TEST(SetParamsStringRoundTripTest, ShortFormReproducesTheSettings) {
  TDovraDevice source;
  source.SetBaud(250000);
  source.SetData(7);
  source.SetParity(pMark);
  source.SetStop(s1eMeio);
  source.SetHandShake(hsRTS_CTS);
  source.SetMaxBandwidth(300);
  source.SetSendBytesCount(12);
  source.SetSendBytesInterval(8);

  TDovraDevice copy;
  copy.SetParamsString(source.ParamsString());
  EXPECT_EQ(copy.DeviceToString(false), source.DeviceToString(false));
}

}  // namespace
}  // namespace dovra

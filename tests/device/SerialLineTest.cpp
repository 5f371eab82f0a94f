// The device on a serial line, against a fake printer on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <chrono>
#include <memory>
#include <thread>

#include "device/DovraDevice.h"
#include "device/SerialLine.h"
#include "tests/device/DeviceTestUtil.h"
#include "tests/support/FakePrinter.h"

namespace dovra {
namespace {

using namespace std::chrono_literals;
using testing::ReadFile;
using testing::ReadLineSettings;
using testing::TFakePrinter;
using testing::TLineSettings;
using testing::TScriptedLine;
using testing::TempFolder;

// Waits until the line holds `count` unread input bytes (the pseudo-terminal hands written
// bytes over asynchronously).
bool WaitForPendingInput(int fd, int count) {
  for (int i = 0; i < 500; ++i) {
    int pending = 0;
    if (::ioctl(fd, FIONREAD, &pending) == 0 && pending >= count) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

class SerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device.SetPorta(printer.Porta());
    ASSERT_EQ(device.TipoPorta(), dtSerial);
  }
  TFakePrinter printer;
  TDovraDevice device;
};

// Keeps the attributes the line hands to the driver: a pseudo-terminal stores speed, stop
// bits and flow control, but always reports 8 data bits without parity.
class TCapturingLine : public TSerialLine {
 public:
  explicit TCapturingLine(termios* last) : last_(last) {}

 protected:
  int SetAttributes(int fd, const termios& attributes) override {
    *last_ = attributes;
    return TSerialLine::SetAttributes(fd, attributes);
  }

 private:
  termios* last_;
};

int DataBitsOf(const termios& t) {
  switch (t.c_cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
  }
}

char ParityOf(const termios& t) {
  if (!(t.c_cflag & PARENB)) return 'N';
  const bool odd = t.c_cflag & PARODD;
  if (t.c_cflag & CMSPAR) return odd ? 'M' : 'S';
  return odd ? 'O' : 'E';
}

struct LineCase {
  int baud;
  int data;
  TDovraSerialParity parity;
  TDovraSerialStop stop;
  TDovraHandShake handShake;
  char parityLetter;
  int stopBits;
};

class SerialSettingsOnLineTest : public SerialDeviceTest,
                                 public ::testing::WithParamInterface<LineCase> {};

TEST_P(SerialSettingsOnLineTest, ReachTheLine) {
  const LineCase& c = GetParam();
  termios handed{};
  device.SetSerialLine(std::make_unique<TCapturingLine>(&handed));
  device.SetBaud(c.baud);
  device.SetData(c.data);
  device.SetParity(c.parity);
  device.SetStop(c.stop);
  device.SetHandShake(c.handShake);
  device.Ativar();  // RTS and DTR do not exist on a pseudo-terminal: that must not fail

  EXPECT_EQ(DataBitsOf(handed), c.data);
  EXPECT_EQ(ParityOf(handed), c.parityLetter);
  EXPECT_EQ(static_cast<bool>(handed.c_iflag & INPCK), c.parityLetter != 'N');

  const TLineSettings s = ReadLineSettings(printer.SlaveFd());
  EXPECT_EQ(s.speed, c.baud);
  EXPECT_EQ(s.stopBits, c.stopBits);
  EXPECT_EQ(s.rtsCts, c.handShake == hsRTS_CTS);
  EXPECT_EQ(s.xonXoff, c.handShake == hsXON_XOFF);
  EXPECT_TRUE(s.raw);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SerialSettingsOnLineTest,
    ::testing::Values(LineCase{9600, 8, pNone, s1, hsNenhum, 'N', 1},
                      LineCase{250000, 7, pMark, s2, hsRTS_CTS, 'M', 2},
                      LineCase{19200, 5, pSpace, s1eMeio, hsXON_XOFF, 'S', 2},
                      LineCase{115200, 6, pEven, s1, hsDTR_DSR, 'E', 1},
                      LineCase{4000000, 8, pOdd, s2, hsNenhum, 'O', 2}));

TEST_F(SerialDeviceTest, ASettingChangedWhileOpenIsAppliedAtOnce) {
  device.Ativar();
  device.SetBaud(38400);
  device.SetStop(s2);
  EXPECT_EQ(ReadLineSettings(printer.SlaveFd()).speed, 38400);
  EXPECT_EQ(ReadLineSettings(printer.SlaveFd()).stopBits, 2);
  device.Desativar();
  EXPECT_FALSE(device.SerialLine().IsOpen());
  device.SetBaud(1200);  // a closed line is left alone
  EXPECT_EQ(ReadLineSettings(printer.SlaveFd()).speed, 38400);
}

TEST_F(SerialDeviceTest, OpeningAppliesTheTimeOutAndLogsWhatTheLineCannotDo) {
  TempFolder dir;
  device.SetArqLOG(dir.File("device.log"));
  device.SetTimeOut(7);
  device.SetStop(s1eMeio);
  device.SetHandShake(hsRTS_CTS);
  device.Ativar();
  EXPECT_EQ(device.GetTimeOutMilissegundos(), 7000);
  EXPECT_EQ(ReadLineSettings(printer.SlaveFd()).stopBits, 2);
  const std::string log = ReadFile(dir.File("device.log"));
  for (const std::string& line :
       {"  Serial.Connect(" + printer.Porta() + ")", std::string("ConfiguraSerial"),
        std::string("  Serial.Stop: 1,5 stop bits não existe nesta linha; usando 2"),
        std::string("  Serial.RTS"), std::string("  Serial.RTS não suportado por esta linha")})
    EXPECT_NE(log.find(" " + line + "\r\n"), std::string::npos) << line;
  device.Desativar();
  EXPECT_NE(ReadFile(dir.File("device.log")).find(" TryCloseSocket - Serial\r\n"),
            std::string::npos);
}

TEST_F(SerialDeviceTest, OpeningAndLimparDiscardOldInput) {
  printer.Send("stale");
  ASSERT_TRUE(WaitForPendingInput(printer.SlaveFd(), 5));
  device.Ativar();
  printer.WhenEndsWith("?", "ok");
  device.EnviaString("?");
  EXPECT_EQ(device.LeString(2000, 2), "ok");

  printer.Send("noise");
  ASSERT_TRUE(WaitForPendingInput(printer.SlaveFd(), 5));
  device.Limpar();
  device.EnviaString("?");
  EXPECT_EQ(device.LeString(2000, 2), "ok");
}

TEST_F(SerialDeviceTest, ThreeReadModes) {
  device.Ativar();
  printer.WhenEndsWith("N", "ABCDEF");
  printer.WhenEndsWith("T", "12\r34");

  device.EnviaString("N");
  EXPECT_EQ(device.LeString(2000, 4), "ABCD");
  EXPECT_EQ(device.LeString(2000), "EF");  // what is left, at once

  device.EnviaString("T");
  EXPECT_EQ(device.LeString(2000, 0, "\r"), "12");
  EXPECT_EQ(device.LeString(2000, 2, "\r"), "34");  // a count wins over the terminator

  EXPECT_EQ(printer.Received(), "NT");
}

struct TimeoutCase {
  int numBytes;
  std::string terminator;
};

TEST_F(SerialDeviceTest, EachReadModeTimesOutNamingThePortAndTheWait) {
  device.Ativar();
  printer.SetMode(TFakePrinter::Mode::kLate);
  printer.SetLateDelay(3000ms);
  printer.WhenEndsWith("Q", "ABCDEF");
  for (const TimeoutCase& c : {TimeoutCase{3, ""}, TimeoutCase{0, "\r"}, TimeoutCase{0, ""}}) {
    device.EnviaString("Q");
    try {
      device.LeString(150, c.numBytes, c.terminator);
      FAIL() << "a late answer must time out (" << c.numBytes << ")";
    } catch (const EDovraStreamError& e) {
      EXPECT_EQ(e.ClassName(), "ESerialError");
      EXPECT_EQ(e.Code(), TFdStream::kTimeoutCode);
      EXPECT_EQ(std::string(e.what()), "Tempo esgotado após 150 ms lendo " + printer.Porta());
    }
  }
}

TEST_F(SerialDeviceTest, BytesBeforeATimeOutStayForTheNextRead) {
  device.Ativar();
  printer.WhenEndsWith("Q", "AB");
  device.EnviaString("Q");
  ASSERT_TRUE(WaitForPendingInput(printer.SlaveFd(), 2));
  EXPECT_THROW(device.LeString(100, 3), EDovraStreamError);
  EXPECT_EQ(device.LeString(100, 2), "AB");
}

TEST_F(SerialDeviceTest, TimeOutZeroMeansTheTimeOutSetting) {
  device.Ativar();
  printer.WhenEndsWith("Q", "x");
  device.EnviaString("Q");
  ASSERT_TRUE(WaitForPendingInput(printer.SlaveFd(), 1));
  EXPECT_EQ(device.LeString(0), "x");  // TimeOut (3) taken as milliseconds
  try {
    device.LeString(0);
    FAIL() << "nothing more arrives";
  } catch (const EDovraStreamError& e) {
    EXPECT_EQ(std::string(e.what()), "Tempo esgotado após 3 ms lendo " + printer.Porta());
  }
}

TEST_F(SerialDeviceTest, APeerThatHangsUpMidReadGivesAnErrorAtOnce) {
  device.Ativar();
  printer.SetMode(TFakePrinter::Mode::kHangUp);
  printer.WhenEndsWith("Q", "ABCD");
  device.EnviaString("Q");
  try {
    device.LeString(30000, 4);  // half the answer, then the line goes away
    FAIL() << "a hung-up line must not read as data";
  } catch (const EDovraStreamError& e) {
    EXPECT_EQ(e.Code(), TFdStream::kClosedCode) << e.what();
  }
}

TEST(SerialStatusTest, StatusCallbackSeesTheLinesLife) {
  std::vector<TSerialStatusReason> seen;
  TFakePrinter printer;
  TDovraDevice device;
  device.SetPorta(printer.Porta());
  device.SetOnStatus([&](TSerialStatusReason reason, const std::string&) { seen.push_back(reason); });
  printer.WhenEndsWith("Q", "R");
  device.Ativar();
  device.EnviaString("Q");
  device.LeString(2000, 1);
  EXPECT_THROW(device.LeString(10, 1), EDovraStreamError);
  device.Desativar();
  const auto saw = [&](TSerialStatusReason r) {
    return std::find(seen.begin(), seen.end(), r) != seen.end();
  };
  using R = TSerialStatusReason;
  for (R r : {R::Open, R::Configure, R::Purge, R::Write, R::Read, R::Error, R::Close})
    EXPECT_TRUE(saw(r)) << static_cast<int>(r);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), R::Open);
  EXPECT_EQ(seen.back(), R::Close);
}

TEST(SerialOpenTest, AMissingPortIsNotFoundAndStaysClosed) {
  TempFolder dir;
  for (const std::string& porta : {std::string("COM200"), std::string("\\\\.\\COM200"),
                                   std::string("/dev/ttyUSB97"), std::string("/dev/pts/99999")}) {
    TDovraDevice device;
    device.SetArqLOG(dir.File("device.log"));
    device.SetPorta(porta);
    try {
      device.Ativar();
      FAIL() << porta << " does not exist";
    } catch (const EDovraDeviceException& e) {
      EXPECT_EQ(std::string(e.what()), "Porta " + porta + " não encontrada");
    }
    EXPECT_FALSE(device.Ativo());
    EXPECT_FALSE(device.SerialLine().IsOpen());
    EXPECT_EQ(device.Porta(), porta);
  }
  EXPECT_NE(ReadFile(dir.File("device.log"))
                .find("EDovraDeviceException: Porta COM200 não encontrada"),
            std::string::npos);
}

TEST(SerialOpenTest, APathThatIsNotALineGivesTheLinesOwnText) {
  TempFolder dir;
  testing::WriteFile(dir.File("plain"), "");
  TDovraDevice device;
  device.SetPorta("/dev/pts/../.." + dir.File("plain"));
  try {
    device.Ativar();
    FAIL() << "a plain file is no serial line";
  } catch (const EDovraDeviceException& e) {
    EXPECT_NE(std::string(e.what()).find("não é uma linha serial"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(device.Ativo());
}

// ---- writing with a scripted line -------------------------------------------------------

struct WriteCase {
  const char* what;
  std::deque<std::size_t> reported;  // bytes each write reports
  int sendBytesCount;
  std::vector<std::string> blocks;  // what the device handed the line, in order
  bool fails;
};

TEST(SerialWriteTest, PiecesPartialWritesAndTheFailCount) {
  const std::vector<std::string> tenTimesABC(10, "ABCDEFG");
  std::deque<std::size_t> nineZerosOneByteTenZeros(9, 0);
  nineZerosOneByteTenZeros.push_back(1);
  nineZerosOneByteTenZeros.insert(nineZerosOneByteTenZeros.end(), 10, 0);
  std::vector<std::string> resetThenTen(10, "ABCDEFG");
  resetThenTen.insert(resetThenTen.end(), 10, "BCDEFG");
  const std::vector<WriteCase> cases = {
      {"whole data in one piece", {}, 0, {"ABCDEFG"}, false},
      {"pieces of 3", {}, 3, {"ABC", "DEF", "G"}, false},
      {"partial writes continue", {2, 0, 5}, 0, {"ABCDEFG", "CDEFG", "CDEFG"}, false},
      {"partial pieces continue", {2, 3}, 3, {"ABC", "CDE", "FG"}, false},
      {"ten zero writes fail", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, tenTimesABC, true},
      {"a success resets the count", nineZerosOneByteTenZeros, 0, resetThenTen, true},
  };
  for (const WriteCase& c : cases) {
    TDovraDevice device;
    auto line = std::make_unique<TScriptedLine>(c.reported);
    TScriptedLine* view = line.get();
    device.SetSerialLine(std::move(line));
    device.SetPorta("COM1");
    device.SetSendBytesCount(c.sendBytesCount);
    device.SetSendBytesInterval(5);
    int pauses = 0;
    device.SetSleepFunction([&](int) { ++pauses; });
    if (c.fails) {
      try {
        device.EnviaString("ABCDEFG");
        ADD_FAILURE() << c.what << ": must raise";
      } catch (const EDovraDeviceException& e) {
        EXPECT_STREQ(e.what(), "Erro ao enviar dados para a porta: COM1") << c.what;
      }
    } else {
      device.EnviaString("ABCDEFG");
      EXPECT_EQ(view->written, "ABCDEFG") << c.what;
    }
    EXPECT_EQ(view->blocks, c.blocks) << c.what;
    EXPECT_EQ(pauses, static_cast<int>(c.blocks.size())) << c.what;
  }
}

TEST_F(SerialDeviceTest, DataReachesThePrinterUnchanged) {
  device.Ativar();
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  device.SetSendBytesCount(100);
  device.EnviaString(all);
  ASSERT_TRUE(printer.WaitForReceived(all.size()));
  EXPECT_EQ(printer.Received(), all);
}

}  // namespace
}  // namespace dovra

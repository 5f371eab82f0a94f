// File and parallel ports, writing in pieces, time-outs, copying, and the device log.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "device/DovraDevice.h"
#include "device/TcpClient.h"
#include "tests/device/DeviceTestUtil.h"
#include "tests/support/FakePrinter.h"

namespace dovra {
namespace {

using testing::LogLines;
using testing::ReadFile;
using testing::TFakePrinter;
using testing::TFakeSpooler;
using testing::TScriptedLine;
using testing::TempFolder;
using testing::WriteFile;

class FileDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { device.SetSpooler(std::make_shared<TFakeSpooler>()); }
  TempFolder dir;
  TDovraDevice device;
};

TEST_F(FileDeviceTest, ActivationStartsAnEmptyFileAndWritesAppend) {
  const std::string path = dir.File("cupom.prn");
  WriteFile(path, "old receipt");
  device.SetPorta("FILE:" + path);
  EXPECT_EQ(device.GetPrinterFileName(), path);

  device.Ativar();
  EXPECT_TRUE(device.Ativo());
  EXPECT_EQ(ReadFile(path), "");

  device.EnviaString("\x1b@AB\r\n");
  device.EnviaString(std::string("C\0D", 3));
  EXPECT_EQ(ReadFile(path), std::string("\x1b@AB\r\nC\0D", 9));

  device.Desativar();
  EXPECT_FALSE(device.Ativo());
  EXPECT_EQ(ReadFile(path), std::string("\x1b@AB\r\nC\0D", 9));  // closing touches nothing
}

TEST_F(FileDeviceTest, FileThatCannotBeCreatedFailsActivation) {
  device.SetPorta("FILE:" + dir.File("no-such-folder/cupom.prn"));
  try {
    device.Ativar();
    FAIL() << "a file in a missing folder cannot be a port";
  } catch (const EDovraDeviceException& e) {
    EXPECT_NE(std::string(e.what()).find("no-such-folder/cupom.prn"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(device.Ativo());
  EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-folder")));
}

TEST_F(FileDeviceTest, MissingParallelDeviceIsNotAccessibleAndNotCreated) {
  for (const std::string& porta : {std::string("LPT9"), std::string("/dev/usb/lp9")}) {
    const std::string node = porta == "LPT9" ? "/dev/lp8" : porta;
    if (std::filesystem::exists(node)) GTEST_SKIP() << node << " exists on this machine";
    TDovraDevice parallel;
    parallel.SetPorta(porta);
    ASSERT_EQ(parallel.TipoPorta(), dtParallel);
    EXPECT_EQ(parallel.GetPrinterFileName(), node);
    try {
      parallel.Ativar();
      FAIL() << porta << " must not open";
    } catch (const EDovraDeviceException& e) {
      EXPECT_EQ(std::string(e.what()), "Porta " + porta + " não acessível");
    }
    EXPECT_FALSE(parallel.Ativo());
    EXPECT_FALSE(std::filesystem::exists(node)) << "a regular file was created in /dev";
  }
}

// Each pause records how much of the data the file held at that moment.
struct PieceCase {
  int sendBytesCount;
  std::vector<std::size_t> sizesAtPauses;
};

class FilePiecesTest : public FileDeviceTest, public ::testing::WithParamInterface<PieceCase> {};

TEST_P(FilePiecesTest, WritesInPiecesWithAPauseAfterEach) {
  const std::string path = dir.File("pieces.txt");
  device.SetPorta(path);
  device.SetSendBytesCount(GetParam().sendBytesCount);
  device.SetSendBytesInterval(25);
  std::vector<int> pauses;
  std::vector<std::size_t> sizes;
  device.SetSleepFunction([&](int ms) {
    pauses.push_back(ms);
    sizes.push_back(ReadFile(path).size());
  });
  device.Ativar();
  EXPECT_TRUE(pauses.empty()) << "the activation's empty test write makes no pause";

  device.EnviaString("ABCDEFG");
  EXPECT_EQ(ReadFile(path), "ABCDEFG");
  EXPECT_EQ(sizes, GetParam().sizesAtPauses);
  EXPECT_EQ(pauses, std::vector<int>(GetParam().sizesAtPauses.size(), 25));
}

INSTANTIATE_TEST_SUITE_P(Counts, FilePiecesTest,
                         ::testing::Values(PieceCase{3, {3, 6, 7}}, PieceCase{7, {7}},
                                           PieceCase{10, {7}}, PieceCase{0, {7}},
                                           PieceCase{-2, {7}}));

TEST(NegativeSendBytesCountTest, EveryWriterSendsTheWholeDataAtOnce) {
  TempFolder dir;
  const std::string data = "0123456789";

  {  // file
    TDovraDevice device;
    device.SetPorta(dir.File("negative.txt"));
    device.SetSendBytesCount(-1);
    device.Ativar();
    device.EnviaString(data);
    EXPECT_EQ(ReadFile(dir.File("negative.txt")), data);
  }
  {  // serial
    TDovraDevice device;
    auto line = std::make_unique<TScriptedLine>();
    TScriptedLine* lineView = line.get();
    device.SetSerialLine(std::move(line));
    device.SetPorta("COM1");
    device.SetSendBytesCount(-5);
    device.EnviaString(data);
    EXPECT_EQ(lineView->blocks, std::vector<std::string>{data});
  }
  {  // TCP
    TFakePrinter printer(TFakePrinter::Transport::kTcp);
    TDovraDevice device;
    device.SetPorta(printer.Porta());
    device.SetSendBytesCount(-3);
    device.SetTimeOut(5);
    device.Ativar();
    device.EnviaString(data);
    ASSERT_TRUE(printer.WaitForReceived(data.size()));
    EXPECT_EQ(printer.Received(), data);
    device.Desativar();
  }
}

struct TimeOutCase {
  std::string porta;
  int ms;
  int timeOut;
  int readBack;
};

TEST(TimeOutTest, MillisecondsGoToTheCurrentKindsObject) {
  const std::vector<TimeOutCase> cases = {
      {"COM1", 500, 1, 500},      {"COM1", 2500, 2, 2500}, {"TCP:impressora", 500, 0, 500},
      {"TCP:impressora", 2500, 2, 2500}, {"/tmp/cupom.txt", 500, 500, 500},
  };
  for (const TimeOutCase& c : cases) {
    TDovraDevice device;
    device.SetPorta(c.porta);
    device.SetTimeOutMilissegundos(c.ms);
    EXPECT_EQ(device.TimeOut(), c.timeOut) << c.porta << " " << c.ms;
    EXPECT_EQ(device.GetTimeOutMilissegundos(), c.readBack) << c.porta << " " << c.ms;
  }
  TDovraDevice serial;
  serial.SetPorta("COM1");
  EXPECT_EQ(serial.GetTimeOutMilissegundos(), 30000);
  EXPECT_EQ(serial.SerialLine().WriteTimeoutMs(), 30000);
  serial.SetTimeOutMilissegundos(750);
  EXPECT_EQ(serial.SerialLine().WriteTimeoutMs(), 750);
}

TEST(AssignTest, CopiesTheSerialSettingsAndTheReadWriteHooksOnly) {
  TDovraDevice source;
  source.SetPorta("COM4");
  source.SetBaud(19200);
  source.SetData(7);
  source.SetParity(pEven);
  source.SetStop(s2);
  source.SetMaxBandwidth(960);
  source.SetSendBytesCount(16);
  source.SetSendBytesInterval(40);
  source.SetHandShake(hsRTS_CTS);
  source.SetProcessMessages(false);
  source.SetTimeOut(9);
  source.SetNomeDocumento("Cupom");
  int statusCalls = 0, writes = 0, reads = 0, opens = 0;
  source.SetOnStatus([&](TSerialStatusReason, const std::string&) { ++statusCalls; });
  source.HookEnviaString = [&](const std::string&) { ++writes; };
  source.HookLeString = [&](int, int, std::string& r) { r = "x", ++reads; };
  source.HookAtivar = [&](const std::string&, const std::string&) { ++opens; };

  TDovraDevice target;
  target.Assign(source);
  EXPECT_EQ(target.Baud(), 19200);
  EXPECT_EQ(target.Data(), 7);
  EXPECT_EQ(target.Parity(), pEven);
  EXPECT_EQ(target.Stop(), s2);
  EXPECT_EQ(target.MaxBandwidth(), 960);
  EXPECT_EQ(target.SendBytesCount(), 16);
  EXPECT_EQ(target.SendBytesInterval(), 40);
  EXPECT_EQ(target.HandShake(), hsRTS_CTS);
  EXPECT_TRUE(target.HardFlow());
  EXPECT_FALSE(target.SoftFlow());
  EXPECT_FALSE(target.ProcessMessages());
  ASSERT_TRUE(target.OnStatus());
  ASSERT_TRUE(target.HookEnviaString);
  ASSERT_TRUE(target.HookLeString);

  EXPECT_EQ(target.Porta(), "");
  EXPECT_EQ(target.TimeOut(), 3);
  EXPECT_EQ(target.NomeDocumento(), "TDovraDevice");
  EXPECT_FALSE(target.HookAtivar);
  EXPECT_FALSE(target.HookDesativar);

  target.SetPorta("USB");
  target.Ativar();
  target.EnviaString("A");
  EXPECT_EQ(target.LeString(1, 1), "x");
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(opens, 0);
}

// ---- device log ---------------------------------------------------------------------------

TEST_F(FileDeviceTest, LogLinesCarryATimeStampAndPrinterDataInBrackets) {
  const std::string log = dir.File("device.log");
  device.SetArqLOG(log);
  device.SetPorta(dir.File("out.txt"));
  device.Ativar();
  device.EnviaString("\x1b@OK\r\n\xc8");
  device.SetPorta(dir.File("out.txt"));  // the same name again logs nothing
  device.Desativar();

  const std::vector<std::string> lines = LogLines(log);
  ASSERT_FALSE(lines.empty());
  const std::regex format(R"(-- \d\d/\d\d \d\d:\d\d:\d\d:\d\d\d (.*))");
  std::vector<std::string> texts;
  for (const std::string& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, format)) << line;
    texts.push_back(m[1]);
  }
  const auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has("SetPorta(" + dir.File("out.txt") + ")"));
  EXPECT_TRUE(has("DeduzirTipoPorta(" + dir.File("out.txt") + ")"));
  EXPECT_TRUE(has("  dtFile"));
  EXPECT_TRUE(has("Ativar - Porta:" + dir.File("out.txt")));
  EXPECT_TRUE(has("EnviaString([ESC]@OK[CR][LF][200])"));
  EXPECT_TRUE(has("EnviaStringArquivo([ESC]@OK[CR][LF][200])"));
  EXPECT_TRUE(has("Desativar"));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "SetPorta(" + dir.File("out.txt") + ")"), 1);
}

TEST_F(FileDeviceTest, ErrorsAreLoggedWithTheirClassName) {
  const std::string log = dir.File("device.log");
  device.SetArqLOG(log);
  EXPECT_THROW(device.Ativar(), EDovraDeviceException);
  EXPECT_THROW(device.SetBaud(10), EDovraDeviceException);
  const std::string text = ReadFile(log);
  EXPECT_NE(text.find(" EDovraDeviceException: Porta não definida\r\n"), std::string::npos);
  EXPECT_NE(text.find(" EDovraDeviceException: Valor deve estar na faixa de 50 a 4000000.\n"
                      "Normalmente os equipamentos Seriais utilizam: 9600\r\n"),
            std::string::npos);
}

TEST_F(FileDeviceTest, LogInAMissingFolderWritesNothingAndRaisesNothing) {
  const std::string log = dir.File("missing/device.log");
  device.SetArqLOG(log);
  device.SetPorta(dir.File("out.txt"));
  EXPECT_NO_THROW(device.Ativar());
  EXPECT_NO_THROW(device.EnviaString("abc"));
  EXPECT_EQ(ReadFile(dir.File("out.txt")), "abc");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

}  // namespace
}  // namespace dovra

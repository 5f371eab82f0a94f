// Port names: the stored form, the deduced kind, and when the spooler's list is consulted.
#include <gtest/gtest.h>

#include <memory>

#include "device/DovraDevice.h"
#include "tests/device/DeviceTestUtil.h"

namespace dovra {
namespace {

using testing::TFakeSpooler;

struct PortCase {
  std::string name;
  std::string stored;
  TDovraDeviceType kind;
  bool asksSpooler;
};

class PortNameTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortNameTest, StoresNameAndDeducesKind) {
  const PortCase& c = GetParam();
  auto spooler = std::make_shared<TFakeSpooler>(
      std::vector<std::string>{"Balcao", "\\\\servidor\\Caixa", "USB"});
  TDovraDevice device;
  device.SetSpooler(spooler);
  device.SetPorta(c.name);
  EXPECT_EQ(device.Porta(), c.stored);
  EXPECT_STREQ(NameOf(device.TipoPorta()), NameOf(c.kind));
  EXPECT_EQ(spooler->listQueries > 0, c.asksSpooler) << "spooler list queried for " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortNameTest,
    ::testing::Values(
        PortCase{"*", "*", dtRawPrinter, false},
        PortCase{"tcp:10.0.0.5:9100", "tcp:10.0.0.5:9100", dtTCP, false},
        PortCase{"RAW:*", "RAW:*", dtRawPrinter, false},
        PortCase{"raw:Caixa", "raw:Caixa", dtRawPrinter, false},
        PortCase{"RAW:x.txt", "RAW:x.txt", dtRawPrinter, false},
        PortCase{"C:\\temp\\cupom.txt", "C:\\temp\\cupom.txt", dtFile, false},
        PortCase{"com1.txt", "COM1.TXT", dtFile, false},  // ".TXT" comes before "COM"
        PortCase{"File:/tmp/Saida.prn", "File:/tmp/Saida.prn", dtFile, false},
        PortCase{"lpt2", "LPT2", dtParallel, false},
        PortCase{"com3", "COM3", dtSerial, false},
        PortCase{"\\\\.\\COM12", "\\\\.\\COM12", dtSerial, false},
        PortCase{"/dev/ttyUSB0", "/dev/ttyUSB0", dtSerial, false},
        PortCase{"/dev/ttyS1", "/dev/ttyS1", dtSerial, false},
        PortCase{"/dev/rfcomm0", "/dev/rfcomm0", dtSerial, false},
        PortCase{"/dev/pts/7", "/dev/pts/7", dtSerial, false},
        PortCase{"/dev/lp0", "/dev/lp0", dtParallel, false},
        PortCase{"/dev/usb/lp1", "/dev/usb/lp1", dtParallel, false},
        PortCase{"USB", "USB", dtHook, false},  // the hook rule wins over a printer named USB
        PortCase{"dll", "dll", dtHook, false},
        PortCase{"U", "U", dtHook, false},
        PortCase{"DL", "DL", dtHook, false},
        PortCase{"BALCAO", "BALCAO", dtRawPrinter, true},  // a spooler printer, any case
        PortCase{"\\\\servidor\\Caixa", "\\\\servidor\\Caixa", dtRawPrinter, true},
        PortCase{"\\\\servidor\\fila", "\\\\servidor\\fila", dtFile, true},
        PortCase{"/tmp/cupom.prn", "/tmp/cupom.prn", dtFile, true},
        PortCase{"IMPRESSORA", "IMPRESSORA", dtRawPrinter, true}));

TEST(SetPortaTest, EmptyNameIsRefusedByAtivar) {
  TDovraDevice device;
  device.SetSpooler(std::make_shared<TFakeSpooler>());
  EXPECT_EQ(device.DeduzirTipoPorta(""), dtRawPrinter);
  try {
    device.Ativar();
    FAIL() << "Ativar with no port must raise";
  } catch (const EDovraDeviceException& e) {
    EXPECT_STREQ(e.what(), "Porta não definida");
  }
  EXPECT_FALSE(device.Ativo());
}

TEST(SetPortaTest, WhileActiveOnlyTheSameNameIsAccepted) {
  TDovraDevice device;
  device.SetPorta("USB1");  // a hook port without hooks opens without touching anything
  device.Ativar();
  ASSERT_TRUE(device.Ativo());

  EXPECT_NO_THROW(device.SetPorta("USB1"));
  try {
    device.SetPorta("COM2");
    FAIL() << "changing the port while active must raise";
  } catch (const EDovraDeviceException& e) {
    EXPECT_STREQ(e.what(), "Não é possível mudar a Porta com o Dispositivo Ativo");
  }
  EXPECT_EQ(device.Porta(), "USB1");
  EXPECT_EQ(device.TipoPorta(), dtHook);

  device.Desativar();
  device.SetPorta("COM2");
  EXPECT_EQ(device.TipoPorta(), dtSerial);
}

}  // namespace
}  // namespace dovra

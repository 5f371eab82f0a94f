// Elgin dialect: the Bematech command set with its own QR code and ENQ status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "dialects/DovraEscElgin.h"
#include "engine/DovraPosPrinter.h"
#include "tests/support/FakePrinter.h"
#include "util/Bytes.h"

namespace dovra {
namespace {

std::string ToHex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}
std::string H(const std::string& hex) { return ToHex(Hex(hex)); }

class ElginTest : public ::testing::Test {
 protected:
  void SetUp() override { printer.SetModelo(ppEscVox); }
  TDovraPosPrinterClass& D() { return printer.Dialect(); }
  TDovraPosPrinter printer;
};

TEST_F(ElginTest, VoxSelectsElginOnTopOfBematech) {
  EXPECT_NE(dynamic_cast<TDovraEscElgin*>(&D()), nullptr);
  EXPECT_NE(dynamic_cast<TDovraEscBematech*>(&D()), nullptr);
  EXPECT_EQ(D().ModelName(), "EscElgin");
  EXPECT_DOUBLE_EQ(D().ColumnRatios().Condensada, 0.75);
  EXPECT_DOUBLE_EQ(D().ColumnRatios().Expandida, 2.0);
}

TEST_F(ElginTest, CommandTableIsBematechs) {
  TDovraPosPrinter bematech;
  bematech.SetModelo(ppEscBematech);
  const TDovraPosComandos& a = D().Commands();
  const TDovraPosComandos& b = bematech.Dialect().Commands();
  std::string TDovraPosComandos::*const fields[] = {
      &TDovraPosComandos::Beep,          &TDovraPosComandos::AlignCenter,
      &TDovraPosComandos::AlignRight,    &TDovraPosComandos::AlignLeft,
      &TDovraPosComandos::PartialCut,    &TDovraPosComandos::DoubleHeightOff,
      &TDovraPosComandos::InvertedOff,   &TDovraPosComandos::PageModeOff,
      &TDovraPosComandos::DefaultLineSpacing, &TDovraPosComandos::PrintPage,
      &TDovraPosComandos::DoubleHeightOn, &TDovraPosComandos::InvertedOn,
      &TDovraPosComandos::NormalFont,    &TDovraPosComandos::CondensedOn,
      &TDovraPosComandos::FullCut,       &TDovraPosComandos::LineSpacing,
      &TDovraPosComandos::ExpandedOn,    &TDovraPosComandos::CondensedOff,
      &TDovraPosComandos::ExpandedOff,   &TDovraPosComandos::ItalicOff,
      &TDovraPosComandos::BoldOff,       &TDovraPosComandos::UnderlineOff,
      &TDovraPosComandos::FontA,         &TDovraPosComandos::FontB,
      &TDovraPosComandos::ItalicOn,      &TDovraPosComandos::PageModeOn,
      &TDovraPosComandos::BoldOn,        &TDovraPosComandos::UnderlineOn,
      &TDovraPosComandos::LineBreak,     &TDovraPosComandos::Reset,
  };
  for (std::size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(ToHex(a.*fields[i]), ToHex(b.*fields[i])) << "field #" << i + 1;
  EXPECT_EQ(ToHex(a.FullCut), H("1B 77"));
  EXPECT_EQ(ToHex(a.LineBreak), H("0A"));
}

// Everything but the QR code and the status comes from Bematech.
TEST_F(ElginTest, InheritedBuilders) {
  EXPECT_EQ(ToHex(D().InitCommand()), H("1D F9 20 00 1B 32 1B 74 02"));
  EXPECT_EQ(ToHex(D().CodePageCommand(pcUTF8)), H("1B 74 08"));
  EXPECT_EQ(ToHex(D().DrawerCommand(2)), H("1B 80 C8"));
  EXPECT_EQ(ToHex(D().LogoCommand()), H("1C 70 01 00"));
  EXPECT_EQ(ToHex(D().BarcodeCommand("<code128c>", "1234")),
            H("1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 31 32 33 34"));
  EXPECT_EQ(ToHex(D().FontCommand(fkBold, true)), H("1B 45"));
  EXPECT_EQ(D().FontCommand(fkInverted, true), "");
  EXPECT_EQ(D().PageModeSetupCommand(), "");
}

TEST_F(ElginTest, QRCode) {
  struct Case {
    int tipo, largura, error;
    const char* hex;
  };
  const Case cases[] = {
      {2, 4, 0, "1D 6F 00 04 00 02 1D 6B 0B 4C 41 2C 41 42 43 00"},
      {2, 4, 1, "1D 6F 00 04 00 02 1D 6B 0B 4D 41 2C 41 42 43 00"},
      {2, 4, 2, "1D 6F 00 04 00 02 1D 6B 0B 51 41 2C 41 42 43 00"},
      {2, 4, 3, "1D 6F 00 04 00 02 1D 6B 0B 48 41 2C 41 42 43 00"},
      {1, 16, 0, "1D 6F 00 10 00 01 1D 6B 0B 4C 41 2C 41 42 43 00"},
      {1, 1, 0, "1D 6F 00 01 00 01 1D 6B 0B 4C 41 2C 41 42 43 00"},
  };
  for (const Case& c : cases) {
    printer.ConfigQRCode().SetTipo(c.tipo);
    printer.ConfigQRCode().SetLarguraModulo(c.largura);
    printer.ConfigQRCode().SetErrorLevel(c.error);
    EXPECT_EQ(ToHex(D().QRCodeCommand("ABC")), H(c.hex))
        << c.tipo << "/" << c.largura << "/" << c.error;
  }
  // No length field: long data goes out whole, ended by 00.
  const std::string big(400, 'z');
  EXPECT_EQ(D().QRCodeCommand(big), Hex("1D 6F 00 01 00 01 1D 6B 0B 4C 41 2C") + big + Hex("00"));
}

class ElginSerialTest : public ElginTest {
 protected:
  void Open(testing::TFakePrinter& fake) {
    if (printer.Active()) printer.SetDeviceActive(false);
    printer.SetPorta(fake.Porta());
    printer.SetDeviceActive(true);
  }
  void TearDown() override {
    if (printer.Active()) printer.SetDeviceActive(false);
  }
  TDovraPosStatusSet ReadStatus() {
    TDovraPosStatusSet status;
    D().ReadStatus(status);
    return status;
  }
};

TEST_F(ElginSerialTest, StatusBits) {
  struct Case {
    const char* reply;
    TDovraPosStatusSet expected;
  };
  const Case cases[] = {
      {"09", {}},                             // on line, cover closed
      {"00", {stOffLine, stTampaAberta}},
      {"1D", {stGavetaAberta, stPoucoPapel}},
      {"0B", {stSemPapel}},
      {"E9", {}},                             // bits 5 to 7 carry nothing
      {"16", {stPoucoPapel, stSemPapel, stGavetaAberta, stOffLine, stTampaAberta}},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("05"), Hex(c.reply));
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString(c.expected)) << c.reply;
    EXPECT_EQ(ToHex(fake.Received()), H("05"));
  }
}

TEST_F(ElginSerialTest, NoStatusReply) {
  testing::TFakePrinter fake;
  fake.SetMode(testing::TFakePrinter::Mode::kSilent);
  Open(fake);
  EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stErroLeitura}));
}

// Identification is Bematech's.
TEST_F(ElginSerialTest, Identification) {
  testing::TFakePrinter fake;
  fake.WhenEndsWith(Hex("1D F9 27 00"), "I9 FULL   ");
  fake.WhenEndsWith(Hex("1D F9 27 01"), "ABC");
  fake.WhenEndsWith(Hex("1D F9 27 03"), "1.2");
  fake.WhenEndsWith(Hex("1D F8 31"), Hex("00 00 00 00 00"));
  Open(fake);
  EXPECT_EQ(D().ReadInfo(), "Modelo=I9 FULL   \r\nSerial=ABC\r\nFirmware=1.2\r\nGuilhotina=1\r\n");
}

TEST_F(ElginTest, ReceiptEndToEnd) {
  char pattern[] = "/tmp/elgin-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern, file = dir / "cupom.prn";
  std::string log;
  printer.SetOnGravarLog([&](const std::string& line, bool&) { log += line; });
  printer.SetPorta("FILE:" + file.string());
  printer.SetLinhasEntreCupons(1);
  printer.ConfigQRCode().SetLarguraModulo(6);
  printer.Ativar();
  printer.Imprimir(
      "</ad><s>Elgin</s>\n<code128>{BX1</code128><qrcode>ABC</qrcode></corte_parcial>");
  printer.Desativar();
  std::ifstream in(file, std::ios::binary);
  const std::string out{std::istreambuf_iterator<char>(in), {}};
  std::filesystem::remove_all(dir);

  const std::string expected = Hex("1D F9 20 00 1B 32 1B 74 02") +
                               Hex("1B 61 02 1B 2D 01") + "Elgin" + Hex("1B 2D 00 0A") +
                               Hex("1D 77 02 1D 68 32 1D 48 00 1D 6B 49 02") + "X1" +
                               Hex("1D 6F 00 06 00 02 1D 6B 0B 4C 41 2C") + "ABC" + Hex("00") +
                               Hex("20 0A 1B 6D");
  EXPECT_EQ(ToHex(out), ToHex(expected));
  EXPECT_NE(log.find("  - Modelo.: EscElgin\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace dovra

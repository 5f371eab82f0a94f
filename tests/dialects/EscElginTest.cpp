// Elgin dialect: the Bematech command set with its own QR code and ENQ status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "dialects/DovraEscElgin.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"
#include "util/Bytes.h"

namespace dovra {
namespace {

using testing::AsHex;
using testing::H;

class ElginTest : public testing::DialectTest {
 protected:
  ElginTest() : DialectTest(ppEscVox) {}
};

TEST_F(ElginTest, VoxSelectsElginOnTopOfBematech) {
  EXPECT_NE(dynamic_cast<TDovraEscElgin*>(&Dialect()), nullptr);
  EXPECT_NE(dynamic_cast<TDovraEscBematech*>(&Dialect()), nullptr);
  EXPECT_EQ(Dialect().ModelName(), "EscElgin");
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Condensada, 0.75);
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Expandida, 2.0);
}

TEST_F(ElginTest, CommandTableIsBematechs) {
  TDovraPosPrinter bematech;
  bematech.SetModelo(ppEscBematech);
  const TDovraPosComandos& a = Dialect().Commands();
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
    EXPECT_EQ(AsHex(a.*fields[i]), AsHex(b.*fields[i])) << "field #" << i + 1;
  EXPECT_EQ(AsHex(a.FullCut), H("1B 77"));
  EXPECT_EQ(AsHex(a.LineBreak), H("0A"));
}

// Everything but the QR code and the status comes from Bematech.
TEST_F(ElginTest, InheritedBuilders) {
  EXPECT_EQ(AsHex(Dialect().InitCommand()), H("1D F9 20 00 1B 32 1B 74 02"));
  EXPECT_EQ(AsHex(Dialect().CodePageCommand(pcUTF8)), H("1B 74 08"));
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(2)), H("1B 80 C8"));
  EXPECT_EQ(AsHex(Dialect().LogoCommand()), H("1C 70 01 00"));
  EXPECT_EQ(AsHex(Dialect().BarcodeCommand("<code128c>", "1234")),
            H("1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 31 32 33 34"));
  EXPECT_EQ(AsHex(Dialect().FontCommand(fkBold, true)), H("1B 45"));
  EXPECT_EQ(Dialect().FontCommand(fkInverted, true), "");
  EXPECT_EQ(Dialect().PageModeSetupCommand(), "");
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
    EXPECT_EQ(AsHex(Dialect().QRCodeCommand("ABC")), H(c.hex))
        << c.tipo << "/" << c.largura << "/" << c.error;
  }
  // No length field: long data goes out whole, ended by 00.
  const std::string big(400, 'z');
  EXPECT_EQ(Dialect().QRCodeCommand(big),
            Hex("1D 6F 00 01 00 01 1D 6B 0B 4C 41 2C") + big + Hex("00"));
}

using ElginSerialTest = testing::OnFakePrinter<ElginTest>;

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
    EXPECT_EQ(AsHex(fake.Received()), H("05"));
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
  EXPECT_EQ(Dialect().ReadInfo(),
            "Modelo=I9 FULL   \r\nSerial=ABC\r\nFirmware=1.2\r\nGuilhotina=1\r\n");
}

TEST_F(ElginTest, ReceiptEndToEnd) {
  const testing::TempFolder dir;
  const std::string file = dir.File("cupom.prn");
  std::string log;
  printer.SetOnGravarLog([&](const std::string& line, bool&) { log += line; });
  printer.SetPorta("FILE:" + file);
  printer.SetLinhasEntreCupons(1);
  printer.ConfigQRCode().SetLarguraModulo(6);
  printer.Ativar();
  printer.Imprimir(
      "</ad><s>Elgin</s>\n<code128>{BX1</code128><qrcode>ABC</qrcode></corte_parcial>");
  printer.Desativar();
  const std::string out = testing::ReadFile(file);

  const std::string expected = Hex("1D F9 20 00 1B 32 1B 74 02") +
                               Hex("1B 61 02 1B 2D 01") + "Elgin" + Hex("1B 2D 00 0A") +
                               Hex("1D 77 02 1D 68 32 1D 48 00 1D 6B 49 02") + "X1" +
                               Hex("1D 6F 00 06 00 02 1D 6B 0B 4C 41 2C") + "ABC" + Hex("00") +
                               Hex("20 0A 1B 6D");
  EXPECT_EQ(AsHex(out), AsHex(expected));
  EXPECT_NE(log.find("  - Modelo.: EscElgin\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace dovra

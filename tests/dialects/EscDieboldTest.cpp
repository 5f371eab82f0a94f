#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialects/DovraEscDiebold.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"

namespace dovra {
namespace {

using testing::AsHex;

class EscDieboldTest : public testing::DialectTest {
 protected:
  EscDieboldTest() : DialectTest(ppEscDiebold) {}
};

TEST_F(EscDieboldTest, KeepsTheEscPosCommands) {
  EXPECT_EQ(Dialect().ModelName(), "EscDiebold");
  EXPECT_NE(dynamic_cast<TDovraEscPosEpson*>(&Dialect()), nullptr);
  const TDovraPosComandos& c = Dialect().Commands();
  EXPECT_EQ(AsHex(c.Reset), "1B 40");
  EXPECT_EQ(AsHex(c.LineBreak), "0A");
  EXPECT_EQ(AsHex(c.FullCut), "1D 56 00");
  EXPECT_EQ(AsHex(c.AlignCenter), "1B 61 01");
  EXPECT_EQ(AsHex(c.Beep), "1B 28 41 05 00 61 64 01 32 32");
  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 32 1B 74 02");
  EXPECT_EQ(AsHex(Dialect().CodePageCommand(pc1252)), "1B 74 10");
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(2)), "1B 70 01 32 C8");
  EXPECT_EQ(AsHex(printer.TraduzirTag("<e>")), "1B 21 20");
  EXPECT_EQ(AsHex(printer.TraduzirTag("<in>")), "1D 42 01");
  EXPECT_EQ(AsHex(printer.TraduzirTag("<n>")), "1B 21 28 1D 42 01");
  EXPECT_EQ(AsHex(Dialect().PageModeSetupCommand()), "1B 54 00 1B 32 1B 57 00 00 00 00 00 00 00 00");
}

TEST_F(EscDieboldTest, BarcodesUseCode128WithoutSelector) {
  struct Case {
    const char* tag;
    std::string code;
    int width, height;
    const char* hex;
  };
  const std::vector<Case> cases = {
      {"<code128a>", "ABC", 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 03 41 42 43"},
      {"<code128>", "ABC", 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 03 41 42 43"},
      {"<code128b>", "{BAB", 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 02 41 42"},
      {"<code128c>", "1234", 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 31 32 33 34"},
      {"<ean13>", "789123456789", 9, 300,
       "1D 77 04 1D 68 FF 1D 48 00 1D 6B 43 0C 37 38 39 31 32 33 34 35 36 37 38 39"},
      {"<std>", "12", 0, 0, "31 32"},
  };
  for (const Case& c : cases) {
    printer.ConfigBarras().SetLarguraLinha(c.width);
    printer.ConfigBarras().SetAltura(c.height);
    EXPECT_EQ(AsHex(Dialect().BarcodeCommand(c.tag, c.code)), c.hex) << c.tag << " " << c.code;
  }
}

TEST_F(EscDieboldTest, QRCodeFollowsAlignment) {
  struct Case {
    const char* alignTag;
    int modulo, level;
    const char* hex;
  };
  const std::vector<Case> cases = {
      {"</ce>", 4, 1,
       "1B 28 6B 03 00 31 42 31 1B 28 6B 03 00 31 43 04 1B 28 6B 03 00 31 45 31 "
       "1B 28 6B 06 00 31 50 30 41 42 43 1B 28 6B 03 00 31 51 30"},
      {"</ad>", 16, 3,
       "1B 28 6B 03 00 31 42 31 1B 28 6B 03 00 31 43 10 1B 28 6B 03 00 31 45 33 "
       "1B 28 6B 06 00 31 50 30 41 42 43 1B 28 6B 03 00 31 51 30"},
      {"</ae>", 4, 1,
       "1B 28 6B 03 00 31 42 30 1B 28 6B 03 00 31 43 04 1B 28 6B 03 00 31 45 31 "
       "1B 28 6B 06 00 31 50 30 41 42 43 1B 28 6B 03 00 31 51 30"},
  };
  printer.ConfigQRCode().SetTipo(1);  // no model is selected: the type changes nothing
  for (const Case& c : cases) {
    printer.TraduzirTag(c.alignTag);
    printer.ConfigQRCode().SetLarguraModulo(c.modulo);
    printer.ConfigQRCode().SetErrorLevel(c.level);
    EXPECT_EQ(AsHex(Dialect().QRCodeCommand("ABC")), c.hex) << c.alignTag;
  }
  const std::string big = AsHex(Dialect().QRCodeCommand(std::string(300, 'q')));
  EXPECT_NE(big.find("1B 28 6B 2F 01 31 50 30 71"), std::string::npos);
}

TEST_F(EscDieboldTest, LogoNumberFromTheKeyCodes) {
  struct Case {
    char kc1, kc2;
    const char* hex;
  };
  const std::vector<Case> cases = {
      {' ', ' ', "1D 30 39 00"},  // the defaults are no number
      {'0', '3', "1D 30 39 03"}, {'0', '9', "1D 30 39 09"}, {'1', '2', "1D 30 39 09"},
      {'0', '0', "1D 30 39 00"}, {' ', '5', "1D 30 39 05"}, {'5', ' ', "1D 30 39 00"},
      {'A', '1', "1D 30 39 00"}, {'-', '1', "1D 30 39 00"}, {'\0', '4', "1D 30 39 00"},
  };
  printer.ConfigLogo().SetFatorX(3);
  printer.ConfigLogo().SetFatorY(2);
  for (const Case& c : cases) {
    printer.ConfigLogo().SetKeyCode1(static_cast<std::uint8_t>(c.kc1));
    printer.ConfigLogo().SetKeyCode2(static_cast<std::uint8_t>(c.kc2));
    EXPECT_EQ(AsHex(Dialect().LogoCommand()), c.hex) << "'" << c.kc1 << "' '" << c.kc2 << "'";
  }
}

TEST_F(EscDieboldTest, ReadInfoAsksNothing) {
  // No port is open and none could be: the answer is fixed.
  printer.SetPorta("/dev/pts/999999");
  EXPECT_EQ(Dialect().ReadInfo(), "Fabricante=Diebold\r\n");

  testing::TFakePrinter fake;
  printer.SetPorta(fake.Porta());
  EXPECT_EQ(printer.LerInfoImpressora(), "Fabricante=Diebold\r\n");
  EXPECT_EQ(fake.Received(), "");
  EXPECT_FALSE(printer.Active());
}

TEST_F(EscDieboldTest, ReadStatusIsTheEscPosOne) {
  testing::TFakePrinter fake;
  fake.WhenEndsWith("\x10\x04\x01", "\x10");
  fake.WhenEndsWith("\x10\x04\x02", "\x12");
  fake.WhenEndsWith("\x10\x04\x04", "\x12");
  printer.SetPorta(fake.Porta());
  EXPECT_EQ(printer.LerStatusImpressora(1), TDovraPosStatusSet({stGavetaAberta}));
  EXPECT_EQ(AsHex(fake.Received()), "10 04 01 10 04 02 10 04 04");
}

TEST_F(EscDieboldTest, ReceiptThroughFilePort) {
  const testing::TempFolder dir;
  const std::string out = dir.File("cupom.prn");
  printer.SetPorta("FILE:" + out);
  printer.SetLinhasEntreCupons(1);
  printer.SetCortaPapel(true);
  printer.Ativar();
  printer.Imprimir(
      "</ce><a>OFERTA</a>\n"
      "<qrcode>X1</qrcode>"
      "</ae><code128c>0123</code128c>"
      "<n>OK</n></corte_parcial>");
  printer.Desativar();
  EXPECT_EQ(AsHex(testing::ReadFile(out)),
            "1B 32 1B 74 02 "
            "1B 61 01 1B 21 10 4F 46 45 52 54 41 1B 21 00 0A "  // centred, double height
            // QR centred (alignment is centre at that point)
            "1B 28 6B 03 00 31 42 31 1B 28 6B 03 00 31 43 04 1B 28 6B 03 00 31 45 30 "
            "1B 28 6B 05 00 31 50 30 58 31 1B 28 6B 03 00 31 51 30 "
            "1B 61 00 "
            "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 30 31 32 33 "  // digits as characters
            "1B 21 08 4F 4B 1B 21 00 "
            "20 0A 1D 56 01");
}

}  // namespace
}  // namespace dovra

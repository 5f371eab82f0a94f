// Bematech dialect: command table, builders, initialisation, status and identification.
#include <gtest/gtest.h>

#include <string>

#include "dialects/DovraEscBematech.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"
#include "util/Bytes.h"

namespace dovra {
namespace {

using testing::AsHex;
using testing::H;

class BematechTest : public testing::DialectTest {
 protected:
  BematechTest() : DialectTest(ppEscBematech) {}
};

using BematechFileTest = testing::OnFilePort<BematechTest>;

TEST_F(BematechTest, ModelNameAndRatios) {
  EXPECT_NE(dynamic_cast<TDovraEscBematech*>(&Dialect()), nullptr);
  EXPECT_EQ(Dialect().ModelName(), "EscBematech");
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Condensada, 0.75);
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Expandida, 2.0);
}

TEST_F(BematechTest, CommandTable) {
  const std::vector<testing::TCommandRow> rows = {
      {&TDovraPosComandos::Beep, "Beep", "1B 28 41 04 00 01 02 01 00"},
      {&TDovraPosComandos::AlignCenter, "AlignCenter", "1B 61 01"},
      {&TDovraPosComandos::AlignRight, "AlignRight", "1B 61 02"},
      {&TDovraPosComandos::AlignLeft, "AlignLeft", "1B 61 00"},
      {&TDovraPosComandos::PartialCut, "PartialCut", "1B 6D"},
      {&TDovraPosComandos::DoubleHeightOff, "DoubleHeightOff", "1B 64 00"},
      {&TDovraPosComandos::InvertedOff, "InvertedOff", ""},
      {&TDovraPosComandos::PageModeOff, "PageModeOff", ""},
      {&TDovraPosComandos::DefaultLineSpacing, "DefaultLineSpacing", "1B 32"},
      {&TDovraPosComandos::PrintPage, "PrintPage", ""},
      {&TDovraPosComandos::DoubleHeightOn, "DoubleHeightOn", "1B 64 01"},
      {&TDovraPosComandos::InvertedOn, "InvertedOn", ""},
      {&TDovraPosComandos::NormalFont, "NormalFont", "1B 21 00 1B 48 1B 35"},
      {&TDovraPosComandos::CondensedOn, "CondensedOn", "1B 0F"},
      {&TDovraPosComandos::FullCut, "FullCut", "1B 77"},
      {&TDovraPosComandos::LineSpacing, "LineSpacing", "1B 33"},
      {&TDovraPosComandos::ExpandedOn, "ExpandedOn", "1B 57 01"},
      {&TDovraPosComandos::CondensedOff, "CondensedOff", "1B 48"},
      {&TDovraPosComandos::ExpandedOff, "ExpandedOff", "1B 57 00"},
      {&TDovraPosComandos::ItalicOff, "ItalicOff", "1B 35"},
      {&TDovraPosComandos::BoldOff, "BoldOff", "1B 46"},
      {&TDovraPosComandos::UnderlineOff, "UnderlineOff", "1B 2D 00"},
      {&TDovraPosComandos::FontA, "FontA", "1B 48"},
      {&TDovraPosComandos::FontB, "FontB", "1B 0F"},
      {&TDovraPosComandos::ItalicOn, "ItalicOn", "1B 34"},
      {&TDovraPosComandos::PageModeOn, "PageModeOn", ""},
      {&TDovraPosComandos::BoldOn, "BoldOn", "1B 45"},
      {&TDovraPosComandos::UnderlineOn, "UnderlineOn", "1B 2D 01"},
      {&TDovraPosComandos::LineBreak, "LineBreak", "0A"},
      {&TDovraPosComandos::Reset, "Reset", "1B 40"},
  };
  ExpectCommandTable(Dialect().Commands(), rows);
}

// Fonts are the plain table lookup (no combined print mode); inverted printing and page
// mode do not exist and their tags send nothing.
TEST_F(BematechTest, TagsThatUseTheTable) {
  printer.SetLinhasEntreCupons(0);
  const std::pair<const char*, const char*> cases[] = {
      {"<n>", "1B 45"},          {"</n>", "1B 46"},       {"<e>", "1B 57 01"},
      {"<c>", "1B 0F"},          {"</c>", "1B 48"},       {"<i>", "1B 34"},
      {"</i>", "1B 35"},         {"<a>", "1B 64 01"},     {"</a>", "1B 64 00"},
      {"<s>", "1B 2D 01"},       {"</fb>", "1B 0F"},      {"</fa>", "1B 48"},
      {"<in>", ""},              {"</in>", ""},           {"<mp>", ""},
      {"</mp>", ""},             {"</mp_imprimir>", ""},  {"</mp_configurar>", ""},
      {"</fn>", "1B 21 00 1B 48 1B 35"},                  {"</ad>", "1B 61 02"},
      {"</corte_total>", "1B 77"},                        {"</corte_parcial>", "1B 6D"},
      {"</beep>", "1B 28 41 04 00 01 02 01 00"},          {"</lf>", "20 0A"},
  };
  for (const auto& [tag, hex] : cases) EXPECT_EQ(AsHex(printer.TraduzirTag(tag)), H(hex)) << tag;
  // With bold already on, another feature still gives only its own command.
  printer.TraduzirTag("<n>");
  EXPECT_EQ(AsHex(printer.TraduzirTag("<e>")), H("1B 57 01"));
}

TEST_F(BematechTest, LineSpacing) {
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(0)), H("1B 32"));
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(40)), H("1B 33 28"));
  EXPECT_EQ(Dialect().LineFeedCommand(0), "");
  EXPECT_EQ(Dialect().LineFeedCommand(-2), "");
  EXPECT_EQ(AsHex(Dialect().LineFeedCommand(3)), H("20 0A 20 0A 20 0A"));
}

TEST_F(BematechTest, CodePages) {
  const std::pair<TDovraPosPaginaCodigo, const char*> cases[] = {
      {pcNone, ""},        {pc437, "1B 74 03"}, {pc850, "1B 74 02"}, {pc852, ""},
      {pc860, "1B 74 04"}, {pcUTF8, "1B 74 08"}, {pc1252, ""},
  };
  for (const auto& [page, hex] : cases)
    EXPECT_EQ(AsHex(Dialect().CodePageCommand(page)), H(hex)) << NameOf(page);
}

TEST_F(BematechTest, InitCommand) {
  EXPECT_EQ(AsHex(Dialect().InitCommand()), H("1D F9 20 00 1B 32 1B 74 02"));
  printer.SetEspacoEntreLinhas(30);
  printer.SetPaginaDeCodigo(pc437);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), H("1D F9 20 00 1B 33 1E 1B 74 03"));
  printer.SetEspacoEntreLinhas(0);
  printer.SetPaginaDeCodigo(pc1252);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), H("1D F9 20 00 1B 32"));
}

struct BarcodeCase {
  const char* tag;
  std::string code;
  bool mostrar;
  int largura;
  int altura;
  std::string expected;  // hexadecimal
};

TEST_F(BematechTest, Barcodes) {
  const std::string dflt = "1D 77 02 1D 68 32 1D 48 00 ";
  const BarcodeCase cases[] = {
      {"<ean13>", "789123456789", false, 0, 0,
       dflt + "1D 6B 43 0C 37 38 39 31 32 33 34 35 36 37 38 39"},
      // Code 128 has no code-set selector here: digits stay digits, a given selector is dropped.
      {"<code128c>", "1234", false, 0, 0, dflt + "1D 6B 49 04 31 32 33 34"},
      {"<code128>", "{AXYZ", false, 0, 0, dflt + "1D 6B 49 03 58 59 5A"},
      {"<code128a>", "ABC", false, 0, 0, dflt + "1D 6B 49 03 41 42 43"},
      {"<code128b>", "ABC", false, 0, 0, dflt + "1D 6B 49 03 41 42 43"},
      // The limits: width 1..4, height 1..255; text under the bars.
      {"<ean8>", "1234567", true, 9, 300,
       "1D 77 04 1D 68 FF 1D 48 02 1D 6B 44 07 31 32 33 34 35 36 37"},
      {"<upca>", "12345678901", false, -3, 1,
       "1D 77 01 1D 68 01 1D 48 00 1D 6B 41 0B 31 32 33 34 35 36 37 38 39 30 31"},
      {"<code39>", "AB-1", false, 3, 80, "1D 77 03 1D 68 50 1D 48 00 1D 6B 45 04 41 42 2D 31"},
      // Symbologies the printer lacks come out as plain text.
      {"<std>", "123", false, 0, 0, "31 32 33"},
      {"<code11>", "123", false, 0, 0, "31 32 33"},
  };
  for (const BarcodeCase& c : cases) {
    printer.ConfigBarras().SetMostrarCodigo(c.mostrar);
    printer.ConfigBarras().SetLarguraLinha(c.largura);
    printer.ConfigBarras().SetAltura(c.altura);
    EXPECT_EQ(AsHex(Dialect().BarcodeCommand(c.tag, c.code)), H(c.expected)) << c.tag;
  }
}

TEST_F(BematechTest, QRCode) {
  struct Case {
    int tipo, largura, error;
    std::string data;
    std::string expectedHead;  // hexadecimal, followed by the data
  };
  const Case cases[] = {
      {2, 4, 0, "ABC", "1D 6B 51 00 08 00 01 03 00"},
      {1, 4, 0, "ABC", "1D 6B 51 00 08 00 01 03 00"},  // the model number is not sent
      {2, 16, 3, "ABC", "1D 6B 51 03 20 00 01 03 00"},
      {2, 1, 1, "ABC", "1D 6B 51 01 02 00 01 03 00"},
      {2, 4, 2, std::string(300, 'x'), "1D 6B 51 02 08 00 01 2C 01"},
      {2, 4, 0, "", "1D 6B 51 00 08 00 01 00 00"},
  };
  for (const Case& c : cases) {
    printer.ConfigQRCode().SetTipo(c.tipo);
    printer.ConfigQRCode().SetLarguraModulo(c.largura);
    printer.ConfigQRCode().SetErrorLevel(c.error);
    EXPECT_EQ(AsHex(Dialect().QRCodeCommand(c.data)), AsHex(Hex(c.expectedHead) + c.data))
        << c.largura << "/" << c.error << "/" << c.data.size();
  }
}

// The length field has 16 bits: data beyond 65535 bytes is cut so the printer is not
// told a wrong length.
TEST_F(BematechTest, QRCodeLengthFieldStaysTrue) {
  const std::string cmd = Dialect().QRCodeCommand(std::string(70000, '7'));
  ASSERT_EQ(cmd.size(), 9u + 65535u);
  EXPECT_EQ(AsHex(cmd.substr(0, 9)), H("1D 6B 51 00 08 00 01 FF FF"));
}

TEST_F(BematechTest, Logo) {
  struct Case {
    std::uint8_t kc1, kc2, fx, fy;
    const char* hex;
  };
  const Case cases[] = {
      {32, 32, 1, 1, "1C 70 01 00"},      // defaults: two blanks are no number
      {'1', '2', 1, 1, "1C 70 0C 00"},    // "12"
      {'9', '9', 1, 1, "1C 70 63 00"},    // "99"
      {' ', '7', 1, 1, "1C 70 07 00"},    // a blank in front of one digit
      {'A', '2', 1, 1, "1C 70 01 00"},    // not a number
      {'1', 'B', 1, 1, "1C 70 01 00"},
      {'5', 0, 1, 1, "1C 70 05 00"},      // a digit alone stands for its value
      {7, 0, 1, 1, "1C 70 07 00"},        // any other byte is the number itself
      {'A', 0, 1, 1, "1C 70 41 00"},
      {'1', '2', 2, 1, "1C 70 0C 01"},    // double width
      {'1', '2', 1, 4, "1C 70 0C 02"},    // double height
      {'1', '2', 3, 2, "1C 70 0C 03"},
      {'1', '2', 0, 0, "1C 70 0C 00"},
  };
  for (const Case& c : cases) {
    TDovraConfigLogo& logo = printer.ConfigLogo();
    logo.SetKeyCode1(c.kc1);
    logo.SetKeyCode2(c.kc2);
    logo.SetFatorX(c.fx);
    logo.SetFatorY(c.fy);
    EXPECT_EQ(AsHex(Dialect().LogoCommand()), H(c.hex)) << int(c.kc1) << "," << int(c.kc2);
  }
}

TEST_F(BematechTest, Drawer) {
  struct Case {
    int drawer;
    std::uint8_t on, off;
    const char* hex;
  };
  const Case cases[] = {
      {1, 50, 200, "1B 76 C8"},   // defaults
      {2, 50, 200, "1B 80 C8"},
      {2, 250, 10, "1B 80 FA"},   // the longer of the two times
      {0, 10, 20, "1B 76 14"},
      {-1, 0, 0, "1B 76 00"},
      {3, 100, 100, "1B 80 64"},
  };
  for (const Case& c : cases) {
    printer.ConfigGaveta().SetTempoON(c.on);
    printer.ConfigGaveta().SetTempoOFF(c.off);
    EXPECT_EQ(AsHex(Dialect().DrawerCommand(c.drawer)), H(c.hex)) << c.drawer;
  }
  EXPECT_EQ(AsHex(printer.TraduzirTagBloco("<abre_gaveta>", "2")), H("1B 80 64"));
}

TEST_F(BematechTest, PlainTextLeftovers) {
  EXPECT_EQ(Dialect().PageModeSetupCommand(), "");
  EXPECT_EQ(Dialect().TranslateBlockTag("<ce>", "abc"), "abc");
  EXPECT_EQ(Dialect().FontCommand(fkNormal, true), "");
  EXPECT_EQ(Dialect().FontCommand(fkInverted, true), "");
  EXPECT_EQ(Dialect().FontCommand(fkInverted, false), "");
}

using BematechSerialTest = testing::OnFakePrinter<BematechTest>;

TEST_F(BematechSerialTest, StatusBits) {
  struct Case {
    const char* reply;  // hexadecimal; only the first two of the five bytes count
    TDovraPosStatusSet expected;
  };
  const Case cases[] = {
      {"08 90 FF FF FF", {stOffLine}},
      {"00 00 00 00 00", {stGavetaAberta, stTampaAberta}},
      {"04 90 00 00 00", {stImprimindo}},
      {"10 90 00 00 00", {stImprimindo}},
      {"00 92 00 00 00", {stPoucoPapel}},
      {"00 94 00 00 00", {stSemPapel}},
      {"00 B0 00 00 00", {stSemPapel}},
      {"00 D0 00 00 00", {stErro}},
      {"E3 99 FF FF FF", {}},  // bits that carry nothing
      {"1C F6 00 00 00", {stErro, stPoucoPapel, stSemPapel, stImprimindo, stOffLine}},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("1D F8 31"), Hex(c.reply));
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString(c.expected)) << c.reply;
    EXPECT_EQ(AsHex(fake.Received()), H("1D F8 31"));
  }
}

// A reply too short to decode, or none at all, is a failed reading, never an exception.
TEST_F(BematechSerialTest, StatusReadingFailures) {
  for (const char* reply : {"08", "08 90 00 00"}) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("1D F8 31"), Hex(reply));
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stErroLeitura})) << reply;
  }
  testing::TFakePrinter silent;
  silent.SetMode(testing::TFakePrinter::Mode::kSilent);
  Open(silent);
  EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stErroLeitura}));
  printer.SetDeviceActive(false);
  // On a closed port the exchange fails as well.
  EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stErroLeitura}));
}

TEST_F(BematechSerialTest, Identification) {
  for (const auto& [state, cutter] : {std::pair{"00 00 04 00 00", "0"}, {"FF FF FB FF FF", "1"}}) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("1D F9 27 00"), "MP-4200 TH");
    fake.WhenEndsWith(Hex("1D F9 27 01"), "5211000123");
    fake.WhenEndsWith(Hex("1D F9 27 03"), "010");
    fake.WhenEndsWith(Hex("1D F8 31"), Hex(state));
    Open(fake);
    EXPECT_EQ(Dialect().ReadInfo(), std::string("Modelo=MP-4200 TH\r\nSerial=5211000123\r\n"
                                          "Firmware=010\r\nGuilhotina=") +
                                  cutter + "\r\n");
    EXPECT_EQ(AsHex(fake.Received()), H("1D F9 27 00 1D F9 27 01 1D F9 27 03 1D F8 31"));
  }
}

TEST_F(BematechSerialTest, IdentificationErrorsPropagate) {
  testing::TFakePrinter fake;
  fake.WhenEndsWith(Hex("1D F9 27 00"), "MP-4200 TH");
  fake.WhenEndsWith(Hex("1D F9 27 01"), "5211000123");
  // The firmware query goes unanswered.
  Open(fake);
  EXPECT_THROW(Dialect().ReadInfo(), std::exception);
}

// A receipt through Imprimir: the first send carries the initialisation, the second does not.
TEST_F(BematechFileTest, ReceiptEndToEnd) {
  printer.SetLinhasEntreCupons(2);
  printer.Ativar();
  printer.Imprimir(
      "</ce><n>LOJA</n>\n</ae><e>Total</e> 9,90\n"
      "<ean13>789123456789</ean13><qrcode>ABC</qrcode></corte_total>");
  printer.Imprimir("fim\n");
  printer.Desativar();

  const std::string expected =
      Hex("1D F9 20 00 1B 32 1B 74 02") +                    // initialisation
      Hex("1B 61 01 1B 45") + "LOJA" + Hex("1B 46 0A") +     // centred, bold
      Hex("1B 61 00 1B 57 01") + "Total" + Hex("1B 57 00") + " 9,90" + Hex("0A") +
      Hex("1D 77 02 1D 68 32 1D 48 00 1D 6B 43 0C") + "789123456789" +
      Hex("1D 6B 51 00 08 00 01 03 00") + "ABC" +
      Hex("20 0A 20 0A 1B 77") +                             // feed, full cut
      "fim" + Hex("0A");
  EXPECT_EQ(AsHex(Output()), AsHex(expected));
}

// Without a code-page command the text is still converted to the chosen code page.
TEST_F(BematechFileTest, CodePageWithoutCommandStillConverts) {
  printer.SetPaginaDeCodigo(pc852);
  printer.Ativar();
  printer.Imprimir("a\xC3\xA7\xC3\xA3o");  // "ação"; CP852 has ç (87) but no ã
  printer.Desativar();
  EXPECT_EQ(AsHex(Output()), H("1D F9 20 00 1B 32 61 87 3F 6F"));
}

}  // namespace
}  // namespace dovra

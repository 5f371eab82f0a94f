// Daruma dialect: command table, builders, configuration on activation, status and
// identification.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialects/DovraEscDaruma.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"
#include "util/Bytes.h"

namespace dovra {
namespace {

using testing::AsHex;
using testing::H;

// ESC C6, thirty "X", the switch byte, nine "X".
std::string ConfigString(char c) {
  return Hex("1B C6") + std::string(30, '\x58') + c + std::string(9, '\x58');
}

class DarumaTest : public testing::DialectTest {
 protected:
  DarumaTest() : DialectTest(ppEscDaruma) {}
  TDovraEscDaruma& Daruma() { return dynamic_cast<TDovraEscDaruma&>(printer.Dialect()); }
};

using DarumaFileTest = testing::OnFilePort<DarumaTest>;

TEST_F(DarumaTest, NewDialect) {
  EXPECT_EQ(Dialect().ModelName(), "EscDaruma");
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Condensada, 0.8421);
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Expandida, 2.0);
  EXPECT_FALSE(Daruma().Configured());
  EXPECT_EQ(printer.CondensedColumns(), 57);
  printer.TraduzirTag("<c>");
  EXPECT_EQ(printer.TraduzirTag("</linha_simples>"), std::string(57, '-'));
}

TEST_F(DarumaTest, CommandTable) {
  const std::vector<testing::TCommandRow> rows = {
      {&TDovraPosComandos::Beep, "Beep", "07"},
      {&TDovraPosComandos::AlignCenter, "AlignCenter", "1B 6A 01"},
      {&TDovraPosComandos::AlignRight, "AlignRight", "1B 6A 02"},
      {&TDovraPosComandos::AlignLeft, "AlignLeft", "1B 6A 00"},
      {&TDovraPosComandos::PartialCut, "PartialCut", "1B 6D"},
      {&TDovraPosComandos::DoubleHeightOff, "DoubleHeightOff", "1B 77 00"},
      {&TDovraPosComandos::InvertedOff, "InvertedOff", ""},
      {&TDovraPosComandos::PageModeOff, "PageModeOff", ""},
      {&TDovraPosComandos::DefaultLineSpacing, "DefaultLineSpacing", "1B 32"},
      {&TDovraPosComandos::PrintPage, "PrintPage", ""},
      {&TDovraPosComandos::DoubleHeightOn, "DoubleHeightOn", "1B 77 01"},
      {&TDovraPosComandos::InvertedOn, "InvertedOn", ""},
      {&TDovraPosComandos::NormalFont, "NormalFont", "1B 21 00 12"},
      {&TDovraPosComandos::CondensedOn, "CondensedOn", "1B 0F"},
      {&TDovraPosComandos::FullCut, "FullCut", "1B 6D"},
      {&TDovraPosComandos::LineSpacing, "LineSpacing", "1B 33"},
      {&TDovraPosComandos::ExpandedOn, "ExpandedOn", "1B 57 01"},
      {&TDovraPosComandos::CondensedOff, "CondensedOff", "12"},
      {&TDovraPosComandos::ExpandedOff, "ExpandedOff", "1B 57 00"},
      {&TDovraPosComandos::ItalicOff, "ItalicOff", "1B 34 00"},
      {&TDovraPosComandos::BoldOff, "BoldOff", "1B 46"},
      {&TDovraPosComandos::UnderlineOff, "UnderlineOff", "1B 2D 00"},
      {&TDovraPosComandos::FontA, "FontA", "14"},
      {&TDovraPosComandos::FontB, "FontB", "1B 0F"},
      {&TDovraPosComandos::ItalicOn, "ItalicOn", "1B 34 01"},
      {&TDovraPosComandos::PageModeOn, "PageModeOn", ""},
      {&TDovraPosComandos::BoldOn, "BoldOn", "1B 45"},
      {&TDovraPosComandos::UnderlineOn, "UnderlineOn", "1B 2D 01"},
      {&TDovraPosComandos::LineBreak, "LineBreak", "0A"},
      {&TDovraPosComandos::Reset, "Reset", "1B 40"},
  };
  ExpectCommandTable(Dialect().Commands(), rows);
}

TEST_F(DarumaTest, FontsAndFixedCommands) {
  const std::pair<const char*, const char*> cases[] = {
      {"<i>", "1B 34 01"}, {"</i>", "1B 34 00"}, {"<a>", "1B 77 01"}, {"</a>", "1B 77 00"},
      {"</fa>", "14"},     {"</fb>", "1B 0F"},   {"</c>", "12"},      {"<in>", ""},
      {"</in>", ""},       {"<mp>", ""},         {"</mp>", ""},       {"</fn>", "1B 21 00 12"},
      {"</beep>", "07"},   {"</ce>", "1B 6A 01"},
  };
  for (const auto& [tag, hex] : cases) EXPECT_EQ(AsHex(printer.TraduzirTag(tag)), H(hex)) << tag;

  // Code pages are never selected in the printer; the logo and the drawer are fixed.
  for (TDovraPosPaginaCodigo page : {pcNone, pc437, pc850, pc852, pc860, pcUTF8, pc1252})
    EXPECT_EQ(Dialect().CodePageCommand(page), "") << NameOf(page);
  printer.ConfigLogo().SetKeyCode1('5');
  printer.ConfigLogo().SetKeyCode2(0);
  printer.ConfigLogo().SetFatorX(2);
  EXPECT_EQ(AsHex(Dialect().LogoCommand()), H("16 08 16 09"));
  printer.ConfigGaveta().SetTempoON(99);
  for (int drawer : {0, 1, 2, 7})
    EXPECT_EQ(AsHex(Dialect().DrawerCommand(drawer)), H("1B 70")) << drawer;
  EXPECT_EQ(Dialect().PageModeSetupCommand(), "");
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(20)), H("1B 33 14"));
}

TEST_F(DarumaTest, ConfigurationString) {
  const std::string one = TDovraEscDaruma::ConfigurationCommand('1');
  ASSERT_EQ(one.size(), 42u);
  EXPECT_EQ(AsHex(one), AsHex(ConfigString('1')));
  EXPECT_EQ(AsHex(one.substr(0, 3)), H("1B C6 58"));
  EXPECT_EQ(AsHex(one.substr(31, 3)), H("58 31 58"));  // the 31st parameter byte
  EXPECT_EQ(AsHex(TDovraEscDaruma::ConfigurationCommand('0')), AsHex(ConfigString('0')));
}

// Until Configure has reached the printer, every initialisation carries the string ("1").
TEST_F(DarumaTest, InitCommandBeforeConfigure) {
  EXPECT_EQ(AsHex(Dialect().InitCommand()), AsHex(ConfigString('1') + Hex("1B 32")));
  printer.SetEspacoEntreLinhas(5);
  printer.SetPaginaDeCodigo(pc437);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), AsHex(ConfigString('1') + Hex("1B 33 05")));
}

TEST_F(DarumaTest, Barcodes) {
  struct Case {
    const char* tag;
    std::string code;
    bool mostrar;
    int largura, altura;
    std::string expected;  // hexadecimal
  };
  const Case cases[] = {
      {"<ean8>", "1234567", false, 0, 0, "1B 62 02 02 32 00 31 32 33 34 35 36 37 00"},
      {"<ean8>", "1234567", false, 1, 20, "1B 62 02 02 32 00 31 32 33 34 35 36 37 00"},
      {"<ean8>", "1234567", true, 9, 255, "1B 62 02 05 C8 01 31 32 33 34 35 36 37 00"},
      {"<ean8>", "1234567", false, -4, -9, "1B 62 02 02 32 00 31 32 33 34 35 36 37 00"},
      {"<ean8>", "1234567", false, 3, 120, "1B 62 02 03 78 00 31 32 33 34 35 36 37 00"},
      {"<ean13>", "12", false, 0, 0, "1B 62 01 02 32 00 31 32 00"},
      {"<std>", "12", false, 0, 0, "1B 62 03 02 32 00 31 32 00"},
      {"<inter>", "12", false, 0, 0, "1B 62 04 02 32 00 31 32 00"},
      {"<code128>", "12", false, 0, 0, "1B 62 05 02 32 00 31 32 00"},
      {"<code128a>", "{A1", false, 0, 0, "1B 62 05 02 32 00 7B 41 31 00"},
      {"<code128b>", "12", false, 0, 0, "1B 62 05 02 32 00 31 32 00"},
      {"<code128c>", "1234", false, 0, 0, "1B 62 05 02 32 00 31 32 33 34 00"},
      {"<code39>", "12", false, 0, 0, "1B 62 06 02 32 00 31 32 00"},
      {"<code93>", "12", false, 0, 0, "1B 62 07 02 32 00 31 32 00"},
      {"<upca>", "12", false, 0, 0, "1B 62 08 02 32 00 31 32 00"},
      {"<codabar>", "12", false, 0, 0, "1B 62 09 02 32 00 31 32 00"},
      {"<msi>", "12", false, 0, 0, "1B 62 0A 02 32 00 31 32 00"},
      {"<code11>", "12", false, 0, 0, "1B 62 0B 02 32 00 31 32 00"},
      {"<upce>", "123456", false, 0, 0, "31 32 33 34 35 36"},
  };
  for (const Case& c : cases) {
    printer.ConfigBarras().SetMostrarCodigo(c.mostrar);
    printer.ConfigBarras().SetLarguraLinha(c.largura);
    printer.ConfigBarras().SetAltura(c.altura);
    EXPECT_EQ(AsHex(Dialect().BarcodeCommand(c.tag, c.code)), H(c.expected))
        << c.tag << " " << c.largura << "/" << c.altura;
  }
}

TEST_F(DarumaTest, QRCode) {
  struct Case {
    int largura, error;
    std::size_t size;
    std::string head;      // hexadecimal, followed by the data
    int larguraAfterwards;  // ConfigQRCode.LarguraModulo after the command
  };
  const Case cases[] = {
      {4, 0, 3, "1B 81 05 00 04 00", 4},
      {4, 1, 3, "1B 81 05 00 04 4D", 4},
      {4, 2, 3, "1B 81 05 00 04 51", 4},
      {4, 3, 3, "1B 81 05 00 04 48", 4},
      {1, 0, 3, "1B 81 05 00 03 00", 1},    // module 3..7
      {16, 0, 3, "1B 81 05 00 07 00", 16},
      {2, 0, 256, "1B 81 02 01 03 00", 2},  // 256 bytes: still small
      // Above 256 bytes: at least "M", and the stored module grows to 4 for the next code.
      {2, 0, 300, "1B 81 2E 01 03 4D", 4},
      {5, 2, 300, "1B 81 2E 01 05 51", 5},
      {3, 3, 257, "1B 81 03 01 03 48", 4},
  };
  for (const Case& c : cases) {
    printer.ConfigQRCode().SetLarguraModulo(c.largura);
    printer.ConfigQRCode().SetErrorLevel(c.error);
    const std::string data = c.size == 3 ? std::string("ABC") : std::string(c.size, 'd');
    EXPECT_EQ(AsHex(Dialect().QRCodeCommand(data)), AsHex(Hex(c.head) + data))
        << c.largura << "/" << c.error << "/" << c.size;
    EXPECT_EQ(printer.ConfigQRCode().LarguraModulo(), c.larguraAfterwards) << c.size;
  }
}

// The length field (data + 2) has 16 bits: longer data is cut so the length stays true.
TEST_F(DarumaTest, QRCodeLengthFieldStaysTrue) {
  const std::string cmd = Dialect().QRCodeCommand(std::string(70000, '7'));
  ASSERT_EQ(cmd.size(), 6u + 65533u);
  EXPECT_EQ(AsHex(cmd.substr(0, 6)), H("1B 81 FF FF 04 4D"));
}

class DarumaSerialTest : public testing::OnFakePrinter<DarumaTest> {
 protected:
  // A 1B E5 reply of `size` bytes with the cutter, width and code-page bytes in place.
  static std::string Settings(std::size_t size, char width) {
    std::string r(size, '0');
    if (size >= 9) r[8] = 'S';
    if (size >= 12) r[11] = width;
    if (size >= 40) r[39] = '2';
    return r;
  }
  // The three identification queries answered: header byte, value, CR.
  static void AnswerInfo(testing::TFakePrinter& fake, const std::string& model,
                         const std::string& settings) {
    fake.WhenEndsWith(Hex("1B C7"), "F1.05\r");
    fake.WhenEndsWith(Hex("1B C3"), "M" + model + "\r");
    fake.WhenEndsWith(Hex("1B E5"), settings + "\r");
  }
};

TEST_F(DarumaSerialTest, StatusBits) {
  struct Case {
    const char* enq;
    const char* gsEnq;
    TDovraPosStatusSet expected;
  };
  const Case cases[] = {
      {"10", "10", {}},
      {"00", "10", {stOffLine}},
      {"11", "10", {stImprimindo}},
      {"18", "10", {stErro}},
      {"30", "10", {stSemPapel}},
      {"90", "10", {stTampaAberta}},
      {"10", "11", {stPoucoPapel}},
      {"10", "12", {stSemPapel}},
      {"10", "18", {stOffLine}},
      {"10", "00", {stTampaAberta}},
      {"10", "50", {stErro}},
      {"10", "90", {stGavetaAberta}},
      {"56", "34", {}},  // bits that carry nothing
      {"00", "00", {stOffLine, stTampaAberta}},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("1D 05"), Hex(c.gsEnq));  // before ENQ, whose query it ends with
    fake.WhenEndsWith(Hex("05"), Hex(c.enq));
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString(c.expected)) << c.enq << " " << c.gsEnq;
    EXPECT_EQ(AsHex(fake.Received()), H("05 1D 05"));
  }
}

// A failed exchange adds stErroLeitura to what was found and skips the rest.
TEST_F(DarumaSerialTest, StatusReadingFailures) {
  {
    testing::TFakePrinter fake;
    fake.SetMode(testing::TFakePrinter::Mode::kSilent);
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stErroLeitura}));
    EXPECT_EQ(AsHex(fake.Received()), H("05"));
  }
  {
    testing::TFakePrinter fake;
    fake.WhenEndsWith(Hex("1D 05"), "");
    fake.WhenEndsWith(Hex("05"), Hex("30"));
    Open(fake);
    EXPECT_EQ(StatusToString(ReadStatus()), StatusToString({stSemPapel, stErroLeitura}));
    EXPECT_EQ(AsHex(fake.Received()), H("05 1D 05"));
  }
}

TEST_F(DarumaSerialTest, Identification) {
  struct Case {
    std::size_t settingsSize;
    char width;
    const char* tail;  // the lines after Modelo
  };
  const Case cases[] = {
      {40, '1', "Guilhotina=S\r\nColunas=52\r\nCodPage=2\r\n"},
      {45, '2', "Guilhotina=S\r\nColunas=34\r\nCodPage=2\r\n"},
      {40, '0', "Guilhotina=S\r\nColunas=48\r\nCodPage=2\r\n"},
      {11, '1', "Guilhotina=S\r\nColunas=48\r\nCodPage=\r\n"},  // too short for the width
      {8, '1', "Guilhotina=\r\nColunas=48\r\nCodPage=\r\n"},
      {0, '1', "Guilhotina=\r\nColunas=48\r\nCodPage=\r\n"},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    AnswerInfo(fake, "20000", Settings(c.settingsSize, c.width));
    Open(fake);
    EXPECT_EQ(Dialect().ReadInfo(),
              std::string("Fabricante=Daruma\r\nFirmware=1.05\r\nModelo=20000\r\n") + c.tail)
        << c.settingsSize << " " << c.width;
    EXPECT_EQ(AsHex(fake.Received()), H("1B C7 1B C3 1B E5"));
  }
  testing::TFakePrinter silent;
  silent.SetMode(testing::TFakePrinter::Mode::kSilent);
  Open(silent);
  EXPECT_THROW(Dialect().ReadInfo(), std::exception);
}

// Activation on a serial port: the printer's width becomes the column count, its model
// picks the condensed ratio and the switch byte of the configuration string.
TEST_F(DarumaSerialTest, ConfigureOnActivation) {
  struct Case {
    const char* model;
    std::size_t settingsSize;
    char width;
    int colunas;
    double condensada;
    char c;
    int condensedColumns;
  };
  const Case cases[] = {
      {"20000", 40, '1', 52, 0.8421, '1', 61},
      {"20001", 40, '1', 52, 0.75, '0', 69},
      {"700", 11, '1', 48, 0.8421, '1', 57},
      {"2.0", 40, '2', 34, 0.8421, '1', 40},  // not a number: model 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    TDovraPosPrinter p;
    p.SetModelo(ppEscDaruma);
    p.SetColunasFonteNormal(40);
    testing::TFakePrinter fake;
    AnswerInfo(fake, c.model, Settings(c.settingsSize, c.width));
    p.SetPorta(fake.Porta());
    p.Ativar();
    auto& daruma = dynamic_cast<TDovraEscDaruma&>(p.Dialect());
    EXPECT_TRUE(daruma.Configured());
    EXPECT_EQ(p.ColunasFonteNormal(), c.colunas);
    EXPECT_DOUBLE_EQ(daruma.ColumnRatios().Condensada, c.condensada);
    EXPECT_EQ(p.CondensedColumns(), c.condensedColumns);
    const std::string configured = Hex("1B C7 1B C3 1B E5") + ConfigString(c.c);
    ASSERT_TRUE(fake.WaitForReceived(configured.size()));
    EXPECT_EQ(AsHex(fake.Received()), AsHex(configured));

    // The printer is configured: the first send carries only the line spacing.
    p.Imprimir("x");
    ASSERT_TRUE(fake.WaitForReceived(configured.size() + 3));
    EXPECT_EQ(AsHex(fake.Received()), AsHex(configured + Hex("1B 32") + "x"));
    p.Desativar();
  }
}

// A printer that does not answer makes the activation fail and leaves the dialect
// unconfigured, also when an earlier activation had configured it.
TEST_F(DarumaSerialTest, ConfigureFailure) {
  testing::TFakePrinter fake;
  AnswerInfo(fake, "20000", Settings(40, '1'));
  printer.SetPorta(fake.Porta());
  printer.Ativar();
  ASSERT_TRUE(Daruma().Configured());
  printer.Desativar();

  fake.SetMode(testing::TFakePrinter::Mode::kSilent);
  EXPECT_THROW(printer.Ativar(), std::exception);
  EXPECT_FALSE(Daruma().Configured());
  EXPECT_EQ(AsHex(Dialect().InitCommand()), AsHex(ConfigString('1') + Hex("1B 32")));
}

// A hook port answers too. The configuration string goes straight to the device: no
// printer log line and no send event.
TEST_F(DarumaTest, ConfigureThroughHooks) {
  std::string sent, pending, log;
  int sendEvents = 0;
  printer.Device().HookEnviaString = [&](const std::string& cmd) {
    sent += cmd;
    if (cmd == Hex("1B C7")) pending = "F1.05\r";
    else if (cmd == Hex("1B C3")) pending = "M30000\r";
    else if (cmd == Hex("1B E5")) pending = std::string(11, '0') + "2\r";
  };
  printer.Device().HookLeString = [&](int, int, std::string& retorno) {
    retorno = pending;
    pending.clear();
  };
  printer.SetOnEnviarStringDevice([&](const std::string&, bool&) { ++sendEvents; });
  printer.SetOnGravarLog([&](const std::string& line, bool&) { log += line + "\n"; });
  printer.SetPorta("USB");
  printer.Ativar();
  EXPECT_TRUE(Daruma().Configured());
  EXPECT_EQ(printer.ColunasFonteNormal(), 34);
  EXPECT_DOUBLE_EQ(Dialect().ColumnRatios().Condensada, 0.75);
  EXPECT_EQ(AsHex(sent), AsHex(Hex("1B C7 1B C3 1B E5") + ConfigString('0')));
  EXPECT_EQ(sendEvents, 0);
  EXPECT_EQ(log.find("EnviarStringDevice"), std::string::npos) << log;
  printer.Desativar();
}

// On a file port Configure does not talk to the printer: the first send of every activation
// carries the configuration string ahead of the data.
TEST_F(DarumaFileTest, ReceiptEndToEnd) {
  printer.SetLinhasEntreCupons(1);
  printer.Ativar();
  EXPECT_FALSE(Daruma().Configured());
  EXPECT_EQ(printer.ColunasFonteNormal(), 48);
  printer.Imprimir(
      "</ce><n>DARUMA</n>\n<c>x</c>\n<ean8>1234567</ean8><qrcode>ABC</qrcode></corte_total>");
  printer.Imprimir("y");
  printer.Desativar();
  const std::string expected =
      ConfigString('1') + Hex("1B 32") +
      Hex("1B 6A 01 1B 45") + "DARUMA" + Hex("1B 46 0A") +
      Hex("1B 0F") + "x" + Hex("12 0A") +
      Hex("1B 62 02 02 32 00") + "1234567" + Hex("00") +
      Hex("1B 81 05 00 04 00") + "ABC" +
      Hex("20 0A 1B 6D") + "y";
  EXPECT_EQ(AsHex(Output()), AsHex(expected));

  printer.Ativar();
  printer.Imprimir("z");
  printer.Desativar();
  EXPECT_EQ(AsHex(Output()), AsHex(ConfigString('1') + Hex("1B 32") + "z"));
}

}  // namespace
}  // namespace dovra

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "dialects/DovraEscPosEpson.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"

namespace dovra {
namespace {

using testing::AsHex;

// The same text repeated `count` times, joined by blanks ("41 41 41").
std::string Repeat(const std::string& hex, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += (i ? " " : "") + hex;
  return out;
}

class EscPosEpsonTest : public testing::DialectTest {
 protected:
  EscPosEpsonTest() : DialectTest(ppEscPosEpson) {}
};

TEST_F(EscPosEpsonTest, CommandTable) {
  const std::vector<testing::TCommandRow> rows = {
      {&TDovraPosComandos::Beep, "Beep", "1B 28 41 05 00 61 64 01 32 32"},
      {&TDovraPosComandos::AlignCenter, "AlignCenter", "1B 61 01"},
      {&TDovraPosComandos::AlignRight, "AlignRight", "1B 61 02"},
      {&TDovraPosComandos::AlignLeft, "AlignLeft", "1B 61 00"},
      {&TDovraPosComandos::PartialCut, "PartialCut", "1D 56 01"},
      {&TDovraPosComandos::DoubleHeightOff, "DoubleHeightOff", "1D 21 00"},
      {&TDovraPosComandos::InvertedOff, "InvertedOff", "1D 42 00"},
      {&TDovraPosComandos::PageModeOff, "PageModeOff", "1B 53"},
      {&TDovraPosComandos::DefaultLineSpacing, "DefaultLineSpacing", "1B 32"},
      {&TDovraPosComandos::PrintPage, "PrintPage", "1B 0C"},
      {&TDovraPosComandos::DoubleHeightOn, "DoubleHeightOn", "1D 21 01"},
      {&TDovraPosComandos::InvertedOn, "InvertedOn", "1D 42 01"},
      {&TDovraPosComandos::NormalFont, "NormalFont", "1B 21 00"},
      {&TDovraPosComandos::CondensedOn, "CondensedOn", "0F"},
      {&TDovraPosComandos::FullCut, "FullCut", "1D 56 00"},
      {&TDovraPosComandos::LineSpacing, "LineSpacing", "1B 33"},
      {&TDovraPosComandos::ExpandedOn, "ExpandedOn", "1D 21 10"},
      {&TDovraPosComandos::CondensedOff, "CondensedOff", "12"},
      {&TDovraPosComandos::ExpandedOff, "ExpandedOff", "1D 21 00"},
      {&TDovraPosComandos::ItalicOff, "ItalicOff", "1B 35"},
      {&TDovraPosComandos::BoldOff, "BoldOff", "1B 45 00"},
      {&TDovraPosComandos::UnderlineOff, "UnderlineOff", "1B 2D 00"},
      {&TDovraPosComandos::FontA, "FontA", "1B 4D 00"},
      {&TDovraPosComandos::FontB, "FontB", "1B 4D 01"},
      {&TDovraPosComandos::ItalicOn, "ItalicOn", "1B 34"},
      {&TDovraPosComandos::PageModeOn, "PageModeOn", "1B 4C"},
      {&TDovraPosComandos::BoldOn, "BoldOn", "1B 45 01"},
      {&TDovraPosComandos::UnderlineOn, "UnderlineOn", "1B 2D 01"},
      {&TDovraPosComandos::LineBreak, "LineBreak", "0A"},
      {&TDovraPosComandos::Reset, "Reset", "1B 40"},
  };
  ExpectCommandTable(Dialect().Commands(), rows);
  EXPECT_EQ(Dialect().ModelName(), "EscPosEpson");
  EXPECT_EQ(Dialect().ColumnRatios().Condensada, 0.75);
  EXPECT_EQ(Dialect().ColumnRatios().Expandida, 2.0);
}

TEST_F(EscPosEpsonTest, LineSpacingAndInitCommand) {
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(0)), "1B 32");
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(1)), "1B 33 01");
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(255)), "1B 33 FF");

  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 32 1B 74 02");  // spacing 0, pc850
  printer.SetPaginaDeCodigo(pcUTF8);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 32");
  printer.SetPaginaDeCodigo(pc860);
  printer.SetEspacoEntreLinhas(30);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 33 1E 1B 74 03");

  EXPECT_EQ(AsHex(Dialect().LineFeedCommand(3)), "20 0A 20 0A 20 0A");
  EXPECT_EQ(Dialect().LineFeedCommand(0), "");
  EXPECT_EQ(Dialect().LineFeedCommand(-2), "");
}

TEST_F(EscPosEpsonTest, CodePageCommand) {
  const std::vector<std::pair<TDovraPosPaginaCodigo, const char*>> cases = {
      {pcNone, ""},          {pc437, "1B 74 00"}, {pc850, "1B 74 02"}, {pc852, "1B 74 12"},
      {pc860, "1B 74 03"},   {pcUTF8, ""},        {pc1252, "1B 74 10"},
      {static_cast<TDovraPosPaginaCodigo>(42), ""},
  };
  for (const auto& [page, hex] : cases)
    EXPECT_EQ(AsHex(Dialect().CodePageCommand(page)), hex) << "page " << static_cast<int>(page);
}

struct BarcodeCase {
  const char* tag;
  std::string code;
  bool showText;
  int width;
  int height;
  const char* hex;
};

TEST_F(EscPosEpsonTest, BarcodeCommand) {
  const std::vector<BarcodeCase> cases = {
      {"<ean13>", "789123456789", false, 0, 0,
       "1D 77 02 1D 68 32 1D 48 00 1D 6B 43 0C 37 38 39 31 32 33 34 35 36 37 38 39"},
      {"<ean8>", "1234567", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 44 07 31 32 33 34 35 36 37"},
      {"<upca>", "12", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 41 02 31 32"},
      {"<upce>", "12", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 42 02 31 32"},
      {"<code39>", "A-1", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 45 03 41 2D 31"},
      {"<inter>", "12", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 46 02 31 32"},
      {"<codabar>", "A1B", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 47 03 41 31 42"},
      {"<code93>", "X", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 48 01 58"},
      {"<msi>", "12", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 52 02 31 32"},
      // Code 128: the selector of the tag goes in front unless the code brings its own.
      {"<code128>", "ABC", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 05 7B 42 41 42 43"},
      {"<code128b>", "ABC", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 05 7B 42 41 42 43"},
      {"<code128a>", "ABC", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 05 7B 41 41 42 43"},
      {"<code128>", "{CABC", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 05 7B 43 41 42 43"},
      {"<code128>", "", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 02 7B 42"},
      // Set C packs digit pairs; an odd count gets a leading zero.
      {"<code128c>", "12345", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 05 7B 43 01 17 2D"},
      {"<code128c>", "1234", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 7B 43 0C 22"},
      {"<code128c>", "9-9", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 03 7B 43 63"},
      // Width, height and text under the bars.
      {"<ean8>", "1", false, 9, 0, "1D 77 04 1D 68 32 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", false, -3, 0, "1D 77 01 1D 68 32 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", false, 3, 0, "1D 77 03 1D 68 32 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", false, 0, 300, "1D 77 02 1D 68 FF 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", false, 0, -7, "1D 77 02 1D 68 01 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", false, 0, 100, "1D 77 02 1D 68 64 1D 48 00 1D 6B 44 01 31"},
      {"<ean8>", "1", true, 0, 0, "1D 77 02 1D 68 32 1D 48 02 1D 6B 44 01 31"},
      // No ESC/POS symbology: the code is printed as text.
      {"<std>", "123", false, 0, 0, "31 32 33"},
      {"<code11>", "45", true, 3, 80, "34 35"},
  };
  for (const BarcodeCase& c : cases) {
    printer.ConfigBarras().SetMostrarCodigo(c.showText);
    printer.ConfigBarras().SetLarguraLinha(c.width);
    printer.ConfigBarras().SetAltura(c.height);
    EXPECT_EQ(AsHex(Dialect().BarcodeCommand(c.tag, c.code)), c.hex) << c.tag << " " << c.code;
  }
}

TEST_F(EscPosEpsonTest, Code128NeverOverflowsItsLengthByte) {
  const std::string header = "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 FF ";
  // 254 letters and the selector would be 256 bytes: the code loses its last letter.
  EXPECT_EQ(AsHex(Dialect().BarcodeCommand("<code128>", std::string(254, 'A'))),
            header + "7B 42 " + Repeat("41", 253));
  EXPECT_EQ(AsHex(Dialect().BarcodeCommand("<code128a>", std::string(255, 'A'))),
            header + "7B 41 " + Repeat("41", 253));
  // A code with its own selector fits as it is.
  EXPECT_EQ(AsHex(Dialect().BarcodeCommand("<code128>", "{A" + std::string(253, 'A'))),
            header + "7B 41 " + Repeat("41", 253));
  // Through the tag: the printer cuts the block to 255 characters, the selector is kept.
  EXPECT_EQ(AsHex(printer.TraduzirTagBloco("<code128>", std::string(300, 'Z'))),
            header + "7B 42 " + Repeat("5A", 253));
  // Any other symbology is cut to 255 data bytes as well.
  EXPECT_EQ(AsHex(EscPosBarcodeCommand("<code93>", std::string(256, 'B'), false, 0, 0)),
            "1D 77 02 1D 68 32 1D 48 00 1D 6B 48 FF " + Repeat("42", 255));
}

TEST(EscPosBarcodeBuilders, PlainCode128SendsNoSelector) {
  const std::vector<BarcodeCase> cases = {
      {"<code128c>", "1234", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 04 31 32 33 34"},
      {"<code128>", "{AXYZ", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 03 58 59 5A"},
      {"<code128a>", "ABC", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 03 41 42 43"},
      {"<code128b>", "{", false, 0, 0, "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 00"},
      {"<code128>", "AB", true, 7, 0, "1D 77 04 1D 68 32 1D 48 02 1D 6B 49 02 41 42"},
      // Other symbologies are built as by the ESC/POS builder.
      {"<ean8>", "1234567", false, 1, 90,
       "1D 77 01 1D 68 5A 1D 48 00 1D 6B 44 07 31 32 33 34 35 36 37"},
      {"<std>", "12", false, 0, 0, "31 32"},
  };
  for (const BarcodeCase& c : cases)
    EXPECT_EQ(AsHex(PlainCode128BarcodeCommand(c.tag, c.code, c.showText, c.width, c.height)), c.hex)
        << c.tag << " " << c.code;
  EXPECT_EQ(AsHex(PlainCode128BarcodeCommand("<code128>", std::string(300, 'A'), false, 0, 0)),
            "1D 77 02 1D 68 32 1D 48 00 1D 6B 49 FF " + Repeat("41", 255));
}

TEST_F(EscPosEpsonTest, QRCodeCommand) {
  struct Case {
    int tipo, modulo, level;
    std::string data;
    std::string hex;
  };
  const std::vector<Case> cases = {
      {2, 4, 0, "ABC",
       "1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 04 1D 28 6B 03 00 31 45 30 "
       "1D 28 6B 06 00 31 50 30 41 42 43 1D 28 6B 03 00 31 51 30"},
      {1, 1, 1, "Z",
       "1D 28 6B 04 00 31 41 31 00 1D 28 6B 03 00 31 43 01 1D 28 6B 03 00 31 45 31 "
       "1D 28 6B 04 00 31 50 30 5A 1D 28 6B 03 00 31 51 30"},
      {2, 16, 2, "",
       "1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 10 1D 28 6B 03 00 31 45 32 "
       "1D 28 6B 03 00 31 50 30 1D 28 6B 03 00 31 51 30"},
      // Out-of-range settings are clamped by the settings object: level 9 is H, size 0 is 1.
      {7, 0, 9, "1",
       "1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 01 1D 28 6B 03 00 31 45 33 "
       "1D 28 6B 04 00 31 50 30 31 1D 28 6B 03 00 31 51 30"},
  };
  for (const Case& c : cases) {
    printer.ConfigQRCode().SetTipo(c.tipo);
    printer.ConfigQRCode().SetLarguraModulo(c.modulo);
    printer.ConfigQRCode().SetErrorLevel(c.level);
    EXPECT_EQ(AsHex(Dialect().QRCodeCommand(c.data)), c.hex) << c.data;
  }
}

TEST_F(EscPosEpsonTest, QRCodeStoreLengthIsLittleEndian) {
  const std::string qr = AsHex(Dialect().QRCodeCommand(std::string(300, 'q')));
  const std::string store = "1D 28 6B 2F 01 31 50 30 " + Repeat("71", 300) + " ";
  EXPECT_NE(qr.find(store + "1D 28 6B 03 00 31 51 30"), std::string::npos);
  // Data beyond what the 16-bit length can count is not sent.
  const std::string big = AsHex(Dialect().QRCodeCommand(std::string(70000, 'q')));
  EXPECT_NE(big.find("1D 28 6B FF FF 31 50 30 71"), std::string::npos);
  EXPECT_EQ(big.size(), qr.size() + (65532 - 300) * 3);
}

TEST_F(EscPosEpsonTest, LogoCommand) {
  struct Case {
    std::uint8_t kc1, kc2, fx, fy;
    const char* hex;
  };
  const std::vector<Case> cases = {
      {32, 32, 1, 1, "1D 28 4C 06 00 30 45 20 20 01 01"},  // defaults: stored graphic
      {0x30, 0x31, 2, 3, "1D 28 4C 06 00 30 45 30 31 02 03"},
      {0x37, 0, 2, 1, "1C 70 07 01"},  // a digit character is its digit
      {0x30, 0, 1, 2, "1C 70 00 02"},
      {0x39, 0, 4, 4, "1C 70 09 03"},
      {5, 0, 1, 1, "1C 70 05 00"},  // other key codes are the logo number itself
      {0x41, 0, 0, 0, "1C 70 41 00"},
  };
  for (const Case& c : cases) {
    TDovraConfigLogo& logo = printer.ConfigLogo();
    logo.SetKeyCode1(c.kc1);
    logo.SetKeyCode2(c.kc2);
    logo.SetFatorX(c.fx);
    logo.SetFatorY(c.fy);
    EXPECT_EQ(AsHex(Dialect().LogoCommand()), c.hex) << int(c.kc1) << "," << int(c.kc2);
  }
}

TEST_F(EscPosEpsonTest, DrawerCommand) {
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(1)), "1B 70 00 32 C8");
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(0)), "1B 70 00 32 C8");
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(-4)), "1B 70 00 32 C8");
  printer.ConfigGaveta().SetTempoON(100);
  printer.ConfigGaveta().SetTempoOFF(250);
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(2)), "1B 70 01 64 FA");
  EXPECT_EQ(AsHex(Dialect().DrawerCommand(3)), "1B 70 01 64 FA");
  // The tags reach the same command.
  EXPECT_EQ(AsHex(printer.TraduzirTagBloco("<abre_gaveta>", "2")), "1B 70 01 64 FA");
  EXPECT_EQ(AsHex(printer.TraduzirTag("</abre_gaveta>")), "1B 70 00 64 FA");
}

// Font tags on a fresh printer, one after the other: each step's expected bytes depend on
// the state the earlier steps left.
TEST_F(EscPosEpsonTest, FontTagsCombineIntoOnePrintMode) {
  struct Step {
    const char* tag;
    const char* hex;
  };
  const std::vector<std::vector<Step>> sequences = {
      {{"<n>", "1B 21 08"}, {"<e>", "1B 21 28"}, {"</n>", "1B 21 20"}, {"</e>", "1B 21 00"}},
      {{"<s>", "1B 21 80"}, {"</s>", "1B 21 00"}},
      {{"<c>", "1B 21 01"}, {"<a>", "1B 21 11"}, {"</c>", "1B 21 10"}, {"</a>", "1B 21 00"}},
      {{"<c>", "1B 21 01"}, {"<n>", "1B 21 09"}, {"<a>", "1B 21 19"}, {"<e>", "1B 21 39"},
       {"<s>", "1B 21 B9"}},
      // Inversion and italic are repeated after every print mode while they are on.
      {{"<in>", "1D 42 01"}, {"</n>", "1B 21 00 1D 42 01"}},
      {{"<i>", "1B 34"}, {"<a>", "1B 21 10 1B 34"}, {"<in>", "1D 42 01"},
       {"<n>", "1B 21 18 1D 42 01 1B 34"}, {"</i>", "1B 35"}, {"</in>", "1D 42 00"},
       {"</a>", "1B 21 08"}},
      {{"</fb>", "1B 4D 01"}, {"<n>", "1B 21 08"}, {"</fa>", "1B 4D 00"}},
      // </fn> clears the styles: the next print mode starts from nothing.
      {{"<n>", "1B 21 08"}, {"<e>", "1B 21 28"}, {"</fn>", "1B 21 00"}, {"<s>", "1B 21 80"}},
  };
  for (const auto& sequence : sequences) {
    TDovraPosPrinter p;
    p.SetModelo(ppEscPosEpson);
    std::string trail;
    for (const Step& step : sequence) {
      trail += step.tag;
      EXPECT_EQ(AsHex(p.TraduzirTag(step.tag)), step.hex) << trail;
    }
  }
  EXPECT_EQ(Dialect().FontCommand(fkNormal, true), "");
  EXPECT_EQ(Dialect().FontCommand(fkNormal, false), "");
}

TEST_F(EscPosEpsonTest, PageModeSetupCommand) {
  struct Case {
    TDovraPosDirecao direction;
    std::uint8_t spacing;
    int left, top, width, height;
    const char* hex;
  };
  const std::vector<Case> cases = {
      {dirEsquerdaParaDireita, 0, 0, 0, 0, 0, "1B 54 00 1B 32 1B 57 00 00 00 00 00 00 00 00"},
      {dirTopoParaBaixo, 0, 0, 0, 0, 0, "1B 54 03 1B 32 1B 57 00 00 00 00 00 00 00 00"},
      {dirDireitaParaEsquerda, 0, 0, 0, 0, 0, "1B 54 02 1B 32 1B 57 00 00 00 00 00 00 00 00"},
      {dirBaixoParaTopo, 0, 0, 0, 0, 0, "1B 54 01 1B 32 1B 57 00 00 00 00 00 00 00 00"},
      {dirEsquerdaParaDireita, 24, 10, 20, 512, 300,
       "1B 54 00 1B 33 18 1B 57 0A 00 14 00 00 02 2C 01"},
      // Coordinates outside the 16-bit fields are held at their ends.
      {dirEsquerdaParaDireita, 0, -5, 65535, 70000, -1,
       "1B 54 00 1B 32 1B 57 00 00 FF FF FF FF 00 00"},
      // A stored direction beyond the four is printed left to right.
      {static_cast<TDovraPosDirecao>(7), 0, 0, 0, 0, 0,
       "1B 54 00 1B 32 1B 57 00 00 00 00 00 00 00 00"},
  };
  for (const Case& c : cases) {
    TDovraConfigModoPagina& mp = printer.ConfigModoPagina();
    mp.SetDirecao(c.direction);
    mp.SetEspacoEntreLinhas(c.spacing);
    mp.SetEsquerda(c.left);
    mp.SetTopo(c.top);
    mp.SetLargura(c.width);
    mp.SetAltura(c.height);
    EXPECT_EQ(AsHex(Dialect().PageModeSetupCommand()), c.hex) << c.hex;
  }
}

TEST_F(EscPosEpsonTest, PageModeTags) {
  EXPECT_EQ(AsHex(printer.TraduzirTag("<mp>")), "1B 4C");
  EXPECT_EQ(AsHex(printer.TraduzirTag("</mp_imprimir>")), "1B 0C");
  EXPECT_EQ(AsHex(printer.TraduzirTag("</mp>")), "1B 0C 1B 53");
  printer.TraduzirTagBloco("<mp_direcao>", "1");
  printer.TraduzirTagBloco("<mp_largura>", "400");
  EXPECT_EQ(AsHex(printer.TraduzirTag("</mp_configurar>")),
            "1B 54 03 1B 32 1B 57 00 00 00 00 90 01 00 00");
}

using namespace std::string_literals;

// One reply byte per DLE EOT query (1, 2, 4) and the status they mean.
TEST(EscPosEpsonStatus, RepliesDecodeToStatus) {
  struct Case {
    std::uint8_t printer, offline, paper;
    TDovraPosStatusSet expected;
  };
  const std::vector<Case> cases = {
      {0x10, 0x12, 0x12, {stGavetaAberta}},  // bit 2 of the first reply clear: drawer open
      {0x14, 0x12, 0x12, {}},
      {0x1C, 0x12, 0x12, {stOffLine}},
      {0x34, 0x12, 0x12, {stErro}},
      {0x54, 0x12, 0x12, {stImprimindo}},
      {0x14, 0x16, 0x12, {stTampaAberta}},
      {0x14, 0x1A, 0x12, {stImprimindo}},
      {0x14, 0x32, 0x12, {stSemPapel}},
      {0x14, 0x52, 0x12, {stErro}},
      {0x14, 0x12, 0x1E, {stPoucoPapel}},  // both near-end bits
      {0x14, 0x12, 0x16, {}},              // one of them only
      {0x14, 0x12, 0x1A, {}},
      {0x14, 0x12, 0x72, {stSemPapel}},    // both paper-end bits
      {0x14, 0x12, 0x32, {}},
      {0x14, 0x12, 0x52, {}},
      {0x00, 0x00, 0x00, {stGavetaAberta}},
      {0xFF, 0xFF, 0xFF,
       {stErro, stPoucoPapel, stSemPapel, stImprimindo, stOffLine, stTampaAberta}},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith("\x10\x04\x01", std::string(1, static_cast<char>(c.printer)));
    fake.WhenEndsWith("\x10\x04\x02", std::string(1, static_cast<char>(c.offline)));
    fake.WhenEndsWith("\x10\x04\x04", std::string(1, static_cast<char>(c.paper)));
    TDovraPosPrinter printer;
    printer.SetModelo(ppEscPosEpson);
    printer.SetPorta(fake.Porta());
    const std::string label = AsHex(std::string{static_cast<char>(c.printer),
                                                static_cast<char>(c.offline),
                                                static_cast<char>(c.paper)});
    EXPECT_EQ(StatusToString(printer.LerStatusImpressora(1)), StatusToString(c.expected)) << label;
    EXPECT_EQ(AsHex(fake.Received()), "10 04 01 10 04 02 10 04 04") << label;
    EXPECT_FALSE(printer.Active());
  }
}

TEST(EscPosEpsonStatus, FailedExchangeIsAReadError) {
  using Mode = testing::TFakePrinter::Mode;
  for (Mode mode : {Mode::kSilent, Mode::kLate, Mode::kHangUp}) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith("\x10\x04\x01", "\x14");
    fake.SetLateDelay(std::chrono::milliseconds(900));
    fake.SetMode(mode);
    TDovraPosPrinter printer;
    printer.SetModelo(ppEscPosEpson);
    printer.SetPorta(fake.Porta());
    TDovraPosStatusSet status;
    printer.SetDeviceActive(true);
    EXPECT_NO_THROW(printer.Dialect().ReadStatus(status));
    printer.SetDeviceActive(false);
    EXPECT_EQ(StatusToString(status), StatusToString({stErroLeitura})) << static_cast<int>(mode);
    // The first failure ends the reading.
    EXPECT_EQ(AsHex(fake.Received()), "10 04 01") << static_cast<int>(mode);
  }
}

TEST(EscPosEpsonStatus, ReadErrorKeepsWhatWasFound) {
  testing::TFakePrinter fake;
  fake.WhenEndsWith("\x10\x04\x01", "\x18");  // drawer open, off line; then no more answers
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(fake.Porta());
  EXPECT_EQ(StatusToString(printer.LerStatusImpressora(1)),
            StatusToString({stGavetaAberta, stOffLine, stErroLeitura}));
  EXPECT_EQ(AsHex(fake.Received()), "10 04 01 10 04 02");
}

TEST(EscPosEpsonStatus, PortThatCannotOpenIsAReadError) {
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta("/dev/pts/999999");
  TDovraPosStatusSet status;
  EXPECT_NO_THROW(printer.Dialect().ReadStatus(status));
  EXPECT_EQ(StatusToString(status), StatusToString({stErroLeitura}));
}

// A hook port whose owner reads nothing back: every reply comes empty, without an error.
TEST(EscPosEpsonStatus, EmptyRepliesAreReadErrors) {
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta("USB1");
  std::string sent;
  printer.Device().HookEnviaString = [&sent](const std::string& cmd) { sent += cmd; };
  TDovraPosStatusSet status;
  printer.Dialect().ReadStatus(status);
  EXPECT_EQ(StatusToString(status), StatusToString({stErroLeitura}));
  EXPECT_EQ(AsHex(sent), "10 04 01 10 04 02 10 04 04");  // an empty reply does not stop the others

  sent.clear();
  EXPECT_EQ(printer.Dialect().ReadInfo(),
            "Fabricante=\r\nFirmware=\r\nModelo=\r\nSerial=\r\n");  // no cutter line
  EXPECT_EQ(AsHex(sent), "1D 49 42 1D 49 41 1D 49 43 1D 49 44 1D 49 32");
}

TEST(EscPosEpsonInfo, IdentificationLines) {
  struct Case {
    std::string maker, firmware, model, serial, typeId;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"_EPSON\0"s, "_1.05 ESC/POS\0"s, "_TM-T20\0"s, "_X5CP\0"s, "\x02"s,
       "Fabricante=EPSON\r\nFirmware=1.05 ESC/POS\r\nModelo=TM-T20\r\nSerial=X5CP\r\n"
       "Guilhotina=1\r\n"},
      // The header byte is dropped whatever it is; an empty reply gives an empty value.
      {"\x5F" "ABC\0"s, "\0"s, "_\0"s, "=B\0"s, "\xFD"s,
       "Fabricante=ABC\r\nFirmware=\r\nModelo=\r\nSerial=B\r\nGuilhotina=0\r\n"},
  };
  for (const Case& c : cases) {
    testing::TFakePrinter fake;
    fake.WhenEndsWith("\x1D\x49\x42", c.maker);
    fake.WhenEndsWith("\x1D\x49\x41", c.firmware);
    fake.WhenEndsWith("\x1D\x49\x43", c.model);
    fake.WhenEndsWith("\x1D\x49\x44", c.serial);
    fake.WhenEndsWith("\x1D\x49\x32", c.typeId);
    TDovraPosPrinter printer;
    printer.SetModelo(ppEscPosEpson);
    printer.SetPorta(fake.Porta());
    EXPECT_EQ(printer.LerInfoImpressora(), c.expected);
    EXPECT_EQ(AsHex(fake.Received()), "1D 49 42 1D 49 41 1D 49 43 1D 49 44 1D 49 32");
  }
}

TEST(EscPosEpsonInfo, FailedExchangeReachesTheCaller) {
  testing::TFakePrinter fake;
  fake.WhenEndsWith("\x1D\x49\x42", "_EPSON\0"s);  // the firmware query is never answered
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(fake.Porta());
  EXPECT_THROW(printer.LerInfoImpressora(), EDovraError);
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(AsHex(fake.Received()), "1D 49 42 1D 49 41");
}

TEST_F(EscPosEpsonTest, ReceiptThroughFilePort) {
  const testing::TempFolder dir;
  const std::string out = dir.File("cupom.prn");
  printer.SetPorta("FILE:" + out);
  printer.SetLinhasEntreCupons(2);
  printer.Ativar();
  printer.Imprimir(
      "</ce><n>P\xC3\xA3o</n>\n"
      "</ae><e>Total</e> 1,50\n"
      "<ean13>789-1234-5678</ean13>"
      "<qrcode>AB</qrcode>"
      "</corte_total>");
  printer.Desativar();
  EXPECT_EQ(AsHex(testing::ReadFile(out)),
            "1B 32 1B 74 02 "                            // initialisation: spacing, code page 850
            "1B 61 01 1B 21 08 50 C6 6F 1B 21 00 0A "    // centred, bold, "Pão" in 850
            "1B 61 00 1B 21 20 54 6F 74 61 6C 1B 21 00 "  // left, expanded "Total"
            "20 31 2C 35 30 0A "                         // " 1,50"
            "1D 77 02 1D 68 32 1D 48 00 1D 6B 43 0C "    // EAN-13: 11 digits and a leading 0
            "30 37 38 39 31 32 33 34 35 36 37 38 "
            "1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 04 1D 28 6B 03 00 31 45 30 "
            "1D 28 6B 05 00 31 50 30 41 42 1D 28 6B 03 00 31 51 30 "
            "20 0A 20 0A 1D 56 00");                     // two feed lines and the full cut
}

}  // namespace
}  // namespace dovra

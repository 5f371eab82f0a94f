#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialects/DovraEscEpsonP2.h"
#include "engine/DovraPosPrinter.h"
#include "tests/dialects/DialectTestSupport.h"

namespace dovra {
namespace {

using testing::AsHex;

class EscEpsonP2Test : public testing::DialectTest {
 protected:
  EscEpsonP2Test() : DialectTest(ppEscEpsonP2) {}
};

TEST_F(EscEpsonP2Test, CommandTable) {
  const std::vector<testing::TCommandRow> rows = {
      {&TDovraPosComandos::Beep, "Beep", ""},
      {&TDovraPosComandos::AlignCenter, "AlignCenter", ""},
      {&TDovraPosComandos::AlignRight, "AlignRight", ""},
      {&TDovraPosComandos::AlignLeft, "AlignLeft", ""},
      {&TDovraPosComandos::PartialCut, "PartialCut", ""},
      {&TDovraPosComandos::DoubleHeightOff, "DoubleHeightOff", ""},
      {&TDovraPosComandos::InvertedOff, "InvertedOff", ""},
      {&TDovraPosComandos::PageModeOff, "PageModeOff", ""},
      {&TDovraPosComandos::DefaultLineSpacing, "DefaultLineSpacing", "1B 32"},
      {&TDovraPosComandos::PrintPage, "PrintPage", ""},
      {&TDovraPosComandos::DoubleHeightOn, "DoubleHeightOn", ""},
      {&TDovraPosComandos::InvertedOn, "InvertedOn", ""},
      {&TDovraPosComandos::NormalFont, "NormalFont", "0F"},
      {&TDovraPosComandos::CondensedOn, "CondensedOn", "0F"},
      {&TDovraPosComandos::FullCut, "FullCut", ""},
      {&TDovraPosComandos::LineSpacing, "LineSpacing", "1B 33"},
      {&TDovraPosComandos::ExpandedOn, "ExpandedOn", "1B 57 31"},
      {&TDovraPosComandos::CondensedOff, "CondensedOff", "12"},
      {&TDovraPosComandos::ExpandedOff, "ExpandedOff", "1B 57 30"},
      {&TDovraPosComandos::ItalicOff, "ItalicOff", "1B 35"},
      {&TDovraPosComandos::BoldOff, "BoldOff", "1B 48"},
      {&TDovraPosComandos::UnderlineOff, "UnderlineOff", "1B 2D 00"},
      {&TDovraPosComandos::FontA, "FontA", "12"},
      {&TDovraPosComandos::FontB, "FontB", "0F"},
      {&TDovraPosComandos::ItalicOn, "ItalicOn", "1B 34"},
      {&TDovraPosComandos::PageModeOn, "PageModeOn", ""},
      {&TDovraPosComandos::BoldOn, "BoldOn", "1B 47"},
      {&TDovraPosComandos::UnderlineOn, "UnderlineOn", "1B 2D 01"},
      {&TDovraPosComandos::LineBreak, "LineBreak", "0A"},
      {&TDovraPosComandos::Reset, "Reset", "1B 40 0F"},
  };
  ExpectCommandTable(Dialect().Commands(), rows);
  EXPECT_EQ(Dialect().ModelName(), "EscEpsonP2");
  EXPECT_EQ(Dialect().ColumnRatios().Condensada, 0.75);
  EXPECT_EQ(Dialect().ColumnRatios().Expandida, 2.0);
}

TEST_F(EscEpsonP2Test, LineSpacingAndInitCommand) {
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(0)), "1B 32");
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(24)), "1B 33 18");  // 24/180 inch
  EXPECT_EQ(AsHex(Dialect().LineSpacingCommand(255)), "1B 33 FF");
  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 32");
  printer.SetPaginaDeCodigo(pc860);  // no character-table command in this dialect
  printer.SetEspacoEntreLinhas(36);
  EXPECT_EQ(AsHex(Dialect().InitCommand()), "1B 33 24");
  EXPECT_EQ(AsHex(Dialect().LineFeedCommand(2)), "20 0A 20 0A");
}

TEST_F(EscEpsonP2Test, FontCommandIsTheTableLookup) {
  struct Case {
    TDovraPosFontKind kind;
    const char* on;
    const char* off;
  };
  const std::vector<Case> cases = {
      {fkNormal, "", ""},           {fkCondensed, "0F", "12"},   {fkExpanded, "1B 57 31", "1B 57 30"},
      {fkBold, "1B 47", "1B 48"},   {fkUnderline, "1B 2D 01", "1B 2D 00"},
      {fkInverted, "", ""},         {fkItalic, "1B 34", "1B 35"}, {fkFontB, "0F", "12"},
      {fkDoubleHeight, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AsHex(Dialect().FontCommand(c.kind, true)), c.on) << NameOf(c.kind);
    EXPECT_EQ(AsHex(Dialect().FontCommand(c.kind, false)), c.off) << NameOf(c.kind);
  }
  // Unlike ESC/POS, a second style does not restate the first.
  EXPECT_EQ(AsHex(printer.TraduzirTag("<n>")), "1B 47");
  EXPECT_EQ(AsHex(printer.TraduzirTag("<e>")), "1B 57 31");
}

TEST_F(EscEpsonP2Test, TagsOfAPlainTextPrinter) {
  printer.SetLinhasEntreCupons(2);
  struct Case {
    const char* tag;
    const char* hex;
  };
  const std::vector<Case> simple = {
      {"</zera>", "1B 40 0F 1B 32"}, {"</reset>", "1B 40 0F"},     {"</fn>", "0F"},
      {"</corte_total>", "20 0A 20 0A"}, {"</corte_parcial>", "20 0A 20 0A"},
      {"</ce>", ""},                 {"</beep>", ""},              {"</abre_gaveta>", ""},
      {"</logo>", ""},               {"<mp>", ""},                 {"</mp_configurar>", ""},
      {"</lf>", "20 0A"},
  };
  for (const Case& c : simple) EXPECT_EQ(AsHex(printer.TraduzirTag(c.tag)), c.hex) << c.tag;

  EXPECT_EQ(AsHex(printer.TraduzirTagBloco("<ean13>", "7891234567895")),
            "37 38 39 31 32 33 34 35 36 37 38 39");
  EXPECT_EQ(printer.TraduzirTagBloco("<qrcode>", "ABC"), "");
  EXPECT_EQ(printer.TraduzirTagBloco("<abre_gaveta>", "2"), "");
}

TEST_F(EscEpsonP2Test, StatusAndInfoNeverTalkToThePrinter) {
  TDovraPosStatusSet status;
  Dialect().ReadStatus(status);
  EXPECT_TRUE(status.Empty());
  EXPECT_EQ(Dialect().ReadInfo(), "");

  testing::TFakePrinter fake;
  fake.WhenEndsWith("\x10\x04\x01", "\x08");  // an ESC/POS printer would be off line
  printer.SetPorta(fake.Porta());
  EXPECT_TRUE(printer.LerStatusImpressora(2).Empty());
  EXPECT_EQ(printer.LerInfoImpressora(), "");
  EXPECT_EQ(fake.Received(), "");
}

TEST_F(EscEpsonP2Test, ReceiptThroughFilePort) {
  const testing::TempFolder dir;
  const std::string out = dir.File("cupom.prn");
  printer.SetPorta("FILE:" + out);
  printer.SetLinhasEntreCupons(2);
  printer.Ativar();
  printer.Imprimir(
      "</ce><e>LOJA</e>\n"
      "<n>Item</n> <s>1</s>\n"
      "<ean8>123</ean8><qrcode>X</qrcode></corte_total>");
  printer.Desativar();
  EXPECT_EQ(AsHex(testing::ReadFile(out)),
            "1B 32 "                                       // initialisation: spacing only
            "1B 57 31 4C 4F 4A 41 1B 57 30 0A "            // no alignment command
            "1B 47 49 74 65 6D 1B 48 20 1B 2D 01 31 1B 2D 00 0A "
            "30 30 30 30 31 32 33 "                        // EAN-8 as text, no QR code
            "20 0A 20 0A");                                // feed only: no cutter
}

}  // namespace
}  // namespace dovra

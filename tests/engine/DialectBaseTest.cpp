#include <gtest/gtest.h>

#include "dialects/DovraPosPrinterClass.h"
#include "engine/DovraPosPrinter.h"
#include "tests/engine/EngineTestSupport.h"

namespace dovra::test {
namespace {

TEST(PlainTextDialect, FreshTableHoldsOnlyTheLineBreak) {
  TDovraPosPrinter p;
  TDovraPosPrinterClass d(p);
  EXPECT_EQ(d.ModelName(), "Texto");
  EXPECT_EQ(d.ColumnRatios().Condensada, 0.75);
  EXPECT_EQ(d.ColumnRatios().Expandida, 2.0);
  EXPECT_EQ(&d.Printer(), &p);
  const TDovraPosComandos& c = d.Commands();
  EXPECT_EQ(c.LineBreak, "\x0D\x0A");
  for (const std::string* field :
       {&c.Beep, &c.AlignCenter, &c.AlignRight, &c.AlignLeft, &c.PartialCut, &c.DoubleHeightOff,
        &c.InvertedOff, &c.PageModeOff, &c.DefaultLineSpacing, &c.PrintPage, &c.DoubleHeightOn,
        &c.InvertedOn, &c.NormalFont, &c.CondensedOn, &c.FullCut, &c.LineSpacing, &c.ExpandedOn,
        &c.CondensedOff, &c.ExpandedOff, &c.ItalicOff, &c.BoldOff, &c.UnderlineOff, &c.FontA,
        &c.FontB, &c.ItalicOn, &c.PageModeOn, &c.BoldOn, &c.UnderlineOn, &c.Reset})
    EXPECT_EQ(*field, "");
}

TEST(PlainTextDialect, ProducesTextAndLineBreaksOnly) {
  TDovraPosPrinter p;
  TDovraPosPrinterClass d(p);
  for (int spacing : {0, 1, 255})
    EXPECT_EQ(d.LineSpacingCommand(static_cast<std::uint8_t>(spacing)), "");
  EXPECT_EQ(d.LineFeedCommand(3), "\x20\x0D\x0A\x20\x0D\x0A\x20\x0D\x0A");
  EXPECT_EQ(d.LineFeedCommand(0), "");
  EXPECT_EQ(d.LineFeedCommand(-2), "");
  EXPECT_EQ(d.BarcodeCommand("<ean13>", "123456789012"), "123456789012");
  EXPECT_EQ(d.TranslateBlockTag("<ce>", "a<n>b"), "a<n>b");
  EXPECT_EQ(d.QRCodeCommand("x"), "");
  EXPECT_EQ(d.LogoCommand(), "");
  EXPECT_EQ(d.DrawerCommand(1), "");
  EXPECT_EQ(d.CodePageCommand(pc850), "");
  EXPECT_EQ(d.PageModeSetupCommand(), "");
  EXPECT_EQ(d.InitCommand(), "");
  EXPECT_EQ(d.ReadInfo(), "");
  TDovraPosStatusSet status;
  d.ReadStatus(status);
  EXPECT_TRUE(status.Empty());
  for (int k = fkNormal; k <= fkDoubleHeight; ++k) {
    EXPECT_EQ(d.FontCommand(static_cast<TDovraPosFontKind>(k), true), "");
    EXPECT_EQ(d.FontCommand(static_cast<TDovraPosFontKind>(k), false), "");
  }
}

TEST(DialectBase, FontCommandLooksTheKindUpInTheTable) {
  TDovraPosPrinter p;
  TTestDialect d(p);
  struct Case {
    TDovraPosFontKind kind;
    const char* on;
    const char* off;
  };
  const Case cases[] = {
      {fkNormal, "", ""},           {fkCondensed, "{C1}", "{C0}"}, {fkExpanded, "{E1}", "{E0}"},
      {fkBold, "{B1}", "{B0}"},     {fkUnderline, "{S1}", "{S0}"}, {fkInverted, "{IN1}", "{IN0}"},
      {fkItalic, "{IT1}", "{IT0}"}, {fkFontB, "{FB}", "{FA}"},     {fkDoubleHeight, "{A1}", "{A0}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(d.FontCommand(c.kind, true), c.on) << NameOf(c.kind);
    EXPECT_EQ(d.FontCommand(c.kind, false), c.off) << NameOf(c.kind);
  }
}

TEST(DialectBase, LineSpacingAndInitialisationUseTheDialectsOwnOperations) {
  TDovraPosPrinter p;
  TTestDialect d(p);
  EXPECT_EQ(d.LineSpacingCommand(0), "{DLS}");
  EXPECT_EQ(d.LineSpacingCommand(5), "{LS}\x05");
  EXPECT_EQ(d.LineFeedCommand(2), " {LB} {LB}");
  EXPECT_EQ(d.InitCommand(), "{DLS}{CP850}");
  p.SetEspacoEntreLinhas(7);
  p.SetPaginaDeCodigo(pc1252);
  EXPECT_EQ(d.InitCommand(), "{LS}\x07{CP1252}");
}

TEST(DialectFactory, ModelNamesAndFallback) {
  const struct {
    int modelo;
    const char* name;
  } cases[] = {
      {ppTexto, "Texto"},         {ppEscPosEpson, "EscPosEpson"}, {ppEscBematech, "EscBematech"},
      {ppEscDaruma, "EscDaruma"}, {ppEscVox, "EscElgin"},         {ppEscDiebold, "EscDiebold"},
      {ppEscEpsonP2, "EscEpsonP2"}, {-1, "Texto"},                {7, "Texto"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(DialectModelName(static_cast<TDovraPosPrinterModelo>(c.modelo)), c.name);

  TDovraPosPrinter p;
  EXPECT_EQ(CreateDialect(static_cast<TDovraPosPrinterModelo>(99), p)->ModelName(), "Texto");
  EXPECT_EQ(CreateDialect(ppTexto, p)->ModelName(), "Texto");
}

TEST(PosTypes, NamesCodePagesAndStatusText) {
  EXPECT_STREQ(NameOf(ppEscVox), "ppEscVox");
  EXPECT_STREQ(NameOf(ppEscEpsonP2), "ppEscEpsonP2");
  EXPECT_STREQ(NameOf(static_cast<TDovraPosPrinterModelo>(7)), "");
  EXPECT_STREQ(NameOf(pcUTF8), "pcUTF8");
  EXPECT_STREQ(NameOf(static_cast<TDovraPosPaginaCodigo>(-1)), "");
  EXPECT_STREQ(NameOf(stErroLeitura), "stErroLeitura");
  EXPECT_STREQ(NameOf(fkDoubleHeight), "fkDoubleHeight");

  const struct {
    int page;
    int number;
  } pages[] = {{pcNone, 0}, {pc437, 437}, {pc850, 850}, {pc852, 852}, {pc860, 860},
               {pcUTF8, 65001}, {pc1252, 1252}, {7, 0}, {-3, 0}};
  for (const auto& c : pages)
    EXPECT_EQ(CodePageNumber(static_cast<TDovraPosPaginaCodigo>(c.page)), c.number) << c.page;

  EXPECT_EQ(StatusToString({}), "");
  EXPECT_EQ(StatusToString({stGavetaAberta, stSemPapel}), "stSemPapel, stGavetaAberta, ");
  EXPECT_EQ(StatusToString({stErroLeitura, stErro}), "stErro, stErroLeitura, ");
}

}  // namespace
}  // namespace dovra::test

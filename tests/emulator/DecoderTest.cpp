// What the virtual printer makes of hand-written byte streams, dialect by dialect. Every case is
// fed whole and one byte at a time: a command cut between two reads must decode the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/emulator/EmulatorTestSupport.h"
#include "util/Bytes.h"

namespace dovra::emulator::test {
namespace {

std::string H(const char* hex) { return Hex(hex); }

struct Case {
  const char* name;
  TDovraPosPrinterModelo modelo;
  std::string bytes;
  std::vector<std::string> transcripts;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  EXPECT_EQ(Decode(c.modelo, c.bytes).transcripts, c.transcripts);
  EXPECT_EQ(Decode(c.modelo, c.bytes, 1).transcripts, c.transcripts) << "byte by byte";
}

TEST(EscPosDecoder, TextStylesAlignmentAndCodePages) {
  const std::vector<Case> cases = {
      {"print mode and the separate style commands", ppEscPosEpson,
       H("1B 21 08") + "N" + H("1B 21 28") + "NE" + H("1B 21 00 1D 42 01") + "I" +
           H("1D 42 00 1B 34") + "it" + H("1B 35 1B 2D 01") + "s" + H("1B 2D 00 1B 4D 01") +
           "b" + H("1B 4D 00 1B 21 01") + "c" + H("1B 21 90") + "as" + H("1B 21 00 0A"),
       {"{n}N{/}{e,n}NE{/}{in}I{/}{i}it{/}{s}s{/}{fb}b{/}{c}c{/}{a,s}as{/}\n"}},
      {"GS ! sizes and ESC E / ESC G bold", ppEscPosEpson,
       H("1D 21 11") + "x" + H("1D 21 00 1B 45 01") + "y" + H("1B 45 00 1B 47 01") + "z" +
           H("1B 47 00 0A"),
       {"{e,a}x{/}{n}yz{/}\n"}},
      {"alignment is taken at the start of a line", ppEscPosEpson,
       H("1B 61 01") + "A" + H("0A 1B 61 02") + "B" + H("0A 1B 61 00") + "C" + H("0A") + "x" +
           H("1B 61 31") + "y" + H("0A") + "z" + H("0A"),
       {"{ce}A\n{ad}B\nC\nxy\n{ce}z\n"}},
      {"CR is ignored, an empty LF is a blank line, HT goes to the next tab stop", ppEscPosEpson,
       "ab" + H("0D 0A 0A 09") + "c" + H("0A"), {"ab\n\n        c\n"}},
      {"code pages: 437 at power-on, then 1252, 850, 860, 852", ppEscPosEpson,
       H("E7 1B 74 10 E7 1B 74 02 9B 1B 74 03 84 1B 74 12 A5 0A"), {"τçøãą\n"}},
      {"a code page it has no table for stays unknown and changes nothing", ppEscPosEpson,
       H("1B 74 05 E7 0A"), {"[DESCONHECIDO [ESC]t[ENQ]]τ\n"}},
      {"reset prints what is pending and clears styles, alignment and code page", ppEscPosEpson,
       H("1B 74 10 1B 61 01 1B 21 08") + "a" + H("1B 40") + "b" + H("E7 0A"),
       {"{ce}{n}a{/}\nbτ\n"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EscPosDecoder, BlocksCutsAndPageMode) {
  const std::vector<Case> cases = {
      {"barcode settings apply to the next barcodes", ppEscPosEpson,
       H("1D 77 02 1D 68 32 1D 48 02 1D 6B 43 0C") + "789012345678" + H("1D 48 00 1D 6B 04") +
           "ABC" + H("00"),
       {"[BARRAS EAN13 dados=789012345678 largura=2 altura=50 texto=sim]\n"
        "[BARRAS CODE39 dados=ABC largura=2 altura=50 texto=nao]\n"}},
      {"code 128 code sets: B as text, C as digit pairs", ppEscPosEpson,
       H("1D 6B 49 05 7B 42") + "ABC" + H("1D 6B 49 05 7B 43 01 17 2D"),
       {"[BARRAS CODE128 dados=ABC conjunto=B largura=3 altura=162 texto=nao]\n"
        "[BARRAS CODE128 dados=012345 conjunto=C largura=3 altura=162 texto=nao]\n"}},
      {"QR code functions, stored logos, drawer and beep", ppEscPosEpson,
       H("1B 61 01 1D 28 6B 04 00 31 41 32 00 1D 28 6B 03 00 31 43 04 1D 28 6B 03 00 31 45 31"
         " 1D 28 6B 06 00 31 50 30 41 42 43 1D 28 6B 03 00 31 51 30 1B 61 00"
         " 1C 70 07 03 1D 28 4C 06 00 30 45 30 31 01 01 1B 70 01 64 FA"
         " 1B 28 41 05 00 61 64 01 32 32"),
       {"{ce}[QRCODE dados=ABC modulo=4 correcao=M]\n[LOGO n=7 x=2 y=2]\n"
        "[LOGO kc1=48 kc2=49]\n[GAVETA 2]\n[BIP]\n"}},
      {"a cut ends the receipt; a pending line is printed before a block", ppEscPosEpson,
       "a" + H("1D 56 01") + "b" + H("0A 1D 56 00"),
       {"a\n[CORTE PARCIAL]\n", "b\n[CORTE TOTAL]\n"}},
      {"page mode is printed as one block", ppEscPosEpson,
       H("1B 4C 1B 54 03 1B 57 00 00 00 00 00 02 00 01") + "pg" + H("0A 1B 0C 1B 53"),
       {"[MODO PAGINA direcao=3 x=0 y=0 largura=512 altura=256]\npg\n[FIM MODO PAGINA]\n"}},
      {"a page left unprinted is reported, not dropped", ppEscPosEpson,
       H("1B 4C") + "lost" + H("0A 1B 53") + "std" + H("0A"),
       {"[MODO PAGINA direcao=0 x=0 y=0 largura=0 altura=0]\nlost\n"
        "[FIM MODO PAGINA NAO IMPRESSO]\nstd\n"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EscPosDecoder, UnknownBytesAreKeptWhereTheyArrived) {
  const std::vector<Case> cases = {
      {"an unknown ESC command takes one byte with it", ppEscPosEpson,
       "ab" + H("1B 78") + "x" + H("01") + "c" + H("0A"),
       {"ab[DESCONHECIDO [ESC]x]x[DESCONHECIDO [SOH]]c\n"}},
      {"unknown bytes alone make a receipt", ppEscPosEpson, H("1D 99"),
       {"[DESCONHECIDO [GS][153]]\n"}},
      {"a command cut off by the end of the connection", ppEscPosEpson,
       "ok" + H("1D 6B 43 05") + "12", {"ok[DESCONHECIDO [GS]kC[ENQ]12]\n"}},
      {"a command whose parameters make no sense is unknown from its head", ppEscPosEpson,
       H("1D 56 07") + "x" + H("1D 6B 07") + "y" + H("0A"),
       {"[DESCONHECIDO [GS]V][DESCONHECIDO [7]]x[DESCONHECIDO [GS]k][DESCONHECIDO [7]]y\n"}},
      {"a QR function it does not know keeps the whole command", ppEscPosEpson,
       H("1D 28 6B 03 00 31 42 31 1D 28 41 02 00 01 02"),
       {"[DESCONHECIDO [GS](k[ETX][NUL]1B1][DESCONHECIDO [GS](A[STX][NUL][SOH][STX]]\n"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EscPosDecoder, ACommandThatNeverEndsIsGivenUp) {
  // A barcode whose NUL never comes: after a megabyte the printer stops waiting for it.
  const std::string bytes = H("1D 6B 04") + std::string(1200000, 'A') + H("00");
  const TDecoded d = Decode(ppEscPosEpson, bytes, 65536, 250);
  ASSERT_EQ(d.transcripts.size(), 1u);
  EXPECT_TRUE(d.transcripts[0].starts_with("[DESCONHECIDO [GS]k][DESCONHECIDO [4]]AAAA"))
      << d.transcripts[0].substr(0, 80);
  EXPECT_TRUE(d.transcripts[0].ends_with("AAA[DESCONHECIDO [NUL]]\n"));
}

TEST(EscPosDecoder, LinesWrapAtThePaperWidth) {
  struct WrapCase {
    const char* name;
    std::string bytes;
    int columns;
    std::string transcript;
  };
  const std::vector<WrapCase> cases = {
      {"normal font", std::string(50, 'x') + "\n", 48,
       std::string(48, 'x') + "\nxx\n"},
      {"condensed fits 64 in 48 columns", H("1B 21 01") + std::string(65, 'c'), 48,
       "{c}" + std::string(64, 'c') + "{/}\n{c}c{/}\n"},
      {"expanded fits half", H("1B 21 20") + std::string(21, 'e'), 40,
       "{e}" + std::string(20, 'e') + "{/}\n{e}e{/}\n"},
      {"a line of exactly the width feeds once", std::string(32, 'y') + "\n", 32,
       std::string(32, 'y') + "\n"},
  };
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecoded d = Decode(ppEscPosEpson, c.bytes, 0, c.columns);
    ASSERT_EQ(d.transcripts.size(), 1u);
    EXPECT_EQ(d.transcripts[0], c.transcript);
  }
}

TEST(EscPosDecoder, StatusAndIdentificationQueriesArePassedOn) {
  const TDecoded d = Decode(ppEscPosEpson, H("10 04 01 10 04 04 1D 49 42 1D 49 32"), 1);
  ASSERT_EQ(d.queries.size(), 4u);
  EXPECT_EQ(d.queries[0].kind, TQueryKind::kRealTimeStatus);
  EXPECT_EQ(d.queries[0].param, 1);
  EXPECT_EQ(d.queries[1].param, 4);
  EXPECT_EQ(d.queries[2].kind, TQueryKind::kPrinterId);
  EXPECT_EQ(d.queries[2].param, 'B');
  EXPECT_EQ(d.queries[3].bytes, H("1D 49 32"));
  EXPECT_TRUE(d.transcripts.empty()) << "queries print nothing";
}

TEST(DieboldDecoder, OwnQrAndLogoAndPlainCode128) {
  Check({"QR alignment under ESC ( k, logo by GS 0 9, code 128 without selector", ppEscDiebold,
         H("1B 28 6B 03 00 31 42 31 1B 28 6B 03 00 31 43 04 1B 28 6B 03 00 31 45 31"
           " 1B 28 6B 06 00 31 50 30 41 42 43 1B 28 6B 03 00 31 51 30 1B 61 00"
           " 1D 30 39 03 1D 6B 49 05 7B 41 41 42 43"),
         {"{ce}[QRCODE dados=ABC modulo=4 correcao=M]\n[LOGO n=3]\n"
          "[BARRAS CODE128 dados={AABC largura=3 altura=162 texto=nao]\n"}});
}

TEST(BematechDecoder, CommandSet) {
  const std::vector<Case> cases = {
      {"styles have commands of their own; ESC ! 0, ESC H and ESC 5 cancel them all",
       ppEscBematech,
       H("1B 45") + "n" + H("1B 46 1B 57 01") + "e" + H("1B 57 00 1B 64 01") + "a" +
           H("1B 64 00 1B 0F") + "c" + H("1B 48 1B 34") + "i" + H("1B 35 1B 2D 01") + "s" +
           H("1B 45 1B 0F 1B 34 1B 21 00 1B 48 1B 35") + "p" + H("0A"),
       {"{n}n{/}{e}e{/}{a}a{/}{c}c{/}{i}i{/}{s}s{/}p\n"}},
      {"mode selection prints nothing; code page 8 is UTF-8", ppEscBematech,
       H("1D F9 20 00 1B 74 08") + "P" + H("C3 A3") + "o" + H("E2 82 AC 0A 1B 74 02 C6 0A"),
       {"Pão€\nã\n"}},
      {"QR code, plain code 128, logo, drawers and cuts", ppEscBematech,
       H("1D 6B 51 02 08 00 01 03 00 41 42 43 1D 77 03 1D 6B 49 05 7B 41 58 59 5A"
         " 1C 70 01 00 1B 76 C8 1B 80 C8 1B 28 41 04 00 01 02 01 00 1B 6D 1B 77"),
       {"[QRCODE dados=ABC modulo=8 correcao=Q]\n"
        "[BARRAS CODE128 dados={AXYZ largura=3 altura=162 texto=nao]\n[LOGO n=1]\n"
        "[GAVETA 1]\n[GAVETA 2]\n[BIP]\n[CORTE PARCIAL]\n",
        "[CORTE TOTAL]\n"}},
      {"ESC/POS-only commands are unknown here", ppEscBematech,
       H("1D 42 01") + "x" + H("1B 4C 0A"),
       {"[DESCONHECIDO [GS]B][DESCONHECIDO [SOH]]x[DESCONHECIDO [ESC]L]\n"}},
  };
  for (const Case& c : cases) Check(c);

  const TDecoded d = Decode(ppEscBematech, H("1D F8 31 1D F9 27 00 1D F9 27 03"), 1);
  ASSERT_EQ(d.queries.size(), 3u);
  EXPECT_EQ(d.queries[0].kind, TQueryKind::kBematechStatus);
  EXPECT_EQ(d.queries[1].kind, TQueryKind::kBematechInfo);
  EXPECT_EQ(d.queries[1].param, 0);
  EXPECT_EQ(d.queries[2].param, 3);
}

TEST(ElginDecoder, QrCodeAndEnq) {
  Check({"GS o sets the QR code up, GS k 0B prints it", ppEscVox,
         H("1D 6F 00 04 00 02 1D 6B 0B 48 41 2C") + "ABC" + H("00 1B 57 01") + "x" + H("0A"),
         {"[QRCODE dados=ABC modulo=4 correcao=H]\n{e}x{/}\n"}});
  const TDecoded d = Decode(ppEscVox, H("05 1D F8 31"));
  ASSERT_EQ(d.queries.size(), 2u);
  EXPECT_EQ(d.queries[0].kind, TQueryKind::kEnq);
  EXPECT_EQ(d.queries[1].kind, TQueryKind::kBematechStatus);
}

TEST(DarumaDecoder, CommandSet) {
  const std::string config = H("1B C6") + std::string(30, 'X') + "1" + std::string(9, 'X');
  const std::vector<Case> cases = {
      {"styles and alignment", ppEscDaruma,
       H("1B 6A 01") + "c" + H("0A 1B 6A 00 1B 45") + "n" + H("1B 46 1B 77 01") + "a" +
           H("1B 77 00 1B 34 01") + "i" + H("1B 34 00 1B 0F") + "c" + H("14 1B 57 01") + "e" +
           H("1B 21 00 12 0A"),
       {"{ce}c\n{n}n{/}{a}a{/}{i}i{/}{c}c{/}{e}e{/}\n"}},
      {"barcode, QR code, logo, drawer, beep and cut", ppEscDaruma,
       H("1B 62 02 02 32 00") + "1234567" + H("00 1B 81 05 00 04 00 41 42 43 1B 81 05 00 05 51") +
           "XYZ" + H("16 08 16 09 1B 70 07 1B 6D"),
       {"[BARRAS EAN8 dados=1234567 largura=2 altura=50 texto=nao]\n"
        "[QRCODE dados=ABC modulo=4 correcao=L]\n[QRCODE dados=XYZ modulo=5 correcao=Q]\n"
        "[LOGO]\n[GAVETA 1]\n[BIP]\n[CORTE TOTAL]\n"}},
      {"the configuration string is shown by the settings it changes, and its condensed "
       "font fits 57 characters in 48 columns",
       ppEscDaruma, config + H("1B 0F") + std::string(58, 'c'),
       {"[CONFIGURACAO 31=1]\n{c}" + std::string(57, 'c') + "{/}\n{c}c{/}\n"}},
      {"a configuration string alone prints no receipt", ppEscDaruma, config, {}},
  };
  for (const Case& c : cases) Check(c);

  const TDecoded d = Decode(ppEscDaruma, H("05 1D 05 1B C7 1B C3 1B E5"), 1);
  ASSERT_EQ(d.queries.size(), 5u);
  EXPECT_EQ(d.queries[0].kind, TQueryKind::kEnq);
  EXPECT_EQ(d.queries[1].kind, TQueryKind::kGsEnq);
  EXPECT_EQ(d.queries[2].kind, TQueryKind::kDarumaFirmware);
  EXPECT_EQ(d.queries[3].kind, TQueryKind::kDarumaModel);
  EXPECT_EQ(d.queries[4].kind, TQueryKind::kDarumaSettings);
}

TEST(EscP2AndTextDecoders, CommandSets) {
  const std::vector<Case> cases = {
      {"ESC/P2: reset then SI is condensed; double-strike and double width", ppEscEpsonP2,
       H("1B 40 0F") + "x" + H("0A 12 1B 47") + "b" + H("1B 48 1B 57 31") + "e" +
           H("1B 57 30 1B 34") + "i" + H("1B 35 0A"),
       {"{c}x{/}\n{n}b{/}{e}e{/}{i}i{/}\n"}},
      {"ESC/P2: ESC 0 takes no parameter, so a byte after it is data", ppEscEpsonP2,
       H("1B 30 05") + "ok" + H("0A"), {"[DESCONHECIDO [ENQ]]ok\n"}},
      {"plain text: CR LF lines, every command unknown", ppTexto,
       "abc" + H("0D 0A 1B 45") + "d" + H("0D 0A"), {"abc\n[DESCONHECIDO [ESC]E]d\n"}},
  };
  for (const Case& c : cases) Check(c);
}

}  // namespace
}  // namespace dovra::emulator::test

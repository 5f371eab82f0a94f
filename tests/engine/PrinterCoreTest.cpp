#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <regex>

#include "engine/DovraPosPrinter.h"
#include "tests/engine/EngineTestSupport.h"
#include "util/BracketNotation.h"

namespace dovra::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string kRule(80, '-');
// "dd/mm/yy hh:nn:ss:zzz"
const std::string kDateTime = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d:\d\d\d)";

TEST(PrinterDefaults, NewPrinterHoldsTheInitialSettings) {
  TDovraPosPrinter p;
  EXPECT_EQ(p.Modelo(), ppTexto);
  EXPECT_EQ(p.Dialect().ModelName(), "Texto");
  EXPECT_EQ(p.ColunasFonteNormal(), 48);
  EXPECT_EQ(p.PaginaDeCodigo(), pc850);
  EXPECT_EQ(p.EspacoEntreLinhas(), 0);
  EXPECT_TRUE(p.CortaPapel());
  EXPECT_EQ(p.LinhasEntreCupons(), 21);
  EXPECT_EQ(p.LinhasBuffer(), 0);
  EXPECT_TRUE(p.TraduzirTags());
  EXPECT_FALSE(p.IgnorarTags());
  EXPECT_FALSE(p.ControlePorta());
  EXPECT_FALSE(p.VerificarImpressora());
  EXPECT_EQ(p.ArqLOG(), "");
  EXPECT_FALSE(p.OnGravarLog());
  EXPECT_FALSE(p.OnEnviarStringDevice());
  EXPECT_FALSE(p.Active());
  EXPECT_FALSE(p.Initialized());
  EXPECT_EQ(p.Alignment(), paLeft);
  EXPECT_EQ(p.FontState(), TDovraPosFontState{fkNormal});
  EXPECT_EQ(p.Device().Name(), "DovraDevice");
  EXPECT_EQ(p.Device().Owner(), &p);
  EXPECT_EQ(p.TagProcessor().Tags().Count(), 75u);

  EXPECT_EQ(p.ConfigQRCode().Tipo(), 2);
  EXPECT_EQ(p.ConfigQRCode().LarguraModulo(), 4);
  EXPECT_EQ(p.ConfigQRCode().ErrorLevel(), 0);
  EXPECT_FALSE(p.ConfigLogo().IgnorarLogo());
  EXPECT_EQ(p.ConfigLogo().KeyCode1(), 32);
  EXPECT_EQ(p.ConfigLogo().KeyCode2(), 32);
  EXPECT_EQ(p.ConfigLogo().FatorX(), 1);
  EXPECT_EQ(p.ConfigGaveta().TempoON(), 50);
  EXPECT_EQ(p.ConfigGaveta().TempoOFF(), 200);
  EXPECT_FALSE(p.ConfigGaveta().SinalInvertido());
  EXPECT_EQ(p.ConfigModoPagina().Direcao(), dirEsquerdaParaDireita);
  EXPECT_FALSE(p.ConfigBarras().MostrarCodigo());
  EXPECT_EQ(p.ConfigBarras().Altura(), 0);
}

TEST(PrinterDefaults, QRCodeSettingsAreClampedOnEveryWrite) {
  struct Case {
    void (TDovraConfigQRCode::*set)(int);
    int (TDovraConfigQRCode::*get)() const;
    int written, read;
  };
  const Case cases[] = {
      {&TDovraConfigQRCode::SetLarguraModulo, &TDovraConfigQRCode::LarguraModulo, 20, 16},
      {&TDovraConfigQRCode::SetLarguraModulo, &TDovraConfigQRCode::LarguraModulo, 0, 1},
      {&TDovraConfigQRCode::SetErrorLevel, &TDovraConfigQRCode::ErrorLevel, -1, 0},
      {&TDovraConfigQRCode::SetErrorLevel, &TDovraConfigQRCode::ErrorLevel, 9, 3},
      {&TDovraConfigQRCode::SetTipo, &TDovraConfigQRCode::Tipo, 5, 2},
      {&TDovraConfigQRCode::SetTipo, &TDovraConfigQRCode::Tipo, 0, 1},
  };
  for (const Case& c : cases) {
    TDovraConfigQRCode q;
    (q.*c.set)(c.written);
    EXPECT_EQ((q.*c.get)(), c.read) << "written " << c.written;
  }
}

TEST(PrinterColumns, CondensedWinsOverExpandedAndRatiosCutTowardsZero) {
  TDovraPosPrinter p;
  EXPECT_EQ(p.CondensedColumns(), 64);
  EXPECT_EQ(p.ExpandedColumns(), 24);
  p.SetColunasFonteNormal(47);
  EXPECT_EQ(p.CondensedColumns(), 62);  // 62.67
  EXPECT_EQ(p.ExpandedColumns(), 23);   // 23.5
  p.SetColunasFonteNormal(48);
  p.TraduzirTag("<e>");
  EXPECT_EQ(p.ColumnsForCurrentFont(), 24);
  p.TraduzirTag("<c>");
  EXPECT_EQ(p.ColumnsForCurrentFont(), 64);
}

class PrinterModelo : public PrinterFixture {};

TEST_F(PrinterModelo, SameValueDoesNothingOtherValueOnOpenPrinterClosesIt) {
  printer.SetModelo(ppTexto);
  EXPECT_TRUE(log.empty());

  printer.SetPorta(FilePort());
  printer.Ativar();
  log.clear();
  printer.SetModelo(ppEscPosEpson);
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(printer.Modelo(), ppEscPosEpson);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_THAT(log[0], StartsWith("\r\n" + kRule + "\r\nDESATIVAR - "));
  EXPECT_EQ(log[1], "SetModelo(ppEscPosEpson)");
}

TEST_F(PrinterModelo, EachModelCreatesItsDialectAndTheActivationBlockNamesIt) {
  const struct {
    TDovraPosPrinterModelo modelo;
    const char* name;
  } cases[] = {
      {ppEscPosEpson, "EscPosEpson"}, {ppEscBematech, "EscBematech"}, {ppEscDaruma, "EscDaruma"},
      {ppEscVox, "EscElgin"},         {ppEscDiebold, "EscDiebold"},   {ppEscEpsonP2, "EscEpsonP2"},
      {ppTexto, "Texto"},
  };
  printer.SetPorta(FilePort());
  for (const auto& c : cases) {
    printer.SetModelo(c.modelo);
    EXPECT_EQ(printer.Dialect().ModelName(), c.name);
    log.clear();
    printer.Ativar();
    EXPECT_THAT(log.at(0), HasSubstr("\r\n  - Modelo.: " + std::string(c.name) + "\r\n"));
  }
}

TEST_F(PrinterModelo, ValueOutsideTheEnumerationGivesPlainTextAndLogsTheOrdinal) {
  UseTestDialect();
  printer.SetModelo(static_cast<TDovraPosPrinterModelo>(42));
  EXPECT_EQ(printer.Modelo(), 42);
  EXPECT_EQ(printer.Dialect().ModelName(), "Texto");
  EXPECT_THAT(log, ElementsAre("SetModelo(42)"));
}

class PrinterActivation : public PrinterFixture {};

TEST_F(PrinterActivation, BlockShowsModelTimeOutAndPortOncePerOpening) {
  TTestDialect& d = UseTestDialect();
  printer.SetPorta(FilePort());
  printer.Ativar();
  ASSERT_EQ(log.size(), 1u);
  const std::regex block("\r\n-{80}\r\nATIVAR - " + kDateTime +
                         "\r\n  - Modelo\\.: Teste\r\n  - TimeOut: 3"
                         "\r\n  - Arquivo: FILE:/.*/saida\\.prn\r\n-{80}\r\n");
  EXPECT_TRUE(std::regex_match(log[0], block)) << ToBracketNotation(log[0]);
  EXPECT_TRUE(printer.Active());
  EXPECT_EQ(d.configureCalls, 1);
  EXPECT_TRUE(FileExists(PathIn("saida.prn")));

  printer.Ativar();
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(d.configureCalls, 1);
}

TEST_F(PrinterActivation, PortLineDependsOnThePortKind) {
  printer.SetPorta("USB1");
  printer.Ativar();
  EXPECT_THAT(log.at(0), HasSubstr("\r\n  - DLL....: USB1\r\n"));
  printer.Desativar();

  int master = -1, slave = -1;
  char name[64];
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  log.clear();
  printer.SetPorta(name);
  ASSERT_TRUE(printer.Device().IsSerial());
  printer.Ativar();
  printer.Desativar();
  EXPECT_THAT(log.at(0), HasSubstr("\r\n  - Serial.: " + std::string(name) + " - " +
                                   printer.Device().DeviceToString(false) + "\r\n"));
  ::close(slave);
  ::close(master);

  // Nothing listens on port 1: the block is written, then the opening fails.
  log.clear();
  printer.SetPorta("TCP:127.0.0.1:1");
  EXPECT_THROW(printer.Ativar(), std::exception);
  EXPECT_FALSE(printer.Active());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("\r\n  - Porta..: TCP:127.0.0.1:1\r\n"));
}

TEST_F(PrinterActivation, DeactivationBlockIsWrittenEvenWhenClosed) {
  printer.Desativar();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(std::regex_match(log[0], std::regex("\r\n-{80}\r\nDESATIVAR - " + kDateTime +
                                                  "\r\n-{80}\r\n")));
}

class PrinterPrinting : public PrinterFixture {
 protected:
  // Open on a recording hook port with the test dialect (initialisation "{DLS}{CP850}").
  TTestDialect& OpenWithTestDialect() {
    TTestDialect& d = UseTestDialect();
    UseRecordingHookPort();
    printer.Ativar();
    log.clear();
    return d;
  }
};

TEST_F(PrinterPrinting, ClosedPrinterWithoutPortControlRefusesAndEmptiesTheBuffer) {
  printer.SetPorta(FilePort());
  printer.LineBuffer().Add("linha");
  try {
    printer.Imprimir("abc");
    FAIL() << "expected EPosPrinterException";
  } catch (const EPosPrinterException& e) {
    EXPECT_STREQ(e.what(), "Não está Ativo");
  }
  EXPECT_TRUE(printer.LineBuffer().Empty());
  EXPECT_FALSE(FileExists(PathIn("saida.prn")));
}

TEST_F(PrinterPrinting, InitialisationPrefixGoesOutOnceUnlessTheBytesHoldItOrAreTheReset) {
  struct Case {
    const char* name;
    std::vector<std::string> texts;
    std::vector<std::string> expected;
    bool initializedAfter;
  };
  const std::vector<Case> cases = {
      {"first send only", {"abc", "def"}, {"{DLS}{CP850}abc", "def"}, true},
      {"bytes hold the command", {"x{DLS}{CP850}y", "z"}, {"x{DLS}{CP850}y", "z"}, true},
      {"exactly the reset", {"</reset>", "abc"}, {"{RST}", "{DLS}{CP850}abc"}, true},
      {"zera initialises", {"</zera>abc"}, {"{RST}{DLS}{CP850}abc"}, true},
      {"reset in front of text", {"</reset>abc"}, {"{DLS}{CP850}{RST}abc"}, true},
      {"reset after initialisation", {"abc", "</reset>"}, {"{DLS}{CP850}abc", "{RST}"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrinterFixture::sent.clear();
    printer.Desativar();
    OpenWithTestDialect();
    for (const std::string& t : c.texts) printer.Imprimir(t);
    EXPECT_EQ(sent, c.expected);
    EXPECT_EQ(printer.Initialized(), c.initializedAfter);
  }
}

TEST_F(PrinterPrinting, InitialisationIsLoggedTranslated) {
  OpenWithTestDialect();
  printer.SetEspacoEntreLinhas(27);
  printer.Imprimir("a");
  EXPECT_TRUE(Logged("EnviarStringDevice - Inicializando: {LS}[ESC]{CP850}"));
  EXPECT_TRUE(Logged("EnviarStringDevice( {LS}[ESC]{CP850}a)"));
}

TEST_F(PrinterPrinting, EmptyTextSendsNothingButIsLogged) {
  OpenWithTestDialect();
  printer.Imprimir("");
  EXPECT_TRUE(sent.empty());
  EXPECT_THAT(log, ElementsAre("Imprimir, Copias:1, DecodificarTags:SIM, TraduzirTags:SIM", ""));
}

TEST_F(PrinterPrinting, LogShowsTheSourceTextAndTheFlags) {
  OpenWithTestDialect();
  printer.SetTraduzirTags(false);
  printer.Imprimir("<n>\x1B\r\n", false, false, true, 2);
  EXPECT_EQ(log.at(0), "Imprimir, Copias:2, DecodificarTags:NAO, TraduzirTags:NAO");
  EXPECT_EQ(log.at(1), "<n>[ESC][CR][LF]");
  EXPECT_EQ(sent, (std::vector<std::string>{"{DLS}{CP850}<n>\x1B{LB}", "<n>\x1B{LB}"}));
}

TEST_F(PrinterPrinting, NoCopiesSendNothing) {
  OpenWithTestDialect();
  printer.Imprimir("abc", false, true, true, 0);
  printer.Imprimir("abc", false, true, true, -3);
  EXPECT_TRUE(sent.empty());
}

TEST_F(PrinterPrinting, CodePageAndLineBreaksActOnTheSourceTextOnly) {
  OpenWithTestDialect();
  // "ção" in UTF-8, a CR LF, a lone CR and a lone LF in the text; the beep command holds
  // ESC, 0xE7 and CR LF, which must reach the port untouched.
  printer.Imprimir("\xC3\xA7\xC3\xA3o\r\na\rb\n</beep>", true);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], "{DLS}{CP850}\x87\xC6o{LB}a{LB}b{LB}\x1B\xE7\r\n{LB}");
}

TEST_F(PrinterPrinting, WithoutConversionTheTextStaysUtf8) {
  OpenWithTestDialect();
  printer.Imprimir("\xC3\xA7", false, true, false);
  EXPECT_EQ(sent.at(0), "{DLS}{CP850}\xC3\xA7");
}

TEST_F(PrinterPrinting, NoCodePageFoldsToAscii) {
  OpenWithTestDialect();
  printer.SetPaginaDeCodigo(pcNone);
  printer.Imprimir("a\xC3\xA7\xC3\xA3o\tz");
  EXPECT_EQ(sent.at(0), "{DLS}{CP0}acao z");
}

TEST_F(PrinterPrinting, TextOfBlanksAndControlsKeepsItsLineBreaks) {
  OpenWithTestDialect();
  printer.Imprimir(" \r\n\t\r\n");
  EXPECT_EQ(sent.at(0), "{DLS}{CP850} \r\n\t\r\n");
}

TEST_F(PrinterPrinting, BufferedLinesGoOutAheadOfTheText) {
  OpenWithTestDialect();
  printer.LineBuffer().Add("l1");
  printer.LineBuffer().Add("<n>l2");
  printer.Imprimir("fim");
  EXPECT_THAT(sent, ElementsAre("{DLS}{CP850}l1{LB}{B1}l2{LB}fim"));
  EXPECT_TRUE(printer.LineBuffer().Empty());
}

TEST_F(PrinterPrinting, FullBufferIsFlushedWhenItHoldsMoreLinesThanAllowed) {
  OpenWithTestDialect();
  printer.SetLinhasBuffer(2);
  printer.LineBuffer().Add("l1");
  printer.LineBuffer().Add("l2");
  EXPECT_TRUE(sent.empty());
  printer.LineBuffer().Add("l3");
  EXPECT_THAT(sent, ElementsAre("{DLS}{CP850}l1{LB}l2{LB}l3{LB}"));
  EXPECT_TRUE(printer.LineBuffer().Empty());
  EXPECT_EQ(log.at(0), "Esvaziando Buffer: 3 linhas");
}

TEST_F(PrinterPrinting, PortControlOpensAndClosesAroundEachCopy) {
  UseTestDialect();
  UseRecordingHookPort();
  printer.SetControlePorta(true);
  printer.Imprimir("abc", false, true, true, 2);
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(CountLogged("\r\n" + kRule + "\r\nATIVAR - "), 1u);
  EXPECT_EQ(CountLogged("Desativando a porta: USB"), 2u);
  EXPECT_EQ(CountLogged("Ativando a porta: USB"), 1u);
  // A port that is not serial is initialised again after each reopening.
  EXPECT_THAT(sent, ElementsAre("{DLS}{CP850}abc", "{DLS}{CP850}abc"));
  EXPECT_FALSE(printer.Initialized());
}

TEST_F(PrinterPrinting, PortControlClosesThePortWhenTheSendFails) {
  UseTestDialect();
  printer.SetPorta("USB");
  printer.Device().HookEnviaString = [](const std::string&) {
    throw EDovraDeviceException("falhou");
  };
  printer.SetControlePorta(true);
  EXPECT_THROW(printer.Imprimir("abc"), std::exception);
  EXPECT_FALSE(printer.Active());
  EXPECT_TRUE(Logged("Desativando a porta: USB"));
}

TEST_F(PrinterPrinting, SendHandlerTakesTheBytesOver) {
  OpenWithTestDialect();
  std::vector<std::string> taken;
  printer.SetOnEnviarStringDevice([&](const std::string& bytes, bool& tratado) {
    taken.push_back(bytes);
    tratado = true;
  });
  printer.Imprimir("<n>x");
  EXPECT_THAT(taken, ElementsAre("{DLS}{CP850}{B1}x"));
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(Logged("OnEnviarStringDevice( {DLS}{CP850}{B1}x)"));
  EXPECT_EQ(CountLogged("EnviarStringDevice( "), 0u);
}

TEST_F(PrinterPrinting, SendHandlerThatLeavesTratadoFalseOnlyWatches) {
  OpenWithTestDialect();
  int calls = 0;
  printer.SetOnEnviarStringDevice([&](const std::string&, bool&) { ++calls; });
  printer.Imprimir("x");
  EXPECT_EQ(calls, 1);
  EXPECT_THAT(sent, ElementsAre("{DLS}{CP850}x"));
}

TEST_F(PrinterPrinting, StatusFaultStopsPrintingInTheGivenOrder) {
  struct Case {
    TDovraPosStatusSet status;
    const char* message;  // nullptr: printing goes on
  };
  const Case cases[] = {
      {{stErro, stOffLine, stSemPapel, stTampaAberta}, "Impressora com Tampa Aberta"},
      {{stErro, stOffLine, stSemPapel}, "Impressora Sem Papel"},
      {{stErro, stOffLine}, "Impressora Desligada"},
      {{stErro}, "Impressora em Erro"},
      {{stPoucoPapel, stGavetaAberta, stImprimindo}, nullptr},
  };
  TTestDialect& d = OpenWithTestDialect();
  printer.SetVerificarImpressora(true);
  for (const Case& c : cases) {
    sent.clear();
    printer.LineBuffer().Add("linha");
    d.statusScript = {c.status};
    if (c.message) {
      try {
        printer.Imprimir("abc");
        ADD_FAILURE() << "expected " << c.message;
      } catch (const EPosPrinterException& e) {
        EXPECT_STREQ(e.what(), c.message);
      }
      EXPECT_TRUE(sent.empty());
    } else {
      printer.Imprimir("abc");
      EXPECT_EQ(sent.size(), 1u);
    }
    EXPECT_TRUE(printer.LineBuffer().Empty());
  }
}

class PrinterLog : public PrinterFixture {};

TEST_F(PrinterLog, HandlerGetsTheLineFileGetsItWithTimeStamp) {
  const std::string logFile = PathIn("pos.log");
  printer.SetArqLOG(logFile);
  printer.SetPorta(FilePort());
  printer.Ativar();
  printer.Imprimir("a\x1B");
  EXPECT_TRUE(Logged("EnviarStringDevice( a[ESC])"));

  const std::string file = ReadFile(logFile);
  const std::regex line(R"(\r\n-- \d\d/\d\d \d\d:\d\d:\d\d:\d\d\d - )"
                        R"(EnviarStringDevice\( a\[ESC\]\)\r\n)");
  EXPECT_TRUE(std::regex_search(file, line)) << file;
  // The activation block carries no time-stamp prefix.
  EXPECT_THAT(file, StartsWith("\r\n" + kRule + "\r\nATIVAR - "));
}

TEST_F(PrinterLog, HandlerThatTakesTheLineKeepsItOutOfTheFile) {
  const std::string logFile = PathIn("pos.log");
  printer.SetArqLOG(logFile);
  printer.SetOnGravarLog([this](const std::string& line, bool& tratado) {
    log.push_back(line);
    tratado = line.rfind("Imprimir", 0) == 0;
  });
  printer.SetPorta(FilePort());
  printer.Ativar();
  printer.Imprimir("a");
  const std::string file = ReadFile(logFile);
  EXPECT_THAT(file, Not(HasSubstr("Imprimir, Copias")));
  EXPECT_THAT(file, HasSubstr("EnviarStringDevice( a)"));
}

TEST_F(PrinterLog, UnwritableLogFileDoesNotStopPrinting) {
  printer.SetOnGravarLog(nullptr);
  printer.SetArqLOG(PathIn("nao-existe/pos.log"));
  printer.SetPorta(FilePort());
  printer.Ativar();
  printer.Imprimir("abc");
  EXPECT_EQ(OutputFile(), "abc");
  EXPECT_FALSE(FileExists(PathIn("nao-existe")));
}

}  // namespace
}  // namespace dovra::test

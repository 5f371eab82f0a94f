#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/DovraPosPrinter.h"
#include "tests/engine/EngineTestSupport.h"

namespace dovra::test {
namespace {

using ::testing::ElementsAre;

const TDovraPosStatusSet kReadError{stErroLeitura};

class PrinterStatus : public PrinterFixture {
 protected:
  // The test dialect on a hook port: "USB" answers through whatever the dialect scripts.
  TTestDialect& OnHookPort() {
    TTestDialect& d = UseTestDialect();
    printer.SetPorta("USB");
    return d;
  }
};

TEST_F(PrinterStatus, PortThatCannotAnswerReportsNaoSerialWithoutOpening) {
  TTestDialect& d = UseTestDialect();
  printer.SetPorta(FilePort());
  EXPECT_EQ(printer.LerStatusImpressora(1), TDovraPosStatusSet{stNaoSerial});
  EXPECT_THAT(log, ElementsAre("LerStatusImpressora( 1 )", "   stNaoSerial, "));
  EXPECT_EQ(d.readStatusCalls, 0);
  EXPECT_FALSE(printer.Active());
  EXPECT_FALSE(FileExists(PathIn("saida.prn")));
}

TEST_F(PrinterStatus, TriesAreRepeatedWhileTheReadFails) {
  struct Case {
    int tries;
    std::deque<TDovraPosStatusSet> script;
    int calls;
    TDovraPosStatusSet result;
    const char* countLogged;
  };
  const std::vector<Case> cases = {
      {3, {kReadError, kReadError, {}}, 3, {}, "3"},
      {2, {kReadError, kReadError, {}}, 2, kReadError, "2"},
      {0, {kReadError, kReadError}, 1, kReadError, "1"},
      {-5, {kReadError}, 1, kReadError, "1"},
      {5, {{stSemPapel}}, 1, {stSemPapel}, "5"},
      {3, {kReadError, {stPoucoPapel, stErroLeitura}, {stOffLine}}, 3, {stOffLine}, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tries);
    TTestDialect& d = OnHookPort();
    log.clear();
    d.statusScript = c.script;
    EXPECT_EQ(printer.LerStatusImpressora(c.tries), c.result);
    EXPECT_EQ(d.readStatusCalls, c.calls);
    EXPECT_EQ(log.at(0), std::string("LerStatusImpressora( ") + c.countLogged + " )");
  }
}

TEST_F(PrinterStatus, ResultIsLoggedByNameAndAnEmptyResultNotAtAll) {
  TTestDialect& d = OnHookPort();
  d.statusScript = {{stGavetaAberta, stSemPapel}, {}};
  printer.LerStatusImpressora(1);
  printer.LerStatusImpressora(1);
  EXPECT_THAT(log, ElementsAre("LerStatusImpressora( 1 )", "   stSemPapel, stGavetaAberta, ",
                               "LerStatusImpressora( 1 )"));
}

TEST_F(PrinterStatus, InvertedDrawerSignalFlipsTheDrawerFlag) {
  struct Case {
    TDovraPosStatusSet reported, result;
  };
  const Case cases[] = {
      {{}, {stGavetaAberta}},
      {{stGavetaAberta, stSemPapel}, {stSemPapel}},
  };
  for (const Case& c : cases) {
    TTestDialect& d = OnHookPort();
    printer.ConfigGaveta().SetSinalInvertido(true);
    d.statusScript = {c.reported};
    EXPECT_EQ(printer.LerStatusImpressora(1), c.result);
  }
}

TEST_F(PrinterStatus, ReadLeavesThePortAsItFoundIt) {
  OnHookPort();
  int opens = 0, closes = 0;
  printer.Device().HookAtivar = [&](const std::string&, const std::string&) { ++opens; };
  printer.Device().HookDesativar = [&](const std::string&) { ++closes; };

  printer.LerStatusImpressora(1);
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(closes, 1);

  printer.Ativar();
  printer.Imprimir("x");
  ASSERT_TRUE(printer.Initialized());
  printer.LerStatusImpressora(1);
  printer.LerInfoImpressora();
  EXPECT_TRUE(printer.Active());
  EXPECT_TRUE(printer.Initialized());
  EXPECT_EQ(opens, 2);
  EXPECT_EQ(closes, 1);
}

TEST_F(PrinterStatus, PortThatFailsToOpenPassesTheErrorOn) {
  TTestDialect& d = UseTestDialect();
  printer.SetPorta("/dev/ttyDovraNaoExiste");
  ASSERT_TRUE(printer.Device().IsSerial());
  EXPECT_THROW(printer.LerStatusImpressora(1), std::exception);
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(d.readStatusCalls, 0);
}

TEST_F(PrinterStatus, InformationOnAFilePortIsRefusedAndThePortClosedAgain) {
  UseTestDialect();
  printer.SetPorta(FilePort());
  try {
    printer.LerInfoImpressora();
    FAIL() << "expected EPosPrinterException";
  } catch (const EPosPrinterException& e) {
    EXPECT_STREQ(e.what(), "Leitura de Informações só disponivel em Portas Seriais ou TCP");
  }
  EXPECT_FALSE(printer.Active());
  EXPECT_TRUE(FileExists(PathIn("saida.prn")));  // the read opened the port first
  EXPECT_THAT(log, ElementsAre("LerInfoImpressora"));
}

TEST_F(PrinterStatus, InformationComesFromTheDialectAndIsLoggedInBracketNotation) {
  TTestDialect& d = OnHookPort();
  d.info = "Fabricante=Teste\r\nColunas=48\r\n";
  EXPECT_EQ(printer.LerInfoImpressora(), d.info);
  EXPECT_FALSE(printer.Active());
  EXPECT_THAT(log, ElementsAre("LerInfoImpressora",
                               "   Fabricante=Teste[CR][LF]Colunas=48[CR][LF]"));

  log.clear();
  d.info.clear();
  EXPECT_EQ(printer.LerInfoImpressora(), "");
  EXPECT_THAT(log, ElementsAre("LerInfoImpressora"));
}

class PrinterExchange : public PrinterFixture {
 protected:
  void SetUp() override {
    printer.SetPorta("USB");
    printer.Device().HookEnviaString = [this](const std::string& cmd) {
      sent.push_back(cmd);
      timeOutWhileSending = printer.Device().TimeOut();
    };
    printer.Device().HookLeString = [this](int numBytes, int timeOut, std::string& retorno) {
      reads.push_back({numBytes, timeOut});
      if (failRead) throw EDovraDeviceException("sem resposta");
      retorno = reply;
    };
    printer.SetDeviceActive(true);
  }
  struct Read {
    int numBytes, timeOut;
    bool operator==(const Read&) const = default;
  };
  std::string reply;
  bool failRead = false;
  std::vector<Read> reads;
  int timeOutWhileSending = 0;
};

TEST_F(PrinterExchange, ReadsUpToTheTerminatorAndLogsBothDirections) {
  reply = std::string("OK\0", 3);
  EXPECT_EQ(printer.SendAndReceive("\x1Bv", 0, 500, true), "OK");
  EXPECT_THAT(sent, ElementsAre("\x1Bv"));
  EXPECT_THAT(log, ElementsAre("TX -> [ESC]v", "RX <- OK"));
  EXPECT_EQ(timeOutWhileSending, 500);
  EXPECT_EQ(printer.Device().TimeOut(), 3);
}

TEST_F(PrinterExchange, ReadsByCount) {
  reply = "A\r";
  EXPECT_EQ(printer.SendAndReceive(std::string("\x10\x04\x00", 3), 2, 500, false), "A\r");
  EXPECT_THAT(reads, ElementsAre(Read{2, 500}));
  EXPECT_THAT(log, ElementsAre("TX -> [16][4][NUL]", "RX <- A[CR]"));
}

TEST_F(PrinterExchange, FailedReadRestoresTheTimeOutAndLogsNoReply) {
  failRead = true;
  EXPECT_THROW(printer.SendAndReceive("\x1Bv", 1, 500, false), EDovraDeviceException);
  EXPECT_EQ(printer.Device().TimeOut(), 3);
  EXPECT_THAT(log, ElementsAre("TX -> [ESC]v"));
}

}  // namespace
}  // namespace dovra::test

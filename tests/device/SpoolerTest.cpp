// The CUPS spooler and the device's raw printer ports, against a private cupsd whose queues
// capture every job, plus the printer lookup rules against a scripted spooler.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "device/DovraDevice.h"
#include "device/DovraDeviceTypes.h"
#include "device/PrintSpooler.h"
#include "tests/device/DeviceTestUtil.h"
#include "tests/support/CupsTestServer.h"

namespace dovra {
namespace {

using testing::TCupsTestServer;

// Print data with the bytes a careless transport would mangle: NUL, ESC, CR LF, 0xFF.
const std::string kReceipt("\x1B\x40" "Cupom\r\n" "\x00\xFF\x1D\x56\x00", 14);

class CupsSpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The user's own default (lpoptions aside) comes from these; the tests set their own.
    unsetenv("PRINTER");
    unsetenv("LPDEST");
    std::string why;
    if (!server_.Start(why)) GTEST_SKIP() << "cupsd não pôde ser iniciado: " << why;
  }

  void AddQueues(const std::vector<std::string>& names) {
    for (const auto& n : names)
      ASSERT_TRUE(server_.AddRawQueue(n)) << n << ": " << server_.LastToolOutput();
  }

  // Runs `action` and returns the device error it raised; fails the test when none was.
  template <typename F>
  static EDovraError ExpectDeviceError(F action) {
    return testing::ExpectError<EDovraDeviceException>(action, EDovraError("", ""));
  }

  TCupsTestServer server_;
};

TEST_F(CupsSpoolerTest, ListsQueuesInServerOrderAndFindsTheDefault) {
  auto spooler = SystemSpooler();
  EXPECT_TRUE(spooler->PrinterNames().empty());
  EXPECT_EQ(spooler->DefaultPrinterIndex(), -1);

  AddQueues({"Cozinha", "Balcao", "Caixa"});
  ASSERT_TRUE(server_.SetDefault("Caixa")) << server_.LastToolOutput();
  EXPECT_EQ(spooler->PrinterNames(), (std::vector<std::string>{"Balcao", "Caixa", "Cozinha"}));
  EXPECT_EQ(spooler->DefaultPrinterIndex(), 1);

  // The list is read afresh: a queue added while the program runs shows up.
  AddQueues({"Adega"});
  EXPECT_EQ(spooler->PrinterNames(),
            (std::vector<std::string>{"Adega", "Balcao", "Caixa", "Cozinha"}));
  EXPECT_EQ(spooler->DefaultPrinterIndex(), 2);
}

TEST_F(CupsSpoolerTest, EachWriteIsOneRawJobNamedAfterTheDocument) {
  AddQueues({"Balcao", "Caixa"});
  TDovraDevice dev;
  dev.SetPorta("RAW:Caixa");
  ASSERT_EQ(dev.TipoPorta(), dtRawPrinter);
  dev.Ativar();
  dev.SetNomeDocumento("  Cupom 17  ");
  dev.EnviaString(kReceipt);
  EXPECT_NO_THROW(dev.EnviaString(""));  // nothing to print: no job, and no error either
  dev.EnviaString("segunda via\n");

  const auto jobs = server_.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u) << server_.LogTail();
  EXPECT_EQ(jobs[0].printer, "Caixa");
  EXPECT_EQ(jobs[0].title, "Cupom 17");
  EXPECT_EQ(jobs[0].data, kReceipt);
  EXPECT_EQ(jobs[1].printer, "Caixa");
  EXPECT_EQ(jobs[1].title, "Cupom 17");
  EXPECT_EQ(jobs[1].data, "segunda via\n");
}

TEST_F(CupsSpoolerTest, EmptyDocumentNameGivesTheClassName) {
  AddQueues({"Caixa"});
  TDovraDevice dev;
  dev.SetPorta("RAW:Caixa");
  dev.Ativar();
  dev.EnviaString("x");
  const auto jobs = server_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << server_.LogTail();
  EXPECT_EQ(jobs[0].title, "TDovraDevice");
  EXPECT_EQ(dev.NomeDocumento(), "TDovraDevice");
}

// "*" and "RAW:*" go to the server's default; a queue's bare name is a raw port too.
TEST_F(CupsSpoolerTest, PortNamesReachTheRightQueue) {
  AddQueues({"Balcao", "Caixa", "Cozinha"});
  ASSERT_TRUE(server_.SetDefault("Cozinha")) << server_.LastToolOutput();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"RAW:*", "Cozinha"}, {"*", "Cozinha"}, {"raw:Balcao", "Balcao"}, {"Caixa", "Caixa"}};
  for (const auto& [porta, queue] : cases) {
    TDovraDevice dev;
    dev.SetPorta(porta);
    ASSERT_EQ(dev.TipoPorta(), dtRawPrinter) << porta;
    dev.Ativar();
    dev.EnviaString(porta);
  }
  const auto jobs = server_.WaitForJobs(cases.size());
  ASSERT_EQ(jobs.size(), cases.size()) << server_.LogTail();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(jobs[i].data, cases[i].first);
    EXPECT_EQ(jobs[i].printer, cases[i].second) << cases[i].first;
  }
}

TEST_F(CupsSpoolerTest, UnknownQueueIsRefusedAtActivation) {
  AddQueues({"Caixa"});
  TDovraDevice dev;
  dev.SetPorta("RAW:Gaveta");
  const auto e = ExpectDeviceError([&] { dev.Ativar(); });
  EXPECT_EQ(e.Message(), "Impressora não encontrada [Gaveta]");
  EXPECT_FALSE(dev.Ativo());
}

// A stopped queue still takes jobs in CUPS and would just hold the receipt; a rejecting one
// refuses it. Both must surface as an error naming the queue and the reason given.
TEST_F(CupsSpoolerTest, StoppedOrRejectingQueueRaisesInsteadOfPrinting) {
  AddQueues({"Parada", "Fechada", "Caixa"});
  ASSERT_TRUE(server_.Disable("Parada", "Sem papel na bobina")) << server_.LastToolOutput();
  ASSERT_TRUE(server_.Reject("Fechada", "Em manutenção")) << server_.LastToolOutput();

  for (const auto& [queue, reason] : std::vector<std::pair<std::string, std::string>>{
           {"Parada", "Sem papel na bobina"}, {"Fechada", "Em manutenção"}}) {
    TDovraDevice dev;
    dev.SetPorta("RAW:" + queue);
    dev.Ativar();
    const auto e = ExpectDeviceError([&] { dev.EnviaString("cupom perdido"); });
    EXPECT_NE(e.Message().find(queue), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find(reason), std::string::npos) << e.Message();
    const auto direct = ExpectDeviceError(
        [&] { SystemSpooler()->SubmitRawDocument(queue, "Cupom", "cupom perdido"); });
    EXPECT_EQ(direct.Message(), e.Message());
  }

  // Nothing was queued for the refused documents: the next job is the only one captured.
  TDovraDevice dev;
  dev.SetPorta("RAW:Caixa");
  dev.Ativar();
  dev.EnviaString("ok");
  const auto jobs = server_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << server_.LogTail();
  EXPECT_EQ(jobs[0].printer, "Caixa");
  EXPECT_EQ(server_.CapturedJobs().size(), 1u);
}

TEST_F(CupsSpoolerTest, ServerGoneAfterActivationRaises) {
  AddQueues({"Caixa"});
  TDovraDevice dev;
  dev.SetPorta("RAW:Caixa");
  dev.Ativar();
  server_.Stop();
  // The device no longer finds the queue in the (now empty) list.
  const auto e = ExpectDeviceError([&] { dev.EnviaString("cupom"); });
  EXPECT_EQ(e.Message(), "Impressora não encontrada [Caixa]");
  const auto direct =
      ExpectDeviceError([&] { SystemSpooler()->SubmitRawDocument("Caixa", "Cupom", "cupom"); });
  EXPECT_EQ(direct.Message().rfind("Impressora Caixa: servidor de impressão " + server_.Socket() +
                                        " indisponível",
                                    0),
            0u)
      << direct.Message();
  // With no server the list is simply empty.
  EXPECT_TRUE(SystemSpooler()->PrinterNames().empty());
  EXPECT_EQ(SystemSpooler()->DefaultPrinterIndex(), -1);
}

// The lookup rules, against a scripted spooler whose list holds network-style names (CUPS queue
// names cannot contain a backslash, so the private server cannot provide them).
using testing::TFakeSpooler;

TEST(RawPrinterLookup, ExactNameThenShareNameWithoutRegardToCase) {
  auto spooler = std::make_shared<TFakeSpooler>(
      std::vector<std::string>{"EPSON TM-T20", "\\\\srv01\\Caixa", "\\\\srv02\\caixa2",
                               "Caixa2", "\\\\srv03"},
      -1);
  TDovraDevice dev;
  dev.SetSpooler(spooler);
  struct Case {
    std::string name;
    int index;
  };
  for (const auto& c : std::vector<Case>{{"epson tm-t20", 0},
                                         {"caixa", 1},
                                         {"Caixa2", 3},  // the exact name wins over a share
                                         {"\\\\SRV01\\CAIXA", 1},
                                         {"srv03", 4},  // a server-only entry: the whole rest is the share
                                         {"", -1},
                                         {"Cozinha", -1}})
    EXPECT_EQ(dev.FindPrinterIndex(c.name), c.index) << c.name;

  EXPECT_EQ(TDovraDevice::ShareNameOf("\\\\servidor\\Caixa"), "Caixa");
  EXPECT_EQ(TDovraDevice::ShareNameOf("\\\\servidor"), "servidor");
  EXPECT_EQ(TDovraDevice::ShareNameOf("\\\\s\\fila\\x"), "fila\\x");

  // The document goes to the list entry found, under its full name.
  dev.SetPorta("RAW:Caixa");
  dev.Ativar();
  dev.EnviaString("abc");
  ASSERT_EQ(spooler->documents.size(), 1u);
  EXPECT_EQ(spooler->documents[0].printer, "\\\\srv01\\Caixa");
  EXPECT_EQ(spooler->documents[0].name, "TDovraDevice");
  EXPECT_EQ(spooler->documents[0].data, "abc");
}

TEST(RawPrinterLookup, DefaultPrinterFallsBackToTheFirstAndFailsOnAnEmptyList) {
  auto some = std::make_shared<TFakeSpooler>(std::vector<std::string>{"A", "B"}, -1);
  TDovraDevice dev;
  dev.SetSpooler(some);
  dev.SetPorta("RAW:*");
  EXPECT_EQ(dev.GetPrinterRawIndex(), 0);

  auto none = std::make_shared<TFakeSpooler>(std::vector<std::string>{}, -1);
  TDovraDevice empty;
  empty.SetSpooler(none);
  empty.SetPorta("*");
  try {
    empty.Ativar();
    FAIL() << "Ativar deveria falhar sem impressoras";
  } catch (const EDovraDeviceException& e) {
    EXPECT_STREQ(e.what(), "Erro Nenhuma impressora Padrão foi detectada");
  }
  EXPECT_FALSE(empty.Ativo());
}

}  // namespace
}  // namespace dovra

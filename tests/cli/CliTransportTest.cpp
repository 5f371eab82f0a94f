// dovrapos printing through real transports: a loopback TCP peer and a private CUPS server.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/RunProgram.h"
#include "tests/support/CupsTestServer.h"
#include "tests/support/FakePrinter.h"

namespace dovra {
namespace {

using testing::ProgramResult;
using testing::TCupsTestServer;
using testing::TFakePrinter;

ProgramResult Dovrapos(const std::vector<std::string>& args, const std::string& input = "") {
  return testing::RunProgram(DOVRAPOS_PATH, args, input);
}

const std::string kReceipt = "<ce><n>CUPOM</n></ce>\nPão 1,00\n</corte_total>\n";

TEST(DovraposTransport, ImprimirOnTcpDeliversWhatTraduzirShows) {
  const std::vector<std::string> options = {"--modelo", "ppEscPosEpson", "--linhas-pular", "1"};
  std::vector<std::string> traduzir = {"traduzir"};
  traduzir.insert(traduzir.end(), options.begin(), options.end());
  const ProgramResult expected = Dovrapos(traduzir, kReceipt);
  ASSERT_EQ(expected.status, 0) << expected.err;
  ASSERT_FALSE(expected.out.empty());

  TFakePrinter peer(TFakePrinter::Transport::kTcp);
  std::vector<std::string> imprimir = {"imprimir", "--porta", peer.Porta()};
  imprimir.insert(imprimir.end(), options.begin(), options.end());
  const ProgramResult printed = Dovrapos(imprimir, kReceipt);
  ASSERT_EQ(printed.status, 0) << printed.err;
  ASSERT_TRUE(peer.WaitForReceived(expected.out.size()));
  EXPECT_EQ(peer.Received(), expected.out);
}

TEST(DovraposTransport, ImprimirOnAClosedTcpPortFailsWithTheSocketMessage) {
  int port = 0;
  {
    TFakePrinter gone(TFakePrinter::Transport::kTcp);
    port = gone.TcpPort();
  }  // nothing listens there any more
  const ProgramResult r =
      Dovrapos({"imprimir", "--porta", "TCP:127.0.0.1:" + std::to_string(port)}, kReceipt);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("127.0.0.1:" + std::to_string(port)), std::string::npos) << r.err;
}

class DovraposSpooler : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!server_.Start(why)) GTEST_SKIP() << "cupsd não pôde ser iniciado: " << why;
    ASSERT_TRUE(server_.AddRawQueue("Caixa")) << server_.LastToolOutput();
  }
  TCupsTestServer server_;
};

TEST_F(DovraposSpooler, ImprimirMakesOneRawJobWithTheBytes) {
  const ProgramResult expected = Dovrapos({"traduzir", "--modelo", "ppEscBematech"}, kReceipt);
  ASSERT_EQ(expected.status, 0) << expected.err;
  const ProgramResult r =
      Dovrapos({"imprimir", "--modelo", "ppEscBematech", "--porta", "RAW:Caixa"}, kReceipt);
  ASSERT_EQ(r.status, 0) << r.err << server_.LogTail();
  const auto jobs = server_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << server_.LogTail();
  EXPECT_EQ(jobs[0].printer, "Caixa");
  EXPECT_EQ(jobs[0].data, expected.out);
}

TEST_F(DovraposSpooler, StoppedQueueExitsOneWithTheSpoolersReason) {
  ASSERT_TRUE(server_.Disable("Caixa", "Sem papel na bobina")) << server_.LastToolOutput();
  const ProgramResult r =
      Dovrapos({"imprimir", "--modelo", "ppEscPosEpson", "--porta", "RAW:Caixa"}, kReceipt);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Caixa"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Sem papel na bobina"), std::string::npos) << r.err;
  EXPECT_TRUE(server_.CapturedJobs().empty());
}

}  // namespace
}  // namespace dovra

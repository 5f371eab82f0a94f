// pdv-impressora-virtual run as a program, with dovrapos as its host.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "emulator/transcript/ReceiptFiles.h"
#include "tests/emulator/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace dovra::emulator::test {
namespace {

const std::string kEmulator = EMULATOR_PATH;
const std::string kDovrapos = DOVRAPOS_PATH;

class VirtualPrinterProgram : public testing::TempFolderTest {
 protected:
  // Starts the printer and returns the port it announced ("" when it announced none).
  std::string Start(TChildProcess& p) {
    const std::optional<std::string> line = p.ReadLine();
    if (!line || !line->starts_with("porta: ")) return "";
    return line->substr(7);
  }
};

TEST_F(VirtualPrinterProgram, AnswersDovraposStatusAndStopsOnSair) {
  TChildProcess printer(kEmulator, {"--modelo", "ppEscBematech", "--estado", "sem-papel",
                                    "--porta", "TCP:127.0.0.1:0"});
  const std::string porta = Start(printer);
  ASSERT_TRUE(porta.starts_with("TCP:127.0.0.1:")) << porta;
  ASSERT_NE(porta, "TCP:127.0.0.1:0");

  const TRunResult status =
      RunToEnd(kDovrapos, {"status", "--modelo", "ppEscBematech", "--porta", porta});
  EXPECT_EQ(status.status, 0);
  EXPECT_EQ(status.out, "stSemPapel, \n");

  printer.Write("sair\n");
  EXPECT_TRUE(printer.WaitForLine("encerrando"));
  EXPECT_EQ(printer.Wait(), 0);
}

TEST_F(VirtualPrinterProgram, StateFromStandardInputAndCleanStopOnSigterm) {
  TChildProcess printer(kEmulator, {"--modelo", "ppEscPosEpson", "--estado", "tampa-aberta",
                                    "--porta", "TCP:127.0.0.1:0"});
  const std::string porta = Start(printer);
  ASSERT_FALSE(porta.empty());
  const std::vector<std::string> query = {"status", "--modelo", "ppEscPosEpson", "--porta", porta};
  EXPECT_EQ(RunToEnd(kDovrapos, query).out, "stTampaAberta, \n");

  printer.Write("estado gaveta-aberta,offline\n");
  ASSERT_TRUE(printer.WaitForLine("estado: gaveta-aberta, offline"));
  EXPECT_EQ(RunToEnd(kDovrapos, query).out, "stGavetaAberta, stOffLine, \n");

  printer.Write("estado ok\n");
  ASSERT_TRUE(printer.WaitForLine("estado: ok"));
  const TRunResult ok = RunToEnd(kDovrapos, query);
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out.find("st"), std::string::npos) << ok.out;

  printer.Signal(SIGTERM);
  EXPECT_EQ(printer.Wait(), 0);
}

TEST_F(VirtualPrinterProgram, ReceiptOverAPseudoTerminalIsWrittenToTheOutputFolder) {
  // A receipt left from an earlier run is not overwritten.
  testing::WriteFile(folder.File("receipt-0004.txt"), "antigo\n");
  TChildProcess printer(kEmulator,
                        {"--modelo", "ppEscPosEpson", "--porta", "pty", "--saida", folder.Path().string()});
  const std::string porta = Start(printer);
  ASSERT_TRUE(porta.starts_with("/dev/pts/")) << porta;

  testing::WriteFile(folder.File("cupom.txt"), "<n>Olá</n>\n</corte_parcial>");
  const TRunResult print = RunToEnd(
      kDovrapos, {"imprimir", "--modelo", "ppEscPosEpson", "--porta", porta, "--linhas-pular",
                  "0", folder.File("cupom.txt")});
  EXPECT_EQ(print.status, 0) << print.out;

  const std::optional<std::string> done = printer.WaitForLine("recibo 5: ");
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, "recibo 5: " + folder.File("receipt-0005.txt"));
  EXPECT_EQ(testing::ReadFile(folder.File("receipt-0005.txt")), "{n}Olá{/}\n[CORTE PARCIAL]\n");
  EXPECT_EQ(testing::ReadFile(folder.File("receipt-0004.txt")), "antigo\n");

  printer.Signal(SIGINT);
  EXPECT_EQ(printer.Wait(), 0);
}

#ifdef DOVRA_WITH_RENDER
// The picture's width from its PNG header (IHDR, big-endian), 0 when it is no PNG.
unsigned PngWidth(const std::string& png) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return 0;
  unsigned w = 0;
  for (int i = 16; i < 20; ++i) w = (w << 8) | static_cast<unsigned char>(png[i]);
  return w;
}

TEST_F(VirtualPrinterProgram, DrawsEachReceiptNextToItsTranscript) {
  TChildProcess printer(kEmulator, {"--modelo", "ppEscBematech", "--porta", "TCP:127.0.0.1:0",
                                    "--colunas", "40", "--saida", folder.Path().string()});
  const std::string porta = Start(printer);
  ASSERT_FALSE(porta.empty());
  testing::WriteFile(folder.File("cupom.txt"), "<ce>Olá</ce>\n<ean13>789123456789</ean13>\n</corte_total>");
  const TRunResult print = RunToEnd(kDovrapos, {"imprimir", "--modelo", "ppEscBematech", "--porta",
                                                porta, "--linhas-pular", "0", folder.File("cupom.txt")});
  EXPECT_EQ(print.status, 0) << print.out;

  const std::optional<std::string> done = printer.WaitForLine("imagem 1: ");
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, "imagem 1: " + folder.File("receipt-0001.png"));
  EXPECT_EQ(PngWidth(testing::ReadFile(folder.File("receipt-0001.png"))), 40u * 12);
  EXPECT_NE(testing::ReadFile(folder.File("receipt-0001.txt")).find("[BARRAS EAN13"), std::string::npos);

  printer.Write("sair\n");
  EXPECT_EQ(printer.Wait(), 0);
}
#endif

TEST_F(VirtualPrinterProgram, RefusesBadCommandLinesAndBusyPorts) {
  EXPECT_EQ(RunToEnd(kEmulator, {"--porta", "pty"}).status, 2);
  EXPECT_EQ(RunToEnd(kEmulator, {"--modelo", "ppEscPosEpson", "--estado", "molhado"}).status, 2);
  const TRunResult help = RunToEnd(kEmulator, {"--ajuda"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("uso: pdv-impressora-virtual --modelo M")) << help.out;

  TChildProcess first(kEmulator, {"--modelo", "ppTexto", "--porta", "TCP:127.0.0.1:0"});
  const std::string porta = Start(first);
  ASSERT_FALSE(porta.empty());
  EXPECT_EQ(RunToEnd(kEmulator, {"--modelo", "ppTexto", "--porta", porta}).status, 1);
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0);
}

TEST_F(VirtualPrinterProgram, NextReceiptNumberLooksAtEveryReceiptFile) {
  EXPECT_EQ(NextReceiptNumber(folder.File("missing")), 1);
  EXPECT_EQ(NextReceiptNumber(folder.Path().string()), 1);
  for (const char* name : {"receipt-0003.txt", "receipt-0007.png", "receipt-x.txt",
                           "receipt-0099", "notes-0100.txt"}) {
    testing::WriteFile(folder.File(name), "");
  }
  EXPECT_EQ(NextReceiptNumber(folder.Path().string()), 8);
  EXPECT_EQ(ReceiptBaseName(8), "receipt-0008");
}

}  // namespace
}  // namespace dovra::emulator::test

// Translating a text into the bytes a printer would receive, with no port opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/DovraPosPrinter.h"
#include "engine/TraduzirTexto.h"
#include "tests/support/TempFolder.h"

namespace dovra {
namespace {

class TraduzirTextoTest : public testing::TempFolderTest {};

TEST_F(TraduzirTextoTest, GivesThePrinterBytesWithoutOpeningItsPort) {
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(folder.File("cupom.prn"));
  printer.SetLinhasEntreCupons(1);
  printer.SetCortaPapel(true);
  int earlierCalls = 0;
  printer.SetOnEnviarStringDevice([&](const std::string&, bool&) { ++earlierCalls; });

  // ESC 2, ESC t 2 (pc850) in front; the cut feeds one blank line (20 0A) and sends GS V 0.
  EXPECT_EQ(TraduzirTexto(printer, "ab</corte_total>"),
            std::string("\x1B\x32\x1B\x74\x02"
                        "ab\x20\x0A\x1D\x56\x00", 12));

  EXPECT_FALSE(std::filesystem::exists(folder.File("cupom.prn")));
  EXPECT_FALSE(printer.Active());
  EXPECT_EQ(printer.Porta(), "DLL");
  EXPECT_EQ(earlierCalls, 0) << "the translation's bytes went to the earlier handler";
  ASSERT_TRUE(printer.OnEnviarStringDevice());
  bool tratado = false;
  printer.OnEnviarStringDevice()("x", tratado);
  EXPECT_EQ(earlierCalls, 1) << "the earlier send event is back in place";
}

TEST_F(TraduzirTextoTest, AnActivePrinterKeepsItsPortAndPrintsNothing) {
  TDovraPosPrinter printer;
  printer.SetModelo(ppTexto);
  printer.SetPorta(folder.File("cupom.txt"));
  printer.Ativar();
  EXPECT_THROW(TraduzirTexto(printer, "abc"), EDovraError);
  EXPECT_TRUE(printer.Active());
  EXPECT_EQ(printer.Porta(), folder.File("cupom.txt"));
  EXPECT_FALSE(printer.OnEnviarStringDevice());
  printer.Desativar();
  EXPECT_EQ(testing::ReadFile(folder.File("cupom.txt")), "");
}

}  // namespace
}  // namespace dovra

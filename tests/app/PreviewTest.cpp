// The preview tab: the memo's text drawn as the chosen model would print it with the settings
// the controls show, through the virtual printer's interpreter, with no port opened.
#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>

#include "engine/DovraPosPrinter.h"
#include "tests/app/AppTestSupport.h"

namespace dovra::testing {
namespace {

const char kReceipt[] =
    "<ce><n>PADARIA</n></ce>\n"
    "<ean13>789123456789</ean13>\n"
    "</corte_total>";

class PreviewTest : public WindowTest {
 protected:
  // A Pdv.ini for the model (ESC/POS by default) on `port`.
  void StartOn(const std::string& port, int modelo = ppEscPosEpson) {
    WriteFile(IniPath(), "[PosPrinter]\nModelo=" + std::to_string(modelo) + "\nPorta=" + port + "\n");
    Start();
    Memo("mImp")->setPlainText(QString::fromUtf8(kReceipt));
    prompts_.Clear();
  }
  QSize Preview() {
    Click("bPreVisualizar");
    return Find<QLabel>("lbPreVisualizacao")->pixmap().size();
  }
};

TEST_F(PreviewTest, TabAndButtonBesideImprimir) {
  Start();
  auto* tabs = Find<QTabWidget>("PageControl1");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(2), QString::fromUtf8("Pré-visualização"));
  EXPECT_EQ(Button("bPreVisualizar")->text(), QString::fromUtf8("Pré-visualizar"));
  EXPECT_EQ(Button("bPreVisualizar")->parentWidget(), Button("bImprimir")->parentWidget());
  EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(PreviewTest, ShowsThePaperAndTouchesNoPort) {
  struct Case {
    const char* name;
    std::string port;
  };
  spooler_->names = {"Caixa"};
  const std::vector<Case> cases = {
      {"arquivo", folder_.File("cupom.prn")},
      {"spooler", "RAW:Caixa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartOn(c.port);
    const std::string ini = ReadFile(IniPath());

    EXPECT_EQ(Preview().width(), 576);
    auto* tabs = Find<QTabWidget>("PageControl1");
    EXPECT_EQ(tabs->currentWidget()->objectName(), "tsPreVisualizacao");

    EXPECT_FALSE(Printer().Active());
    EXPECT_EQ(Printer().Porta(), c.port);
    EXPECT_FALSE(FileExists(folder_.File("cupom.prn")));
    EXPECT_TRUE(spooler_->documents.empty());
    EXPECT_EQ(ReadFile(IniPath()), ini) << "a preview saves nothing";
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(MemoLines("mLog").isEmpty()) << "the window's printer did nothing";
  }
}

TEST_F(PreviewTest, AnActivePrinterReceivesNothing) {
  StartOn(folder_.File("cupom.prn"));
  Click("bAtivar");
  ASSERT_TRUE(Printer().Active());
  const std::string before = ReadFile(folder_.File("cupom.prn"));
  EXPECT_EQ(Preview().width(), 576);
  EXPECT_TRUE(Printer().Active());
  EXPECT_EQ(ReadFile(folder_.File("cupom.prn")), before);
}

TEST_F(PreviewTest, UsesTheModelAndColumnsTheControlsShow) {
  StartOn(folder_.File("cupom.prn"));
  const QSize escPos = Preview();
  EXPECT_EQ(escPos.width(), 576);

  // Fewer columns: narrower paper.
  SetSpinText("seColunas", "32");
  EXPECT_EQ(Preview().width(), 384);

  // Loading a file selects its model in the list without giving it to the window's printer
  // (that waits for the activation); the preview takes the list's. Plain text prints the
  // barcode's digits on one line instead of bars.
  StartOn(folder_.File("cupom.prn"), ppTexto);
  ASSERT_EQ(Printer().Modelo(), ppEscPosEpson);
  const QSize texto = Preview();
  EXPECT_EQ(texto.width(), 576);
  EXPECT_LT(texto.height(), escPos.height() - 40);
}

}  // namespace
}  // namespace dovra::testing

// The main window driven as the user drives it: startup, the port field, activation, printing,
// status and identification, the configuration file and the built-in tests.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialects/DovraPosPrinterClass.h"
#include "engine/DovraPosPrinter.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FakePrinter.h"

namespace dovra::testing {
namespace {

const char* const kFixedPorts[] = {
    "LPT1",         "LPT2",         "/dev/ttyS0",   "/dev/ttyS1",           "/dev/ttyUSB0",
    "/dev/ttyUSB1", "/dev/usb/lp0", "/tmp/ecf.txt", "TCP:192.168.0.31:9100",
};

std::string LoadMessage(const std::string& file) {
  return "Leitura do arquivo: " + file +
         " efetuada. Os parametros foram carregados. Clique em Ativar para testar.";
}

std::string SaveMessage(const std::string& file) {
  return "A CONFIGURA\xC3\x87\xC3\x83O FOI GRAVADA NO ARQUIVO: " + file;
}

const std::string kNaoAtivo = "N\xC3\xA3o est\xC3\xA1 Ativo";
const std::string kPortaAtiva = "N\xC3\xA3o \xC3\xA9 poss\xC3\xADvel mudar a Porta com o Dispositivo Ativo";

std::vector<std::string> NonBlankLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    from = end + 1;
  }
  return lines;
}

int CountLinesContaining(const QStringList& lines, const QString& piece) {
  int n = 0;
  for (const QString& line : lines)
    if (line.contains(piece)) ++n;
  return n;
}

// A dialect that answers status and identification as told, without a printer behind it.
class TStubDialect : public TDovraPosPrinterClass {
 public:
  TStubDialect(TDovraPosPrinter& printer, TDovraPosStatusSet status, std::string info)
      : TDovraPosPrinterClass(printer), status_(status), info_(std::move(info)) {}
  void ReadStatus(TDovraPosStatusSet& status) override { status = status_; }
  std::string ReadInfo() override { return info_; }

 private:
  TDovraPosStatusSet status_;
  std::string info_;
};

class PrincipalTest : public WindowTest {
 protected:
  std::string Out() const { return folder_.File("saida.txt"); }
  // A Pdv.ini for the plain-text dialect on a file port, plus `extra` lines in PosPrinter.
  void WriteTextIni(const std::string& extra = "", const std::string& port = "") {
    WriteFile(IniPath(), "[PosPrinter]\nModelo=0\nPorta=" + (port.empty() ? Out() : port) +
                             "\nPaginaDeCodigo=2\n" + extra);
  }
  void ActivateOnFile() {
    WriteTextIni();
    Start();
    Click("bAtivar");
    ASSERT_TRUE(Printer().Active());
    prompts_.Clear();
  }
};

// ---------------------------------------------------------------------------------------
// Startup

TEST_F(PrincipalTest, StartupWithoutFileShowsTheStartupDefaults) {
  Start();

  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_FALSE(prompts_.messages[0].error);
  EXPECT_EQ(prompts_.messages[0].text, LoadMessage(IniPath()));
  EXPECT_FALSE(prompts_.messages[0].windowVisible) << "the confirmation comes before the window";
  EXPECT_FALSE(FileExists(IniPath())) << "nothing is saved at startup";

  EXPECT_TRUE(Window().windowTitle().startsWith(
      QString::fromUtf8("Configurar Impressão do PDV - Morvantis (")));
  EXPECT_TRUE(Window().windowTitle().endsWith(")"));
  EXPECT_EQ(Edit("Edit1")->text().toStdString(), folder_.Path() + "Pdv.ini");

  QStringList models, pages, ports;
  for (int i = 0; i < Combo("cbxModelo")->count(); ++i) models << Combo("cbxModelo")->itemText(i);
  for (int i = 0; i < Combo("cbxPagCodigo")->count(); ++i)
    pages << Combo("cbxPagCodigo")->itemText(i);
  for (int i = 0; i < Combo("cbxPorta")->count(); ++i) ports << Combo("cbxPorta")->itemText(i);
  EXPECT_EQ(models, QStringList({"ppTexto", "ppEscPosEpson", "ppEscBematech", "ppEscDaruma",
                                 "ppEscVox", "ppEscDiebold", "ppEscEpsonP2"}));
  EXPECT_EQ(pages, QStringList({"pcNone", "pc437", "pc850", "pc852", "pc860", "pcUTF8", "pc1252"}));
  QStringList fixed;
  for (const char* p : kFixedPorts) fixed << p;
  EXPECT_EQ(ports, fixed);
  EXPECT_EQ(Combo("cbxModelo")->currentIndex(), 1);
  EXPECT_EQ(Combo("cbxPagCodigo")->currentIndex(), 2);
  EXPECT_EQ(PortText(), "");
  EXPECT_FALSE(SerialButtonShown());
  EXPECT_EQ(Edit("edLog")->text(), "");
  EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentIndex(), 0);

  struct SpinCase {
    const char* name;
    int value, min, max;
  };
  const std::vector<SpinCase> spins = {
      {"seColunas", 48, 1, 999},         {"seEspLinhas", 0, 0, 255},
      {"seLinhasBuffer", 0, 0, 255},     {"seLinhasPular", 0, 0, 255},
      {"seBarrasLargura", 0, 0, 5},      {"seBarrasAltura", 0, 0, 255},
      {"seQRCodeTipo", 2, 1, 2},         {"seQRCodeLarguraModulo", 4, 1, 16},
      {"seQRCodeErrorLevel", 0, 0, 3},   {"seLogoKC1", 32, 32, 126},
      {"seLogoKC2", 32, 32, 126},        {"seLogoFatorX", 1, 1, 4},
      {"seLogoFatorY", 1, 1, 4},
  };
  for (const SpinCase& c : spins) {
    SCOPED_TRACE(c.name);
    QSpinBox* spin = Spin(c.name);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->value(), c.value);
    EXPECT_EQ(spin->minimum(), c.min);
    EXPECT_EQ(spin->maximum(), c.max);
  }
  const std::vector<std::pair<const char*, bool>> checks = {
      {"cbControlePorta", false}, {"cbCortarPapel", false}, {"cbTraduzirTags", true},
      {"cbIgnorarTags", false},   {"cbHRI", false},
  };
  for (const auto& [name, checked] : checks) EXPECT_EQ(Check(name)->isChecked(), checked) << name;

  EXPECT_EQ(Printer().Modelo(), ppEscPosEpson);
  EXPECT_FALSE(Printer().CortaPapel());
  EXPECT_EQ(Printer().LinhasEntreCupons(), 0);
  EXPECT_TRUE(Printer().ConfigLogo().IgnorarLogo());
}

TEST_F(PrincipalTest, CaptionsAndTheOnlyToolTip) {
  Start();
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"bAtivar", "Ativar"},
      {"BitBtn1", "..."},
      {"SbArqLog", "..."},
      {"cbControlePorta", "Controle Porta"},
      {"cbCortarPapel", "Cortar Papel"},
      {"cbTraduzirTags", "TraduzirTags"},
      {"cbIgnorarTags", "IgnorarTags"},
      {"cbHRI", "Exibe Numero"},
      {"bLimpar", "Limpar"},
      {"bImprimir", "Imprimir"},
      {"bTagFormtacaoCaracter", "Tags de Formatação de Caracter"},
      {"bTagsCodBarras", "Tags de Codigo de Barras"},
      {"bLerInfo", "Leitura de Informações"},
      {"bTagsAlinhamento", "Tags de Alinhamento"},
      {"bTagQRCode", "Tags de QRCode"},
      {"bLerStatus", "Leitura de Status"},
      {"bTagsTesteInvalidas", "Teste de Tags Invalidas"},
      {"bTagLogo", "Tags de Logotipo"},
      {"bTagsTestePagCodigo", "Teste de página de código"},
      {"bImpLinhaALinha", "Teste Impressão Linha a Linha"},
      {"bImpTagsValidas", "Ajuda - Tags Validas"},
  };
  for (const auto& [name, caption] : captions)
    EXPECT_EQ(Button(name)->text(), QString::fromUtf8(caption)) << name;
  EXPECT_EQ(Button("btSerial")->text(), "");

  auto* tabs = Find<QTabWidget>("PageControl1");
  EXPECT_EQ(tabs->tabText(0), "Texto a Imprimir");
  EXPECT_EQ(tabs->tabText(1), "Eventos Log");

  for (QWidget* w : Window().findChildren<QWidget*>()) {
    if (w->objectName() == "BitBtn1")
      EXPECT_EQ(w->toolTip(), "Localizar um arquivo no disco");
    else
      EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  }
}

TEST_F(PrincipalTest, PortListHasSerialPortsFirstAndSpoolerPrintersLast) {
  serialPorts_ = {"COM1", "COM3"};
  spooler_->names = {"Caixa", "Cozinha"};
  Start();
  QStringList expected = {"COM1", "COM3"};
  for (const char* p : kFixedPorts) expected << p;
  expected << "RAW:Caixa" << "RAW:Cozinha";
  QStringList ports;
  for (int i = 0; i < Combo("cbxPorta")->count(); ++i) ports << Combo("cbxPorta")->itemText(i);
  EXPECT_EQ(ports, expected);
  EXPECT_EQ(PortText(), "") << "filling the list chooses no entry";
}

// ---------------------------------------------------------------------------------------
// The port field

TEST_F(PrincipalTest, PortFieldShowsThePrintersPortAndTheSerialButtonFollowsItsKind) {
  serialPorts_ = {"COM3"};
  spooler_->names = {"Caixa"};
  Start();
  struct Case {
    std::string typed;
    std::string shown;
    bool serial;
  };
  const std::vector<Case> cases = {
      {"com3", "COM3", true},
      {"lpt1", "LPT1", false},
      {"/tmp/ecf.txt", "/tmp/ecf.txt", false},
      {"/dev/ttyUSB0", "/dev/ttyUSB0", true},
      {"TCP:192.168.0.31:9100", "TCP:192.168.0.31:9100", false},
      {"Caixa", "Caixa", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TypePort(c.typed);
    EXPECT_EQ(PortText(), c.shown);
    EXPECT_EQ(Printer().Porta(), c.shown);
    EXPECT_EQ(SerialButtonShown(), c.serial);
  }
  Choose("cbxPorta", 0);
  EXPECT_EQ(Printer().Porta(), "COM3");
  EXPECT_TRUE(SerialButtonShown());
  EXPECT_TRUE(prompts_.Errors().empty());
}

TEST_F(PrincipalTest, PortCannotChangeWhileActive) {
  ActivateOnFile();
  TypePort("x");
  // Clearing the field and typing each meet the refusal; the field comes back every time.
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>(2, kPortaAtiva));
  EXPECT_EQ(PortText(), Out());
  EXPECT_EQ(Printer().Porta(), Out());
}

// ---------------------------------------------------------------------------------------
// Activation

TEST_F(PrincipalTest, ActivationAppliesEveryControlAndSavesBeforeOpening) {
  WriteFile(IniPath(),
            "[PosPrinter]\nModelo=0\nPorta=" + Out() +
                "\nColunas=40\nEspacoEntreLinhas=30\nLinhasBuffer=5\nLinhasPular=3\n"
                "CortarPapel=1\nControlePorta=0\nTraduzirTags=0\nIgnorarTags=1\nArqLog=meu.log\n"
                "PaginaDeCodigo=5\nSerialParams=BAUD=19200 PARITY=E\n"
                "[Barras]\nLargura=3\nAltura=80\nHRI=1\n"
                "[QRCode]\nTipo=1\nLarguraModulo=6\nErrorLevel=2\n"
                "[Logo]\nKC1=65\nKC2=66\nFatorX=2\nFatorY=3\n");
  Start();
  // Loading gives the printer its port and serial settings; the rest waits in the controls.
  EXPECT_EQ(Printer().Porta(), Out());
  EXPECT_EQ(Printer().Device().Baud(), 19200);
  EXPECT_EQ(Printer().Device().Parity(), pEven);
  EXPECT_EQ(Printer().Modelo(), ppEscPosEpson);
  EXPECT_EQ(Printer().ColunasFonteNormal(), 48);
  EXPECT_EQ(Printer().ConfigQRCode().LarguraModulo(), 4);
  std::remove(IniPath().c_str());
  prompts_.Clear();

  bool checkedAtSave = false;
  prompts_.onMessage = [&](const TScriptedPrompts::Message& m) {
    if (m.error) return;
    checkedAtSave = true;
    EXPECT_FALSE(Printer().Active()) << "the file is written before the port opens";
    EXPECT_FALSE(m.windowEnabled) << "the window takes no input during activation";
    EXPECT_NE(ReadFile(IniPath()).find("Colunas=40"), std::string::npos);
  };
  Click("bAtivar");
  prompts_.onMessage = nullptr;

  EXPECT_TRUE(checkedAtSave);
  EXPECT_EQ(prompts_.Infos(), std::vector<std::string>{SaveMessage(IniPath())});
  EXPECT_TRUE(prompts_.Errors().empty());
  ASSERT_TRUE(Printer().Active());
  EXPECT_EQ(Button("bAtivar")->text(), "Desativar");
  EXPECT_FALSE(Button("btSerial")->isEnabled());
  EXPECT_TRUE(Window().centralWidget()->isEnabled());

  TDovraPosPrinter& p = Printer();
  EXPECT_EQ(p.Modelo(), ppTexto);
  EXPECT_EQ(p.ColunasFonteNormal(), 40);
  EXPECT_EQ(p.EspacoEntreLinhas(), 30);
  EXPECT_EQ(p.LinhasBuffer(), 5);
  EXPECT_EQ(p.LinhasEntreCupons(), 3);
  EXPECT_TRUE(p.CortaPapel());
  EXPECT_FALSE(p.ControlePorta());
  EXPECT_FALSE(p.TraduzirTags());
  EXPECT_TRUE(p.IgnorarTags());
  EXPECT_EQ(p.ArqLOG(), folder_.Path() + "meu.log");
  EXPECT_EQ(p.PaginaDeCodigo(), pcUTF8);
  EXPECT_EQ(p.ConfigBarras().LarguraLinha(), 3);
  EXPECT_EQ(p.ConfigBarras().Altura(), 80);
  EXPECT_TRUE(p.ConfigBarras().MostrarCodigo());
  EXPECT_EQ(p.ConfigQRCode().Tipo(), 1);
  EXPECT_EQ(p.ConfigQRCode().LarguraModulo(), 6);
  EXPECT_EQ(p.ConfigQRCode().ErrorLevel(), 2);
  EXPECT_EQ(p.ConfigLogo().KeyCode1(), 65);
  EXPECT_EQ(p.ConfigLogo().KeyCode2(), 66);
  EXPECT_EQ(p.ConfigLogo().FatorX(), 2);
  EXPECT_EQ(p.ConfigLogo().FatorY(), 3);
  EXPECT_EQ(p.Device().Baud(), 19200);
  EXPECT_EQ(p.Device().Parity(), pEven);

  const std::string saved = ReadFile(IniPath());
  for (const char* line : {"Modelo=0", "Colunas=40", "IgnorarTags=1", "ArqLog=meu.log",
                           "PaginaDeCodigo=5", "Altura=80", "LarguraModulo=6", "KC2=66",
                           "SerialParams=BAUD=19200 PARITY=E"})
    EXPECT_NE(saved.find(std::string(line) + "\n"), std::string::npos) << line;
  EXPECT_TRUE(FileExists(folder_.File("meu.log"))) << "the log file is in the program's folder";
}

TEST_F(PrincipalTest, SecondPressDeactivatesWithoutSaving) {
  ActivateOnFile();
  std::remove(IniPath().c_str());
  Click("bAtivar");
  EXPECT_FALSE(Printer().Active());
  EXPECT_EQ(Button("bAtivar")->text(), "Ativar");
  EXPECT_TRUE(Button("btSerial")->isEnabled());
  EXPECT_FALSE(FileExists(IniPath()));
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(CountLinesContaining(MemoLines("mLog"), "DESATIVAR - "), 1);

  Click("bAtivar");
  EXPECT_TRUE(Printer().Active());
  EXPECT_TRUE(FileExists(IniPath())) << "every activation writes the file";
}

TEST_F(PrincipalTest, FailedActivationLeavesAtivarAndTheFileWritten) {
  const std::string badPort = folder_.File("nao/existe/saida.txt");
  WriteTextIni("", badPort);
  Start();
  std::remove(IniPath().c_str());
  prompts_.Clear();
  Click("bAtivar");

  EXPECT_FALSE(Printer().Active());
  EXPECT_EQ(Button("bAtivar")->text(), "Ativar");
  EXPECT_TRUE(Window().centralWidget()->isEnabled());
  ASSERT_EQ(prompts_.messages.size(), 2u);
  EXPECT_EQ(prompts_.messages[0].text, SaveMessage(IniPath()));
  EXPECT_TRUE(prompts_.messages[1].error);
  EXPECT_EQ(Combo("cbxModelo")->currentIndex(), ppTexto);
  EXPECT_EQ(PortText(), badPort);
  // A new file, written from the controls: the keys in their order, SerialParams last in
  // PosPrinter.
  const std::vector<std::string> expected = {
      "[PosPrinter]", "Modelo=0", "Porta=" + badPort, "Colunas=48", "EspacoEntreLinhas=0",
      "LinhasBuffer=0", "LinhasPular=0", "CortarPapel=0", "ControlePorta=0", "TraduzirTags=1",
      "IgnorarTags=0", "ArqLog=", "PaginaDeCodigo=2", "SerialParams=", "[Barras]", "Largura=0",
      "Altura=0", "HRI=0", "[QRCode]", "Tipo=2", "LarguraModulo=4", "ErrorLevel=0", "[Logo]",
      "KC1=32", "KC2=32", "FatorX=1", "FatorY=1",
  };
  EXPECT_EQ(NonBlankLines(ReadFile(IniPath())), expected);
}

TEST_F(PrincipalTest, SaveFailureStopsTheActivation) {
  WriteTextIni();
  Start();
  Edit("Edit1")->setText(QString::fromStdString(folder_.File("sem/pasta/Pdv.ini")));
  prompts_.Clear();
  Click("bAtivar");
  EXPECT_FALSE(Printer().Active());
  EXPECT_EQ(Button("bAtivar")->text(), "Ativar");
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_TRUE(prompts_.messages[0].error);
  EXPECT_NE(prompts_.messages[0].text.find("sem/pasta/Pdv.ini"), std::string::npos)
      << prompts_.messages[0].text;
}

TEST_F(PrincipalTest, ModelChangeWhileActiveDeactivatesAndTheNextPressActivates) {
  ActivateOnFile();
  Choose("cbxModelo", ppEscPosEpson);
  EXPECT_FALSE(Printer().Active());
  EXPECT_EQ(Printer().Modelo(), ppEscPosEpson);
  EXPECT_EQ(Button("bAtivar")->text(), "Desativar");

  Memo("mImp")->setPlainText("X");
  Click("bImprimir");
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>{kNaoAtivo});

  prompts_.Clear();
  Click("bAtivar");
  EXPECT_TRUE(Printer().Active());
  EXPECT_EQ(prompts_.Infos(), std::vector<std::string>{SaveMessage(IniPath())});
}

// ---------------------------------------------------------------------------------------
// Printing the memo

TEST_F(PrincipalTest, ImprimirActivatesFirstAndWritesTheMemoInThePrintersCodePage) {
  WriteTextIni();
  Start();
  prompts_.Clear();
  Memo("mImp")->setPlainText(QString::fromUtf8("Linha 1\nAção ü"));
  Click("bImprimir");

  EXPECT_EQ(prompts_.Infos(), std::vector<std::string>{SaveMessage(IniPath())});
  EXPECT_TRUE(prompts_.Errors().empty());
  EXPECT_EQ(Button("bAtivar")->text(), "Desativar");
  // Code page 850: ç 87, ã C6, ü 81; the plain-text dialect ends lines with CR LF.
  EXPECT_EQ(ReadFile(Out()), "\x4C\x69\x6E\x68\x61\x20\x31\x0D\x0A\x41\x87\xC6\x6F\x20\x81");
  EXPECT_EQ(CountLinesContaining(MemoLines("mLog"), "Imprimir, Copias:1"), 1);
}

TEST_F(PrincipalTest, ImprimirPrintsNothingWhenActivationFails) {
  const std::string badPort = folder_.File("nao/existe/saida.txt");
  WriteTextIni("", badPort);
  Start();
  prompts_.Clear();
  Memo("mImp")->setPlainText("Texto");
  Click("bImprimir");
  EXPECT_EQ(Button("bAtivar")->text(), "Ativar");
  EXPECT_EQ(prompts_.Errors().size(), 1u);
  EXPECT_EQ(CountLinesContaining(MemoLines("mLog"), "Imprimir, Copias"), 0);
}

// ---------------------------------------------------------------------------------------
// Status and identification

TEST_F(PrincipalTest, StatusOnAFilePortReportsNaoSerial) {
  WriteTextIni();
  Start();
  Memo("mImp")->setPlainText("antes");
  Click("bLerStatus");
  Click("bLerStatus");
  EXPECT_EQ(MemoLines(), QStringList({"antes", "stNaoSerial, ", "stNaoSerial, "}));
  EXPECT_TRUE(prompts_.Errors().empty());
}

TEST_F(PrincipalTest, StatusAndInfoOnASerialLine) {
  TFakePrinter line;
  WriteTextIni("", line.Porta());
  Start();
  ASSERT_TRUE(Printer().Device().IsSerial());

  Printer().SetDialect(std::make_unique<TStubDialect>(
      Printer(), TDovraPosStatusSet{stTampaAberta, stSemPapel}, "Fabricante=Dovra\r\nModelo=X1"));
  Click("bLerStatus");
  Click("bLerInfo");
  Printer().SetDialect(std::make_unique<TStubDialect>(Printer(), TDovraPosStatusSet{}, ""));
  Click("bLerStatus");
  Click("bLerInfo");

  EXPECT_TRUE(prompts_.Errors().empty());
  EXPECT_EQ(MemoLines(), QStringList({"stSemPapel, stTampaAberta, ", "Fabricante=Dovra",
                                      "Modelo=X1", "Nennhum Erro encontrado", ""}));
  EXPECT_FALSE(Printer().Active()) << "the reads leave the port as they found it";
}

TEST_F(PrincipalTest, InfoOnAFilePortIsRefused) {
  WriteTextIni();
  Start();
  Click("bLerInfo");
  EXPECT_EQ(prompts_.Errors(),
            std::vector<std::string>{
                "Leitura de Informa\xC3\xA7\xC3\xB5""es s\xC3\xB3 disponivel em Portas Seriais ou TCP"});
  EXPECT_TRUE(MemoLines().isEmpty());
}

// ---------------------------------------------------------------------------------------
// Memos, log file, settings handlers

TEST_F(PrincipalTest, LimparEmptiesTheTextMemoOnly) {
  ActivateOnFile();
  Memo("mImp")->setPlainText("um\ndois");
  const QString log = Memo("mLog")->toPlainText();
  ASSERT_TRUE(log.contains("ATIVAR - "));
  ASSERT_TRUE(log.contains("  - Modelo.: Texto"));
  Click("bLimpar");
  EXPECT_EQ(Memo("mImp")->toPlainText(), "");
  EXPECT_EQ(Memo("mLog")->toPlainText(), log);
}

TEST_F(PrincipalTest, LogFileButtonOpensTheFileInTheProgramsFolder) {
  Start();
  for (const char* name : {"meu.log", "/var/log/pdv.log", ""}) {
    Edit("edLog")->setText(name);
    Click("SbArqLog");
  }
  EXPECT_EQ(shellOpened_, (std::vector<std::string>{folder_.Path() + "meu.log", "/var/log/pdv.log",
                                                    folder_.Path()}));
}

TEST_F(PrincipalTest, SettingHandlersApplyAtOnce) {
  Start();
  TDovraPosPrinter& p = Printer();
  struct Case {
    const char* spin;
    int value;
    std::function<int()> read;
  };
  const std::vector<Case> cases = {
      {"seColunas", 100, [&] { return p.ColunasFonteNormal(); }},
      {"seEspLinhas", 7, [&] { return int(p.EspacoEntreLinhas()); }},
      {"seLinhasBuffer", 9, [&] { return p.LinhasBuffer(); }},
      {"seLinhasPular", 4, [&] { return p.LinhasEntreCupons(); }},
      {"seBarrasLargura", 3, [&] { return p.ConfigBarras().LarguraLinha(); }},
      {"seBarrasAltura", 90, [&] { return p.ConfigBarras().Altura(); }},
      {"seQRCodeTipo", 1, [&] { return p.ConfigQRCode().Tipo(); }},
      {"seQRCodeLarguraModulo", 9, [&] { return p.ConfigQRCode().LarguraModulo(); }},
      {"seQRCodeErrorLevel", 3, [&] { return p.ConfigQRCode().ErrorLevel(); }},
      {"seLogoKC1", 70, [&] { return int(p.ConfigLogo().KeyCode1()); }},
      {"seLogoKC2", 71, [&] { return int(p.ConfigLogo().KeyCode2()); }},
      {"seLogoFatorX", 3, [&] { return int(p.ConfigLogo().FatorX()); }},
      {"seLogoFatorY", 2, [&] { return int(p.ConfigLogo().FatorY()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spin);
    SetSpinText(c.spin, std::to_string(c.value));
    EXPECT_EQ(c.read(), c.value);
  }

  Click("cbCortarPapel");
  EXPECT_TRUE(p.CortaPapel());
  Choose("cbxPagCodigo", pc860);
  EXPECT_EQ(p.PaginaDeCodigo(), pc860);
  Choose("cbxModelo", ppEscDaruma);
  EXPECT_EQ(p.Modelo(), ppEscDaruma);

  // These reach the printer only at activation.
  Click("cbControlePorta");
  Click("cbIgnorarTags");
  Click("cbTraduzirTags");
  Click("cbHRI");
  Edit("edLog")->setText("x.log");
  EXPECT_FALSE(p.ControlePorta());
  EXPECT_FALSE(p.IgnorarTags());
  EXPECT_TRUE(p.TraduzirTags());
  EXPECT_FALSE(p.ConfigBarras().MostrarCodigo());
  EXPECT_EQ(p.ArqLOG(), "");
  EXPECT_TRUE(prompts_.Errors().empty());
}

// ---------------------------------------------------------------------------------------
// The configuration file

TEST_F(PrincipalTest, LoadingClampsOddValuesAndSavingWritesWhatIsShown) {
  Start();
  prompts_.Clear();
  const std::string other = folder_.File("outro.ini");
  const std::string badPort = folder_.File("nao/existe/saida.txt");
  WriteFile(other, "[PosPrinter]\nModelo=9\nPorta=" + badPort +
                       "\nColunas=2000\nLinhasBuffer=0x30\nCortarPapel=abc\nIgnorarTags=7\n"
                       "PaginaDeCodigo=-3\nSerialParams=BAUD=19200\n"
                       "[QRCode]\nTipo=5\n[Logo]\nKC1=0\n");
  prompts_.fileAnswers.push_back(other);
  Click("BitBtn1");

  ASSERT_EQ(prompts_.fileQuestions.size(), 1u);
  EXPECT_EQ(prompts_.fileQuestions[0].first, "Arquivos INI (*.ini *.INI)");
  EXPECT_EQ(prompts_.fileQuestions[0].second, QDir::homePath().toStdString());
  EXPECT_EQ(prompts_.Infos(), std::vector<std::string>{LoadMessage(other)});
  EXPECT_EQ(Edit("Edit1")->text().toStdString(), other);
  EXPECT_EQ(Spin("seColunas")->value(), 999);
  EXPECT_EQ(Spin("seLinhasBuffer")->value(), 48);
  EXPECT_EQ(Spin("seQRCodeTipo")->value(), 2);
  EXPECT_EQ(Spin("seLogoKC1")->value(), 32);
  EXPECT_FALSE(Check("cbCortarPapel")->isChecked()) << "abc reads as the printer's value";
  EXPECT_TRUE(Check("cbIgnorarTags")->isChecked());
  EXPECT_EQ(Combo("cbxModelo")->currentIndex(), -1);
  EXPECT_EQ(Combo("cbxPagCodigo")->currentIndex(), -1);
  EXPECT_EQ(Printer().Device().Baud(), 19200);
  EXPECT_EQ(Printer().ColunasFonteNormal(), 48) << "loaded values wait for the activation";

  prompts_.Clear();
  Click("bAtivar");  // saves, then fails to open the port
  const std::string saved = ReadFile(other);
  for (const char* line : {"Modelo=-1", "Colunas=999", "LinhasBuffer=48", "CortarPapel=0",
                           "IgnorarTags=1", "PaginaDeCodigo=-1", "Tipo=2", "KC1=32"})
    EXPECT_NE(saved.find(std::string(line) + "\n"), std::string::npos) << line;
  EXPECT_EQ(Printer().Modelo(), ppEscPosEpson) << "no model chosen keeps the printer's";
  EXPECT_EQ(Combo("cbxModelo")->currentIndex(), ppEscPosEpson);
}

TEST_F(PrincipalTest, LoadingWithoutSerialParamsRestoresTheLineDefaults) {
  WriteTextIni("SerialParams=BAUD=19200 HANDSHAKE=RTS/CTS\n", "COM1");
  Start();
  ASSERT_EQ(Printer().Device().ParamsString(), "BAUD=19200 HANDSHAKE=RTS/CTS HARDFLOW");
  const std::string other = folder_.File("outro.ini");
  WriteFile(other, "[PosPrinter]\nPorta=COM1\n");
  prompts_.fileAnswers.push_back(other);
  Click("BitBtn1");
  EXPECT_EQ(Printer().Device().ParamsString(), "");
  EXPECT_EQ(Printer().Device().Baud(), 9600);
  EXPECT_EQ(Printer().Device().HandShake(), hsNenhum);
}

TEST_F(PrincipalTest, CancellingTheFileDialogChangesNothing) {
  Start();
  prompts_.Clear();
  Click("BitBtn1");
  EXPECT_EQ(prompts_.fileQuestions.size(), 1u);
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(Edit("Edit1")->text().toStdString(), IniPath());
}

TEST_F(PrincipalTest, LoadingWhileActiveWithAnotherPortLoadsNothingMore) {
  ActivateOnFile();
  const std::string other = folder_.File("outro.ini");
  WriteFile(other, "[PosPrinter]\nPorta=" + folder_.File("outra.txt") + "\nColunas=100\n");
  prompts_.fileAnswers.push_back(other);
  Click("BitBtn1");
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>{kPortaAtiva});
  EXPECT_TRUE(prompts_.Infos().empty());
  EXPECT_EQ(PortText(), Out());
  EXPECT_EQ(Spin("seColunas")->value(), 48);

  prompts_.Clear();
  WriteFile(other, "[PosPrinter]\nPorta=" + Out() + "\nColunas=100\n");
  prompts_.fileAnswers.push_back(other);
  Click("BitBtn1");
  EXPECT_TRUE(prompts_.Errors().empty());
  EXPECT_EQ(prompts_.Infos(), std::vector<std::string>{LoadMessage(other)});
  EXPECT_EQ(Spin("seColunas")->value(), 100);
  EXPECT_TRUE(Printer().Active());
}

// ---------------------------------------------------------------------------------------
// Built-in tests

TEST_F(PrincipalTest, FontTestUsesThePrintersCurrentColumns) {
  Start();
  Click("bTagFormtacaoCaracter");
  QStringList lines = MemoLines();
  ASSERT_EQ(lines.size(), 35);
  EXPECT_EQ(lines[2], "FONTE NORMAL: 48 Colunas");
  EXPECT_EQ(lines[4], "<e>EXPANDIDO: 24 Colunas");
  EXPECT_EQ(lines[5], "....+....1....+....2....");
  EXPECT_EQ(lines[6], "</e><c>CONDENSADO: 64 Colunas");

  SetSpinText("seColunas", "100");
  Choose("cbxModelo", ppEscDaruma);  // condensed ratio 0.8421
  Click("bTagFormtacaoCaracter");
  lines = MemoLines();
  ASSERT_EQ(lines.size(), 70);
  EXPECT_EQ(lines[35 + 2], "FONTE NORMAL: 100 Colunas");
  EXPECT_EQ(lines[35 + 3],
            QString(20, ' ') +
                "....+....1....+....2....+....3....+....4....+....5....+....6....+....7....+....8");
  EXPECT_EQ(lines[35 + 4], "<e>EXPANDIDO: 50 Colunas");
  EXPECT_EQ(lines[35 + 6], "</e><c>CONDENSADO: 118 Colunas");
}

TEST_F(PrincipalTest, MemoTestsAppendTheirTexts) {
  Start();
  struct Case {
    const char* button;
    int lines;
    int probe;
    QString probeLine;
  };
  const std::vector<Case> cases = {
      {"bTagsAlinhamento", 29, 3, "</ae>ALINHADO A ESQUERDA"},
      {"bTagsCodBarras", 36, 4, "<ean8>1234567</ean8>"},
      {"bTagQRCode", 16, 3, "<qrcode_largura>9</qrcode_largura>"},
      {"bTagLogo", 5, 2, "Logo: A  - FatorX: 1 - FatorY: 1"},
      {"bTagsTesteInvalidas", 5, 3, "<AD><da><ec></</A Direita</ad>"},
      {"bTagsTestePagCodigo", 4, 2, QString::fromUtf8("ÁÉÍÓÚáéíóúçÇãõÃÕÊêÀà")},
  };
  SetSpinText("seQRCodeLarguraModulo", "9");
  SetSpinText("seLogoKC1", "65");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    Memo("mImp")->setPlainText("antes");
    Click(c.button);
    Click(c.button);
    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 1 + 2 * c.lines);
    EXPECT_EQ(lines[0], "antes");
    EXPECT_EQ(lines[1], "</zera>");
    EXPECT_EQ(lines[1 + c.probe], c.probeLine);
    EXPECT_EQ(lines[1 + c.lines + c.probe], c.probeLine);
    EXPECT_EQ(lines.last(), "</corte_total>");
  }
  EXPECT_TRUE(prompts_.Errors().empty());
}

TEST_F(PrincipalTest, LineByLineMakesOnePrintPerLineAndStopsAtTheFailingLine) {
  WriteTextIni();
  Start();
  Memo("mImp")->setPlainText("fica");
  Click("bImpLinhaALinha");
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>{kNaoAtivo}) << "not activated first";
  EXPECT_FALSE(FileExists(Out()));

  Click("bAtivar");
  ASSERT_TRUE(Printer().Active());
  prompts_.Clear();

  std::vector<std::string> sent;
  int failAt = 0;
  Printer().SetOnEnviarStringDevice([&](const std::string& bytes, bool&) {
    sent.push_back(bytes);
    if (static_cast<int>(sent.size()) == failAt) throw std::runtime_error("porta caiu");
  });
  Click("bImpLinhaALinha");
  ASSERT_EQ(sent.size(), 35u);
  EXPECT_NE(sent[2].find("FONTE NORMAL: 48 Colunas\r\n"), std::string::npos);
  EXPECT_TRUE(prompts_.Errors().empty());

  sent.clear();
  failAt = 3;
  std::remove(Out().c_str());
  Click("bImpLinhaALinha");
  EXPECT_EQ(sent.size(), 3u);
  EXPECT_EQ(ReadFile(Out()), sent[0] + sent[1]);
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>{"porta caiu"});
  EXPECT_EQ(Memo("mImp")->toPlainText(), "fica");
  Printer().SetOnEnviarStringDevice(nullptr);
}

TEST_F(PrincipalTest, ValidTagsReplaceTheMemoAndPrint) {
  WriteTextIni();
  Start();
  std::vector<std::string> tags;
  Printer().ListTags(tags, true);
  ASSERT_FALSE(tags.empty());

  Memo("mImp")->setPlainText("some");
  Click("bImpTagsValidas");
  const QStringList lines = MemoLines();
  ASSERT_EQ(lines.size(), static_cast<int>(tags.size()));
  EXPECT_EQ(lines.first().toStdString(), tags.front());
  EXPECT_EQ(lines.last().toStdString(), tags.back());
  EXPECT_EQ(prompts_.Errors(), std::vector<std::string>{kNaoAtivo})
      << "printing fails, the list stays";

  Click("bAtivar");
  prompts_.Clear();
  Click("bImpTagsValidas");
  EXPECT_TRUE(prompts_.Errors().empty());
  std::vector<std::string> names;
  Printer().ListTags(names, false);
  const std::string printed = ReadFile(Out());
  for (const std::string& name : names)
    EXPECT_NE(printed.find(name), std::string::npos) << name << " is printed as text";
}

}  // namespace
}  // namespace dovra::testing

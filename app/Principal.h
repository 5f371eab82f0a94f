// The configurator's main window: chooses the receipt printer's dialect, port and print
// settings, activates the printer, prints tagged text and the built-in tests, reads status and
// identification, shows the printer's log, and keeps the settings in Pdv.ini.
#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace dovra {

class IPrintSpooler;
class IUiPrompts;
class TDovraPosPrinter;
struct PdvSettings;

// The application's title (task bar, message boxes, desktop entry).
inline constexpr const char* kTituloAplicacao = "Configurador de Impressao do PDV - Morvantis";

// What the window takes from its surroundings. Every member has a default that the
// program uses; tests replace them.
struct TFprincipalOptions {
  // The program's folder, where Pdv.ini and a log file without a folder live; empty: the
  // folder of the running executable.
  std::string programFolder;
  // Message boxes and the file dialog; null: Qt's, owned by the window.
  IUiPrompts* prompts = nullptr;
  // The print spooler of the printer's device (port list and port kinds); null: CUPS.
  std::shared_ptr<IPrintSpooler> spooler;
  // The serial ports present; null: the device's AcharPortasSeriais with 64 ports.
  std::function<std::vector<std::string>()> findSerialPorts;
  // Opens a file with its associated program; null: ShellOpen.
  std::function<void(const std::string&)> shellOpen;
};

class TFprincipal : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs its startup: fills the lists, then loads the configuration
  // file and confirms it, all before the window is shown.
  explicit TFprincipal(TFprincipalOptions options = {}, QWidget* parent = nullptr);
  ~TFprincipal() override;

  TDovraPosPrinter& DovraPosPrinter1() { return *printer_; }
  // With its trailing "/".
  const std::string& ProgramFolder() const { return programFolder_; }

 private:
  void BuildControls();
  void WireHandlers();
  // Runs one handler: an error it raises is shown in a message box and the program goes on.
  void Guarded(void (TFprincipal::*handler)());

  // Startup and the configuration file.
  void FormCreate();
  void FillPortList();
  void LoadConfigFile();
  void SaveConfigFile();
  // The 23 settings as the controls show them, with the device's serial parameters.
  PdvSettings ControlSettings() const;

  // Handlers.
  void cbxModeloChange();
  void cbxPortaChange();
  void cbxPagCodigoChange();
  void seColunasChange();
  void seEspLinhasChange();
  void seLinhasBufferChange();
  void seLinhasPularChange();
  void seBarrasLarguraChange();
  void seBarrasAlturaChange();
  void seQRCodeTipoChange();
  void seQRCodeLarguraModuloChange();
  void seQRCodeErrorLevelChange();
  void seLogoKC1Change();
  void seLogoKC2Change();
  void seLogoFatorXChange();
  void seLogoFatorYChange();
  void cbCortarPapelClick();
  void bAtivarClick();
  void bImprimirClick();
  // Draws what the chosen model would print for the memo's text with the settings the
  // controls show, through a printer of its own on a port that is never opened and the
  // virtual printer's interpreter, and shows the picture in the preview tab.
  void bPreVisualizarClick();
  void bLerStatusClick();
  void bLerInfoClick();
  void bLimparClick();
  void SbArqLogClick();
  void btSerialClick();
  void BitBtn1Click();
  void DovraPosPrinter1GravarLog(const std::string& aLogLine, bool& tratado);
  void bTagFormtacaoCaracterClick();
  void bTagsAlinhamentoClick();
  void bTagsCodBarrasClick();
  void bTagQRCodeClick();
  void bTagLogoClick();
  void bTagsTesteInvalidasClick();
  void bTagsTestePagCodigoClick();
  void bImpLinhaALinhaClick();
  void bImpTagsValidasClick();

  // Puts text into the port field without running the port-change handler.
  void SetPortaText(const std::string& text);
  void AppendToMemo(const std::vector<std::string>& lines);
  void UpdateSerialButton();

  std::string programFolder_;
  std::unique_ptr<IUiPrompts> ownPrompts_;
  IUiPrompts* prompts_;
  std::shared_ptr<IPrintSpooler> spooler_;
  std::function<std::vector<std::string>()> findSerialPorts_;
  std::function<void(const std::string&)> shellOpen_;
  std::unique_ptr<TDovraPosPrinter> printer_;

  int leftColumnHeight_ = 0;
  QWidget* client_ = nullptr;
  QGroupBox* gbConfiguracao_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
  QComboBox* cbxModelo_ = nullptr;
  QToolButton* bAtivar_ = nullptr;
  QComboBox* cbxPorta_ = nullptr;
  QToolButton* btSerial_ = nullptr;
  QSpinBox* seColunas_ = nullptr;
  QSpinBox* seEspLinhas_ = nullptr;
  QSpinBox* seLinhasBuffer_ = nullptr;
  QSpinBox* seLinhasPular_ = nullptr;
  QCheckBox* cbControlePorta_ = nullptr;
  QCheckBox* cbCortarPapel_ = nullptr;
  QLineEdit* edLog_ = nullptr;
  QToolButton* sbArqLog_ = nullptr;
  QCheckBox* cbTraduzirTags_ = nullptr;
  QCheckBox* cbIgnorarTags_ = nullptr;
  QComboBox* cbxPagCodigo_ = nullptr;
  QSpinBox* seBarrasLargura_ = nullptr;
  QSpinBox* seBarrasAltura_ = nullptr;
  QCheckBox* cbHRI_ = nullptr;
  QSpinBox* seQRCodeTipo_ = nullptr;
  QSpinBox* seQRCodeLarguraModulo_ = nullptr;
  QSpinBox* seQRCodeErrorLevel_ = nullptr;
  QSpinBox* seLogoKC1_ = nullptr;
  QSpinBox* seLogoKC2_ = nullptr;
  QSpinBox* seLogoFatorX_ = nullptr;
  QSpinBox* seLogoFatorY_ = nullptr;
  QTabWidget* pageControl1_ = nullptr;
  QPlainTextEdit* mImp_ = nullptr;
  QPlainTextEdit* mLog_ = nullptr;
  QWidget* tsPreVisualizacao_ = nullptr;
  QScrollArea* sbPreVisualizacao_ = nullptr;
  QLabel* lbPreVisualizacao_ = nullptr;
  QPushButton* bLimpar_ = nullptr;
  QPushButton* bImprimir_ = nullptr;
  QPushButton* bPreVisualizar_ = nullptr;
  QPushButton* bTagFormtacaoCaracter_ = nullptr;
  QPushButton* bTagsCodBarras_ = nullptr;
  QPushButton* bLerInfo_ = nullptr;
  QPushButton* bTagsAlinhamento_ = nullptr;
  QPushButton* bTagQRCode_ = nullptr;
  QPushButton* bLerStatus_ = nullptr;
  QPushButton* bTagsTesteInvalidas_ = nullptr;
  QPushButton* bTagLogo_ = nullptr;
  QPushButton* bTagsTestePagCodigo_ = nullptr;
  QPushButton* bImpLinhaALinha_ = nullptr;
  QPushButton* bImpTagsValidas_ = nullptr;
};

}  // namespace dovra

#include "app/Principal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringDecoder>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <type_traits>

#include "app/ConfiguraSerial.h"
#include "app/TestPrints.h"
#include "app/UiPrompts.h"
#include "device/DovraDevice.h"
#include "device/PrintSpooler.h"
#include "engine/DovraPosPrinter.h"
#include "engine/PdvIni.h"
#include "engine/TraduzirTexto.h"
#include "emulator/render/PrintPreview.h"
#include "emulator/render/ReceiptRenderer.h"
#include "util/Launch.h"

#ifndef DOVRA_BUILD_STAMP
#define DOVRA_BUILD_STAMP "dev"
#endif

namespace dovra {

namespace {

constexpr const char* kAtivar = "Ativar";
constexpr const char* kDesativar = "Desativar";
constexpr const char* kFiltroIni = "Arquivos INI (*.ini *.INI)";
constexpr const char* kPastaInicialIni = "C:\\ZEVOROZADAZUV";

const char* const kFixedPorts[] = {
    "LPT1",         "LPT2",         "/dev/ttyS0",   "/dev/ttyS1",           "/dev/ttyUSB0",
    "/dev/ttyUSB1", "/dev/usb/lp0", "/tmp/ecf.txt", "TCP:192.168.0.31:9100",
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Bytes from the engine as memo text: UTF-8 when they are, otherwise one character per byte
// (a log line may carry text already converted to the printer's code page). Line breaks of
// any kind become the memo's own.
QString TextOf(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (utf8.hasError())
    text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

// A spin field's whole-number value; text that is not a whole number counts as the minimum.
int SpinValue(const QSpinBox* spin) {
  bool ok = false;
  const int value = spin->cleanText().trimmed().toInt(&ok);
  if (!ok) return spin->minimum();
  return std::clamp(value, spin->minimum(), spin->maximum());
}

void SetSpin(QSpinBox* spin, int value) {
  const QSignalBlocker block(spin);
  spin->setValue(value);
}

void SetCheck(QCheckBox* box, bool value) {
  const QSignalBlocker block(box);
  box->setChecked(value);
}

QSpinBox* NewSpin(QWidget* parent, const char* name, int min, int max, int value) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(min, max);
  spin->setValue(value);
  return spin;
}

QCheckBox* NewCheck(QWidget* parent, const char* name, const char* caption, bool checked) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// A row of spin fields, each under its label.
void AddSpinRow(QGridLayout* grid, int row, QWidget* parent,
                std::initializer_list<std::pair<const char*, QSpinBox*>> fields) {
  int column = 0;
  for (const auto& [caption, spin] : fields) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(spin);
    grid->addWidget(label, row, column);
    grid->addWidget(spin, row + 1, column);
    ++column;
  }
}

}  // namespace

TFprincipal::TFprincipal(TFprincipalOptions options, QWidget* parent)
    : QMainWindow(parent),
      programFolder_(std::move(options.programFolder)),
      prompts_(options.prompts),
      spooler_(std::move(options.spooler)),
      findSerialPorts_(std::move(options.findSerialPorts)),
      shellOpen_(std::move(options.shellOpen)) {
  setObjectName("Fprincipal");
  if (programFolder_.empty()) programFolder_ = QCoreApplication::applicationDirPath().toStdString();
  if (programFolder_.back() != '/') programFolder_ += '/';
  if (!prompts_) {
    ownPrompts_ = std::make_unique<TQtPrompts>(this);
    prompts_ = ownPrompts_.get();
  }
  if (!shellOpen_) shellOpen_ = [](const std::string& path) { ShellOpen(path); };

  setWindowTitle(QString::fromUtf8("Configurar Impressão do PDV - Morvantis (") + DOVRA_BUILD_STAMP +
                 ")");
  BuildControls();

  printer_ = std::make_unique<TDovraPosPrinter>();
  printer_->SetName("DovraPosPrinter1");
  if (spooler_) printer_->Device().SetSpooler(spooler_);
  ApplyConfiguratorStartupDefaults(*printer_);
  printer_->SetOnGravarLog(
      [this](const std::string& line, bool& tratado) { DovraPosPrinter1GravarLog(line, tratado); });

  WireHandlers();
  UpdateSerialButton();

  // 869 by 500, or as tall as the settings column needs with the fonts in use, within
  // the screen; centred.
  QSize size = QSize(869, 500).expandedTo(minimumSizeHint());
  size.setHeight(std::max(size.height(), leftColumnHeight_));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    size = size.boundedTo(area.size() - QSize(16, 48)).expandedTo(minimumSizeHint());
    resize(size);
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
  } else {
    resize(size);
  }

  Guarded(&TFprincipal::FormCreate);
}

TFprincipal::~TFprincipal() {
  // The printer goes before the memos; it must not log into them on its way out.
  if (printer_) printer_->SetOnGravarLog(nullptr);
  printer_.reset();
}

void TFprincipal::BuildControls() {
  client_ = new QWidget(this);
  client_->setObjectName("client");
  setCentralWidget(client_);
  auto* mainLayout = new QHBoxLayout(client_);
  mainLayout->setContentsMargins(6, 6, 6, 6);

  // Left column: the settings in four group boxes.
  auto* left = new QWidget;
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->setSpacing(4);

  gbConfiguracao_ = new QGroupBox(QString::fromUtf8("Configuração"), left);
  gbConfiguracao_->setObjectName("gbConfiguracao");
  QWidget* g = gbConfiguracao_;
  auto* config = new QVBoxLayout(gbConfiguracao_);
  config->setSpacing(3);
  config->setContentsMargins(6, 4, 6, 6);

  edit1_ = new QLineEdit(g);
  edit1_->setObjectName("Edit1");
  auto* fileLabel = new QLabel(QString::fromUtf8("Nome do Arquivo de Configuração:"), g);
  fileLabel->setBuddy(edit1_);
  bitBtn1_ = NewButton(g, "BitBtn1", "...");
  bitBtn1_->setToolTip("Localizar um arquivo no disco");
  bitBtn1_->setMaximumWidth(bitBtn1_->fontMetrics().horizontalAdvance("....") + 16);
  config->addWidget(fileLabel);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(edit1_, 1);
  fileRow->addWidget(bitBtn1_);
  config->addLayout(fileRow);

  cbxModelo_ = new QComboBox(g);
  cbxModelo_->setObjectName("cbxModelo");
  cbxPorta_ = new QComboBox(g);
  cbxPorta_->setObjectName("cbxPorta");
  cbxPorta_->setEditable(true);
  cbxPorta_->setInsertPolicy(QComboBox::NoInsert);
  cbxPorta_->setCompleter(nullptr);
  cbxPorta_->setMaxVisibleItems(16);
  cbxPorta_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbxPorta_->setMinimumContentsLength(12);
  btSerial_ = new QToolButton(g);
  btSerial_->setObjectName("btSerial");
  btSerial_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  btSerial_->setAccessibleName("Porta Serial");
  bAtivar_ = new QToolButton(g);
  bAtivar_->setObjectName("bAtivar");
  bAtivar_->setText(kAtivar);
  bAtivar_->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  bAtivar_->setIconSize(QSize(24, 24));
  bAtivar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  QFont bold = bAtivar_->font();
  bold.setBold(true);
  bAtivar_->setFont(bold);
  bAtivar_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  bAtivar_->setMinimumWidth(bAtivar_->fontMetrics().horizontalAdvance(kDesativar) + 16);

  auto* modelLabel = new QLabel("Modelo", g);
  modelLabel->setBuddy(cbxModelo_);
  auto* portLabel = new QLabel("Porta", g);
  portLabel->setBuddy(cbxPorta_);
  auto* choice = new QVBoxLayout;
  choice->setSpacing(2);
  choice->addWidget(modelLabel);
  choice->addWidget(cbxModelo_);
  choice->addWidget(portLabel);
  auto* portRow = new QHBoxLayout;
  portRow->addWidget(cbxPorta_, 1);
  portRow->addWidget(btSerial_);
  choice->addLayout(portRow);
  auto* choiceRow = new QHBoxLayout;
  choiceRow->addLayout(choice, 1);
  choiceRow->addWidget(bAtivar_);
  config->addLayout(choiceRow);

  seColunas_ = NewSpin(g, "seColunas", 1, 999, 48);
  seEspLinhas_ = NewSpin(g, "seEspLinhas", 0, 255, 0);
  seLinhasBuffer_ = NewSpin(g, "seLinhasBuffer", 0, 255, 0);
  seLinhasPular_ = NewSpin(g, "seLinhasPular", 0, 255, 0);
  auto* counts = new QGridLayout;
  counts->setVerticalSpacing(1);
  AddSpinRow(counts, 0, g,
             {{"Colunas", seColunas_}, {"Espaços", seEspLinhas_}, {"Buffer", seLinhasBuffer_},
              {"Linhas Pular", seLinhasPular_}});
  config->addLayout(counts);

  cbControlePorta_ = NewCheck(g, "cbControlePorta", "Controle Porta", false);
  cbCortarPapel_ = NewCheck(g, "cbCortarPapel", "Cortar Papel", true);
  auto* checks = new QHBoxLayout;
  checks->addWidget(cbControlePorta_);
  checks->addWidget(cbCortarPapel_);
  config->addLayout(checks);

  edLog_ = new QLineEdit("PosPrinter.log", g);
  edLog_->setObjectName("edLog");
  auto* logLabel = new QLabel("Arq.Log:", g);
  logLabel->setBuddy(edLog_);
  sbArqLog_ = new QToolButton(g);
  sbArqLog_->setObjectName("SbArqLog");
  sbArqLog_->setText("...");
  auto* logRow = new QHBoxLayout;
  logRow->addWidget(logLabel);
  logRow->addWidget(edLog_, 1);
  logRow->addWidget(sbArqLog_);
  config->addLayout(logRow);

  cbTraduzirTags_ = NewCheck(g, "cbTraduzirTags", "TraduzirTags", true);
  cbIgnorarTags_ = NewCheck(g, "cbIgnorarTags", "IgnorarTags", false);
  auto* tagChecks = new QHBoxLayout;
  tagChecks->addWidget(cbTraduzirTags_);
  tagChecks->addWidget(cbIgnorarTags_);
  config->addLayout(tagChecks);

  cbxPagCodigo_ = new QComboBox(g);
  cbxPagCodigo_->setObjectName("cbxPagCodigo");
  auto* pageLabel = new QLabel("Pag.codigo", g);
  pageLabel->setBuddy(cbxPagCodigo_);
  auto* pageRow = new QHBoxLayout;
  pageRow->addWidget(pageLabel);
  pageRow->addWidget(cbxPagCodigo_, 1);
  config->addLayout(pageRow);
  leftLayout->addWidget(gbConfiguracao_);

  auto* gbBarras = new QGroupBox("Cod.Barras", left);
  gbBarras->setObjectName("gbCodBarrasConfig");
  seBarrasLargura_ = NewSpin(gbBarras, "seBarrasLargura", 0, 5, 1);
  seBarrasAltura_ = NewSpin(gbBarras, "seBarrasAltura", 0, 255, 0);
  cbHRI_ = NewCheck(gbBarras, "cbHRI", "Exibe Numero", false);
  auto* barras = new QGridLayout(gbBarras);
  barras->setVerticalSpacing(1);
  barras->setContentsMargins(6, 4, 6, 6);
  AddSpinRow(barras, 0, gbBarras, {{"Largura", seBarrasLargura_}, {"Altura", seBarrasAltura_}});
  barras->addWidget(cbHRI_, 1, 2);
  leftLayout->addWidget(gbBarras);

  auto* gbQRCode = new QGroupBox("QRCode", left);
  gbQRCode->setObjectName("gbCodBarrasConfig1");
  seQRCodeTipo_ = NewSpin(gbQRCode, "seQRCodeTipo", 1, 2, 2);
  seQRCodeLarguraModulo_ = NewSpin(gbQRCode, "seQRCodeLarguraModulo", 1, 16, 4);
  seQRCodeErrorLevel_ = NewSpin(gbQRCode, "seQRCodeErrorLevel", 0, 3, 0);
  auto* qrcode = new QGridLayout(gbQRCode);
  qrcode->setVerticalSpacing(1);
  qrcode->setContentsMargins(6, 4, 6, 6);
  AddSpinRow(qrcode, 0, gbQRCode,
             {{"Tipo", seQRCodeTipo_},
              {"Largura Mod.", seQRCodeLarguraModulo_},
              {"ErrorLevel", seQRCodeErrorLevel_}});
  leftLayout->addWidget(gbQRCode);

  auto* gbLogo = new QGroupBox("LogoTipo", left);
  gbLogo->setObjectName("gbCodBarrasConfig2");
  seLogoKC1_ = NewSpin(gbLogo, "seLogoKC1", 32, 126, 32);
  seLogoKC2_ = NewSpin(gbLogo, "seLogoKC2", 32, 126, 32);
  seLogoFatorX_ = NewSpin(gbLogo, "seLogoFatorX", 1, 4, 4);
  seLogoFatorY_ = NewSpin(gbLogo, "seLogoFatorY", 1, 4, 4);
  auto* logo = new QGridLayout(gbLogo);
  logo->setVerticalSpacing(1);
  logo->setContentsMargins(6, 4, 6, 6);
  AddSpinRow(logo, 0, gbLogo,
             {{"KC1", seLogoKC1_}, {"KC2", seLogoKC2_}, {"FatorX", seLogoFatorX_},
              {"FatorY", seLogoFatorY_}});
  leftLayout->addWidget(gbLogo);
  leftLayout->addStretch(1);

  // On a short screen or with large fonts the column scrolls instead of being cut.
  auto* scroll = new QScrollArea(client_);
  scroll->setObjectName("leftColumn");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidgetResizable(true);
  scroll->setWidget(left);
  scroll->setMinimumWidth(std::max(285, left->sizeHint().width()) +
                          scroll->verticalScrollBar()->sizeHint().width());
  scroll->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  scroll->setMinimumHeight(200);
  mainLayout->addWidget(scroll);
  leftColumnHeight_ = left->sizeHint().height() + mainLayout->contentsMargins().top() +
                      mainLayout->contentsMargins().bottom();

  // Right side: the two memos above the buttons.
  auto* right = new QVBoxLayout;
  pageControl1_ = new QTabWidget(client_);
  pageControl1_->setObjectName("PageControl1");
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mImp_ = new QPlainTextEdit;
  mImp_->setObjectName("mImp");
  mImp_->setFont(fixed);
  mImp_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette palette = mImp_->palette();
  palette.setColor(QPalette::Base, QColor(240, 251, 255));
  palette.setColor(QPalette::Text, Qt::black);
  mImp_->setPalette(palette);
  auto* tsImprimir = new QWidget;
  tsImprimir->setObjectName("tsImprimir");
  auto* impLayout = new QVBoxLayout(tsImprimir);
  impLayout->setContentsMargins(2, 2, 2, 2);
  impLayout->addWidget(mImp_);
  pageControl1_->addTab(tsImprimir, "Texto a Imprimir");
  mLog_ = new QPlainTextEdit;
  mLog_->setObjectName("mLog");
  mLog_->setFont(fixed);
  mLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
  mLog_->setReadOnly(true);
  auto* tsLog = new QWidget;
  tsLog->setObjectName("tsLog");
  auto* logLayout = new QVBoxLayout(tsLog);
  logLayout->setContentsMargins(2, 2, 2, 2);
  logLayout->addWidget(mLog_);
  pageControl1_->addTab(tsLog, "Eventos Log");
  // The picture of the paper: dark grey around it, so that the paper's edges show.
  lbPreVisualizacao_ = new QLabel;
  lbPreVisualizacao_->setObjectName("lbPreVisualizacao");
  lbPreVisualizacao_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  sbPreVisualizacao_ = new QScrollArea;
  sbPreVisualizacao_->setObjectName("sbPreVisualizacao");
  sbPreVisualizacao_->setWidgetResizable(true);
  sbPreVisualizacao_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  sbPreVisualizacao_->setBackgroundRole(QPalette::Dark);
  sbPreVisualizacao_->setWidget(lbPreVisualizacao_);
  tsPreVisualizacao_ = new QWidget;
  tsPreVisualizacao_->setObjectName("tsPreVisualizacao");
  auto* previewLayout = new QVBoxLayout(tsPreVisualizacao_);
  previewLayout->setContentsMargins(2, 2, 2, 2);
  previewLayout->addWidget(sbPreVisualizacao_);
  pageControl1_->addTab(tsPreVisualizacao_, QString::fromUtf8("Pré-visualização"));
  right->addWidget(pageControl1_, 1);

  bLimpar_ = NewButton(client_, "bLimpar", "Limpar");
  bImprimir_ = NewButton(client_, "bImprimir", "Imprimir");
  bPreVisualizar_ = NewButton(client_, "bPreVisualizar", "Pré-visualizar");
  QFont boldButton = bImprimir_->font();
  boldButton.setBold(true);
  bImprimir_->setFont(boldButton);
  auto* bar = new QHBoxLayout;
  bar->addStretch(1);
  bar->addWidget(bLimpar_);
  bar->addWidget(bPreVisualizar_);
  bar->addWidget(bImprimir_);
  right->addLayout(bar);

  bTagFormtacaoCaracter_ =
      NewButton(client_, "bTagFormtacaoCaracter", "Tags de Formatação de Caracter");
  bTagsCodBarras_ = NewButton(client_, "bTagsCodBarras", "Tags de Codigo de Barras");
  bLerInfo_ = NewButton(client_, "bLerInfo", "Leitura de Informações");
  bTagsAlinhamento_ = NewButton(client_, "bTagsAlinhamento", "Tags de Alinhamento");
  bTagQRCode_ = NewButton(client_, "bTagQRCode", "Tags de QRCode");
  bLerStatus_ = NewButton(client_, "bLerStatus", "Leitura de Status");
  bTagsTesteInvalidas_ = NewButton(client_, "bTagsTesteInvalidas", "Teste de Tags Invalidas");
  bTagLogo_ = NewButton(client_, "bTagLogo", "Tags de Logotipo");
  bTagsTestePagCodigo_ = NewButton(client_, "bTagsTestePagCodigo", "Teste de página de código");
  bImpLinhaALinha_ = NewButton(client_, "bImpLinhaALinha", "Teste Impressão Linha a Linha");
  bImpTagsValidas_ = NewButton(client_, "bImpTagsValidas", "Ajuda - Tags Validas");
  auto* tests = new QGridLayout;
  tests->setSpacing(4);
  QPushButton* const order[] = {
      bTagFormtacaoCaracter_, bTagsCodBarras_,  bLerInfo_,           bTagsAlinhamento_,
      bTagQRCode_,            bLerStatus_,      bTagsTesteInvalidas_, bTagLogo_,
      bTagsTestePagCodigo_,   bImpLinhaALinha_, bImpTagsValidas_,
  };
  for (int i = 0; i < static_cast<int>(std::size(order)); ++i)
    tests->addWidget(order[i], i / 3, i % 3);
  right->addLayout(tests);
  mainLayout->addLayout(right, 1);
}

void TFprincipal::WireHandlers() {
  const auto onClick = [this](auto* button, void (TFprincipal::*handler)()) {
    connect(button, &std::remove_pointer_t<decltype(button)>::clicked, this,
            [this, handler] { Guarded(handler); });
  };
  const auto onValue = [this](QSpinBox* spin, void (TFprincipal::*handler)()) {
    connect(spin, &QSpinBox::valueChanged, this, [this, handler] { Guarded(handler); });
  };

  // The lists react to the user's choice only; loading selects entries without applying them.
  connect(cbxModelo_, &QComboBox::activated, this, [this] { Guarded(&TFprincipal::cbxModeloChange); });
  connect(cbxPagCodigo_, &QComboBox::activated, this,
          [this] { Guarded(&TFprincipal::cbxPagCodigoChange); });
  connect(cbxPorta_, &QComboBox::editTextChanged, this,
          [this] { Guarded(&TFprincipal::cbxPortaChange); });

  onValue(seColunas_, &TFprincipal::seColunasChange);
  onValue(seEspLinhas_, &TFprincipal::seEspLinhasChange);
  onValue(seLinhasBuffer_, &TFprincipal::seLinhasBufferChange);
  onValue(seLinhasPular_, &TFprincipal::seLinhasPularChange);
  onValue(seBarrasLargura_, &TFprincipal::seBarrasLarguraChange);
  onValue(seBarrasAltura_, &TFprincipal::seBarrasAlturaChange);
  onValue(seQRCodeTipo_, &TFprincipal::seQRCodeTipoChange);
  onValue(seQRCodeLarguraModulo_, &TFprincipal::seQRCodeLarguraModuloChange);
  onValue(seQRCodeErrorLevel_, &TFprincipal::seQRCodeErrorLevelChange);
  onValue(seLogoKC1_, &TFprincipal::seLogoKC1Change);
  onValue(seLogoKC2_, &TFprincipal::seLogoKC2Change);
  onValue(seLogoFatorX_, &TFprincipal::seLogoFatorXChange);
  onValue(seLogoFatorY_, &TFprincipal::seLogoFatorYChange);
  connect(cbCortarPapel_, &QCheckBox::toggled, this,
          [this] { Guarded(&TFprincipal::cbCortarPapelClick); });

  onClick(bAtivar_, &TFprincipal::bAtivarClick);
  onClick(bImprimir_, &TFprincipal::bImprimirClick);
  onClick(bPreVisualizar_, &TFprincipal::bPreVisualizarClick);
  onClick(bLerStatus_, &TFprincipal::bLerStatusClick);
  onClick(bLerInfo_, &TFprincipal::bLerInfoClick);
  onClick(bLimpar_, &TFprincipal::bLimparClick);
  onClick(sbArqLog_, &TFprincipal::SbArqLogClick);
  onClick(btSerial_, &TFprincipal::btSerialClick);
  onClick(bitBtn1_, &TFprincipal::BitBtn1Click);
  onClick(bTagFormtacaoCaracter_, &TFprincipal::bTagFormtacaoCaracterClick);
  onClick(bTagsAlinhamento_, &TFprincipal::bTagsAlinhamentoClick);
  onClick(bTagsCodBarras_, &TFprincipal::bTagsCodBarrasClick);
  onClick(bTagQRCode_, &TFprincipal::bTagQRCodeClick);
  onClick(bTagLogo_, &TFprincipal::bTagLogoClick);
  onClick(bTagsTesteInvalidas_, &TFprincipal::bTagsTesteInvalidasClick);
  onClick(bTagsTestePagCodigo_, &TFprincipal::bTagsTestePagCodigoClick);
  onClick(bImpLinhaALinha_, &TFprincipal::bImpLinhaALinhaClick);
  onClick(bImpTagsValidas_, &TFprincipal::bImpTagsValidasClick);
}

void TFprincipal::Guarded(void (TFprincipal::*handler)()) {
  try {
    (this->*handler)();
  } catch (const std::exception& e) {
    prompts_->Error(e.what());
  } catch (...) {
    prompts_->Error("Erro desconhecido");
  }
}

// ---------------------------------------------------------------------------------------
// Startup and the configuration file

void TFprincipal::FormCreate() {
  edit1_->setText(Q(programFolder_ + kPdvIniFileName));
  cbxModelo_->clear();
  for (int i = 0; i < kModeloCount; ++i)
    cbxModelo_->addItem(NameOf(static_cast<TDovraPosPrinterModelo>(i)));
  cbxPagCodigo_->clear();
  for (int i = 0; i < kPaginaCodigoCount; ++i)
    cbxPagCodigo_->addItem(NameOf(static_cast<TDovraPosPaginaCodigo>(i)));
  FillPortList();
  pageControl1_->setCurrentIndex(0);
  LoadConfigFile();
}

void TFprincipal::FillPortList() {
  std::vector<std::string> ports;
  if (findSerialPorts_)
    ports = findSerialPorts_();
  else
    printer_->Device().AcharPortasSeriais(ports, 64);
  ports.insert(ports.end(), std::begin(kFixedPorts), std::end(kFixedPorts));
  std::vector<std::string> printers;
  try {
    printers = printer_->Device().Spooler().PrinterNames();
  } catch (const std::exception&) {
    // A spooler that does not answer lists no printers.
  }
  for (const std::string& name : printers) ports.push_back("RAW:" + name);

  const QSignalBlocker block(cbxPorta_);
  const QString text = cbxPorta_->currentText();
  cbxPorta_->clear();
  for (const std::string& port : ports) cbxPorta_->addItem(Q(port));
  // Filling the list must not choose an entry: the field keeps its text.
  cbxPorta_->setCurrentIndex(-1);
  cbxPorta_->setEditText(text);
}

void TFprincipal::LoadConfigFile() {
  const std::string file = edit1_->text().toStdString();
  const PdvSettings s = LoadPdvIni(file, DefaultsFrom(*printer_));

  // Selecting an entry does not apply the model or the code page to the printer.
  {
    const QSignalBlocker block(cbxModelo_);
    cbxModelo_->setCurrentIndex(s.Modelo);
  }
  SetPortaText(s.Porta);
  cbxPortaChange();  // refused while the printer is active with another port: nothing more loads

  // The other values wait in their controls for the user or the next activation.
  SetSpin(seColunas_, s.Colunas);
  SetSpin(seEspLinhas_, s.EspacoEntreLinhas);
  SetSpin(seLinhasBuffer_, s.LinhasBuffer);
  SetSpin(seLinhasPular_, s.LinhasPular);
  SetCheck(cbCortarPapel_, s.CortarPapel);
  SetCheck(cbControlePorta_, s.ControlePorta);
  SetCheck(cbTraduzirTags_, s.TraduzirTags);
  SetCheck(cbIgnorarTags_, s.IgnorarTags);
  edLog_->setText(Q(s.ArqLog));
  {
    const QSignalBlocker block(cbxPagCodigo_);
    cbxPagCodigo_->setCurrentIndex(s.PaginaDeCodigo);
  }
  SetSpin(seBarrasLargura_, s.BarrasLargura);
  SetSpin(seBarrasAltura_, s.BarrasAltura);
  SetCheck(cbHRI_, s.BarrasHRI);
  SetSpin(seQRCodeTipo_, s.QRCodeTipo);
  SetSpin(seQRCodeLarguraModulo_, s.QRCodeLarguraModulo);
  SetSpin(seQRCodeErrorLevel_, s.QRCodeErrorLevel);
  SetSpin(seLogoKC1_, s.LogoKC1);
  SetSpin(seLogoKC2_, s.LogoKC2);
  SetSpin(seLogoFatorX_, s.LogoFatorX);
  SetSpin(seLogoFatorY_, s.LogoFatorY);
  printer_->Device().SetParamsString(s.SerialParams);

  prompts_->Information("Leitura do arquivo: " + file +
                        " efetuada. Os parametros foram carregados. Clique em Ativar para testar.");
}

PdvSettings TFprincipal::ControlSettings() const {
  PdvSettings s;
  s.Modelo = cbxModelo_->currentIndex();
  s.Porta = cbxPorta_->currentText().toStdString();
  s.Colunas = SpinValue(seColunas_);
  s.EspacoEntreLinhas = SpinValue(seEspLinhas_);
  s.LinhasBuffer = SpinValue(seLinhasBuffer_);
  s.LinhasPular = SpinValue(seLinhasPular_);
  s.CortarPapel = cbCortarPapel_->isChecked();
  s.ControlePorta = cbControlePorta_->isChecked();
  s.TraduzirTags = cbTraduzirTags_->isChecked();
  s.IgnorarTags = cbIgnorarTags_->isChecked();
  s.ArqLog = edLog_->text().toStdString();
  s.PaginaDeCodigo = cbxPagCodigo_->currentIndex();
  s.BarrasLargura = SpinValue(seBarrasLargura_);
  s.BarrasAltura = SpinValue(seBarrasAltura_);
  s.BarrasHRI = cbHRI_->isChecked();
  s.QRCodeTipo = SpinValue(seQRCodeTipo_);
  s.QRCodeLarguraModulo = SpinValue(seQRCodeLarguraModulo_);
  s.QRCodeErrorLevel = SpinValue(seQRCodeErrorLevel_);
  s.LogoKC1 = SpinValue(seLogoKC1_);
  s.LogoKC2 = SpinValue(seLogoKC2_);
  s.LogoFatorX = SpinValue(seLogoFatorX_);
  s.LogoFatorY = SpinValue(seLogoFatorY_);
  // The serial settings have no control here; they are the device's.
  s.SerialParams = printer_->Device().ParamsString();
  return s;
}

void TFprincipal::SaveConfigFile() {
  const std::string file = edit1_->text().toStdString();
  const PdvSettings s = ControlSettings();
  SavePdvIni(file, s);
  prompts_->Information("A CONFIGURAÇÃO FOI GRAVADA NO ARQUIVO: " + file);
}

// ---------------------------------------------------------------------------------------
// Handlers of the settings

void TFprincipal::cbxModeloChange() {
  try {
    printer_->SetModelo(static_cast<TDovraPosPrinterModelo>(cbxModelo_->currentIndex()));
  } catch (...) {
    const QSignalBlocker block(cbxModelo_);
    cbxModelo_->setCurrentIndex(printer_->Modelo());
    throw;
  }
}

void TFprincipal::cbxPortaChange() {
  try {
    printer_->SetPorta(cbxPorta_->currentText().toStdString());
  } catch (...) {
    SetPortaText(printer_->Porta());
    throw;
  }
  SetPortaText(printer_->Porta());
  UpdateSerialButton();
}

void TFprincipal::cbxPagCodigoChange() {
  printer_->SetPaginaDeCodigo(static_cast<TDovraPosPaginaCodigo>(cbxPagCodigo_->currentIndex()));
}

void TFprincipal::seColunasChange() { printer_->SetColunasFonteNormal(SpinValue(seColunas_)); }

void TFprincipal::seEspLinhasChange() {
  printer_->SetEspacoEntreLinhas(static_cast<std::uint8_t>(SpinValue(seEspLinhas_)));
}

void TFprincipal::seLinhasBufferChange() { printer_->SetLinhasBuffer(SpinValue(seLinhasBuffer_)); }

void TFprincipal::seLinhasPularChange() {
  printer_->SetLinhasEntreCupons(SpinValue(seLinhasPular_));
}

void TFprincipal::seBarrasLarguraChange() {
  printer_->ConfigBarras().SetLarguraLinha(SpinValue(seBarrasLargura_));
}

void TFprincipal::seBarrasAlturaChange() {
  printer_->ConfigBarras().SetAltura(SpinValue(seBarrasAltura_));
}

void TFprincipal::seQRCodeTipoChange() { printer_->ConfigQRCode().SetTipo(SpinValue(seQRCodeTipo_)); }

void TFprincipal::seQRCodeLarguraModuloChange() {
  printer_->ConfigQRCode().SetLarguraModulo(SpinValue(seQRCodeLarguraModulo_));
}

void TFprincipal::seQRCodeErrorLevelChange() {
  printer_->ConfigQRCode().SetErrorLevel(SpinValue(seQRCodeErrorLevel_));
}

void TFprincipal::seLogoKC1Change() {
  printer_->ConfigLogo().SetKeyCode1(static_cast<std::uint8_t>(SpinValue(seLogoKC1_)));
}

void TFprincipal::seLogoKC2Change() {
  printer_->ConfigLogo().SetKeyCode2(static_cast<std::uint8_t>(SpinValue(seLogoKC2_)));
}

void TFprincipal::seLogoFatorXChange() {
  printer_->ConfigLogo().SetFatorX(static_cast<std::uint8_t>(SpinValue(seLogoFatorX_)));
}

void TFprincipal::seLogoFatorYChange() {
  printer_->ConfigLogo().SetFatorY(static_cast<std::uint8_t>(SpinValue(seLogoFatorY_)));
}

void TFprincipal::cbCortarPapelClick() { printer_->SetCortaPapel(cbCortarPapel_->isChecked()); }

// ---------------------------------------------------------------------------------------
// Activation, printing, status

void TFprincipal::bAtivarClick() {
  if (printer_->Active()) {
    printer_->Desativar();
    bAtivar_->setText(kAtivar);
    btSerial_->setEnabled(true);
    return;
  }

  // Whatever happens below, the window comes back showing the printer's model and port.
  const auto restore = [this] {
    client_->setEnabled(true);
    const QSignalBlocker block(cbxModelo_);
    cbxModelo_->setCurrentIndex(printer_->Modelo());
    SetPortaText(printer_->Porta());
    UpdateSerialButton();
  };
  client_->setEnabled(false);
  try {
    // The serial settings are already in the device (loaded or set by the serial dialog);
    // they go back to it unchanged.
    const PdvSettings s = ControlSettings();
    ApplyToPrinter(s, *printer_);
    // A log file without a folder lives in the program's folder, where "..." opens it.
    if (!s.ArqLog.empty() && s.ArqLog.find('/') == std::string::npos)
      printer_->SetArqLOG(programFolder_ + s.ArqLog);
    SaveConfigFile();
    printer_->Ativar();
    btSerial_->setEnabled(false);
    bAtivar_->setText(kDesativar);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TFprincipal::bImprimirClick() {
  if (bAtivar_->text() == kAtivar) bAtivarClick();
  QString text = mImp_->toPlainText();
  text.replace('\n', "\r\n");
  printer_->Imprimir(text.toStdString(), false, true, true, 1);
}

void TFprincipal::bPreVisualizarClick() {
  // A printer of its own, set up as activation would set up the window's, on a hook port
  // that is never really opened: nothing reaches a printer and no log file is written.
  PdvSettings s = ControlSettings();
  s.Porta = "DLL";
  s.ArqLog.clear();
  s.SerialParams.clear();
  TDovraPosPrinter preview;
  if (spooler_) preview.Device().SetSpooler(spooler_);
  ApplyConfiguratorStartupDefaults(preview);
  ApplyToPrinter(s, preview);

  QString text = mImp_->toPlainText();
  text.replace('\n', "\r\n");
  const std::string bytes = TraduzirTexto(preview, text.toStdString());
  const int columns = preview.ColunasFonteNormal();
  const std::vector<emulator::TReceipt> receipts =
      emulator::DecodeReceipts(preview.Modelo(), bytes, columns);
  lbPreVisualizacao_->setPixmap(QPixmap::fromImage(
      emulator::RenderRoll(receipts, std::clamp(columns, 8, 255))));
  pageControl1_->setCurrentWidget(tsPreVisualizacao_);
}

void TFprincipal::bLerStatusClick() {
  const TDovraPosStatusSet status = printer_->LerStatusImpressora(1);
  AppendToMemo({StatusLine(status)});
}

void TFprincipal::bLerInfoClick() { mImp_->appendPlainText(TextOf(printer_->LerInfoImpressora())); }

void TFprincipal::bLimparClick() { mImp_->clear(); }

void TFprincipal::SbArqLogClick() {
  const std::string name = edLog_->text().toStdString();
  shellOpen_(name.find('/') != std::string::npos ? name : programFolder_ + name);
}

void TFprincipal::btSerialClick() {
  TfrConfiguraSerial dialog(*prompts_, spooler_, this);
  dialog.WorkDevice().SetPorta(printer_->Porta());
  // The dialog shows the port field's text; its device takes the same name, so that OK
  // without a change hands back what the dialog showed.
  const std::string shown = cbxPorta_->currentText().toStdString();
  dialog.SetPortaSerialText(shown);
  dialog.WorkDevice().SetPorta(shown);
  dialog.WorkDevice().SetParamsString(printer_->Device().ParamsString());
  if (dialog.exec() != QDialog::Accepted) return;
  SetPortaText(dialog.WorkDevice().Porta());
  printer_->Device().SetParamsString(dialog.WorkDevice().ParamsString());
}

void TFprincipal::BitBtn1Click() {
  std::string folder = kPastaInicialIni;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) folder = QDir::homePath().toStdString();
  const std::optional<std::string> file = prompts_->OpenFileName(kFiltroIni, folder);
  if (!file) return;
  edit1_->setText(Q(*file));
  LoadConfigFile();
}

void TFprincipal::DovraPosPrinter1GravarLog(const std::string& aLogLine, bool& /*tratado*/) {
  // The line is left to the printer as well, which writes it to its log file.
  mLog_->appendPlainText(TextOf(aLogLine));
}

// ---------------------------------------------------------------------------------------
// Built-in tests

void TFprincipal::bTagFormtacaoCaracterClick() {
  AppendToMemo(FontTestLines(printer_->ColunasFonteNormal(), printer_->ExpandedColumns(),
                             printer_->CondensedColumns()));
}

void TFprincipal::bTagsAlinhamentoClick() { AppendToMemo(AlignmentTestLines()); }

void TFprincipal::bTagsCodBarrasClick() { AppendToMemo(BarcodeTestLines()); }

void TFprincipal::bTagQRCodeClick() {
  TDovraConfigQRCode& qr = printer_->ConfigQRCode();
  AppendToMemo(QRCodeTestLines(qr.Tipo(), qr.LarguraModulo(), qr.ErrorLevel()));
}

void TFprincipal::bTagLogoClick() {
  TDovraConfigLogo& logo = printer_->ConfigLogo();
  AppendToMemo(LogoTestLines(logo.KeyCode1(), logo.KeyCode2(), logo.FatorX(), logo.FatorY()));
}

void TFprincipal::bTagsTesteInvalidasClick() { AppendToMemo(InvalidTagsTestLines()); }

void TFprincipal::bTagsTestePagCodigoClick() { AppendToMemo(CodePageTestLines()); }

void TFprincipal::bImpLinhaALinhaClick() {
  const std::vector<std::string> lines = FontTestLines(
      printer_->ColunasFonteNormal(), printer_->ExpandedColumns(), printer_->CondensedColumns());
  for (const std::string& line : lines) printer_->PrintLine(line);
}

void TFprincipal::bImpTagsValidasClick() {
  std::vector<std::string> tags;
  printer_->ListTags(tags, true);
  QStringList lines;
  for (const std::string& tag : tags) lines << TextOf(tag);
  mImp_->setPlainText(lines.join('\n'));
  printer_->PrintTagList();
}

// ---------------------------------------------------------------------------------------

void TFprincipal::SetPortaText(const std::string& text) {
  QLineEdit* edit = cbxPorta_->lineEdit();
  const QString value = Q(text);
  if (edit->text() == value) return;
  const QSignalBlocker block(cbxPorta_);
  const int cursor = edit->cursorPosition();
  edit->setText(value);
  edit->setCursorPosition(std::min<int>(cursor, static_cast<int>(value.size())));
}

void TFprincipal::AppendToMemo(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << TextOf(line);
  mImp_->appendPlainText(text.join('\n'));
}

void TFprincipal::UpdateSerialButton() { btSerial_->setVisible(printer_->Device().IsSerial()); }

}  // namespace dovra

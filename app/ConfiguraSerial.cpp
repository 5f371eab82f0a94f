#include "app/ConfiguraSerial.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <charconv>
#include <exception>

#include "app/UiPrompts.h"
#include "device/DovraDevice.h"
#include "device/PrintSpooler.h"
#include "util/DovraErrors.h"

namespace dovra {

int StrToInt(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  const char* first = text.data() + b;
  const char* last = text.data() + e;
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last)
    throw EDovraError("EConvertError", "'" + text + "' não é um valor inteiro válido");
  return value;
}

namespace {

QComboBox* AddField(QVBoxLayout* layout, QWidget* parent, const char* objectName,
                    const QString& label, const QStringList& items, bool editable) {
  auto* caption = new QLabel(label, parent);
  auto* combo = new QComboBox(parent);
  combo->setObjectName(objectName);
  combo->addItems(items);
  combo->setEditable(editable);
  if (editable) {
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The field holds what was typed: no entry is completed into it.
    combo->setCompleter(nullptr);
  }
  caption->setBuddy(combo);
  layout->addWidget(caption);
  layout->addWidget(combo);
  return combo;
}

}  // namespace

TfrConfiguraSerial::TfrConfiguraSerial(IUiPrompts& prompts, std::shared_ptr<IPrintSpooler> spooler,
                                       QWidget* parent)
    : QDialog(parent), prompts_(prompts), workDevice_(std::make_unique<TDovraDevice>()) {
  setObjectName("frConfiguraSerial");
  if (spooler) workDevice_->SetSpooler(std::move(spooler));
  setWindowTitle("Porta Serial");
  setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(3);

  QStringList ports;
  for (int i = 1; i <= 9; ++i) ports << QString("COM%1").arg(i);
  cmbPortaSerial_ = AddField(layout, this, "cmbPortaSerial", "&Porta Serial", ports, true);
  cmbPortaSerial_->setMaxVisibleItems(10);
  cmbBaudRate_ = AddField(layout, this, "cmbBaudRate", "&Baud rate (Bits por Segundo)",
                          {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                           "38400", "56000", "57600", "115200"},
                          true);
  cmbBaudRate_->setCurrentIndex(-1);
  cmbDataBits_ = AddField(layout, this, "cmbDataBits", "&Data Bits (Bits de Dados)",
                          {"5", "6", "7", "8"}, false);
  cmbDataBits_->setCurrentIndex(3);
  cmbParity_ = AddField(layout, this, "cmbParity", "&Parity (Paridade)",
                        {"None", "Odd", "Even", "Mark", "Space"}, false);
  cmbStopBits_ = AddField(layout, this, "cmbStopBits", "&Stop Bits (Bits de Parada)",
                          {"1", "1,5", "2"}, false);
  cmbHandShaking_ = AddField(layout, this, "cmbHandShaking", "&Handshaking (Controle de Fluxo)",
                             {"Nenhum", "XON/XOFF", "RTS/CTS", "DTR/DSR"}, false);

  auto* flow = new QHBoxLayout;
  chHardFlow_ = new QCheckBox("HardFlow", this);
  chHardFlow_->setObjectName("chHardFlow");
  chSoftFlow_ = new QCheckBox("SoftFlow", this);
  chSoftFlow_->setObjectName("chSoftFlow");
  flow->addWidget(chHardFlow_);
  flow->addWidget(chSoftFlow_);
  layout->addLayout(flow);
  layout->addStretch(1);

  auto* buttons = new QHBoxLayout;
  bitBtn1_ = new QPushButton("&OK", this);
  bitBtn1_->setObjectName("BitBtn1");
  bitBtn1_->setDefault(true);
  bitBtn2_ = new QPushButton("Cancelar", this);
  bitBtn2_->setObjectName("BitBtn2");
  bitBtn2_->setAutoDefault(false);
  buttons->addWidget(bitBtn1_);
  buttons->addWidget(bitBtn2_);
  layout->addLayout(buttons);

  cmbPortaSerial_->lineEdit()->setText("COM1");
  // 187 by 350, never below 180 by 350, and never narrower than the labels with the fonts
  // in use.
  setMinimumSize(QSize(180, 350).expandedTo(layout->minimumSize()));
  resize(QSize(187, 350).expandedTo(minimumSize()));

  connect(cmbPortaSerial_, &QComboBox::editTextChanged, this,
          [this] { Guarded(&TfrConfiguraSerial::cmbPortaSerialChange); });
  // The baud rate is applied when its editing is finished, not on every keystroke: typing
  // 9600 must not meet the range error for "9".
  connect(cmbBaudRate_->lineEdit(), &QLineEdit::editingFinished, this,
          &TfrConfiguraSerial::BaudRateFinished);
  connect(cmbBaudRate_, &QComboBox::activated, this, &TfrConfiguraSerial::BaudRateFinished);
  cmbBaudRate_->lineEdit()->installEventFilter(this);
  connect(cmbDataBits_, &QComboBox::activated, this,
          [this] { Guarded(&TfrConfiguraSerial::cmbDataBitsChange); });
  connect(cmbParity_, &QComboBox::activated, this,
          [this] { Guarded(&TfrConfiguraSerial::cmbParityChange); });
  connect(cmbStopBits_, &QComboBox::activated, this,
          [this] { Guarded(&TfrConfiguraSerial::cmbStopBitsChange); });
  connect(cmbHandShaking_, &QComboBox::activated, this,
          [this] { Guarded(&TfrConfiguraSerial::cmbHandShakingChange); });
  connect(chHardFlow_, &QCheckBox::clicked, this,
          [this] { Guarded(&TfrConfiguraSerial::chHardFlowClick); });
  connect(chSoftFlow_, &QCheckBox::clicked, this,
          [this] { Guarded(&TfrConfiguraSerial::chSoftFlowClick); });
  connect(bitBtn1_, &QPushButton::clicked, this, &TfrConfiguraSerial::accept);
  connect(bitBtn2_, &QPushButton::clicked, this, &TfrConfiguraSerial::reject);
}

TfrConfiguraSerial::~TfrConfiguraSerial() = default;

void TfrConfiguraSerial::SetPortaSerialText(const std::string& text) {
  const QSignalBlocker block(cmbPortaSerial_);
  cmbPortaSerial_->setEditText(QString::fromStdString(text));
}

bool TfrConfiguraSerial::Guarded(void (TfrConfiguraSerial::*handler)()) {
  try {
    (this->*handler)();
    return true;
  } catch (const std::exception& e) {
    prompts_.Error(e.what());
  } catch (...) {
    prompts_.Error("Erro desconhecido");
  }
  return false;
}

void TfrConfiguraSerial::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
  cmbPortaSerial_->setFocus();
}

void TfrConfiguraSerial::FormShow() {
  const TDovraDevice& d = *workDevice_;
  {
    const QSignalBlocker block(cmbBaudRate_);
    const int baud = cmbBaudRate_->findText(QString::number(d.Baud()));
    cmbBaudRate_->setCurrentIndex(baud);
    if (baud < 0) cmbBaudRate_->setEditText(QString());
  }
  lastBaudText_ = cmbBaudRate_->currentText();
  baudAccepted_ = true;
  cmbDataBits_->setCurrentIndex(cmbDataBits_->findText(QString::number(d.Data())));
  cmbParity_->setCurrentIndex(static_cast<int>(d.Parity()));
  cmbStopBits_->setCurrentIndex(static_cast<int>(d.Stop()));
  chHardFlow_->setChecked(d.HardFlow());
  chSoftFlow_->setChecked(d.SoftFlow());
  cmbHandShaking_->setCurrentIndex(static_cast<int>(d.HandShake()));
}

void TfrConfiguraSerial::RefreshFlowControls() {
  const TDovraDevice& d = *workDevice_;
  cmbHandShaking_->setCurrentIndex(static_cast<int>(d.HandShake()));
  chHardFlow_->setChecked(d.HardFlow());
  chSoftFlow_->setChecked(d.SoftFlow());
}

void TfrConfiguraSerial::cmbPortaSerialChange() {
  workDevice_->SetPorta(cmbPortaSerial_->currentText().toStdString());
}

bool TfrConfiguraSerial::BaudRatePending() const {
  return cmbBaudRate_->currentText() != lastBaudText_;
}

void TfrConfiguraSerial::BaudRateFinished() {
  if (BaudRatePending()) CommitBaudRate();
}

bool TfrConfiguraSerial::BaudRateConfirmed() {
  if (BaudRatePending() || !baudAccepted_) return CommitBaudRate();
  return true;
}

bool TfrConfiguraSerial::CommitBaudRate() {
  // The error box takes the focus from the field, which finishes its editing once more.
  if (committingBaud_) return false;
  committingBaud_ = true;
  lastBaudText_ = cmbBaudRate_->currentText();
  baudAccepted_ = Guarded(&TfrConfiguraSerial::cmbBaudRateChange);
  committingBaud_ = false;
  return baudAccepted_;
}

void TfrConfiguraSerial::cmbBaudRateChange() {
  workDevice_->SetBaud(StrToInt(cmbBaudRate_->currentText().toStdString()));
}

void TfrConfiguraSerial::cmbDataBitsChange() {
  workDevice_->SetData(StrToInt(cmbDataBits_->currentText().toStdString()));
}

void TfrConfiguraSerial::cmbParityChange() {
  workDevice_->SetParity(static_cast<TDovraSerialParity>(cmbParity_->currentIndex()));
}

void TfrConfiguraSerial::cmbStopBitsChange() {
  workDevice_->SetStop(static_cast<TDovraSerialStop>(cmbStopBits_->currentIndex()));
}

void TfrConfiguraSerial::cmbHandShakingChange() {
  workDevice_->SetHandShake(static_cast<TDovraHandShake>(cmbHandShaking_->currentIndex()));
  RefreshFlowControls();
}

void TfrConfiguraSerial::chHardFlowClick() {
  workDevice_->SetHardFlow(chHardFlow_->isChecked());
  RefreshFlowControls();
}

void TfrConfiguraSerial::chSoftFlowClick() {
  workDevice_->SetSoftFlow(chSoftFlow_->isChecked());
  RefreshFlowControls();
}

bool TfrConfiguraSerial::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cmbBaudRate_->lineEdit() && event->type() == QEvent::KeyPress) {
    const auto key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter finishes the baud rate; a refused value keeps the dialog open instead of
      // letting the key reach the OK button.
      if (!BaudRateConfirmed()) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrConfiguraSerial::accept() {
  if (!BaudRateConfirmed()) return;
  QDialog::accept();
}

}  // namespace dovra

// The serial port dialog: edits the port name, baud rate, data bits, parity, stop bits and
// flow control on a private device, which the main window reads back when the user confirms.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace dovra {

class IPrintSpooler;
class IUiPrompts;
class TDovraDevice;

// A text read as a decimal whole number (blanks around it allowed); anything else raises
// EDovraError "EConvertError" quoting the text.
int StrToInt(const std::string& text);

class TfrConfiguraSerial : public QDialog {
  Q_OBJECT

 public:
  // `spooler`: the spooler the work device consults to tell printer names from files; null
  // keeps the device's own.
  TfrConfiguraSerial(IUiPrompts& prompts, std::shared_ptr<IPrintSpooler> spooler,
                     QWidget* parent = nullptr);
  ~TfrConfiguraSerial() override;

  // The device that holds the settings while the dialog is open. It is never opened.
  TDovraDevice& WorkDevice() { return *workDevice_; }

  // Shows a port name in the port field without applying it to WorkDevice.
  void SetPortaSerialText(const std::string& text);

  // OK: a baud rate typed but not yet applied is applied first; when it is refused the
  // dialog stays open.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void RefreshFlowControls();
  void cmbPortaSerialChange();
  void cmbBaudRateChange();
  void cmbDataBitsChange();
  void cmbParityChange();
  void cmbStopBitsChange();
  void cmbHandShakingChange();
  void chHardFlowClick();
  void chSoftFlowClick();
  // The baud rate is applied when its editing is finished, not on every keystroke.
  // Leaving the field or choosing an entry applies a changed text; Enter and OK apply a
  // changed text or try a refused one again, and are refused themselves when it fails.
  void BaudRateFinished();
  bool BaudRateConfirmed();
  // Applies the text now; false when it was refused (the error has been shown).
  bool CommitBaudRate();
  bool BaudRatePending() const;
  // Runs a handler; its error is shown and the dialog goes on.
  bool Guarded(void (TfrConfiguraSerial::*handler)());

  IUiPrompts& prompts_;
  std::unique_ptr<TDovraDevice> workDevice_;

  QComboBox* cmbPortaSerial_;
  QComboBox* cmbBaudRate_;
  QComboBox* cmbDataBits_;
  QComboBox* cmbParity_;
  QComboBox* cmbStopBits_;
  QComboBox* cmbHandShaking_;
  QCheckBox* chHardFlow_;
  QCheckBox* chSoftFlow_;
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;

  // The baud-rate text last applied (or refused), and whether it was accepted.
  QString lastBaudText_;
  bool baudAccepted_ = true;
  bool committingBaud_ = false;
};

}  // namespace dovra

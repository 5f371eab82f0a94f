// The serial port dialog, opened from the main window's btSerial and worked as the user works it.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ConfiguraSerial.h"
#include "device/DovraDevice.h"
#include "engine/DovraPosPrinter.h"
#include "tests/app/AppTestSupport.h"

namespace dovra::testing {
namespace {

const std::string kBaudRange = "Valor deve estar na faixa de 50 a 4000000.";

// What the dialog's controls show.
struct Shown {
  std::string porta, baud, data, parity, stop, handshake;
  bool hard, soft;
  bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
  return out << s.porta << " | " << s.baud << " | " << s.data << " | " << s.parity << " | " << s.stop
             << " | " << s.handshake << " | hard " << s.hard << " soft " << s.soft;
}

QComboBox* ComboOf(TfrConfiguraSerial& d, const char* name) {
  auto* combo = d.findChild<QComboBox*>(name);
  EXPECT_NE(combo, nullptr) << name;
  return combo;
}

QCheckBox* CheckOf(TfrConfiguraSerial& d, const char* name) {
  auto* box = d.findChild<QCheckBox*>(name);
  EXPECT_NE(box, nullptr) << name;
  return box;
}

Shown ShownIn(TfrConfiguraSerial& d) {
  return {ComboOf(d, "cmbPortaSerial")->currentText().toStdString(),
          ComboOf(d, "cmbBaudRate")->currentText().toStdString(),
          ComboOf(d, "cmbDataBits")->currentText().toStdString(),
          ComboOf(d, "cmbParity")->currentText().toStdString(),
          ComboOf(d, "cmbStopBits")->currentText().toStdString(),
          ComboOf(d, "cmbHandShaking")->currentText().toStdString(),
          CheckOf(d, "chHardFlow")->isChecked(),
          CheckOf(d, "chSoftFlow")->isChecked()};
}

// The user's choice of an entry in one of the dialog's lists.
void ChooseIn(TfrConfiguraSerial& d, const char* combo, const QString& text) {
  QComboBox* box = ComboOf(d, combo);
  const int index = box->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void TypeIn(TfrConfiguraSerial& d, const char* combo, const std::string& text) {
  QLineEdit* edit = ComboOf(d, combo)->lineEdit();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromStdString(text));
}

void PressEnterIn(TfrConfiguraSerial& d, const char* combo) {
  QTest::keyClick(ComboOf(d, combo)->lineEdit(), Qt::Key_Return);
}

void ClickIn(TfrConfiguraSerial& d, const char* button) {
  auto* b = d.findChild<QAbstractButton*>(button);
  ASSERT_NE(b, nullptr) << button;
  QTest::mouseClick(b, Qt::LeftButton);
}

class SerialDialogTest : public WindowTest {
 protected:
  // Starts the window on the first serial port with the given serial parameters.
  void StartOnSerial(const std::string& params = "") {
    WriteFile(IniPath(), "[PosPrinter]\nModelo=0\nPorta=COM1\nSerialParams=" + params + "\n");
    Start();
    ASSERT_TRUE(SerialButtonShown());
    prompts_.Clear();
  }
  TDovraDevice& PrinterDevice() { return Printer().Device(); }
};

TEST_F(SerialDialogTest, OpensWithThePrintersSettingsAndOkWithoutChangesKeepsThem) {
  StartOnSerial();
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    EXPECT_EQ(d.windowTitle(), "Porta Serial");
    EXPECT_EQ(ShownIn(d), (Shown{"COM1", "9600", "8", "None", "1", "Nenhum", false, false}));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == ComboOf(d, "cmbPortaSerial") ||
                focus == ComboOf(d, "cmbPortaSerial")->lineEdit())
        << (focus ? focus->objectName().toStdString() + " " + focus->metaObject()->className() : "none");
    ClickIn(d, "BitBtn1");
    EXPECT_EQ(d.result(), QDialog::Accepted);
  });
  EXPECT_EQ(PrinterDevice().ParamsString(), "");
  EXPECT_EQ(PrinterDevice().Baud(), 9600);
  EXPECT_EQ(PortText(), "COM1");
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SerialDialogTest, ShowsFastLinesWithHardwareFlow) {
  StartOnSerial("BAUD=115200 HANDSHAKE=RTS/CTS");
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    EXPECT_EQ(ShownIn(d), (Shown{"COM1", "115200", "8", "None", "1", "RTS/CTS", true, false}));
  });
}

TEST_F(SerialDialogTest, RateMissingFromTheListShowsEmptyAndOkKeepsIt) {
  StartOnSerial("BAUD=250000 DATA=7 STOP=1,5 PARITY=O");
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    EXPECT_EQ(ShownIn(d), (Shown{"COM1", "", "7", "Odd", "1,5", "Nenhum", false, false}));
    ClickIn(d, "BitBtn1");
  });
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(PrinterDevice().Baud(), 250000);
  EXPECT_EQ(PrinterDevice().ParamsString(), "BAUD=250000 DATA=7 PARITY=O STOP=1,5");
}

TEST_F(SerialDialogTest, OkCarriesEverySettingAndThePortToTheWindow) {
  StartOnSerial();
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    TypeIn(d, "cmbPortaSerial", "com5");
    ChooseIn(d, "cmbBaudRate", "19200");
    ChooseIn(d, "cmbDataBits", "7");
    ChooseIn(d, "cmbParity", "Even");
    ChooseIn(d, "cmbStopBits", "2");
    ChooseIn(d, "cmbHandShaking", "XON/XOFF");
    ClickIn(d, "BitBtn1");
  });
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(PrinterDevice().ParamsString(),
            "BAUD=19200 DATA=7 PARITY=E STOP=2 HANDSHAKE=XON/XOFF SOFTFLOW");
  EXPECT_EQ(PortText(), "COM5");
  EXPECT_EQ(Printer().Porta(), "COM1") << "the printer's port follows at the next activation";
}

TEST_F(SerialDialogTest, CancelAndEscapeLeaveEverythingAsItWas) {
  StartOnSerial("BAUD=38400");
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Cancelar");
    WithSerialDialog([&](TfrConfiguraSerial& d) {
      TypeIn(d, "cmbPortaSerial", "COM7");
      ChooseIn(d, "cmbBaudRate", "1200");
      ChooseIn(d, "cmbDataBits", "5");
      ChooseIn(d, "cmbParity", "Space");
      ChooseIn(d, "cmbStopBits", "2");
      QTest::mouseClick(CheckOf(d, "chHardFlow"), Qt::LeftButton);
      if (escape)
        QTest::keyClick(&d, Qt::Key_Escape);
      else
        ClickIn(d, "BitBtn2");
      EXPECT_EQ(d.result(), QDialog::Rejected);
    });
    EXPECT_EQ(PrinterDevice().ParamsString(), "BAUD=38400");
    EXPECT_EQ(PortText(), "COM1");
  }
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SerialDialogTest, HandshakeAndFlowBoxesStayCoupled) {
  StartOnSerial();
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    struct Step {
      const char* action;  // an entry of the handshake list, or a box to click
      std::string handshake;
      bool hard, soft;
    };
    const std::vector<Step> steps = {
        {"RTS/CTS", "RTS/CTS", true, false},  {"XON/XOFF", "XON/XOFF", false, true},
        {"DTR/DSR", "DTR/DSR", false, false}, {"chHardFlow", "RTS/CTS", true, false},
        {"chSoftFlow", "XON/XOFF", false, true}, {"chSoftFlow", "Nenhum", false, false},
        {"DTR/DSR", "DTR/DSR", false, false}, {"chSoftFlow", "XON/XOFF", false, true},
        {"chHardFlow", "RTS/CTS", true, false}, {"chHardFlow", "Nenhum", false, false},
        {"Nenhum", "Nenhum", false, false},
    };
    for (const Step& step : steps) {
      SCOPED_TRACE(step.action);
      const std::string action = step.action;
      if (action.starts_with("ch"))
        QTest::mouseClick(CheckOf(d, step.action), Qt::LeftButton);
      else
        ChooseIn(d, "cmbHandShaking", step.action);
      const Shown s = ShownIn(d);
      EXPECT_EQ(s.handshake, step.handshake);
      EXPECT_EQ(s.hard, step.hard);
      EXPECT_EQ(s.soft, step.soft);
      EXPECT_EQ(d.WorkDevice().HardFlow(), step.hard);
      EXPECT_EQ(d.WorkDevice().SoftFlow(), step.soft);
    }
  });
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SerialDialogTest, BaudRateIsAppliedWhenItsEditingIsFinished) {
  StartOnSerial("BAUD=38400");
  WithSerialDialog([&](TfrConfiguraSerial& d) {
    // Typing 9600 digit by digit raises nothing and applies nothing yet.
    ComboOf(d, "cmbBaudRate")->setFocus();
    ASSERT_TRUE(ComboOf(d, "cmbBaudRate")->lineEdit()->hasFocus());
    TypeIn(d, "cmbBaudRate", "9600");
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(d.WorkDevice().Baud(), 38400);
    // Leaving the field finishes it.
    ComboOf(d, "cmbDataBits")->setFocus();
    EXPECT_EQ(d.WorkDevice().Baud(), 9600);

    // A wrong value is reported once when finished, and keeps the dialog open.
    TypeIn(d, "cmbBaudRate", "9");
    EXPECT_TRUE(prompts_.messages.empty());
    PressEnterIn(d, "cmbBaudRate");
    ASSERT_EQ(prompts_.Errors().size(), 1u);
    EXPECT_EQ(prompts_.Errors()[0].rfind(kBaudRange + "\n", 0), 0u) << prompts_.Errors()[0];
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.WorkDevice().Baud(), 9600);
    // OK tries the refused value again and stays.
    ClickIn(d, "BitBtn1");
    EXPECT_EQ(prompts_.Errors().size(), 2u);
    EXPECT_TRUE(d.isVisible());

    prompts_.Clear();
    TypeIn(d, "cmbBaudRate", "abc");
    PressEnterIn(d, "cmbBaudRate");
    EXPECT_EQ(prompts_.Errors(),
              std::vector<std::string>{"'abc' n\xC3\xA3o \xC3\xA9 um valor inteiro v\xC3\xA1lido"});
    TypeIn(d, "cmbBaudRate", "");
    PressEnterIn(d, "cmbBaudRate");
    EXPECT_EQ(prompts_.Errors().size(), 2u) << "an empty field is not a number either";
    EXPECT_TRUE(d.isVisible());

    // An entry chosen from the list is applied at once.
    prompts_.Clear();
    ChooseIn(d, "cmbBaudRate", "57600");
    EXPECT_EQ(d.WorkDevice().Baud(), 57600);
    // Enter on a good value applies it and confirms the dialog.
    TypeIn(d, "cmbBaudRate", "4800");
    PressEnterIn(d, "cmbBaudRate");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
  });
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(PrinterDevice().Baud(), 4800);
}

}  // namespace
}  // namespace dovra::testing

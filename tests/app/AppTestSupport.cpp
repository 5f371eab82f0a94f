#include "tests/app/AppTestSupport.h"

#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/ConfiguraSerial.h"
#include "engine/DovraPosPrinter.h"

namespace dovra::testing {

std::optional<std::string> TScriptedPrompts::OpenFileName(const std::string& filter,
                                                          const std::string& initialFolder) {
  fileQuestions.emplace_back(filter, initialFolder);
  if (fileAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

void TScriptedPrompts::Record(bool error, const std::string& text) {
  Message m{error, text, false, false};
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<TFprincipal*>(w); window && window->isVisible()) {
      m.windowVisible = true;
      m.windowEnabled = window->centralWidget()->isEnabled();
    }
  }
  if (onMessage) onMessage(m);
  messages.push_back(m);
}

std::vector<std::string> TScriptedPrompts::Infos() const {
  std::vector<std::string> out;
  for (const Message& m : messages)
    if (!m.error) out.push_back(m.text);
  return out;
}

std::vector<std::string> TScriptedPrompts::Errors() const {
  std::vector<std::string> out;
  for (const Message& m : messages)
    if (m.error) out.push_back(m.text);
  return out;
}

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dovra-app-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

WindowTest::~WindowTest() { window_.reset(); }

void WindowTest::Start() {
  TFprincipalOptions options;
  options.programFolder = folder_.Path();
  options.prompts = &prompts_;
  options.spooler = spooler_;
  options.findSerialPorts = [this] { return serialPorts_; };
  options.shellOpen = [this](const std::string& path) { shellOpened_.push_back(path); };
  window_ = std::make_unique<TFprincipal>(options);
  window_->show();
  QApplication::processEvents();
}

TDovraPosPrinter& WindowTest::Printer() { return window_->DovraPosPrinter1(); }

QSpinBox* WindowTest::Spin(const char* name) { return Find<QSpinBox>(name); }
QCheckBox* WindowTest::Check(const char* name) { return Find<QCheckBox>(name); }
QComboBox* WindowTest::Combo(const char* name) { return Find<QComboBox>(name); }
QLineEdit* WindowTest::Edit(const char* name) { return Find<QLineEdit>(name); }
QPlainTextEdit* WindowTest::Memo(const char* name) { return Find<QPlainTextEdit>(name); }
QAbstractButton* WindowTest::Button(const char* name) { return Find<QAbstractButton>(name); }

void WindowTest::Click(const char* button) {
  QAbstractButton* b = Button(button);
  ASSERT_NE(b, nullptr);
  QTest::mouseClick(b, Qt::LeftButton);
}

void WindowTest::TypePort(const std::string& text) {
  QLineEdit* edit = Combo("cbxPorta")->lineEdit();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromStdString(text));
}

void WindowTest::Choose(const char* combo, int index) {
  // What the user's choice in the list does: select, then tell the window it was chosen.
  QComboBox* box = Combo(combo);
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void WindowTest::SetSpinText(const char* spin, const std::string& text) {
  QLineEdit* edit = Spin(spin)->findChild<QLineEdit*>();
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromStdString(text));
}

QStringList WindowTest::MemoLines(const char* memo) {
  const QString text = Memo(memo)->toPlainText();
  if (text.isEmpty()) return {};
  return text.split('\n');
}

std::string WindowTest::PortText() { return Combo("cbxPorta")->currentText().toStdString(); }

bool WindowTest::SerialButtonShown() { return Button("btSerial")->isVisible(); }

void WindowTest::WithSerialDialog(const std::function<void(TfrConfiguraSerial&)>& script) {
  bool ran = false;
  // The timer dies with this context when the dialog did not open.
  QObject context;
  QTimer::singleShot(0, &context, [&] {
    auto* dialog = qobject_cast<TfrConfiguraSerial*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ran = true;
    // The platform leaves activation to the window manager; the dialog takes it here.
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == dialog->windowHandle(); }));
    script(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  Click("btSerial");
  EXPECT_TRUE(ran) << "the serial dialog did not open";
}

}  // namespace dovra::testing

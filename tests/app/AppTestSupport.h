// Fixtures of the configurator's tests: scripted answers to the window's questions, a fake
// print spooler, a private program folder, and a fixture that starts the real main window.
#pragma once

#include <QComboBox>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Principal.h"
#include "app/UiPrompts.h"
#include "device/PrintSpooler.h"

class QAbstractButton;
class QPlainTextEdit;
class QSpinBox;
class QCheckBox;
class QLineEdit;

namespace dovra {
class TDovraPosPrinter;
class TfrConfiguraSerial;
}  // namespace dovra

namespace dovra::testing {

// Answers message boxes and the file dialog in the user's place and records them.
class TScriptedPrompts : public IUiPrompts {
 public:
  struct Message {
    bool error;
    std::string text;
    bool windowVisible;  // a main window was on screen when the message came
    bool windowEnabled;  // its controls took input
  };

  void Information(const std::string& text) override { Record(false, text); }
  void Error(const std::string& text) override { Record(true, text); }
  std::optional<std::string> OpenFileName(const std::string& filter,
                                          const std::string& initialFolder) override;

  std::vector<std::string> Infos() const;
  std::vector<std::string> Errors() const;
  void Clear() { messages.clear(); }

  std::vector<Message> messages;
  // Answers for the file dialog, in order; nothing left means "cancelled".
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<std::pair<std::string, std::string>> fileQuestions;  // filter, folder
  // Runs when a message comes, before it is recorded.
  std::function<void(const Message&)> onMessage;

 private:
  void Record(bool error, const std::string& text);
};

class TFakeSpooler : public IPrintSpooler {
 public:
  std::vector<std::string> PrinterNames() override { return names; }
  int DefaultPrinterIndex() override { return names.empty() ? -1 : 0; }
  void SubmitRawDocument(const std::string& printer, const std::string&,
                         const std::string& data) override {
    documents.emplace_back(printer, data);
  }

  std::vector<std::string> names;
  std::vector<std::pair<std::string, std::string>> documents;
};

// A private folder, removed with everything in it.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // With a trailing "/".
  std::string Path() const { return path_.string() + "/"; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Starts the real main window over a private program folder, with scripted prompts, a fake
// spooler, a chosen list of serial ports and a recording shell.
class WindowTest : public ::testing::Test {
 protected:
  ~WindowTest() override;

  // Creates the window (its startup runs: lists, Pdv.ini, confirmation) and shows it.
  void Start();

  TFprincipal& Window() { return *window_; }
  TDovraPosPrinter& Printer();
  std::string IniPath() const { return folder_.File("Pdv.ini"); }

  template <class T>
  T* Find(const char* name) {
    T* widget = window_->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QSpinBox* Spin(const char* name);
  QCheckBox* Check(const char* name);
  QComboBox* Combo(const char* name);
  QLineEdit* Edit(const char* name);
  QPlainTextEdit* Memo(const char* name);
  QAbstractButton* Button(const char* name);

  // The user's actions.
  void Click(const char* button);
  void TypePort(const std::string& text);  // replaces the port field's text key by key
  void Choose(const char* combo, int index);
  void SetSpinText(const char* spin, const std::string& text);  // types into the field

  QStringList MemoLines(const char* memo = "mImp");
  std::string PortText();
  bool SerialButtonShown();

  // Opens the serial dialog with btSerial; `script` works the dialog and closes it. The
  // dialog is closed with Cancel afterwards if the script left it open.
  void WithSerialDialog(const std::function<void(TfrConfiguraSerial&)>& script);

  TTempFolder folder_;
  TScriptedPrompts prompts_;
  std::shared_ptr<TFakeSpooler> spooler_ = std::make_shared<TFakeSpooler>();
  std::vector<std::string> serialPorts_;
  std::vector<std::string> shellOpened_;
  std::unique_ptr<TFprincipal> window_;
};

}  // namespace dovra::testing

// How the configurator talks to the user outside its own controls: message boxes and the
// choice of a file. The window and the serial dialog go only through this interface, so that
// an unattended run or a test can answer in the user's place.
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace dovra {

class IUiPrompts {
 public:
  virtual ~IUiPrompts() = default;
  // A plain message with one OK button.
  virtual void Information(const std::string& text) = 0;
  // An error message with one OK button.
  virtual void Error(const std::string& text) = 0;
  // Asks for an existing file; the full name of the chosen file, or nothing when the user
  // cancels. `filter` uses Qt's notation ("Arquivos INI (*.ini *.INI)").
  virtual std::optional<std::string> OpenFileName(const std::string& filter,
                                                  const std::string& initialFolder) = 0;
};

// Qt message boxes and file dialog, centred over `parent` (which may be null).
class TQtPrompts : public IUiPrompts {
 public:
  explicit TQtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  std::optional<std::string> OpenFileName(const std::string& filter,
                                          const std::string& initialFolder) override;

 private:
  QWidget* parent_;
};

// For unattended runs: messages go to standard error and no file is ever chosen.
class TConsolePrompts : public IUiPrompts {
 public:
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  std::optional<std::string> OpenFileName(const std::string& filter,
                                          const std::string& initialFolder) override;
};

}  // namespace dovra

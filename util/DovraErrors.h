// Support utilities: text, code-page, log-file and byte helpers shared by every subsystem.
// This header: the error base class whose class name the logs show ("EPosPrinterException: ...").
#pragma once

#include <stdexcept>
#include <string>

namespace dovra {

// Every error the library raises carries the class name that log lines and wrapped
// messages print in front of the message.
class EDovraError : public std::runtime_error {
 public:
  EDovraError(std::string className, const std::string& message)
      : std::runtime_error(message), className_(std::move(className)) {}
  const std::string& ClassName() const noexcept { return className_; }
  std::string Message() const { return what(); }

 private:
  std::string className_;
};

// Raised by the printer component with a user-facing Portuguese message.
class EPosPrinterException : public EDovraError {
 public:
  explicit EPosPrinterException(const std::string& message)
      : EDovraError("EPosPrinterException", message) {}
};

// A file could not be created, opened or written.
class EFileError : public EDovraError {
 public:
  EFileError(std::string className, const std::string& message)
      : EDovraError(std::move(className), message) {}
};

// Class name of any exception, for logs and wrapped messages: ClassName() of an
// EDovraError, otherwise the type name without its namespace ("runtime_error").
std::string ErrorClassName(const std::exception& e);

}  // namespace dovra

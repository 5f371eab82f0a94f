#pragma once
#include <memory>
#include <string>
#include <vector>

namespace dovra {

// The operating system's print spooler, as the device needs it: the printer list in the
// spooler's order, the default printer, and one raw document per write.
class IPrintSpooler {
 public:
  virtual ~IPrintSpooler() = default;
  // Printer names in the spooler's order; empty when no spooler answers.
  virtual std::vector<std::string> PrinterNames() = 0;
  // Index in PrinterNames() of the default printer, or -1 when there is none.
  virtual int DefaultPrinterIndex() = 0;
  // Sends `data` as one raw document named `documentName`. Raises EDovraError naming the
  // printer and the spooler's reason when the spooler refuses it.
  virtual void SubmitRawDocument(const std::string& printer, const std::string& documentName,
                                 const std::string& data) = 0;
};

// The CUPS spooler of this machine (cupsGetDests). With no server running, the list is empty.
std::shared_ptr<IPrintSpooler> SystemSpooler();

}  // namespace dovra

#include <cups/cups.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/DovraDeviceTypes.h"
#include "device/PrintSpooler.h"

namespace dovra {

namespace {

// Bounds on every talk with the server, so that a missing or stuck cupsd never freezes the
// caller: the connection attempt, and each wait for an answer once connected.
constexpr int kConnectTimeoutMs = 3000;
constexpr double kAnswerTimeoutSeconds = 15.0;

struct HttpCloser {
  void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

struct IppDeleter {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// A fresh connection to the server libcups is pointed at (CUPS_SERVER, client.conf or the
// local socket), or null when it does not answer within the connect time-out.
HttpPtr ConnectToServer() {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              kConnectTimeoutMs, nullptr);
  if (http != nullptr) httpSetTimeout(http, kAnswerTimeoutSeconds, nullptr, nullptr);
  return HttpPtr(http);
}

std::string LastCupsError() {
  const char* text = cupsLastErrorString();
  if (text != nullptr && *text != '\0') return text;
  return ippErrorString(cupsLastError());
}

[[noreturn]] void Refuse(const std::string& printer, const std::string& what,
                         const std::string& reason) {
  std::string message = "Impressora " + printer + ": " + what;
  if (!reason.empty()) message += " (" + reason + ")";
  throw EDovraDeviceException(message);
}

// Why a queue does not print, in the server's own words: its state message, or else its
// state reasons other than "none".
std::string StateReason(ipp_t* answer) {
  if (ipp_attribute_t* msg = ippFindAttribute(answer, "printer-state-message", IPP_TAG_TEXT)) {
    const char* text = ippGetString(msg, 0, nullptr);
    if (text != nullptr && *text != '\0') return text;
  }
  std::string reasons;
  if (ipp_attribute_t* attr = ippFindAttribute(answer, "printer-state-reasons", IPP_TAG_KEYWORD)) {
    for (int i = 0; i < ippGetCount(attr); ++i) {
      const char* r = ippGetString(attr, i, nullptr);
      if (r == nullptr || std::strcmp(r, "none") == 0) continue;
      if (!reasons.empty()) reasons += ", ";
      reasons += r;
    }
  }
  return reasons;
}

// CUPS keeps accepting jobs for a stopped (paused) queue and just holds them; a receipt must
// not be reported as printed when it would sit there, so the queue is asked first.
void CheckQueueReady(http_t* http, const std::string& printer) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", printer.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  static const char* const kWanted[] = {"printer-state", "printer-state-message",
                                        "printer-state-reasons", "printer-is-accepting-jobs"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(sizeof kWanted / sizeof kWanted[0]), nullptr, kWanted);
  IppPtr answer(cupsDoRequest(http, request, "/"));  // frees `request`
  const ipp_status_t status = cupsLastError();
  if (status == IPP_STATUS_ERROR_NOT_FOUND)
    throw EDovraDeviceException("Impressora não encontrada [" + printer + "]");
  if (!answer || status > IPP_STATUS_OK_EVENTS_COMPLETE)
    Refuse(printer, "o servidor de impressão não respondeu", LastCupsError());

  if (ipp_attribute_t* state = ippFindAttribute(answer.get(), "printer-state", IPP_TAG_ENUM)) {
    if (ippGetInteger(state, 0) == IPP_PSTATE_STOPPED)
      Refuse(printer, "fila parada", StateReason(answer.get()));
  }
  if (ipp_attribute_t* accepting =
          ippFindAttribute(answer.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN)) {
    if (!ippGetBoolean(accepting, 0))
      Refuse(printer, "a fila não está aceitando trabalhos", StateReason(answer.get()));
  }
}

class TCupsSpooler : public IPrintSpooler {
 public:
  std::vector<std::string> PrinterNames() override {
    Load();
    return names_;
  }

  int DefaultPrinterIndex() override {
    Load();
    return defaultIndex_;
  }

  void SubmitRawDocument(const std::string& printer, const std::string& documentName,
                         const std::string& data) override {
    // CUPS refuses a document without data; an empty write has nothing to print.
    if (data.empty()) return;
    HttpPtr http = ConnectToServer();
    if (!http)
      Refuse(printer, std::string("servidor de impressão ") + cupsServer() + " indisponível",
             LastCupsError());
    CheckQueueReady(http.get(), printer);

    const char* title = documentName.c_str();
    const int job = cupsCreateJob(http.get(), printer.c_str(), title, 0, nullptr);
    if (job <= 0) Refuse(printer, "documento recusado pelo servidor de impressão", LastCupsError());

    if (cupsStartDocument(http.get(), printer.c_str(), job, title, CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
      const std::string reason = LastCupsError();
      cupsCancelJob2(http.get(), printer.c_str(), job, 0);
      Refuse(printer, "documento recusado pelo servidor de impressão", reason);
    }
    if (cupsWriteRequestData(http.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
      const std::string reason = LastCupsError();
      cupsFinishDocument(http.get(), printer.c_str());
      cupsCancelJob2(http.get(), printer.c_str(), job, 0);
      Refuse(printer, "falha ao enviar o documento ao servidor de impressão", reason);
    }
    if (cupsFinishDocument(http.get(), printer.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
      const std::string reason = LastCupsError();
      cupsCancelJob2(http.get(), printer.c_str(), job, 0);
      Refuse(printer, "documento recusado pelo servidor de impressão", reason);
    }
  }

 private:
  // Reads the destinations afresh on every call: queues come and go while the program runs.
  // Instances ("Caixa/rascunho") are option sets of a queue, not queues, and are left out;
  // a default instance makes its queue the default.
  void Load() {
    names_.clear();
    defaultIndex_ = -1;
    HttpPtr http = ConnectToServer();
    if (!http) return;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    std::string defaultName;
    for (int i = 0; i < count; ++i) {
      const cups_dest_t& d = dests[i];
      if (d.name == nullptr) continue;
      if (d.is_default) defaultName = d.name;
      if (d.instance != nullptr) continue;
      names_.emplace_back(d.name);
    }
    cupsFreeDests(count, dests);
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == defaultName) {
        defaultIndex_ = static_cast<int>(i);
        break;
      }
    }
  }

  std::vector<std::string> names_;
  int defaultIndex_ = -1;
};

}  // namespace

std::shared_ptr<IPrintSpooler> SystemSpooler() { return std::make_shared<TCupsSpooler>(); }

}  // namespace dovra

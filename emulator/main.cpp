// pdv-impressora-virtual: a receipt printer of any of the seven models, on a loopback TCP port
// or a pseudo-terminal, for trying dovrapos and the configurator without hardware.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "emulator/server/Options.h"
#include "emulator/server/Server.h"
#ifdef DOVRA_WITH_RENDER
#include <memory>

#include "emulator/render/ReceiptPng.h"
#endif

namespace {

dovra::emulator::TServer* g_server = nullptr;

void OnSignal(int) {
  if (g_server) g_server->RequestStop();
}

void PrintLine(FILE* f, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), f);
  std::fputc('\n', f);
  std::fflush(f);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace dovra::emulator;
  ::signal(SIGPIPE, SIG_IGN);

  TCommandLine cmd;
  try {
    cmd = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const TUsageError& e) {
    PrintLine(stderr, std::string("pdv-impressora-virtual: ") + e.what());
    PrintLine(stderr, UsageLine());
    return 2;
  }
  if (cmd.help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }

  try {
#ifdef DOVRA_WITH_RENDER
    // With an output folder each receipt's picture goes next to its transcript.
    std::unique_ptr<TRenderSession> render;
    if (!cmd.server.outputDir.empty()) render = std::make_unique<TRenderSession>();
#endif
    TServer server(
        cmd.server, [](const std::string& line) { PrintLine(stdout, line); },
        [](const std::string& line) { PrintLine(stderr, line); });
#ifdef DOVRA_WITH_RENDER
    if (render) {
      server.SetOnReceipt([](const TReceipt& receipt, const std::string& transcript) {
        if (transcript.empty()) return;
        try {
          const std::string png = PngPathFor(transcript);
          WriteReceiptPng(receipt, png);
          PrintLine(stdout, "imagem " + std::to_string(receipt.number) + ": " + png);
        } catch (const std::exception& e) {
          PrintLine(stderr, e.what());
        }
      });
    }
#endif
    const std::string porta = server.Open();
    server.SetControlFd(STDIN_FILENO);
    // Installed before the port is announced, so whoever reads the announcement can stop the
    // printer cleanly at once.
    g_server = &server;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);

    PrintLine(stdout, "porta: " + porta);
    PrintLine(stdout, std::string("modelo: ") + dovra::NameOf(cmd.server.printer.modelo) +
                          ", estado: " + FormatConditions(cmd.server.printer.conditions));
    server.Run();
    g_server = nullptr;
  } catch (const std::exception& e) {
    g_server = nullptr;
    PrintLine(stderr, std::string("pdv-impressora-virtual: ") + e.what());
    return 1;
  }
  return 0;
}

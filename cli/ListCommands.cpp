// tags and portas: lists that need no printer settings.
#include <cstdio>

#include "cli/Commands.h"
#include "device/DovraDevice.h"
#include "device/PrintSpooler.h"
#include "engine/DovraPosPrinter.h"

namespace dovra::cli {
namespace {

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
}

}  // namespace

int RunTags(const Options&) {
  TDovraPosPrinter printer;
  std::vector<std::string> lines;
  printer.ListTags(lines, true);
  PrintLines(lines);
  return 0;
}

int RunPortas(const Options&) {
  TDovraDevice device;
  std::vector<std::string> ports;
  device.AcharPortasSeriais(ports, 64);
  for (const char* fixed : {"LPT1", "LPT2", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0",
                            "/dev/ttyUSB1", "/dev/usb/lp0", "/tmp/ecf.txt",
                            "TCP:192.168.0.31:9100"}) {
    ports.emplace_back(fixed);
  }
  for (const std::string& name : device.Spooler().PrinterNames()) ports.push_back("RAW:" + name);
  PrintLines(ports);
  return 0;
}

}  // namespace dovra::cli

// A dialect with a readable command table ("{B1}" for bold on, "{LB}" as line break...) and
// a printer fixture on a temporary folder, for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/DovraPosPrinter.h"
#include "tests/support/TempFolder.h"

namespace dovra::test {

using testing::ReadFile;

class TTestDialect : public TDovraPosPrinterClass {
 public:
  explicit TTestDialect(TDovraPosPrinter& printer) : TDovraPosPrinterClass(printer) {
    modelName_ = "Teste";
    TDovraPosComandos& c = commands_;
    c.Beep = "\x1B\xE7\r\n";  // control, non-ASCII and CR LF bytes: must reach the port as they are
    c.AlignCenter = "{AC}";
    c.AlignRight = "{AR}";
    c.AlignLeft = "{AL}";
    c.PartialCut = "{PC}";
    c.DoubleHeightOff = "{A0}";
    c.InvertedOff = "{IN0}";
    c.PageModeOff = "{MP0}";
    c.DefaultLineSpacing = "{DLS}";
    c.PrintPage = "{PP}";
    c.DoubleHeightOn = "{A1}";
    c.InvertedOn = "{IN1}";
    c.NormalFont = "{NF}";
    c.CondensedOn = "{C1}";
    c.FullCut = "{FC}";
    c.LineSpacing = "{LS}";
    c.ExpandedOn = "{E1}";
    c.CondensedOff = "{C0}";
    c.ExpandedOff = "{E0}";
    c.ItalicOff = "{IT0}";
    c.BoldOff = "{B0}";
    c.UnderlineOff = "{S0}";
    c.FontA = "{FA}";
    c.FontB = "{FB}";
    c.ItalicOn = "{IT1}";
    c.PageModeOn = "{MP1}";
    c.BoldOn = "{B1}";
    c.UnderlineOn = "{S1}";
    c.LineBreak = "{LB}";
    c.Reset = "{RST}";
  }

  std::string TranslateBlockTag(const std::string& tag, const std::string& content) override {
    if (handleAeBlocks && tag == "<ae>") return "{DIALETO-AE:" + content + "}";
    return TDovraPosPrinterClass::TranslateBlockTag(tag, content);
  }
  std::string BarcodeCommand(const std::string& tag, const std::string& code) override {
    return "{" + tag + code + "}";
  }
  std::string QRCodeCommand(const std::string& data) override { return "{QR " + data + "}"; }
  std::string CodePageCommand(TDovraPosPaginaCodigo page) override {
    return "{CP" + std::to_string(CodePageNumber(page)) + "}";
  }
  std::string LogoCommand() override { return "{LOGO}"; }
  std::string DrawerCommand(int drawer) override { return "{GAV" + std::to_string(drawer) + "}"; }
  std::string FontCommand(TDovraPosFontKind kind, bool turnOn) override {
    stateSeenByFontCommand.push_back(Printer().FontState());
    return TDovraPosPrinterClass::FontCommand(kind, turnOn);
  }
  std::string PageModeSetupCommand() override { return "{MPCFG}"; }
  void Configure() override { ++configureCalls; }
  // Answers the scripted sets in order, then empty sets.
  void ReadStatus(TDovraPosStatusSet& status) override {
    ++readStatusCalls;
    if (!statusScript.empty()) {
      status = statusScript.front();
      statusScript.pop_front();
    }
  }
  std::string ReadInfo() override { return info; }

  bool handleAeBlocks = false;
  int configureCalls = 0;
  int readStatusCalls = 0;
  std::deque<TDovraPosStatusSet> statusScript;
  std::string info;
  std::vector<TDovraPosFontState> stateSeenByFontCommand;
};

// A printer whose log lines are collected, with a private temporary folder for file ports.
class PrinterFixture : public ::testing::Test {
 protected:
  PrinterFixture() {
    printer.SetOnGravarLog([this](const std::string& line, bool&) { log.push_back(line); });
  }

  // Installs the readable test dialect and returns it.
  TTestDialect& UseTestDialect() {
    auto d = std::make_unique<TTestDialect>(printer);
    TTestDialect* raw = d.get();
    printer.SetDialect(std::move(d));
    return *raw;
  }

  std::string PathIn(const std::string& name) const { return folder_.File(name); }
  std::string FilePort() const { return "FILE:" + PathIn("saida.prn"); }
  std::string OutputFile() const { return ReadFile(PathIn("saida.prn")); }

  // A hook port ("USB" with no opening hooks) that records every write.
  void UseRecordingHookPort() {
    printer.SetPorta("USB");
    printer.Device().HookEnviaString = [this](const std::string& cmd) { sent.push_back(cmd); };
  }

  static bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

  bool Logged(const std::string& line) const {
    for (const std::string& l : log)
      if (l == line) return true;
    return false;
  }
  std::size_t CountLogged(const std::string& prefix) const {
    std::size_t n = 0;
    for (const std::string& l : log)
      if (l.rfind(prefix, 0) == 0) ++n;
    return n;
  }

  TDovraPosPrinter printer;
  std::vector<std::string> log;
  std::vector<std::string> sent;

 private:
  testing::TempFolder folder_;
};

}  // namespace dovra::test

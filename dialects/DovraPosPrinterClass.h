// Command dialects: the dialect base class, which is itself the plain-text dialect, and one
// class per printer command language (ESC/POS Epson, Bematech, Daruma, Elgin, Diebold, ESC/P2).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/DovraPosTypes.h"

namespace dovra {

class TDovraPosPrinter;

// The fixed commands of a dialect. An empty field means the dialect has no such command.
struct TDovraPosComandos {
  std::string Beep;
  std::string AlignCenter;
  std::string AlignRight;
  std::string AlignLeft;
  std::string PartialCut;
  std::string DoubleHeightOff;
  std::string InvertedOff;
  std::string PageModeOff;
  std::string DefaultLineSpacing;
  std::string PrintPage;
  std::string DoubleHeightOn;
  std::string InvertedOn;
  std::string NormalFont;
  std::string CondensedOn;
  std::string FullCut;
  std::string LineSpacing;
  std::string ExpandedOn;
  std::string CondensedOff;
  std::string ExpandedOff;
  std::string ItalicOff;
  std::string BoldOff;
  std::string UnderlineOff;
  std::string FontA;
  std::string FontB;
  std::string ItalicOn;
  std::string PageModeOn;
  std::string BoldOn;
  std::string UnderlineOn;
  std::string LineBreak = "\r\n";
  std::string Reset;
};

// Width of a condensed and of an expanded character relative to a normal one.
struct TDovraPosRazaoColunaFonte {
  double Condensada = 0.75;
  double Expandida = 2.0;
};

// The plain-text dialect, and the base of every printer command language: each derived class
// fills its command table in its constructor and overrides only what its language supports.
class TDovraPosPrinterClass {
 public:
  explicit TDovraPosPrinterClass(TDovraPosPrinter& printer);
  virtual ~TDovraPosPrinterClass() = default;
  TDovraPosPrinterClass(const TDovraPosPrinterClass&) = delete;
  TDovraPosPrinterClass& operator=(const TDovraPosPrinterClass&) = delete;

  const TDovraPosComandos& Commands() const { return commands_; }
  const TDovraPosRazaoColunaFonte& ColumnRatios() const { return columnRatios_; }
  const std::string& ModelName() const { return modelName_; }
  TDovraPosPrinter& Printer() const { return printer_; }

  virtual std::string TranslateBlockTag(const std::string& tag, const std::string& content);
  virtual std::string BarcodeCommand(const std::string& tag, const std::string& code);
  virtual std::string QRCodeCommand(const std::string& data);
  virtual std::string LineSpacingCommand(std::uint8_t spacing);
  virtual std::string CodePageCommand(TDovraPosPaginaCodigo page);
  virtual std::string LogoCommand();
  virtual std::string DrawerCommand(int drawer);
  virtual std::string InitCommand();
  virtual std::string LineFeedCommand(int lines);
  virtual std::string FontCommand(TDovraPosFontKind kind, bool turnOn);
  virtual std::string PageModeSetupCommand();
  virtual void Configure();
  virtual void ReadStatus(TDovraPosStatusSet& status);
  virtual std::string ReadInfo();

 protected:
  TDovraPosComandos commands_;
  TDovraPosRazaoColunaFonte columnRatios_;
  std::string modelName_ = "Texto";

 private:
  TDovraPosPrinter& printer_;
};

// The dialect of a model (a value outside the enumeration gives the plain-text dialect).
std::unique_ptr<TDovraPosPrinterClass> CreateDialect(TDovraPosPrinterModelo modelo,
                                                     TDovraPosPrinter& printer);
// The model name the dialect of a model shows ("EscElgin" for ppEscVox; "Texto" for a value
// outside the enumeration), without creating it.
const char* DialectModelName(TDovraPosPrinterModelo modelo);

}  // namespace dovra

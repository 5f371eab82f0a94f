#pragma once
#include <string>

#include "engine/DovraPosPrinter.h"

namespace dovra {

// The configuration file from which the point-of-sale application takes the receipt
// printer's settings: sections PosPrinter, Barras, QRCode and Logo, 23 keys.
inline constexpr const char* kPdvIniFileName = "Pdv.ini";

// The 23 settings as the configurator's controls hold them. The model and the code page
// are positions in their lists (the enumeration ordinals), -1 when none is chosen.
// A default-constructed value holds the configurator's startup defaults.
struct PdvSettings {
  int Modelo = ppEscPosEpson;
  std::string Porta;
  int Colunas = 48;
  int EspacoEntreLinhas = 0;
  int LinhasBuffer = 0;
  int LinhasPular = 0;
  bool CortarPapel = false;
  bool ControlePorta = false;
  bool TraduzirTags = true;
  bool IgnorarTags = false;
  std::string ArqLog;
  int PaginaDeCodigo = pc850;
  int BarrasLargura = 0;
  int BarrasAltura = 0;
  bool BarrasHRI = false;
  int QRCodeTipo = 2;
  int QRCodeLarguraModulo = 4;
  int QRCodeErrorLevel = 0;
  int LogoKC1 = 32;
  int LogoKC2 = 32;
  int LogoFatorX = 1;
  int LogoFatorY = 1;
  // The device's serial parameter string with only the non-default settings.
  std::string SerialParams;

  bool operator==(const PdvSettings&) const = default;
};

// Brings every value into the range its control shows (Colunas 1..999,
// EspacoEntreLinhas 0..255, ..., KC1 32..126, FatorX 1..4); a model or code page outside
// its list becomes -1.
void ClampToShownRanges(PdvSettings& s);

// The printer's current values as defaults for loading (SerialParams empty), clamped.
PdvSettings DefaultsFrom(TDovraPosPrinter& printer);
// The printer's current values, SerialParams included, clamped.
PdvSettings FromPrinter(TDovraPosPrinter& printer);

// Reads the 23 keys; a missing file, section or key, or a value that is not a whole
// number, takes the value from `defaults`. Every value is clamped (ClampToShownRanges).
// An unreadable file raises EFileError.
PdvSettings LoadPdvIni(const std::string& path, const PdvSettings& defaults);

// Writes the 23 keys in their order (SerialParams last, into PosPrinter), keeping every
// other line of the file. Raises EFileError naming the file; the old file then stays intact.
void SavePdvIni(const std::string& path, const PdvSettings& s);

// Applies every setting to the printer in the order the configurator's activation does
// (model, port, log file, ...), then the serial parameters (Device().SetParamsString). A model or code page
// of -1 leaves the printer's value as it is. Values are clamped first. Errors of the
// printer or the device (a port change while active, a bad baud rate) propagate.
void ApplyToPrinter(const PdvSettings& s, TDovraPosPrinter& printer);

// What the configurator sets on its printer before loading the file: Modelo ppEscPosEpson,
// LinhasEntreCupons 0, CortaPapel false, ConfigBarras all zero, ConfigQRCode Tipo 2,
// LarguraModulo 4, ErrorLevel 0, ConfigLogo.IgnorarLogo true.
void ApplyConfiguratorStartupDefaults(TDovraPosPrinter& printer);

}  // namespace dovra

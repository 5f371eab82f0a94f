#include "engine/PdvIni.h"

#include <algorithm>
#include <cstdint>

#include "util/IniFile.h"

namespace dovra {
namespace {

constexpr const char* kPosPrinter = "PosPrinter";
constexpr const char* kBarras = "Barras";
constexpr const char* kQRCode = "QRCode";
constexpr const char* kLogo = "Logo";

int ListPosition(int value, int count) { return (value >= 0 && value < count) ? value : -1; }

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

PdvSettings ReadPrinter(TDovraPosPrinter& p) {
  PdvSettings s;
  s.Modelo = p.Modelo();
  s.Porta = p.Porta();
  s.Colunas = p.ColunasFonteNormal();
  s.EspacoEntreLinhas = p.EspacoEntreLinhas();
  s.LinhasBuffer = p.LinhasBuffer();
  s.LinhasPular = p.LinhasEntreCupons();
  s.CortarPapel = p.CortaPapel();
  s.ControlePorta = p.ControlePorta();
  s.TraduzirTags = p.TraduzirTags();
  s.IgnorarTags = p.IgnorarTags();
  s.ArqLog = p.ArqLOG();
  s.PaginaDeCodigo = p.PaginaDeCodigo();
  s.BarrasLargura = p.ConfigBarras().LarguraLinha();
  s.BarrasAltura = p.ConfigBarras().Altura();
  s.BarrasHRI = p.ConfigBarras().MostrarCodigo();
  s.QRCodeTipo = p.ConfigQRCode().Tipo();
  s.QRCodeLarguraModulo = p.ConfigQRCode().LarguraModulo();
  s.QRCodeErrorLevel = p.ConfigQRCode().ErrorLevel();
  s.LogoKC1 = p.ConfigLogo().KeyCode1();
  s.LogoKC2 = p.ConfigLogo().KeyCode2();
  s.LogoFatorX = p.ConfigLogo().FatorX();
  s.LogoFatorY = p.ConfigLogo().FatorY();
  s.SerialParams.clear();
  return s;
}

}  // namespace

void ClampToShownRanges(PdvSettings& s) {
  s.Modelo = ListPosition(s.Modelo, kModeloCount);
  s.Colunas = std::clamp(s.Colunas, 1, 999);
  s.EspacoEntreLinhas = std::clamp(s.EspacoEntreLinhas, 0, 255);
  s.LinhasBuffer = std::clamp(s.LinhasBuffer, 0, 255);
  s.LinhasPular = std::clamp(s.LinhasPular, 0, 255);
  s.PaginaDeCodigo = ListPosition(s.PaginaDeCodigo, kPaginaCodigoCount);
  s.BarrasLargura = std::clamp(s.BarrasLargura, 0, 5);
  s.BarrasAltura = std::clamp(s.BarrasAltura, 0, 255);
  s.QRCodeTipo = std::clamp(s.QRCodeTipo, 1, 2);
  s.QRCodeLarguraModulo = std::clamp(s.QRCodeLarguraModulo, 1, 16);
  s.QRCodeErrorLevel = std::clamp(s.QRCodeErrorLevel, 0, 3);
  s.LogoKC1 = std::clamp(s.LogoKC1, 32, 126);
  s.LogoKC2 = std::clamp(s.LogoKC2, 32, 126);
  s.LogoFatorX = std::clamp(s.LogoFatorX, 1, 4);
  s.LogoFatorY = std::clamp(s.LogoFatorY, 1, 4);
}

PdvSettings DefaultsFrom(TDovraPosPrinter& printer) {
  PdvSettings s = ReadPrinter(printer);
  ClampToShownRanges(s);
  return s;
}

PdvSettings FromPrinter(TDovraPosPrinter& printer) {
  PdvSettings s = ReadPrinter(printer);
  s.SerialParams = printer.Device().ParamsString();
  ClampToShownRanges(s);
  return s;
}

PdvSettings LoadPdvIni(const std::string& path, const PdvSettings& d) {
  TIniFile ini(path);
  PdvSettings s;
  s.Modelo = ini.ReadInteger(kPosPrinter, "Modelo", d.Modelo);
  s.Porta = ini.ReadString(kPosPrinter, "Porta", d.Porta);
  s.Colunas = ini.ReadInteger(kPosPrinter, "Colunas", d.Colunas);
  s.EspacoEntreLinhas = ini.ReadInteger(kPosPrinter, "EspacoEntreLinhas", d.EspacoEntreLinhas);
  s.LinhasBuffer = ini.ReadInteger(kPosPrinter, "LinhasBuffer", d.LinhasBuffer);
  s.LinhasPular = ini.ReadInteger(kPosPrinter, "LinhasPular", d.LinhasPular);
  s.CortarPapel = ini.ReadBool(kPosPrinter, "CortarPapel", d.CortarPapel);
  s.ControlePorta = ini.ReadBool(kPosPrinter, "ControlePorta", d.ControlePorta);
  s.TraduzirTags = ini.ReadBool(kPosPrinter, "TraduzirTags", d.TraduzirTags);
  s.IgnorarTags = ini.ReadBool(kPosPrinter, "IgnorarTags", d.IgnorarTags);
  s.ArqLog = ini.ReadString(kPosPrinter, "ArqLog", d.ArqLog);
  s.PaginaDeCodigo = ini.ReadInteger(kPosPrinter, "PaginaDeCodigo", d.PaginaDeCodigo);
  s.BarrasLargura = ini.ReadInteger(kBarras, "Largura", d.BarrasLargura);
  s.BarrasAltura = ini.ReadInteger(kBarras, "Altura", d.BarrasAltura);
  s.BarrasHRI = ini.ReadBool(kBarras, "HRI", d.BarrasHRI);
  s.QRCodeTipo = ini.ReadInteger(kQRCode, "Tipo", d.QRCodeTipo);
  s.QRCodeLarguraModulo = ini.ReadInteger(kQRCode, "LarguraModulo", d.QRCodeLarguraModulo);
  s.QRCodeErrorLevel = ini.ReadInteger(kQRCode, "ErrorLevel", d.QRCodeErrorLevel);
  s.LogoKC1 = ini.ReadInteger(kLogo, "KC1", d.LogoKC1);
  s.LogoKC2 = ini.ReadInteger(kLogo, "KC2", d.LogoKC2);
  s.LogoFatorX = ini.ReadInteger(kLogo, "FatorX", d.LogoFatorX);
  s.LogoFatorY = ini.ReadInteger(kLogo, "FatorY", d.LogoFatorY);
  s.SerialParams = ini.ReadString(kPosPrinter, "SerialParams", "");
  ClampToShownRanges(s);
  return s;
}

void SavePdvIni(const std::string& path, const PdvSettings& s) {
  TIniFile ini(path);
  ini.WriteInteger(kPosPrinter, "Modelo", s.Modelo);
  ini.WriteString(kPosPrinter, "Porta", s.Porta);
  ini.WriteInteger(kPosPrinter, "Colunas", s.Colunas);
  ini.WriteInteger(kPosPrinter, "EspacoEntreLinhas", s.EspacoEntreLinhas);
  ini.WriteInteger(kPosPrinter, "LinhasBuffer", s.LinhasBuffer);
  ini.WriteInteger(kPosPrinter, "LinhasPular", s.LinhasPular);
  ini.WriteBool(kPosPrinter, "CortarPapel", s.CortarPapel);
  ini.WriteBool(kPosPrinter, "ControlePorta", s.ControlePorta);
  ini.WriteBool(kPosPrinter, "TraduzirTags", s.TraduzirTags);
  ini.WriteBool(kPosPrinter, "IgnorarTags", s.IgnorarTags);
  ini.WriteString(kPosPrinter, "ArqLog", s.ArqLog);
  ini.WriteInteger(kPosPrinter, "PaginaDeCodigo", s.PaginaDeCodigo);
  ini.WriteInteger(kBarras, "Largura", s.BarrasLargura);
  ini.WriteInteger(kBarras, "Altura", s.BarrasAltura);
  ini.WriteBool(kBarras, "HRI", s.BarrasHRI);
  ini.WriteInteger(kQRCode, "Tipo", s.QRCodeTipo);
  ini.WriteInteger(kQRCode, "LarguraModulo", s.QRCodeLarguraModulo);
  ini.WriteInteger(kQRCode, "ErrorLevel", s.QRCodeErrorLevel);
  ini.WriteInteger(kLogo, "KC1", s.LogoKC1);
  ini.WriteInteger(kLogo, "KC2", s.LogoKC2);
  ini.WriteInteger(kLogo, "FatorX", s.LogoFatorX);
  ini.WriteInteger(kLogo, "FatorY", s.LogoFatorY);
  ini.WriteString(kPosPrinter, "SerialParams", s.SerialParams);
  ini.Save();
}

void ApplyToPrinter(const PdvSettings& settings, TDovraPosPrinter& p) {
  PdvSettings s = settings;
  ClampToShownRanges(s);
  if (s.Modelo >= 0) p.SetModelo(static_cast<TDovraPosPrinterModelo>(s.Modelo));
  p.SetPorta(s.Porta);
  p.SetArqLOG(s.ArqLog);
  p.SetLinhasBuffer(s.LinhasBuffer);
  p.SetLinhasEntreCupons(s.LinhasPular);
  p.SetEspacoEntreLinhas(Byte(s.EspacoEntreLinhas));
  p.SetColunasFonteNormal(s.Colunas);
  p.SetCortaPapel(s.CortarPapel);
  p.SetControlePorta(s.ControlePorta);
  p.SetTraduzirTags(s.TraduzirTags);
  p.SetIgnorarTags(s.IgnorarTags);
  if (s.PaginaDeCodigo >= 0) p.SetPaginaDeCodigo(static_cast<TDovraPosPaginaCodigo>(s.PaginaDeCodigo));
  p.ConfigBarras().SetMostrarCodigo(s.BarrasHRI);
  p.ConfigBarras().SetLarguraLinha(s.BarrasLargura);
  p.ConfigBarras().SetAltura(s.BarrasAltura);
  p.ConfigQRCode().SetTipo(s.QRCodeTipo);
  p.ConfigQRCode().SetLarguraModulo(s.QRCodeLarguraModulo);
  p.ConfigQRCode().SetErrorLevel(s.QRCodeErrorLevel);
  p.ConfigLogo().SetKeyCode1(Byte(s.LogoKC1));
  p.ConfigLogo().SetKeyCode2(Byte(s.LogoKC2));
  p.ConfigLogo().SetFatorX(Byte(s.LogoFatorX));
  p.ConfigLogo().SetFatorY(Byte(s.LogoFatorY));
  p.Device().SetParamsString(s.SerialParams);
}

void ApplyConfiguratorStartupDefaults(TDovraPosPrinter& p) {
  p.SetModelo(ppEscPosEpson);
  p.ConfigBarras().SetMostrarCodigo(false);
  p.ConfigBarras().SetLarguraLinha(0);
  p.ConfigBarras().SetAltura(0);
  p.ConfigBarras().SetMargem(0);
  p.ConfigQRCode().SetTipo(2);
  p.ConfigQRCode().SetLarguraModulo(4);
  p.ConfigQRCode().SetErrorLevel(0);
  p.ConfigLogo().SetIgnorarLogo(true);
  p.SetLinhasEntreCupons(0);
  p.SetCortaPapel(false);
}

}  // namespace dovra

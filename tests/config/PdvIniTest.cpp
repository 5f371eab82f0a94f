#include "engine/PdvIni.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/TempFolder.h"

namespace dovra {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

const char* const kStartupFile =
    "[PosPrinter]\n"
    "Modelo=1\n"
    "Porta=\n"
    "Colunas=48\n"
    "EspacoEntreLinhas=0\n"
    "LinhasBuffer=0\n"
    "LinhasPular=0\n"
    "CortarPapel=0\n"
    "ControlePorta=0\n"
    "TraduzirTags=1\n"
    "IgnorarTags=0\n"
    "ArqLog=\n"
    "PaginaDeCodigo=2\n"
    "SerialParams=\n"
    "[Barras]\n"
    "Largura=0\n"
    "Altura=0\n"
    "HRI=0\n"
    "[QRCode]\n"
    "Tipo=2\n"
    "LarguraModulo=4\n"
    "ErrorLevel=0\n"
    "[Logo]\n"
    "KC1=32\n"
    "KC2=32\n"
    "FatorX=1\n"
    "FatorY=1\n";

TEST(PdvIni, StartupWithoutAFileWritesTheKnownLayout) {
  TempFolder dir;
  const std::string path = dir.File("Pdv.ini");
  TDovraPosPrinter printer;
  ApplyConfiguratorStartupDefaults(printer);
  EXPECT_TRUE(printer.ConfigLogo().IgnorarLogo());

  const PdvSettings defaults = DefaultsFrom(printer);
  EXPECT_EQ(defaults, PdvSettings{});
  const PdvSettings loaded = LoadPdvIni(path, defaults);
  EXPECT_EQ(loaded, PdvSettings{});

  SavePdvIni(path, loaded);
  EXPECT_EQ(ReadFile(path), kStartupFile);
}

// Defaults that differ from the startup ones, so a value taken from them is recognisable.
PdvSettings OddDefaults() {
  PdvSettings d;
  d.Porta = "COM9";
  d.Colunas = 40;
  d.CortarPapel = true;
  d.TraduzirTags = false;
  return d;
}

TEST(PdvIni, LoadDecodesClampsAndFallsBack) {
  using Field = std::function<std::string(const PdvSettings&)>;
  auto num = [](int PdvSettings::*m) -> Field {
    return [m](const PdvSettings& s) { return std::to_string(s.*m); };
  };
  auto flag = [](bool PdvSettings::*m) -> Field {
    return [m](const PdvSettings& s) { return std::string(s.*m ? "1" : "0"); };
  };
  auto text = [](std::string PdvSettings::*m) -> Field {
    return [m](const PdvSettings& s) { return s.*m; };
  };
  struct Case {
    std::string ini;
    Field field;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"[PosPrinter]\nColunas=2000\n", num(&PdvSettings::Colunas), "999"},
      {"[PosPrinter]\nColunas=0\n", num(&PdvSettings::Colunas), "1"},
      {"[PosPrinter]\nColunas=0x30\n", num(&PdvSettings::Colunas), "48"},
      {"[PosPrinter]\nColunas=0x\n", num(&PdvSettings::Colunas), "40"},
      {"[PosPrinter]\nColunas=\n", num(&PdvSettings::Colunas), "40"},
      {"", num(&PdvSettings::Colunas), "40"},
      {"[posprinter]\ncolunas=30\n", num(&PdvSettings::Colunas), "30"},
      {"[PosPrinter]\nLinhasPular=300\n", num(&PdvSettings::LinhasPular), "255"},
      {"[PosPrinter]\nEspacoEntreLinhas=-4\n", num(&PdvSettings::EspacoEntreLinhas), "0"},
      {"[Logo]\nKC1=0\n", num(&PdvSettings::LogoKC1), "32"},
      {"[Logo]\nKC2=127\n", num(&PdvSettings::LogoKC2), "126"},
      {"[Logo]\nFatorY=9\n", num(&PdvSettings::LogoFatorY), "4"},
      {"[QRCode]\nTipo=5\n", num(&PdvSettings::QRCodeTipo), "2"},
      {"[QRCode]\nLarguraModulo=0\n", num(&PdvSettings::QRCodeLarguraModulo), "1"},
      {"[Barras]\nLargura=-3\n", num(&PdvSettings::BarrasLargura), "0"},
      {"[PosPrinter]\nModelo=7\n", num(&PdvSettings::Modelo), "-1"},
      {"[PosPrinter]\nModelo=6\n", num(&PdvSettings::Modelo), "6"},
      {"[PosPrinter]\nPaginaDeCodigo=-2\n", num(&PdvSettings::PaginaDeCodigo), "-1"},
      {"[PosPrinter]\nCortarPapel=7\n", flag(&PdvSettings::CortarPapel), "1"},
      {"[PosPrinter]\nCortarPapel=0\n", flag(&PdvSettings::CortarPapel), "0"},
      {"[PosPrinter]\nCortarPapel=abc\n", flag(&PdvSettings::CortarPapel), "1"},
      {"[PosPrinter]\nTraduzirTags=abc\n", flag(&PdvSettings::TraduzirTags), "0"},
      {"[Barras]\nHRI=0x1\n", flag(&PdvSettings::BarrasHRI), "1"},
      {"[PosPrinter]\nPorta=  TCP:caixa:9100  \n", text(&PdvSettings::Porta), "TCP:caixa:9100"},
      {"[PosPrinter]\nPorta=\n", text(&PdvSettings::Porta), ""},
      {"[Barras]\nPorta=COM1\n", text(&PdvSettings::Porta), "COM9"},
      {"[PosPrinter]\nSerialParams=BAUD=19200 PARITY=E\n", text(&PdvSettings::SerialParams),
       "BAUD=19200 PARITY=E"},
  };
  TempFolder dir;
  const std::string path = dir.File("Pdv.ini");
  for (const Case& c : cases) {
    WriteFile(path, c.ini);
    EXPECT_EQ(c.field(LoadPdvIni(path, OddDefaults())), c.expected) << c.ini;
  }
}

TEST(PdvIni, UnselectedListsAreStoredAsMinusOne) {
  TempFolder dir;
  const std::string path = dir.File("Pdv.ini");
  PdvSettings s;
  s.Modelo = -1;
  s.PaginaDeCodigo = -1;
  SavePdvIni(path, s);
  const std::string file = ReadFile(path);
  EXPECT_NE(file.find("\nModelo=-1\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\nPaginaDeCodigo=-1\n"), std::string::npos) << file;
  EXPECT_EQ(LoadPdvIni(path, PdvSettings{}), s);
}

TEST(PdvIni, SaveKeepsEverythingElseAndIsStable) {
  TempFolder dir;
  const std::string path = dir.File("Pdv.ini");
  WriteFile(path,
            "; gerado pelo instalador\r\n"
            "[posprinter]\r\n"
            "MODELO=1\r\n"
            "COLUNAS = 10\r\n"
            "Fabricante=Morvantis\r\n"
            "\r\n"
            "[Rede]\r\n"
            "Servidor=10.0.0.1\r\n"
            "[Barras]\n"
            "Altura=0\n");
  PdvSettings s;
  s.Colunas = 64;
  SavePdvIni(path, s);
  const std::string first = ReadFile(path);
  EXPECT_EQ(first,
            "; gerado pelo instalador\r\n"
            "[posprinter]\r\n"
            "MODELO=1\r\n"
            "COLUNAS = 64\r\n"
            "Fabricante=Morvantis\r\n"
            "Porta=\n"
            "EspacoEntreLinhas=0\n"
            "LinhasBuffer=0\n"
            "LinhasPular=0\n"
            "CortarPapel=0\n"
            "ControlePorta=0\n"
            "TraduzirTags=1\n"
            "IgnorarTags=0\n"
            "ArqLog=\n"
            "PaginaDeCodigo=2\n"
            "SerialParams=\n"
            "\r\n"
            "[Rede]\r\n"
            "Servidor=10.0.0.1\r\n"
            "[Barras]\n"
            "Altura=0\n"
            "Largura=0\n"
            "HRI=0\n"
            "[QRCode]\n"
            "Tipo=2\n"
            "LarguraModulo=4\n"
            "ErrorLevel=0\n"
            "[Logo]\n"
            "KC1=32\n"
            "KC2=32\n"
            "FatorX=1\n"
            "FatorY=1\n");
  SavePdvIni(path, s);
  EXPECT_EQ(ReadFile(path), first);
  EXPECT_EQ(LoadPdvIni(path, PdvSettings{}), s);
}

TEST(PdvIni, FailedSaveNamesTheFile) {
  TempFolder dir;
  const std::string path = dir.File("sem-pasta/Pdv.ini");
  try {
    SavePdvIni(path, PdvSettings{});
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

TEST(PdvIni, ApplyToPrinterAndReadBack) {
  TempFolder dir;
  PdvSettings s;
  s.Modelo = ppEscDaruma;
  s.Porta = "COM3";
  s.Colunas = 40;
  s.EspacoEntreLinhas = 30;
  s.LinhasBuffer = 5;
  s.LinhasPular = 7;
  s.CortarPapel = true;
  s.ControlePorta = true;
  s.TraduzirTags = false;
  s.IgnorarTags = true;
  s.ArqLog = dir.File("pos.log");
  s.PaginaDeCodigo = pc860;
  s.BarrasLargura = 3;
  s.BarrasAltura = 80;
  s.BarrasHRI = true;
  s.QRCodeTipo = 1;
  s.QRCodeLarguraModulo = 8;
  s.QRCodeErrorLevel = 2;
  s.LogoKC1 = 40;
  s.LogoKC2 = 50;
  s.LogoFatorX = 2;
  s.LogoFatorY = 3;
  s.SerialParams = "BAUD=19200 HANDSHAKE=RTS/CTS HARDFLOW";

  TDovraPosPrinter printer;
  ApplyToPrinter(s, printer);
  EXPECT_EQ(FromPrinter(printer), s);
  EXPECT_EQ(printer.Device().Baud(), 19200);

  // No list entry leaves model and code page alone; an empty serial string restores the
  // serial defaults.
  PdvSettings none = s;
  none.Modelo = -1;
  none.PaginaDeCodigo = -1;
  none.SerialParams = "";
  ApplyToPrinter(none, printer);
  EXPECT_EQ(printer.Modelo(), ppEscDaruma);
  EXPECT_EQ(printer.PaginaDeCodigo(), pc860);
  EXPECT_EQ(printer.Device().Baud(), 9600);
  EXPECT_EQ(printer.Device().HandShake(), hsNenhum);
}

}  // namespace
}  // namespace dovra

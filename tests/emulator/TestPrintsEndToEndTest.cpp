// The configurator's built-in test prints, printed through the engine over TCP to the virtual
// printer of each model (in-process, on an ephemeral loopback port): the transcripts show the
// text, barcodes, QR contents, logos and cuts each model can print, and the barcode test's
// picture is a receipt of the paper's width with real bars on it.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/TestPrints.h"
#include "emulator/render/ReceiptPng.h"
#include "emulator/render/ReceiptRenderer.h"
#include "engine/DovraPosPrinter.h"
#include "tests/emulator/EmulatorTestSupport.h"
#include "tests/support/TempFolder.h"

namespace dovra::emulator::test {
namespace {

// What a model's transcripts must show.
struct TModelCase {
  TDovraPosPrinterModelo modelo;
  bool cuts;                  // a full cut ends each test print
  bool styles;                // a receipt printer: styles, alignment, barcodes
  bool inverted;              // inverted runs
  int condensedColumns;       // columns of the condensed font at 48 normal columns
  bool codes11;               // Standard 2 of 5 and Code 11 are printed as bars too
  int qrModule;               // 0: QR codes are not printed
  std::string logo;           // the logo element; empty: none
  // Error correction of the two long QR codes (NFC-e, SAT) asked at level 0: Daruma
  // printers raise the lowest level to M above 256 bytes.
  char longQrLevel = 'L';
};

const std::vector<TModelCase> kModels = {
    {ppTexto, false, false, false, 0, false, 0, ""},
    {ppEscPosEpson, true, true, true, 64, false, 4, "[LOGO kc1=48 kc2=49]"},
    {ppEscBematech, true, true, false, 64, false, 8, "[LOGO n=1]"},
    {ppEscDaruma, true, true, false, 57, true, 4, "[LOGO]", 'M'},
    {ppEscVox, true, true, false, 64, false, 4, "[LOGO n=1]"},
    {ppEscDiebold, true, true, true, 64, false, 4, "[LOGO n=1]"},
    {ppEscEpsonP2, false, false, false, 0, false, 0, ""},
};

void PrintTo(const TModelCase& c, std::ostream* out) { *out << NameOf(c.modelo); }

// The memo's lines as "Imprimir" sends them.
std::string MemoText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

std::vector<std::string> Lines(const std::vector<std::string>& transcripts) {
  std::vector<std::string> lines;
  for (const std::string& t : transcripts) {
    std::size_t from = 0;
    while (from < t.size()) {
      const std::size_t nl = t.find('\n', from);
      lines.push_back(t.substr(from, nl - from));
      from = nl + 1;
    }
  }
  return lines;
}

bool HasLineWith(const std::vector<std::string>& lines, const std::string& piece) {
  for (const std::string& line : lines)
    if (line.find(piece) != std::string::npos) return true;
  return false;
}

int CountLinesWith(const std::vector<std::string>& lines, const std::string& piece) {
  int n = 0;
  for (const std::string& line : lines)
    if (line.find(piece) != std::string::npos) ++n;
  return n;
}

// Prints the seven memo tests (formatting, alignment, barcodes, QR codes, logo, invalid tags,
// code page) in one activation, as the window does with its printer's current values.
std::vector<TReceipt> PrintTheTests(const TModelCase& c, std::vector<std::string>& transcripts) {
  const TDovraPosPrinterModelo modelo = c.modelo;
  TServerOptions options;
  options.printer.modelo = modelo;
  TRunningServer server(options);
  TDovraPosPrinter printer;
  printer.SetModelo(modelo);
  printer.SetPorta(server.Porta());
  printer.SetLinhasEntreCupons(0);
  printer.SetCortaPapel(true);
  printer.ConfigLogo().SetKeyCode1('0');
  printer.ConfigLogo().SetKeyCode2('1');
  printer.Ativar();
  TDovraConfigQRCode& qr = printer.ConfigQRCode();
  TDovraConfigLogo& logo = printer.ConfigLogo();
  const std::vector<std::vector<std::string>> tests = {
      FontTestLines(printer.ColunasFonteNormal(), printer.ExpandedColumns(),
                    printer.CondensedColumns()),
      AlignmentTestLines(),
      BarcodeTestLines(),
      QRCodeTestLines(qr.Tipo(), qr.LarguraModulo(), qr.ErrorLevel()),
      LogoTestLines(logo.KeyCode1(), logo.KeyCode2(), logo.FatorX(), logo.FatorY()),
      InvalidTagsTestLines(),
      CodePageTestLines(),
  };
  for (const std::vector<std::string>& test : tests)
    printer.Imprimir(MemoText(test), false, true, true, 1);
  printer.Desativar();
  // Printers that cannot cut make one receipt of everything when the connection ends; a
  // short wait past the expected count shows any receipt too many.
  server.WaitForTranscripts(c.cuts ? 7 : 1);
  transcripts = server.WaitForTranscripts(c.cuts ? 8 : 2, std::chrono::milliseconds(200));
  return server.WaitForReceipts(transcripts.size(), std::chrono::milliseconds(1));
}

class TestPrintsEndToEnd : public ::testing::TestWithParam<TModelCase> {};

TEST_P(TestPrintsEndToEnd, TranscriptsShowWhatTheModelPrints) {
  const TModelCase& c = GetParam();
  std::vector<std::string> transcripts;
  PrintTheTests(c, transcripts);
  const std::vector<std::string> lines = Lines(transcripts);

  // Cuts: one receipt per test print, each ending in its cut; or all on one uncut receipt.
  if (c.cuts) {
    ASSERT_EQ(transcripts.size(), 7u);
    for (const std::string& t : transcripts) EXPECT_TRUE(t.ends_with("[CORTE TOTAL]\n")) << t;
  } else {
    ASSERT_EQ(transcripts.size(), 1u);
    EXPECT_FALSE(HasLineWith(lines, "[CORTE"));
  }

  // Character formatting, with the column counts of the model.
  EXPECT_TRUE(HasLineWith(lines, "FONTE NORMAL: 48 Colunas"));
  EXPECT_TRUE(HasLineWith(lines, "EXPANDIDO: 24 Colunas"));
  if (c.styles) {
    const std::string n = std::to_string(c.condensedColumns);
    for (const std::string& line :
         {std::string("{e}EXPANDIDO: 24 Colunas{/}"), "{e}" + ColumnRuler(24) + "{/}",
          "{c}CONDENSADO: " + n + " Colunas{/}", "{c}" + ColumnRuler(c.condensedColumns) + "{/}",
          std::string("{n}FONTE NEGRITO{/}"), std::string("{s}FONTE SUBLINHADA{/}"),
          std::string("{i}FONTE ITALICO{/}"),
          std::string(c.inverted ? "{in}FONTE INVERTIDA{/}" : "FONTE INVERTIDA")}) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
    // Alignment.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ALINHADO A ESQUERDA"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{ce}ALINHADO NO CENTRO"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{ad}ALINHADO A DIREITA"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{ad}{n}FONTE NEGRITO{/}"), lines.end());
  } else if (c.modelo == ppEscEpsonP2) {
    // Its normal font is the condensed one; bold is double strike.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{c}FONTE NORMAL: 48 Colunas{/}"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{n}FONTE NEGRITO{/}"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "{c}ALINHADO NO CENTRO{/}"), lines.end());
  } else {
    EXPECT_FALSE(HasLineWith(lines, "{")) << "plain text has no styles";
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ALINHADO NO CENTRO"), lines.end());
  }

  // Barcodes: the symbologies the model prints as bars, with their data; the others as text.
  struct TCode {
    const char* symbology;
    const char* data;
    bool optional;  // printed as bars only by models with `codes11`
  };
  const TCode codes[] = {
      {"EAN8", "1234567", false},         {"EAN13", "123456789012", false},
      {"STD", "1234567890", true},        {"INTER", "1234567890", false},
      {"CODE11", "1234567890", true},     {"CODE39", "ABCDE12345", false},
      {"CODE93", "ABC123abc", false},     {"CODE128", "$-=+ABC123abc", false},
      {"UPCA", "12345678901", false},     {"CODABAR", "A123456789012345A", false},
      {"MSI", "1234567890", false},
  };
  int bars = 0;
  for (const TCode& code : codes) {
    const bool asBars = c.styles && (!code.optional || c.codes11);
    const std::string element = std::string("[BARRAS ") + code.symbology + " dados=" + code.data + " ";
    EXPECT_EQ(HasLineWith(lines, element), asBars) << element;
    bars += asBars;
  }
  EXPECT_EQ(CountLinesWith(lines, "[BARRAS "), bars);
  if (c.modelo == ppTexto) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), "1234567"), lines.end());
  }

  // QR codes: the five contents, whole.
  const std::pair<const char*, char> qrCodes[] = {
      {kQRCodeHomePage, 'L'},
      {kQRCodeForumPage, 'L'},
      {kQRCodeForumPage2, 'L'},
      {kQRCodeNFCeAddress, c.longQrLevel},
      {kQRCodeSATContent, c.longQrLevel},
  };
  for (const auto& [content, level] : qrCodes) {
    const std::string element = std::string("[QRCODE dados=") + content + " modulo=" +
                                std::to_string(c.qrModule) + " correcao=" + level + "]";
    EXPECT_EQ(HasLineWith(lines, element), c.qrModule > 0) << element;
  }
  EXPECT_EQ(CountLinesWith(lines, "[QRCODE "), c.qrModule > 0 ? 5 : 0);
  EXPECT_TRUE(HasLineWith(lines, "Exemplo de QRCode para SAT"));

  // The logo with its caption.
  EXPECT_TRUE(HasLineWith(lines, "Logo: 01 - FatorX: 1 - FatorY: 1"));
  if (c.logo.empty()) {
    EXPECT_FALSE(HasLineWith(lines, "[LOGO"));
  } else {
    EXPECT_TRUE(HasLineWith(lines, c.logo)) << c.logo;
  }

  // Invalid tags stay as text; the centred and right-aligned blocks are laid out in the text.
  EXPECT_TRUE(HasLineWith(lines, std::string(8, ' ') + "*** TESTE DE TAGS INVÁLIDAS ***" +
                                     std::string(9, ' ')));
  EXPECT_TRUE(HasLineWith(lines, std::string(8, ' ') + "<>tags inválidas no texto\">\">><<" +
                                     std::string(8, ' ')));
  EXPECT_TRUE(HasLineWith(lines, std::string(27, ' ') + "<da><ec></</A Direita"));

  // The code page: the accented letters come out as sent.
  EXPECT_TRUE(HasLineWith(lines, "ÁÉÍÓÚáéíóúçÇãõÃÕÊêÀà"));
}

// Dark pixels.
int Ink(const QImage& picture) {
  int n = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) n += qGray(picture.pixel(x, y)) < 128;
  return n;
}

// Columns of the picture crossed by an unbroken dark run of at least `length` dots: bars of
// barcodes are, text and rules are not.
int TallRuns(const QImage& picture, int length) {
  int columns = 0;
  for (int x = 0; x < picture.width(); ++x) {
    int run = 0, longest = 0;
    for (int y = 0; y < picture.height(); ++y) {
      run = qGray(picture.pixel(x, y)) < 128 ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    columns += longest >= length;
  }
  return columns;
}

class BarcodePicture : public testing::TempFolderTest,
                       public ::testing::WithParamInterface<TModelCase> {};

TEST_P(BarcodePicture, HasThePaperWidthAndRealBars) {
  const TModelCase& c = GetParam();
  std::vector<std::string> transcripts;
  const std::vector<TReceipt> receipts = PrintTheTests(c, transcripts);
  ASSERT_FALSE(receipts.empty());
  // The barcode test is the third receipt of a cutting printer; the others print one.
  const TReceipt& receipt = c.cuts ? receipts.at(2) : receipts.front();
  const std::string png = folder.File("barras.png");
  WriteReceiptPng(receipt, png);
  QImage picture;
  ASSERT_TRUE(picture.load(QString::fromStdString(png), "PNG"));
  EXPECT_EQ(picture.width(), 576);
  EXPECT_GT(Ink(picture), 2000);
  // Bars are 50 dots tall here; text is at most 24.
  if (c.styles) {
    EXPECT_GT(TallRuns(picture, 45), 200);
  } else {
    EXPECT_EQ(TallRuns(picture, 45), 0);
  }
}

std::string ModelName(const ::testing::TestParamInfo<TModelCase>& info) {
  return NameOf(info.param.modelo);
}

INSTANTIATE_TEST_SUITE_P(EveryModel, TestPrintsEndToEnd, ::testing::ValuesIn(kModels), ModelName);
INSTANTIATE_TEST_SUITE_P(SomeModels, BarcodePicture,
                         ::testing::Values(kModels[1], kModels[2], kModels[0]), ModelName);

}  // namespace
}  // namespace dovra::emulator::test

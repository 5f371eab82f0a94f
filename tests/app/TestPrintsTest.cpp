// The built-in test texts, checked against the texts as they must reach the printer.
#include "app/TestPrints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace dovra {
namespace {

// Length in characters of UTF-8 text.
std::size_t Characters(const std::string& s) {
  return static_cast<std::size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool AllOf(const std::string& s, const std::string& allowed) {
  return s.find_first_not_of(allowed) == std::string::npos;
}

const std::string kDigits = "0123456789";
const std::string kHex = "0123456789abcdefABCDEF";

TEST(ColumnRulerTest, ShapesTheRulerToTheColumnCount) {
  const std::string ruler =
      "....+....1....+....2....+....3....+....4....+....5....+....6....+....7....+....8";
  struct Case {
    int columns;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, ""},
      {-3, ""},
      {1, "."},
      {24, "....+....1....+....2...."},
      {48, "....+....1....+....2....+....3....+....4....+..."},
      {80, ruler},
      {81, " " + ruler},
      {100, std::string(20, ' ') + ruler},
  };
  for (const Case& c : cases) EXPECT_EQ(ColumnRuler(c.columns), c.expected) << c.columns;
}

TEST(FontTestLinesTest, CountsAndRulersFollowTheColumnCounts) {
  const std::vector<std::string> lines = FontTestLines(48, 24, 64);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[0], "</zera>");
  EXPECT_EQ(lines[1], "</linha_dupla>");
  EXPECT_EQ(lines[2], "FONTE NORMAL: 48 Colunas");
  EXPECT_EQ(lines[3], "....+....1....+....2....+....3....+....4....+...");
  EXPECT_EQ(lines[4], "<e>EXPANDIDO: 24 Colunas");
  EXPECT_EQ(lines[5], "....+....1....+....2....");
  EXPECT_EQ(lines[6], "</e><c>CONDENSADO: 64 Colunas");
  EXPECT_EQ(lines[7], "....+....1....+....2....+....3....+....4....+....5....+....6....");
  EXPECT_EQ(lines[8], "</c><n>FONTE NEGRITO</N>");
  EXPECT_EQ(lines[10], "<S>FONTE SUBLINHADA</s>");
  EXPECT_EQ(lines[26], "</FB>FONTE TIPO B");
  EXPECT_EQ(lines[33], "</FN>FONTE NORMAL");
  EXPECT_EQ(lines[34], "</corte_total>");
}

TEST(FontTestLinesTest, MoreThanEightyColumnsRightAlignTheRuler) {
  const std::vector<std::string> lines = FontTestLines(100, 50, 133);
  EXPECT_EQ(lines[2], "FONTE NORMAL: 100 Colunas");
  EXPECT_EQ(lines[3], std::string(20, ' ') + kColumnRuler);
  EXPECT_EQ(lines[7], std::string(53, ' ') + kColumnRuler);
}

TEST(MemoTestTextsTest, LineCountsAndFramingLines) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::size_t count;
  };
  const std::vector<Case> cases = {
      {"alinhamento", AlignmentTestLines(), 29},
      {"barras", BarcodeTestLines(), 36},
      {"qrcode", QRCodeTestLines(2, 4, 0), 16},
      {"logo", LogoTestLines(32, 32, 1, 1), 5},
      {"invalidas", InvalidTagsTestLines(), 5},
      {"pagina", CodePageTestLines(), 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.lines.size(), c.count);
    EXPECT_EQ(c.lines.front(), "</zera>");
    EXPECT_EQ(c.lines.back(), "</corte_total>");
  }
}

TEST(AlignmentTestLinesTest, ThreeAlignedBlocksOfTheSixFonts) {
  const std::vector<std::string> lines = AlignmentTestLines();
  EXPECT_EQ(lines[2], "TEXTO NORMAL");
  EXPECT_EQ(lines[3], "</ae>ALINHADO A ESQUERDA");
  EXPECT_EQ(lines[11], "</fn></ce>ALINHADO NO CENTRO");
  EXPECT_EQ(lines[19], "</fn></ad>ALINHADO A DIREITA");
  for (std::size_t block : {4u, 12u, 20u}) {
    EXPECT_EQ(lines[block], "1 2 3 TESTANDO");
    EXPECT_EQ(lines[block + 1], "<n>FONTE NEGRITO</N>");
    EXPECT_EQ(lines[block + 3], "<c>FONTE CONDENSADA</e>");
    EXPECT_EQ(lines[block + 6], "<i>FONTE ITALICO</i>");
  }
  EXPECT_EQ(lines[27], "</ae></fn>TEXTO NORMAL");
}

TEST(BarcodeTestLinesTest, ElevenSymbologiesSeparatedBySingleLines) {
  const std::vector<std::string> lines = BarcodeTestLines();
  EXPECT_EQ(lines[1], "</ce>");
  EXPECT_EQ(lines[3], "EAN 8: 1234567");
  EXPECT_EQ(lines[4], "<ean8>1234567</ean8>");
  EXPECT_EQ(lines[5], "</Linha_Simples>");
  EXPECT_EQ(lines[6], "EAN13: 123456789012");
  EXPECT_EQ(lines[7], "<ean13>123456789012</ean13>");
  EXPECT_EQ(lines[24], "CODE128: $-=+ABC123abc");
  EXPECT_EQ(lines[25], "<code128>$-=+ABC123abc</code128>");
  EXPECT_EQ(lines[31], "<codabar>A123456789012345A</codabar>");
  EXPECT_EQ(lines[33], "MSI: 1234567890");
  EXPECT_EQ(lines[34], "<msi>1234567890</msi>");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "</Linha_Simples>"), 10);
}

TEST(QRCodeTestLinesTest, SettingsLinesCarryThePrintersValues) {
  const std::vector<std::string> lines = QRCodeTestLines(1, 7, 3);
  EXPECT_EQ(lines[2], "<qrcode_tipo>1</qrcode_tipo>");
  EXPECT_EQ(lines[3], "<qrcode_largura>7</qrcode_largura>");
  EXPECT_EQ(lines[4], "<qrcode_error>3</qrcode_error>");
  EXPECT_EQ(lines[5], std::string("<qrcode>") + kQRCodeHomePage + "</qrcode>");
  EXPECT_EQ(lines[6], "</ce>");
  EXPECT_EQ(lines[8], "</ad>");
  EXPECT_EQ(lines[11], "Exemplo de QRCode para NFCe");
  EXPECT_EQ(lines[12], std::string("<qrcode_error>0</qrcode_error><qrcode>") + kQRCodeNFCeAddress +
                           "</qrcode>");
  EXPECT_EQ(lines[13], "Exemplo de QRCode para SAT");
  EXPECT_EQ(lines[14], std::string("<qrcode_error>0</qrcode_error><qrcode>") + kQRCodeSATContent +
                           "</qrcode>");
}

TEST(QRCodeTestLinesTest, SampleContentsHaveTheirLengthsAndFields) {
  EXPECT_EQ(std::string(kQRCodeHomePage).size(), 25u);
  EXPECT_EQ(std::string(kQRCodeForumPage).size(), 72u);
  EXPECT_EQ(std::string(kQRCodeForumPage2).size(), 81u);

  const std::string nfce = kQRCodeNFCeAddress;
  EXPECT_EQ(nfce.size(), 375u);
  const std::string path = "/NFCeConsultaPublica/Paginas/ConsultaQRCode.aspx?";
  ASSERT_EQ(nfce.rfind("https://", 0), 0u);
  const std::size_t pathAt = nfce.find(path);
  ASSERT_NE(pathAt, std::string::npos);
  EXPECT_TRUE(nfce.substr(0, pathAt).ends_with(".example"));
  struct Key {
    const char* name;
    std::size_t length;
    std::string allowed;
  };
  const std::vector<Key> keys = {
      {"chNFe", 44, kDigits},          {"nVersao", 3, kDigits},      {"tpAmb", 1, kDigits},
      {"dhEmi", 50, kHex},             {"vNF", 4, kDigits + "."},    {"vICMS", 4, kDigits + "."},
      {"digVal", 56, kHex},            {"cIdToken", 6, kDigits},     {"cHashQRCode", 40, kHex},
  };
  std::string query = nfce.substr(pathAt + path.size());
  for (const Key& key : keys) {
    SCOPED_TRACE(key.name);
    const std::string prefix = std::string(key.name) + "=";
    ASSERT_EQ(query.rfind(prefix, 0), 0u) << query;
    const std::size_t end = query.find('&');
    const std::string value = query.substr(prefix.size(), end - prefix.size());
    EXPECT_EQ(value.size(), key.length);
    EXPECT_TRUE(AllOf(value, key.allowed)) << value;
    query = end == std::string::npos ? "" : query.substr(end + 1);
  }
  EXPECT_EQ(query, "");
  EXPECT_EQ(nfce.substr(nfce.find("vNF=") + 4, 4)[1], '.');

  const std::string sat = kQRCodeSATContent;
  EXPECT_EQ(sat.size(), 523u);
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (std::size_t bar; (bar = sat.find('|', from)) != std::string::npos; from = bar + 1)
    fields.push_back(sat.substr(from, bar - from));
  fields.push_back(sat.substr(from));
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_EQ(fields[0].size(), 44u);
  EXPECT_TRUE(AllOf(fields[0], kDigits));
  EXPECT_EQ(fields[1].size(), 14u);
  EXPECT_TRUE(AllOf(fields[1], kDigits));
  EXPECT_EQ(fields[2].size(), 6u);
  EXPECT_EQ(fields[2][3], '.');
  EXPECT_EQ(fields[3].size(), 14u);
  EXPECT_TRUE(AllOf(fields[3], kDigits));
  EXPECT_EQ(fields[4].size(), 441u);
  EXPECT_TRUE(AllOf(fields[4], "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="));
}

TEST(LogoTestLinesTest, KeyCodesBecomeTheirCharacters) {
  EXPECT_EQ(LogoTestLines(32, 32, 1, 1)[2], "Logo:    - FatorX: 1 - FatorY: 1");
  EXPECT_EQ(LogoTestLines(65, 66, 4, 2)[2], "Logo: AB - FatorX: 4 - FatorY: 2");
  // A code above 127 is the Latin-1 letter, as UTF-8.
  EXPECT_EQ(LogoTestLines(0xC7, 0x41, 1, 3)[2], "Logo: \xC3\x87" "A - FatorX: 1 - FatorY: 3");
  const std::vector<std::string> lines = LogoTestLines(32, 32, 1, 1);
  EXPECT_EQ(lines[1], "</ce>");
  EXPECT_EQ(lines[3], "</logo>");
}

TEST(InvalidTagsTestLinesTest, StrayBracketsLineIsFortyTwoCharacters) {
  const std::vector<std::string> lines = InvalidTagsTestLines();
  EXPECT_EQ(lines[1], "<CE>*** TESTE DE TAGS INV\xC3\x81LIDAS ***</CE>");
  EXPECT_EQ(lines[2], "<ce> <>tags inv\xC3\xA1lidas no texto\">\">><<</CE>");
  EXPECT_EQ(Characters(lines[2]), 42u);
  EXPECT_EQ(lines[3], "<AD><da><ec></</A Direita</ad>");
}

TEST(CodePageTestLinesTest, TwentyAccentedLetters) {
  const std::vector<std::string> lines = CodePageTestLines();
  EXPECT_EQ(lines[1], "</linha_dupla>");
  EXPECT_EQ(lines[2],
            "\xC3\x81\xC3\x89\xC3\x8D\xC3\x93\xC3\x9A\xC3\xA1\xC3\xA9\xC3\xAD\xC3\xB3\xC3\xBA"
            "\xC3\xA7\xC3\x87\xC3\xA3\xC3\xB5\xC3\x83\xC3\x95\xC3\x8A\xC3\xAA\xC3\x80\xC3\xA0");
  EXPECT_EQ(Characters(lines[2]), 20u);
}

}  // namespace
}  // namespace dovra

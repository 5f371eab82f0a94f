#include "app/TestPrints.h"

#include <string_view>

namespace dovra {

namespace {

// The character with code `code` as UTF-8. Codes above 127 are taken as Latin-1 letters,
// so that the text stays valid UTF-8 for the memo and the code-page step.
std::string CharacterOfCode(std::uint8_t code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  std::string s;
  s += static_cast<char>(0xC0 | (code >> 6));
  s += static_cast<char>(0x80 | (code & 0x3F));
  return s;
}

}  // namespace

std::string ColumnRuler(int columns) {
  const std::string_view ruler(kColumnRuler);
  if (columns <= 0) return {};
  const auto n = static_cast<std::size_t>(columns);
  if (n <= ruler.size()) return std::string(ruler.substr(0, n));
  return std::string(n - ruler.size(), ' ') + std::string(ruler);
}

std::vector<std::string> FontTestLines(int normal, int expanded, int condensed) {
  return {
      "</zera>",
      "</linha_dupla>",
      "FONTE NORMAL: " + std::to_string(normal) + " Colunas",
      ColumnRuler(normal),
      "<e>EXPANDIDO: " + std::to_string(expanded) + " Colunas",
      ColumnRuler(expanded),
      "</e><c>CONDENSADO: " + std::to_string(condensed) + " Colunas",
      ColumnRuler(condensed),
      "</c><n>FONTE NEGRITO</N>",
      "<in>FONTE INVERTIDA</in>",
      "<S>FONTE SUBLINHADA</s>",
      "<i>FONTE ITALICO</i>",
      "FONTE NORMAL",
      "</linha_simples>",
      "<n>LIGA NEGRITO",
      "<i>LIGA ITALICO",
      "<S>LIGA SUBLINHADA",
      "<c>LIGA CONDENSADA",
      "<e>LIGA EXPANDIDA",
      "</fn>FONTE NORMAL",
      "</linha_simples>",
      "<e><n>NEGRITO E EXPANDIDA</n></e>",
      "</fn>FONTE NORMAL",
      "<in><c>INVERTIDA E CONDENSADA</c></in>",
      "</fn>FONTE NORMAL",
      "</linha_simples>",
      "</FB>FONTE TIPO B",
      "<n>FONTE NEGRITO</N>",
      "<e>FONTE EXPANDIDA</e>",
      "<in>FONTE INVERTIDA</in>",
      "<S>FONTE SUBLINHADA</s>",
      "<i>FONTE ITALICO</i>",
      "</FA>FONTE TIPO A",
      "</FN>FONTE NORMAL",
      "</corte_total>",
  };
}

std::vector<std::string> AlignmentTestLines() {
  // The condensed line deliberately closes with </e>: the test shows what the dialect does.
  const std::vector<std::string> fonts = {
      "<n>FONTE NEGRITO</N>",   "<e>FONTE EXPANDIDA</e>",  "<c>FONTE CONDENSADA</e>",
      "<in>FONTE INVERTIDA</in>", "<S>FONTE SUBLINHADA</s>", "<i>FONTE ITALICO</i>",
  };
  std::vector<std::string> lines = {"</zera>", "</linha_dupla>", "TEXTO NORMAL"};
  for (const char* heading :
       {"</ae>ALINHADO A ESQUERDA", "</fn></ce>ALINHADO NO CENTRO", "</fn></ad>ALINHADO A DIREITA"}) {
    lines.push_back(heading);
    lines.push_back("1 2 3 TESTANDO");
    lines.insert(lines.end(), fonts.begin(), fonts.end());
  }
  lines.push_back("</ae></fn>TEXTO NORMAL");
  lines.push_back("</corte_total>");
  return lines;
}

std::vector<std::string> BarcodeTestLines() {
  struct Symbology {
    const char* caption;
    const char* tag;
    const char* code;
  };
  static const Symbology kSymbologies[] = {
      {"EAN 8", "ean8", "1234567"},
      {"EAN13", "ean13", "123456789012"},
      {"std25", "std", "1234567890"},
      {"INT25", "inter", "1234567890"},
      {"CODE11", "code11", "1234567890"},
      {"CODE39", "code39", "ABCDE12345"},
      {"CODE93", "code93", "ABC123abc"},
      {"CODE128", "code128", "$-=+ABC123abc"},
      {"UPCA", "upca", "12345678901"},
      {"CODABAR", "codabar", "A123456789012345A"},
      {"MSI", "msi", "1234567890"},
  };
  std::vector<std::string> lines = {"</zera>", "</ce>", "</linha_dupla>"};
  bool first = true;
  for (const Symbology& s : kSymbologies) {
    if (!first) lines.push_back("</Linha_Simples>");
    first = false;
    const std::string tag = s.tag;
    lines.push_back(std::string(s.caption) + ": " + s.code);
    lines.push_back("<" + tag + ">" + s.code + "</" + tag + ">");
  }
  lines.push_back("</corte_total>");
  return lines;
}

const char* const kQRCodeHomePage = "https://dovrapos.example/";
const char* const kQRCodeForumPage =
    "https://forum.dovrapos.example/viewtopic.php?f=123&t=3456&p=78901#p78901";
const char* const kQRCodeForumPage2 =
    "https://forum.dovrapos.example/viewtopic.php?f=141&t=4021&start=20&p=81234#p81234";
const char* const kQRCodeNFCeAddress =
    "https://homologacao.nfce.fazenda.sefaz.example/NFCeConsultaPublica/Paginas/"
    "ConsultaQRCode.aspx"
    "?chNFe=35240512345678000195650010000000011000000019"
    "&nVersao=100"
    "&tpAmb=2"
    "&dhEmi=323032342d30352d31305431343a33303a30302d30333a3030"
    "&vNF=1.00"
    "&vICMS=0.18"
    "&digVal=35305937537333365a65646d7569726a68306a6c4e707142554e733d"
    "&cIdToken=000001"
    "&cHashQRCode=dee75673969c8d6663696e59d68179bfe1888b3d";
const char* const kQRCodeSATContent =
    "35240512345678000195590000123450001234567891"
    "|20240510143000"
    "|123.45"
    "|12345678000195"
    "|UGqA93oImUlR14Iqt5/A5UksjU/nrBF1t9e8c9SisBoR6NsuRqr9VhwN/CV0ATz0mVfjSON/MMzKTNbtKob0jJzB"
    "Z4RDcwgtcc2hVpzkDFX7643LrAgcv1xROwRXA0kh9AyXaaKGvCkM5clHyUs8HdvEzGivzV3NJnt09Gj8aH+E1Y8/"
    "ZtKK93V321hMuseLNm5sMXZ/ak0YNF6N05YcIIpu1wAdWyA/fWno6bGtJkTy4SX6AmpwdEpUblZJF57ZfhpDNP2a"
    "qrvT78SJeF3rGksI8ZfFmBfQfkI9gYCbYi4yrPoFd+i9QwUP9AIUgz0XROjWXZSVMLs5pG7U1rBT8aCvK4GqnKoG"
    "SzGCXPnCicYsQPCUpjAXMHTZMsgMs4IRYJmhM7wHNmbKn0cQrhEZGT5uxtQT1tmLAEN8ARWaxpSYpQmn4TrF6YglA";

std::vector<std::string> QRCodeTestLines(int tipo, int larguraModulo, int errorLevel) {
  const std::string qrcode = "<qrcode>";
  const std::string end = "</qrcode>";
  const std::string levelZero = "<qrcode_error>0</qrcode_error>";
  return {
      "</zera>",
      "</linha_dupla>",
      "<qrcode_tipo>" + std::to_string(tipo) + "</qrcode_tipo>",
      "<qrcode_largura>" + std::to_string(larguraModulo) + "</qrcode_largura>",
      "<qrcode_error>" + std::to_string(errorLevel) + "</qrcode_error>",
      qrcode + kQRCodeHomePage + end,
      "</ce>",
      qrcode + kQRCodeForumPage + end,
      "</ad>",
      qrcode + kQRCodeForumPage2 + end,
      "</ce>",
      "Exemplo de QRCode para NFCe",
      levelZero + qrcode + kQRCodeNFCeAddress + end,
      "Exemplo de QRCode para SAT",
      levelZero + qrcode + kQRCodeSATContent + end,
      "</corte_total>",
  };
}

std::vector<std::string> LogoTestLines(std::uint8_t keyCode1, std::uint8_t keyCode2,
                                       std::uint8_t fatorX, std::uint8_t fatorY) {
  return {
      "</zera>",
      "</ce>",
      "Logo: " + CharacterOfCode(keyCode1) + CharacterOfCode(keyCode2) +
          " - FatorX: " + std::to_string(fatorX) + " - FatorY: " + std::to_string(fatorY),
      "</logo>",
      "</corte_total>",
  };
}

std::vector<std::string> InvalidTagsTestLines() {
  return {
      "</zera>",
      "<CE>*** TESTE DE TAGS INVÁLIDAS ***</CE>",
      "<ce> <>tags inválidas no texto\">\">><<</CE>",
      "<AD><da><ec></</A Direita</ad>",
      "</corte_total>",
  };
}

std::vector<std::string> CodePageTestLines() {
  return {"</zera>", "</linha_dupla>", "ÁÉÍÓÚáéíóúçÇãõÃÕÊêÀà", "</corte_total>"};
}

}  // namespace dovra

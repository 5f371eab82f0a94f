#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "engine/DovraPosPrinter.h"
#include "tests/engine/EngineTestSupport.h"

namespace dovra::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using ::testing::EndsWith;

using PrinterSetup = std::function<void(TDovraPosPrinter&)>;

struct TagCase {
  std::string text;
  std::string expected;
  PrinterSetup setup = nullptr;
};

std::string Rep(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

// Each case on a fresh printer, so no font state or setting leaks from one case to the next.
void CheckTranslations(const std::vector<TagCase>& cases, bool testDialect) {
  for (const TagCase& c : cases) {
    TDovraPosPrinter p;
    if (testDialect) p.SetDialect(std::make_unique<TTestDialect>(p));
    if (c.setup) c.setup(p);
    EXPECT_EQ(p.TagProcessor().TranslateText(c.text), c.expected) << "text: " << c.text;
  }
}

const PrinterSetup kLinhas2 = [](TDovraPosPrinter& p) { p.SetLinhasEntreCupons(2); };
const PrinterSetup kCols10 = [](TDovraPosPrinter& p) { p.SetColunasFonteNormal(10); };

TEST(TagTranslation, FontAlignmentAndControlTagsUseTheDialectCommands) {
  const std::vector<TagCase> cases = {
      {"<e>x</e>", "{E1}x{E0}"},
      {"<a>x</a>", "{A1}x{A0}"},
      {"<n>x</n>", "{B1}x{B0}"},
      {"<N>x</N>", "{B1}x{B0}"},
      {"<s>x</s>", "{S1}x{S0}"},
      {"<c>x</c>", "{C1}x{C0}"},
      {"<i>x</i>", "{IT1}x{IT0}"},
      {"<in>x</in>", "{IN1}x{IN0}"},
      {"</fb>x</fa>", "{FB}x{FA}"},
      {"</fn>", "{NF}"},
      {"</ae></ce></ad>", "{AL}{AC}{AR}"},
      {"</beep>", "\x1B\xE7\r\n"},
      {"</zera>", "{RST}{DLS}{CP850}"},
      {"</zera>", "{RST}{LS}\x05{CP860}",
       [](TDovraPosPrinter& p) {
         p.SetEspacoEntreLinhas(5);
         p.SetPaginaDeCodigo(pc860);
       }},
      {"</reset>", "{RST}"},
      {"</lf>", " {LB}"},
      {"</cr>", "\r"},
      {"<mp>x</mp>", "{MP1}x{PP}{MP0}"},
      {"</mp_imprimir>", "{PP}"},
      {"</mp_configurar>", "{MPCFG}"},
      {"</logo>", "{LOGO}"},
      {"</logo>", "", [](TDovraPosPrinter& p) { p.ConfigLogo().SetIgnorarLogo(true); }},
      {"<logo_imprimir>0</logo_imprimir></logo>", ""},
      {"<logo_imprimir>yes</logo_imprimir></logo>", "{LOGO}"},
      {"</abre_gaveta>", "{GAV1}"},
      {"<abre_gaveta>2</abre_gaveta>", "{GAV2}"},
      {"<abre_gaveta></abre_gaveta>", "{GAV1}"},
      {"<abre_gaveta>dois</abre_gaveta>", "{GAV1}"},
      {"<desconhecida>x", "<desconhecida>x"},
  };
  CheckTranslations(cases, true);
}

TEST(TagTranslation, LinesFeedsAndCuts) {
  const PrinterSetup noCut = [](TDovraPosPrinter& p) {
    p.SetLinhasEntreCupons(2);
    p.SetCortaPapel(false);
  };
  const std::vector<TagCase> cases = {
      {"</linha_simples>", Rep('-', 48)},
      {"</linha_dupla>", Rep('=', 48)},
      {"<e></linha_dupla>", "{E1}" + Rep('=', 24)},
      {"<c></linha_simples>", "{C1}" + Rep('-', 64)},
      {"<e><c></linha_simples>", "{E1}{C1}" + Rep('-', 64)},
      {"<c></c></linha_simples>", "{C1}{C0}" + Rep('-', 48)},
      {"</linha_simples>", "", [](TDovraPosPrinter& p) { p.SetColunasFonteNormal(-5); }},
      {"</pular_linhas>", " {LB} {LB}", kLinhas2},
      {"</corte_total>", " {LB} {LB}{FC}", kLinhas2},
      {"</corte_parcial>", " {LB} {LB}{PC}", kLinhas2},
      {"</corte_total>", " {LB} {LB}", noCut},
      {"</corte_parcial>", " {LB} {LB}", noCut},
      {"</corte_total>", "{FC}", [](TDovraPosPrinter& p) { p.SetLinhasEntreCupons(0); }},
  };
  CheckTranslations(cases, true);
}

TEST(TagTranslation, AlignmentBlocksFillToTheColumnsOfTheFontAtTheClosingTag) {
  const std::vector<TagCase> cases = {
      {"<ce>abc</ce>", "   abc    ", kCols10},
      {"<ad>abc</ad>", "       abc", kCols10},
      {"<ae>abc</ae>", "abc       ", kCols10},
      {"<ad>abcdefghijkl</ad>", "abcdefghij", kCols10},
      {"<CE>abc</Ce>", "   abc    ", kCols10},
      // Command bytes produced inside the block count as characters.
      {"<ce><n>ab</n></ce>", "  {B1}ab{B0}  ",
       [](TDovraPosPrinter& p) { p.SetColunasFonteNormal(14); }},
      // Expanded switched off inside the block: the normal width applies.
      {"<ce><e>T</e></ce>", "{E1}T{E0} ", kCols10},
      // Expanded around the block: the expanded width applies.
      {"<e><ce>T</ce></e>", "{E1}  T  {E0}", kCols10},
      {"<ae>abc</ae>", "{DIALETO-AE:abc}",
       [](TDovraPosPrinter& p) {
         static_cast<TTestDialect&>(p.Dialect()).handleAeBlocks = true;
       }},
  };
  CheckTranslations(cases, true);
}

TEST(TagTranslation, BarcodeContentIsCleanedAndCutBeforeTheDialectSeesIt) {
  const std::vector<TagCase> cases = {
      {"<ean13>789-1234 5678</ean13>", "{<ean13>078912345678}"},
      {"<EAN13>1234567890123456</EAN13>", "{<ean13>123456789012}"},
      {"<ean8>123</ean8>", "{<ean8>0000123}"},
      {"<upca>123</upca>", "{<upca>00000000123}"},
      {"<upce>12-3</upce>", "{<upce>123}"},
      {"<std>1a2</std>", "{<std>12}"},
      {"<code11>1-2</code11>", "{<code11>12}"},
      {"<msi>1a2</msi>", "{<msi>12}"},
      {"<code128c>12ab34</code128c>", "{<code128c>1234}"},
      {"<inter>12345</inter>", "{<inter>012345}"},
      {"<inter>1234</inter>", "{<inter>1234}"},
      {"<code39>ab-12</code39>", "{<code39>-12}"},
      {"<code39>A $%*+-./Z?_</code39>", "{<code39>A $%*+-./Z}"},
      {"<code93>AB\xC7" "c\x7F</code93>", "{<code93>ABc\x7F}"},
      {"<codabar>A12x:d-</codabar>", "{<codabar>A12:d-}"},
      {"<code128>$-=+ABC123abc</code128>", "{<code128>$-=+ABC123abc}"},
      {"<code128a>a b</code128a><code128b>\xE7</code128b>", "{<code128a>a b}{<code128b>\xE7}"},
      {"<code128>" + Rep('A', 300) + "</code128>", "{<code128>" + Rep('A', 255) + "}"},
      {"<std>" + Rep('7', 300) + "</std>", "{<std>" + Rep('7', 255) + "}"},
      // QR codes take their content as it is, neither cleaned nor cut.
      {"<qrcode>Abc 1-2</qrcode>", "{QR Abc 1-2}"},
      {"<qrcode>" + Rep('q', 300) + "</qrcode>", "{QR " + Rep('q', 300) + "}"},
  };
  CheckTranslations(cases, true);
}

TEST(TagTranslation, PlainTextDialectPrintsTextLineBreaksAndBarcodeDigitsOnly) {
  const std::vector<TagCase> cases = {
      {"<n>neg</n> <e>x</e><c></c><s></s><i></i></fn></fb></fa>", "neg x"},
      {"</corte_total>", " \r\n \r\n", kLinhas2},
      {"</lf></cr>", " \r\n\r"},
      {"<ean13>123</ean13>", "000000000123"},
      {"</zera>a</reset>", "a"},
      {"<qrcode>x</qrcode></logo></abre_gaveta></beep><mp></mp_configurar>", ""},
      {"<ce>ab</ce>", Rep(' ', 23) + "ab" + Rep(' ', 23)},
      {"</linha_dupla>", Rep('=', 48)},
  };
  CheckTranslations(cases, false);
}

TEST(TagTranslation, FontTagsChangeTheStateAfterAskingTheDialect) {
  struct Case {
    const char* text;
    TDovraPosFontState state;
  };
  const Case cases[] = {
      {"<n><s><c>", {fkNormal, fkBold, fkUnderline, fkCondensed}},
      {"<e><a><i><in>", {fkNormal, fkExpanded, fkDoubleHeight, fkItalic, fkInverted}},
      {"<n></n><e></e>", {fkNormal}},
      {"</fb>", {fkNormal, fkFontB}},
      {"</fb></fa>", {fkNormal}},
      {"</fb><n><s><c><e><a><i><in></fn>", {fkNormal, fkFontB}},
      {"</fb><n><e></zera>", {fkNormal, fkFontB}},
      {"</fb><n><c></reset>", {fkNormal, fkFontB}},
  };
  for (const Case& c : cases) {
    TDovraPosPrinter p;
    p.TagProcessor().TranslateText(c.text);
    EXPECT_EQ(p.FontState().Bits(), c.state.Bits()) << c.text;
  }

  TDovraPosPrinter p;
  auto owned = std::make_unique<TTestDialect>(p);
  TTestDialect& d = *owned;
  p.SetDialect(std::move(owned));
  p.TagProcessor().TranslateText("<n></n>");
  ASSERT_EQ(d.stateSeenByFontCommand.size(), 2u);
  EXPECT_FALSE(d.stateSeenByFontCommand[0].Contains(fkBold));
  EXPECT_TRUE(d.stateSeenByFontCommand[1].Contains(fkBold));
}

TEST(TagTranslation, AlignmentAndInitializedFollowTheirTags) {
  TDovraPosPrinter p;
  p.TagProcessor().TranslateText("</ce>");
  EXPECT_EQ(p.Alignment(), paCenter);
  p.TagProcessor().TranslateText("</ad></fn></zera></reset>");
  EXPECT_EQ(p.Alignment(), paRight);
  p.TagProcessor().TranslateText("</ae>");
  EXPECT_EQ(p.Alignment(), paLeft);

  p.TagProcessor().TranslateText("</zera>");
  EXPECT_TRUE(p.Initialized());
  p.TagProcessor().TranslateText("</reset>");
  EXPECT_FALSE(p.Initialized());
}

// Setting blocks print nothing; a content that does not read keeps the setting, except for
// the page-mode direction, which goes back to 0.
TEST(TagTranslation, SettingBlocksReadIntegersAndBooleans) {
  struct Case {
    std::string text;
    std::function<int(TDovraPosPrinter&)> read;
    int expected;
  };
  using P = TDovraPosPrinter;
  const auto altura = [](P& p) { return p.ConfigBarras().Altura(); };
  const auto largura = [](P& p) { return p.ConfigBarras().LarguraLinha(); };
  const auto mostrar = [](P& p) { return p.ConfigBarras().MostrarCodigo() ? 1 : 0; };
  const auto ignorar = [](P& p) { return p.ConfigLogo().IgnorarLogo() ? 1 : 0; };
  const auto qrLargura = [](P& p) { return p.ConfigQRCode().LarguraModulo(); };
  const auto qrTipo = [](P& p) { return p.ConfigQRCode().Tipo(); };
  const auto qrError = [](P& p) { return p.ConfigQRCode().ErrorLevel(); };
  const auto direcao = [](P& p) { return int(p.ConfigModoPagina().Direcao()); };
  const auto esquerda = [](P& p) { return p.ConfigModoPagina().Esquerda(); };
  const auto topo = [](P& p) { return p.ConfigModoPagina().Topo(); };
  const auto mpLargura = [](P& p) { return p.ConfigModoPagina().Largura(); };
  const auto mpAltura = [](P& p) { return p.ConfigModoPagina().Altura(); };
  const auto espaco = [](P& p) { return int(p.ConfigModoPagina().EspacoEntreLinhas()); };
  const auto kc1 = [](P& p) { return int(p.ConfigLogo().KeyCode1()); };
  const auto kc2 = [](P& p) { return int(p.ConfigLogo().KeyCode2()); };
  const auto fatorX = [](P& p) { return int(p.ConfigLogo().FatorX()); };
  const auto fatorY = [](P& p) { return int(p.ConfigLogo().FatorY()); };
  const std::vector<Case> cases = {
      // Integer readings, on a setting that starts at 7.
      {"<barra_altura>$1F</barra_altura>", altura, 31},
      {"<barra_altura>0x1F</barra_altura>", altura, 31},
      {"<barra_altura>0X1f</barra_altura>", altura, 31},
      {"<barra_altura> 12</barra_altura>", altura, 12},
      {"<barra_altura>+12</barra_altura>", altura, 12},
      {"<barra_altura>-12</barra_altura>", altura, -12},
      {"<barra_altura>-$10</barra_altura>", altura, -16},
      {"<barra_altura>$FFFFFFFF</barra_altura>", altura, -1},
      {"<barra_altura>2147483647</barra_altura>", altura, 2147483647},
      {"<barra_altura>-2147483648</barra_altura>", altura, -2147483647 - 1},
      {"<barra_altura>2147483648</barra_altura>", altura, 7},
      {"<barra_altura>$100000000</barra_altura>", altura, 7},
      {"<barra_altura>12 </barra_altura>", altura, 7},
      {"<barra_altura></barra_altura>", altura, 7},
      {"<barra_altura> </barra_altura>", altura, 7},
      {"<barra_altura>$</barra_altura>", altura, 7},
      {"<barra_altura>0x</barra_altura>", altura, 7},
      {"<barra_altura>1.5</barra_altura>", altura, 7},
      {"<barra_altura>$1G</barra_altura>", altura, 7},
      {"<barra_altura>- 1</barra_altura>", altura, 7},
      {"<barra_largura>3</barra_largura>", largura, 3},
      // Boolean readings, on settings that start true.
      {"<barra_mostrar>0</barra_mostrar>", mostrar, 0},
      {"<barra_mostrar>false</barra_mostrar>", mostrar, 0},
      {"<barra_mostrar>FALSE</barra_mostrar>", mostrar, 0},
      {"<barra_mostrar>$0</barra_mostrar>", mostrar, 0},
      {"<barra_mostrar>sim</barra_mostrar>", mostrar, 1},
      {"<barra_mostrar></barra_mostrar>", mostrar, 1},
      {"<barra_mostrar>False </barra_mostrar>", mostrar, 1},
      {"<logo_imprimir>0</logo_imprimir>", ignorar, 1},
      {"<logo_imprimir>True</logo_imprimir>", ignorar, 0},
      {"<logo_imprimir>-3</logo_imprimir>", ignorar, 0},
      {"<logo_imprimir>yes</logo_imprimir>", ignorar, 1},
      // Clamped QR settings.
      {"<qrcode_largura>99</qrcode_largura>", qrLargura, 16},
      {"<qrcode_largura>x</qrcode_largura>", qrLargura, 4},
      {"<qrcode_tipo>x</qrcode_tipo>", qrTipo, 2},
      {"<qrcode_tipo>1</qrcode_tipo>", qrTipo, 1},
      {"<qrcode_error>-1</qrcode_error>", qrError, 0},
      {"<qrcode_error>2</qrcode_error>", qrError, 2},
      // Page mode, on a direction that starts at 3.
      {"<mp_direcao>2</mp_direcao>", direcao, 2},
      {"<mp_direcao>x</mp_direcao>", direcao, 0},
      {"<mp_direcao>258</mp_direcao>", direcao, 2},
      {"<mp_esquerda>10</mp_esquerda>", esquerda, 10},
      {"<mp_topo>$20</mp_topo>", topo, 32},
      {"<mp_largura>500</mp_largura>", mpLargura, 500},
      {"<mp_altura>x</mp_altura>", mpAltura, 0},
      {"<mp_espaco>300</mp_espaco>", espaco, 44},
      // Logo bytes keep the low 8 bits.
      {"<logo_kc1>48</logo_kc1>", kc1, 48},
      {"<logo_kc2>$31</logo_kc2>", kc2, 49},
      {"<logo_kc2>um</logo_kc2>", kc2, 32},
      {"<logo_fatorx>257</logo_fatorx>", fatorX, 1},
      {"<logo_fatory>4</logo_fatory>", fatorY, 4},
  };
  for (const Case& c : cases) {
    TDovraPosPrinter p;
    p.ConfigBarras().SetAltura(7);
    p.ConfigBarras().SetMostrarCodigo(true);
    p.ConfigModoPagina().SetDirecao(dirBaixoParaTopo);
    p.ConfigLogo().SetIgnorarLogo(true);
    EXPECT_EQ(p.TagProcessor().TranslateText(c.text + "|"), "|") << c.text;
    EXPECT_EQ(c.read(p), c.expected) << c.text;
  }
}

TEST(TagTranslation, TranslationsAreLoggedInBracketNotation) {
  TDovraPosPrinter p;
  p.SetDialect(std::make_unique<TTestDialect>(p));
  p.SetColunasFonteNormal(6);
  std::vector<std::string> log;
  p.SetOnGravarLog([&](const std::string& line, bool&) { log.push_back(line); });
  p.TagProcessor().TranslateText("</beep><ce>\x1B</ce><nada>");
  EXPECT_THAT(log, ElementsAre("TraduzirTag(</beep>) -> [ESC][231][CR][LF]",
                               "TraduzirTagBloco(<ce>, [ESC]) ->   [ESC]   "));
}

const std::vector<std::string> kTagList = {
    "<e> - Liga Expandido",
    "</e> - Desliga Expandido",
    "<a> - Liga Altura Dupla",
    "</a> - Desliga Altura Dupla",
    "<n> - Liga Negrito",
    "</n> - Desliga Negrito",
    "<s> - Liga Sublinhado",
    "</s> - Desliga Sublinhado",
    "<c> - Liga Condensado",
    "</c> - Desliga Condensado",
    "<i> - Liga Italico",
    "</i> - Desliga Italico",
    "</fn> - Fonte Normal",
    "</fa> - Liga Fonte Tipo A (normal)",
    "</fb> - Liga Fonte Tipo B (condensada)",
    "<in> - Liga Fonte Invertida (Fundo Preto)",
    "</in> - Desliga Fonte Invertida",
    "</ae> - Liga Alinhamento a Esquerda",
    "</ce> - Liga Alinhamento ao Centro",
    "</ad> - Liga Alinhamento a Direita",
    "</linha_simples> - Imprime Linha Simples",
    "</linha_dupla> - Imprime Linha Dupla",
    "</pular_linhas> - Pula N Linhas de acordo com propriedade do componente",
    "</logo> - Imprime Logotipo já gravado na Impressora (use utilitário do fabricante)",
    "</corte_parcial> - Efetua Corte Parcial no Papel (não disponivel em alguns modelos)",
    "</corte_total> - Efetua Corte Total no papel",
    "</abre_gaveta> - Aciona a abertura da Gaveta de Dinheiro",
    "</beep> - Emite um Beep na Impressora (não disponivel em alguns modelos)",
    "</zera> - Reseta as configurações de Fonte Alinhamento.<LF>Ajusta Página de Código e "
    "Espaço entre Linhas",
    "</lf> - Pula para a própxima linha",
    "</cr> - Retorna para o Inicio da Linha",
    "</reset> - Reseta as configurações de Fonte Alinhamento",
    "<ad> - Bloco - Texto Alinhado a Direita",
    "<ae> - Bloco - Texto Alinhado a Esquerda",
    "<ce> - Bloco - Texto Centralizado",
    "<ean8> - Bloco - Cod.Barras EAN8 - 7 numeros e 1 dig.verificador",
    "<ean13> - Bloco - Cod.Barras EAN13 - 12 numeros e 1 dig.verificador",
    "<std> - Bloco - Cod.Barras \"Standard 2 of 5\" - apenas números, tamanho livre",
    "<inter> - Bloco - Cod.Barras \"Interleaved 2 of 5\" - apenas números, tamanho PAR",
    "<code11> - Bloco - Cod.Barras Code11 - apenas números, tamanho livre",
    "<code39> - Bloco - Cod.Barras Code39 - Aceita: 0..9,A..Z, ,$,%,*,+,-,.,/, tamanho livre",
    "<code93> - Bloco - Cod.Barras Code93 - Aceita: 0..9,A..Z,-,., ,$,/,+,%, tamanho livre",
    "<code128> - Bloco - Cod.Barras Code128 - Todos os caracteres ASCII, tamanho livre",
    "<upca> - Bloco - Cod.Barras UPCA - 11 numeros e 1 dig.verificador",
    "<upce> - Bloco - Cod.Barras UPCE - 11 numeros e 1 dig.verificador",
    "<codabar> - Bloco - Cod.Barras CodaBar - Aceita: 0..9,A..D,a..d,$,+,-,.,/,:, tamanho livre",
    "<msi> - Bloco - Cod.Barra MSI - Apenas números, 1 dígito verificador",
    "<code128a> - Bloco - Cod.Barras Code128 - Subtipo A",
    "<code128b> - Bloco - Cod.Barras Code128 - Subtipo B (padrão) = <code128>",
    "<code128c> - Bloco - Cod.Barras Code128 - Subtipo C (informar valores em BCD)",
    "<qrcode> - Bloco - Cod.Barras QrCode",
    "<abre_gaveta> - Bloco - Abertura de Gaveta Específica (1 ou 2)",
    "<barra_mostrar> - Bloco - Configura se deve exibir conteudo abaixo do Cod.Barras: 0-NAO; "
    "1-SIM",
    "<barra_largura> - Bloco - Configura a Largura das Barras do Cod.Barras: 0 a 5. (0=default)",
    "<barra_altura> - Bloco - Configura a Altura do Cod.Barras: 0 a 255. (0=default)",
    "<qrcode> - Bloco - Imprime QRCode de acordo com \"ConfigQRCode\"",
    "<qrcode_tipo> - Bloco - Configura o Tipo de QRCode: 1,2",
    "<qrcode_largura> - Bloco - Configura a Largura do QRCode: 1 a 16",
    "<qrcode_error> - Bloco - Configura o Error Level do QRCode: 0 a 3",
    "<mp> - Liga Modo de Impressão em Página (em memória)",
    "</mp> - Desliga Modo de Impressão Página (em memória)",
    "</mp_imprimir> - Comanda a Impressão da Página na memória",
    "<mp_direcao> - Bloco - Direção Texto no Modo Página: 0-Esquerda/Direta, 1-Topo/Baixo, "
    "2-Direita/Esquerda, 3-Baixo/Topo",
    "<mp_esquerda> - Bloco - Posição Inicial Horizontal Modo Página (Esquerda)",
    "<mp_topo> - Bloco - Posição Inicial Vertical Modo Página (Topo)",
    "<mp_largura> - Bloco - Largura da Região no Modo Página",
    "<mp_altura> - Bloco - Altura da Região no Modo Página",
    "<mp_espaco> - Bloco - Espaço entre Linhas na Região no Modo Página",
    "</mp_configurar> - Envia a configuração de Coordenadas da Região e direção do Modo Página",
    "<logo_imprimir> - Bloco - Configura a Impressão ou não do Logo Tipo: 0-NÃO, 1-SIM "
    "(default = 1)",
    "<logo_kc1> - Bloco - Configura a posição KC1 do Logo a ser impresso. Ex: 0=48",
    "<logo_kc2> - Bloco - Configura a posição KC2 do Logo a ser impresso. Ex: 1=49",
    "<logo_fatorx> - Bloco - Configura o aumento Horizonal do Logo, de 1 a 4",
    "<logo_fatory> - Bloco - Configura o aumento Vertical do Logo, de 1 a 4",
    "<ignorar_tags> - Bloco - Ignora todas as Tags contidas no Bloco",
};

TEST(TagList, ListsEveryRegistrationInOrderWithItsHelpText) {
  TDovraPosPrinter p;
  std::vector<std::string> list = {"antiga"};
  p.ListTags(list, true);
  EXPECT_EQ(list, kTagList);

  p.ListTags(list, false);
  ASSERT_EQ(list.size(), kTagList.size());
  EXPECT_EQ(list.front(), "<e>");
  EXPECT_EQ(list[50], "<qrcode>");
  EXPECT_EQ(list.back(), "<ignorar_tags>");
}

class TagListPrint : public PrinterFixture {
 protected:
  void SetUp() override {
    UseTestDialect();
    printer.SetPaginaDeCodigo(pcUTF8);  // the help texts reach the port as written
    printer.SetOnEnviarStringDevice([this](const std::string& bytes, bool& tratado) {
      taken.push_back(bytes);
      tratado = true;
    });
    printer.SetPorta(FilePort());
    printer.Ativar();
  }
  std::vector<std::string> taken;
};

TEST_F(TagListPrint, PrintsTheListLiterallyInCondensedFontAndCuts) {
  printer.LineBuffer().Add("esperando");  // discarded: the list replaces what was waiting
  printer.PrintTagList();
  std::string expected = "{RST}{DLS}{CP65001}{C1}{LB}";
  for (const std::string& line : kTagList) expected += line + "{LB}";
  expected += "{LB}";
  for (int i = 0; i < 21; ++i) expected += " {LB}";
  expected += "{FC}{LB}";
  EXPECT_THAT(taken, ElementsAre(expected));
  EXPECT_TRUE(printer.LineBuffer().Empty());
}

TEST_F(TagListPrint, SmallLineBufferFlushesTheLinesUnwrappedWhileFilling) {
  printer.SetLinhasBuffer(10);
  printer.PrintTagList();
  ASSERT_GE(taken.size(), 2u);
  // The first eleven lines went out before the wrapper was added, so their tags were translated.
  EXPECT_THAT(taken[0], StartsWith("{DLS}{CP65001}{E1} - Liga Expandido{LB}"
                                   "{E0} - Desliga Expandido{LB}"));
  EXPECT_THAT(taken.back(), EndsWith("{FC}{LB}"));
  EXPECT_TRUE(printer.LineBuffer().Empty());
}

}  // namespace
}  // namespace dovra::test

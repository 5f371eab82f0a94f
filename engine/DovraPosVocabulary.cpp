// The tag vocabulary: what the printer registers in its tag processor, and what each tag turns
// into through the current dialect.
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "engine/DovraPosPrinter.h"
#include "util/Numbers.h"
#include "util/TextFit.h"

namespace dovra {

namespace {

enum class Action {
  None,
  Font,
  NormalFont,
  AlignLeft,
  AlignCenter,
  AlignRight,
  SingleLine,
  DoubleLine,
  SkipLines,
  Logo,
  PartialCut,
  FullCut,
  Drawer,
  Beep,
  Zera,
  LineFeed,
  CarriageReturn,
  Reset,
  PageModeOn,
  PageModeOff,
  PrintPage,
  PageModeSetup,
  // Blocks.
  FitLeft,
  FitRight,
  FitCenter,
  Barcode,
  DrawerNumber,
  BarraMostrar,
  BarraLargura,
  BarraAltura,
  QRCode,
  QRCodeTipo,
  QRCodeLargura,
  QRCodeError,
  MpDirecao,
  MpEsquerda,
  MpTopo,
  MpLargura,
  MpAltura,
  MpEspaco,
  LogoImprimir,
  LogoKc1,
  LogoKc2,
  LogoFatorX,
  LogoFatorY,
};

// How a barcode block's content is cleaned before it reaches the dialect.
enum class Clean { Unchanged, Digits, DigitsFit, DigitsEven, KeepSet, Ascii };

struct TagDef {
  const char* name;
  const char* help;
  Action action;
  TDovraPosFontKind kind = fkNormal;  // Font: the feature switched
  bool on = false;                    // Font: on or off
  Clean clean = Clean::Unchanged;     // Barcode
  int width = 0;                      // Barcode, DigitsFit: zero-filled or cut to this
  const char* allowed = nullptr;      // Barcode, KeepSet
};

TagDef FontTag(const char* name, const char* help, TDovraPosFontKind kind, bool on) {
  TagDef d{name, help, Action::Font};
  d.kind = kind;
  d.on = on;
  return d;
}

TagDef BarTag(const char* name, const char* help, Clean clean, int width = 0,
              const char* allowed = nullptr) {
  TagDef d{name, help, Action::Barcode};
  d.clean = clean;
  d.width = width;
  d.allowed = allowed;
  return d;
}

const TagDef kGroupFont[] = {
    FontTag("<e>", "Liga Expandido", fkExpanded, true),
    FontTag("</e>", "Desliga Expandido", fkExpanded, false),
    FontTag("<a>", "Liga Altura Dupla", fkDoubleHeight, true),
    FontTag("</a>", "Desliga Altura Dupla", fkDoubleHeight, false),
    FontTag("<n>", "Liga Negrito", fkBold, true),
    FontTag("</n>", "Desliga Negrito", fkBold, false),
    FontTag("<s>", "Liga Sublinhado", fkUnderline, true),
    FontTag("</s>", "Desliga Sublinhado", fkUnderline, false),
    FontTag("<c>", "Liga Condensado", fkCondensed, true),
    FontTag("</c>", "Desliga Condensado", fkCondensed, false),
    FontTag("<i>", "Liga Italico", fkItalic, true),
    FontTag("</i>", "Desliga Italico", fkItalic, false),
    {"</fn>", "Fonte Normal", Action::NormalFont},
};

const TagDef kGroupFontType[] = {
    FontTag("</fa>", "Liga Fonte Tipo A (normal)", fkFontB, false),
    FontTag("</fb>", "Liga Fonte Tipo B (condensada)", fkFontB, true),
    FontTag("<in>", "Liga Fonte Invertida (Fundo Preto)", fkInverted, true),
    FontTag("</in>", "Desliga Fonte Invertida", fkInverted, false),
    {"</ae>", "Liga Alinhamento a Esquerda", Action::AlignLeft},
    {"</ce>", "Liga Alinhamento ao Centro", Action::AlignCenter},
    {"</ad>", "Liga Alinhamento a Direita", Action::AlignRight},
};

const TagDef kGroupLines[] = {
    {"</linha_simples>", "Imprime Linha Simples", Action::SingleLine},
    {"</linha_dupla>", "Imprime Linha Dupla", Action::DoubleLine},
    {"</pular_linhas>", "Pula N Linhas de acordo com propriedade do componente",
     Action::SkipLines},
};

const TagDef kGroupControl[] = {
    {"</logo>", "Imprime Logotipo já gravado na Impressora (use utilitário do fabricante)",
     Action::Logo},
    {"</corte_parcial>", "Efetua Corte Parcial no Papel (não disponivel em alguns modelos)",
     Action::PartialCut},
    {"</corte_total>", "Efetua Corte Total no papel", Action::FullCut},
    {"</abre_gaveta>", "Aciona a abertura da Gaveta de Dinheiro", Action::Drawer},
    {"</beep>", "Emite um Beep na Impressora (não disponivel em alguns modelos)", Action::Beep},
    {"</zera>",
     "Reseta as configurações de Fonte Alinhamento.<LF>Ajusta Página de Código e Espaço entre "
     "Linhas",
     Action::Zera},
    {"</lf>", "Pula para a própxima linha", Action::LineFeed},
    {"</cr>", "Retorna para o Inicio da Linha", Action::CarriageReturn},
    {"</reset>", "Reseta as configurações de Fonte Alinhamento", Action::Reset},
};

const TagDef kGroupAlignBlocks[] = {
    {"<ad>", "Texto Alinhado a Direita", Action::FitRight},
    {"<ae>", "Texto Alinhado a Esquerda", Action::FitLeft},
    {"<ce>", "Texto Centralizado", Action::FitCenter},
};

constexpr const char* kCode39Chars = " $%*+-./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* kCodabarChars = "$+-./0123456789:ABCDabcd";

const TagDef kGroupBarcodes[] = {
    BarTag("<ean8>", "Cod.Barras EAN8 - 7 numeros e 1 dig.verificador", Clean::DigitsFit, 7),
    BarTag("<ean13>", "Cod.Barras EAN13 - 12 numeros e 1 dig.verificador", Clean::DigitsFit, 12),
    BarTag("<std>", "Cod.Barras \"Standard 2 of 5\" - apenas números, tamanho livre",
           Clean::Digits),
    BarTag("<inter>", "Cod.Barras \"Interleaved 2 of 5\" - apenas números, tamanho PAR",
           Clean::DigitsEven),
    BarTag("<code11>", "Cod.Barras Code11 - apenas números, tamanho livre", Clean::Digits),
    BarTag("<code39>", "Cod.Barras Code39 - Aceita: 0..9,A..Z, ,$,%,*,+,-,.,/, tamanho livre",
           Clean::KeepSet, 0, kCode39Chars),
    BarTag("<code93>", "Cod.Barras Code93 - Aceita: 0..9,A..Z,-,., ,$,/,+,%, tamanho livre",
           Clean::Ascii),
    BarTag("<code128>", "Cod.Barras Code128 - Todos os caracteres ASCII, tamanho livre",
           Clean::Unchanged),
    BarTag("<upca>", "Cod.Barras UPCA - 11 numeros e 1 dig.verificador", Clean::DigitsFit, 11),
    BarTag("<upce>", "Cod.Barras UPCE - 11 numeros e 1 dig.verificador", Clean::Digits),
    BarTag("<codabar>",
           "Cod.Barras CodaBar - Aceita: 0..9,A..D,a..d,$,+,-,.,/,:, tamanho livre",
           Clean::KeepSet, 0, kCodabarChars),
    BarTag("<msi>", "Cod.Barra MSI - Apenas números, 1 dígito verificador", Clean::Digits),
    BarTag("<code128a>", "Cod.Barras Code128 - Subtipo A", Clean::Unchanged),
    BarTag("<code128b>", "Cod.Barras Code128 - Subtipo B (padrão) = <code128>", Clean::Unchanged),
    BarTag("<code128c>", "Cod.Barras Code128 - Subtipo C (informar valores em BCD)",
           Clean::Digits),
    {"<qrcode>", "Cod.Barras QrCode", Action::QRCode},
};

struct SingleDef {
  TagDef def;
  bool isBlock;
};

const SingleDef kGroupSingles[] = {
    {{"<abre_gaveta>", "Abertura de Gaveta Específica (1 ou 2)", Action::DrawerNumber}, true},
    {{"<barra_mostrar>",
      "Configura se deve exibir conteudo abaixo do Cod.Barras: 0-NAO; 1-SIM",
      Action::BarraMostrar},
     true},
    {{"<barra_largura>", "Configura a Largura das Barras do Cod.Barras: 0 a 5. (0=default)",
      Action::BarraLargura},
     true},
    {{"<barra_altura>", "Configura a Altura do Cod.Barras: 0 a 255. (0=default)",
      Action::BarraAltura},
     true},
    {{"<qrcode>", "Imprime QRCode de acordo com \"ConfigQRCode\"", Action::QRCode}, true},
    {{"<qrcode_tipo>", "Configura o Tipo de QRCode: 1,2", Action::QRCodeTipo}, true},
    {{"<qrcode_largura>", "Configura a Largura do QRCode: 1 a 16", Action::QRCodeLargura}, true},
    {{"<qrcode_error>", "Configura o Error Level do QRCode: 0 a 3", Action::QRCodeError}, true},
    {{"<mp>", "Liga Modo de Impressão em Página (em memória)", Action::PageModeOn}, false},
    {{"</mp>", "Desliga Modo de Impressão Página (em memória)", Action::PageModeOff}, false},
    {{"</mp_imprimir>", "Comanda a Impressão da Página na memória", Action::PrintPage}, false},
    {{"<mp_direcao>",
      "Direção Texto no Modo Página: 0-Esquerda/Direta, 1-Topo/Baixo, 2-Direita/Esquerda, "
      "3-Baixo/Topo",
      Action::MpDirecao},
     true},
    {{"<mp_esquerda>", "Posição Inicial Horizontal Modo Página (Esquerda)", Action::MpEsquerda},
     true},
    {{"<mp_topo>", "Posição Inicial Vertical Modo Página (Topo)", Action::MpTopo}, true},
    {{"<mp_largura>", "Largura da Região no Modo Página", Action::MpLargura}, true},
    {{"<mp_altura>", "Altura da Região no Modo Página", Action::MpAltura}, true},
    {{"<mp_espaco>", "Espaço entre Linhas na Região no Modo Página", Action::MpEspaco}, true},
    {{"</mp_configurar>",
      "Envia a configuração de Coordenadas da Região e direção do Modo Página",
      Action::PageModeSetup},
     false},
    {{"<logo_imprimir>",
      "Configura a Impressão ou não do Logo Tipo: 0-NÃO, 1-SIM (default = 1)",
      Action::LogoImprimir},
     true},
    {{"<logo_kc1>", "Configura a posição KC1 do Logo a ser impresso. Ex: 0=48", Action::LogoKc1},
     true},
    {{"<logo_kc2>", "Configura a posição KC2 do Logo a ser impresso. Ex: 1=49", Action::LogoKc2},
     true},
    {{"<logo_fatorx>", "Configura o aumento Horizonal do Logo, de 1 a 4", Action::LogoFatorX},
     true},
    {{"<logo_fatory>", "Configura o aumento Vertical do Logo, de 1 a 4", Action::LogoFatorY},
     true},
    {{"<ignorar_tags>", "Ignora todas as Tags contidas no Bloco", Action::None}, true},
};

// Lookup by tag name (first registration wins), one map for simple tags and one for blocks.
struct Vocabulary {
  std::unordered_map<std::string, const TagDef*> simple;
  std::unordered_map<std::string, const TagDef*> blocks;

  Vocabulary() {
    AddAll(simple, kGroupFont);
    AddAll(simple, kGroupFontType);
    AddAll(simple, kGroupLines);
    AddAll(simple, kGroupControl);
    AddAll(blocks, kGroupAlignBlocks);
    AddAll(blocks, kGroupBarcodes);
    for (const SingleDef& s : kGroupSingles)
      (s.isBlock ? blocks : simple).emplace(s.def.name, &s.def);
  }
  template <std::size_t N>
  static void AddAll(std::unordered_map<std::string, const TagDef*>& map, const TagDef (&defs)[N]) {
    for (const TagDef& d : defs) map.emplace(d.name, &d);
  }
};

const Vocabulary& Vocab() {
  static const Vocabulary v;
  return v;
}

template <std::size_t N>
void RegisterGroup(TDovraTagProcessor& tags, const TagDef (&defs)[N], bool isBlock) {
  std::vector<std::string> names;
  std::vector<std::string> helps;
  for (const TagDef& d : defs) {
    names.emplace_back(d.name);
    helps.emplace_back(d.help);
  }
  tags.AddTags(names, helps, isBlock);
}

constexpr TDovraPosFontKind kStyleKinds[] = {fkCondensed, fkExpanded, fkBold,        fkUnderline,
                                            fkInverted,  fkItalic,   fkDoubleHeight};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Tag contents may use all 32 bits in hexadecimal ("$FFFFFFFF" is -1).
bool ReadTagInteger(std::string_view text, int& value) {
  const std::optional<int> n = ReadInteger(text, {.hexUsesAllBits = true});
  if (n) value = *n;
  return n.has_value();
}

// A number (zero is false) or the words True and False in any letter case.
bool ReadTagBoolean(std::string_view text, bool& value) {
  int n = 0;
  if (ReadTagInteger(text, n)) {
    value = n != 0;
    return true;
  }
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  if (lower == "true" || lower == "false") {
    value = lower == "true";
    return true;
  }
  return false;
}

}  // namespace

void TDovraPosPrinter::RegisterVocabulary() {
  RegisterGroup(tags_, kGroupFont, false);
  RegisterGroup(tags_, kGroupFontType, false);
  RegisterGroup(tags_, kGroupLines, false);
  RegisterGroup(tags_, kGroupControl, false);
  RegisterGroup(tags_, kGroupAlignBlocks, true);
  RegisterGroup(tags_, kGroupBarcodes, true);
  for (const SingleDef& s : kGroupSingles) {
    TDovraTag& tag = tags_.Tags().AddNew();
    tag.SetName(s.def.name);
    tag.SetHelpText(s.def.help);
    tag.SetIsBlock(s.isBlock);
  }
}

std::string TDovraPosPrinter::TraduzirTag(const std::string& tag) {
  std::string result;
  const auto& simple = Vocab().simple;
  const auto it = simple.find(tag);
  if (it != simple.end()) {
    const TagDef& d = *it->second;
    TDovraPosPrinterClass& dl = *dialect_;
    const TDovraPosComandos& cmd = dl.Commands();
    switch (d.action) {
      case Action::Font:
        result = dl.FontCommand(d.kind, d.on);
        if (d.on)
          fontState_.Include(d.kind);
        else
          fontState_.Exclude(d.kind);
        break;
      case Action::NormalFont:
        result = cmd.NormalFont;
        for (TDovraPosFontKind k : kStyleKinds) fontState_.Exclude(k);
        break;
      case Action::AlignLeft:
        result = cmd.AlignLeft;
        alignment_ = paLeft;
        break;
      case Action::AlignCenter:
        result = cmd.AlignCenter;
        alignment_ = paCenter;
        break;
      case Action::AlignRight:
        result = cmd.AlignRight;
        alignment_ = paRight;
        break;
      case Action::SingleLine:
      case Action::DoubleLine: {
        const int n = ColumnsForCurrentFont();
        if (n > 0)
          result.assign(static_cast<std::size_t>(n), d.action == Action::SingleLine ? '-' : '=');
        break;
      }
      case Action::SkipLines:
        result = dl.LineFeedCommand(linhasEntreCupons_);
        break;
      case Action::Logo:
        if (!configLogo_.IgnorarLogo()) result = dl.LogoCommand();
        break;
      case Action::PartialCut:
      case Action::FullCut:
        result = dl.LineFeedCommand(linhasEntreCupons_);
        if (cortaPapel_) result += d.action == Action::PartialCut ? cmd.PartialCut : cmd.FullCut;
        break;
      case Action::Drawer:
        result = dl.DrawerCommand(1);
        break;
      case Action::Beep:
        result = cmd.Beep;
        break;
      case Action::Zera:
        result = cmd.Reset;
        result += dl.InitCommand();
        initialized_ = true;
        for (TDovraPosFontKind k : kStyleKinds) fontState_.Exclude(k);
        break;
      case Action::LineFeed:
        result = dl.LineFeedCommand(1);
        break;
      case Action::CarriageReturn:
        result.assign(1, '\r');
        break;
      case Action::Reset:
        result = cmd.Reset;
        initialized_ = false;
        for (TDovraPosFontKind k : kStyleKinds) fontState_.Exclude(k);
        break;
      case Action::PageModeOn:
        result = cmd.PageModeOn;
        break;
      case Action::PageModeOff:
        result = cmd.PrintPage + cmd.PageModeOff;
        break;
      case Action::PrintPage:
        result = cmd.PrintPage;
        break;
      case Action::PageModeSetup:
        result = dl.PageModeSetupCommand();
        break;
      default:
        break;
    }
  }
  if (LogEnabled()) WriteLogLine("TraduzirTag(" + tag + ") -> " + result, true, true);
  return result;
}

namespace {

std::string CleanBarcode(const TagDef& d, const std::string& content) {
  std::string code;
  switch (d.clean) {
    case Clean::Unchanged:
      code = content;
      break;
    case Clean::Digits:
      code = KeepDigits(content);
      break;
    case Clean::DigitsFit:
      code = FitRightAligned(KeepDigits(content), d.width, '0');
      break;
    case Clean::DigitsEven:
      code = KeepDigits(content);
      if (code.size() % 2 != 0) code.insert(code.begin(), '0');
      break;
    case Clean::KeepSet:
      code = KeepCharsInSet(content, d.allowed);
      break;
    case Clean::Ascii:
      for (char c : content)
        if (static_cast<unsigned char>(c) < 128) code += c;
      break;
  }
  if (code.size() > 255) code.resize(255);
  return code;
}

}  // namespace

std::string TDovraPosPrinter::TraduzirTagBloco(const std::string& tag, const std::string& content) {
  TDovraPosPrinterClass& dl = *dialect_;
  std::string result = dl.TranslateBlockTag(tag, content);
  if (result == content) {
    const auto& blocks = Vocab().blocks;
    const auto it = blocks.find(tag);
    const TagDef* d = it != blocks.end() ? it->second : nullptr;
    int n = 0;
    bool b = false;
    switch (d ? d->action : Action::None) {
      case Action::FitLeft:
        result = FitLeftAligned(content, ColumnsForCurrentFont(), ' ');
        break;
      case Action::FitRight:
        result = FitRightAligned(content, ColumnsForCurrentFont(), ' ');
        break;
      case Action::FitCenter:
        result = FitCentered(content, ColumnsForCurrentFont(), ' ');
        break;
      case Action::Barcode:
        result = dl.BarcodeCommand(tag, CleanBarcode(*d, content));
        break;
      case Action::DrawerNumber:
        result = dl.DrawerCommand(ReadTagInteger(content, n) ? n : 1);
        break;
      case Action::QRCode:
        result = dl.QRCodeCommand(content);
        break;
      case Action::QRCodeTipo:
        result.clear();
        if (ReadTagInteger(content, n)) configQRCode_.SetTipo(n);
        break;
      case Action::QRCodeLargura:
        result.clear();
        if (ReadTagInteger(content, n)) configQRCode_.SetLarguraModulo(n);
        break;
      case Action::QRCodeError:
        result.clear();
        if (ReadTagInteger(content, n)) configQRCode_.SetErrorLevel(n);
        break;
      case Action::MpDirecao:
        result.clear();
        if (!ReadTagInteger(content, n)) n = 0;
        configModoPagina_.SetDirecao(static_cast<TDovraPosDirecao>(static_cast<std::uint8_t>(n)));
        break;
      case Action::MpEsquerda:
        result.clear();
        if (ReadTagInteger(content, n)) configModoPagina_.SetEsquerda(n);
        break;
      case Action::MpTopo:
        result.clear();
        if (ReadTagInteger(content, n)) configModoPagina_.SetTopo(n);
        break;
      case Action::MpLargura:
        result.clear();
        if (ReadTagInteger(content, n)) configModoPagina_.SetLargura(n);
        break;
      case Action::MpAltura:
        result.clear();
        if (ReadTagInteger(content, n)) configModoPagina_.SetAltura(n);
        break;
      case Action::MpEspaco:
        result.clear();
        if (ReadTagInteger(content, n))
          configModoPagina_.SetEspacoEntreLinhas(static_cast<std::uint8_t>(n));
        break;
      case Action::BarraMostrar:
        result.clear();
        if (ReadTagBoolean(content, b)) configBarras_.SetMostrarCodigo(b);
        break;
      case Action::BarraLargura:
        result.clear();
        if (ReadTagInteger(content, n)) configBarras_.SetLarguraLinha(n);
        break;
      case Action::BarraAltura:
        result.clear();
        if (ReadTagInteger(content, n)) configBarras_.SetAltura(n);
        break;
      case Action::LogoImprimir:
        result.clear();
        if (ReadTagBoolean(content, b)) configLogo_.SetIgnorarLogo(!b);
        break;
      case Action::LogoKc1:
        result.clear();
        if (ReadTagInteger(content, n)) configLogo_.SetKeyCode1(static_cast<std::uint8_t>(n));
        break;
      case Action::LogoKc2:
        result.clear();
        if (ReadTagInteger(content, n)) configLogo_.SetKeyCode2(static_cast<std::uint8_t>(n));
        break;
      case Action::LogoFatorX:
        result.clear();
        if (ReadTagInteger(content, n)) configLogo_.SetFatorX(static_cast<std::uint8_t>(n));
        break;
      case Action::LogoFatorY:
        result.clear();
        if (ReadTagInteger(content, n)) configLogo_.SetFatorY(static_cast<std::uint8_t>(n));
        break;
      default:
        break;
    }
  }
  if (LogEnabled())
    WriteLogLine("TraduzirTagBloco(" + tag + ", " + content + ") -> " + result, true, true);
  return result;
}

void TDovraPosPrinter::ListTags(std::vector<std::string>& list, bool withHelp) const {
  tags_.ListTags(list, withHelp);
}

void TDovraPosPrinter::PrintTagList() {
  std::vector<std::string> lines;
  tags_.ListTags(lines, true);
  // Filled line by line, as a buffered text would be, so a small LinhasBuffer flushes on the way.
  lineBuffer_.Clear();
  for (std::string& line : lines) lineBuffer_.Add(std::move(line));
  lineBuffer_.Insert(0, "</zera><c><ignorar_tags>");
  lineBuffer_.Add("</ignorar_tags>");
  lineBuffer_.Add("</corte_total>");
  Imprimir(std::string(), false, true, true, 1);
}

}  // namespace dovra

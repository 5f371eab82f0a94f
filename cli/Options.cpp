#include "cli/Options.h"

#include <sys/stat.h>

#include <charconv>
#include <functional>
#include <string_view>

#include "engine/PdvIni.h"

namespace dovra::cli {
namespace {

// Which subcommands take an option.
enum Scope : unsigned {
  kImprimir = 1u << 0,
  kTraduzir = 1u << 1,
  kStatus = 1u << 2,
  kInfo = 1u << 3,
  kPrinter = kImprimir | kTraduzir | kStatus | kInfo,
};

unsigned ScopeOf(Command c) {
  switch (c) {
    case Command::Imprimir: return kImprimir;
    case Command::Traduzir: return kTraduzir;
    case Command::Status: return kStatus;
    case Command::Info: return kInfo;
    default: return 0;
  }
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// An enumeration value by its name (any letter case) or its ordinal.
template <typename Enum>
std::optional<Enum> EnumValue(std::string_view text, int count) {
  if (auto n = WholeNumber(text)) {
    if (*n >= 0 && *n < count) return static_cast<Enum>(*n);
    return std::nullopt;
  }
  for (int i = 0; i < count; ++i) {
    if (SameIgnoringCase(text, NameOf(static_cast<Enum>(i)))) return static_cast<Enum>(i);
  }
  return std::nullopt;
}

struct Parser {
  Command command;
  Options& o;

  [[noreturn]] void Fail(const std::string& message) const { throw UsageError(command, message); }

  int Number(const std::string& option, const std::string& value, int low, int high) const {
    auto n = WholeNumber(value);
    if (!n || *n < low || *n > high) {
      Fail("valor inválido para " + option + ": \"" + value + "\" (use um número de " +
           std::to_string(low) + " a " + std::to_string(high) + ")");
    }
    return *n;
  }

  bool Flag(const std::string& option, const std::string& value) const {
    if (value == "0") return false;
    if (value == "1") return true;
    Fail("valor inválido para " + option + ": \"" + value + "\" (use 0 ou 1)");
  }
};

struct OptionSpec {
  const char* name;
  unsigned scope;
  std::function<void(const Parser&, const std::string& value)> apply;
};

const std::vector<OptionSpec>& OptionTable() {
  static const std::vector<OptionSpec> table = {
      {"--config", kPrinter, [](const Parser& p, const std::string& v) { p.o.config = v; }},
      {"--modelo", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.modelo = EnumValue<TDovraPosPrinterModelo>(v, kModeloCount);
         if (!p.o.modelo) p.Fail("modelo desconhecido: \"" + v + "\"");
       }},
      {"--pagina-codigo", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.paginaCodigo = EnumValue<TDovraPosPaginaCodigo>(v, kPaginaCodigoCount);
         if (!p.o.paginaCodigo) p.Fail("página de código desconhecida: \"" + v + "\"");
       }},
      {"--porta", kPrinter, [](const Parser& p, const std::string& v) { p.o.porta = v; }},
      {"--colunas", kPrinter,
       [](const Parser& p, const std::string& v) { p.o.colunas = p.Number("--colunas", v, 1, 999); }},
      {"--espaco-entre-linhas", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.espacoEntreLinhas = p.Number("--espaco-entre-linhas", v, 0, 255);
       }},
      {"--linhas-pular", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.linhasPular = p.Number("--linhas-pular", v, 0, 255);
       }},
      {"--linhas-buffer", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.linhasBuffer = p.Number("--linhas-buffer", v, 0, 255);
       }},
      {"--cortar-papel", kPrinter,
       [](const Parser& p, const std::string& v) { p.o.cortarPapel = p.Flag("--cortar-papel", v); }},
      {"--controle-porta", kPrinter,
       [](const Parser& p, const std::string& v) {
         p.o.controlePorta = p.Flag("--controle-porta", v);
       }},
      {"--traduzir-tags", kPrinter,
       [](const Parser& p, const std::string& v) { p.o.traduzirTags = p.Flag("--traduzir-tags", v); }},
      {"--ignorar-tags", kPrinter,
       [](const Parser& p, const std::string& v) { p.o.ignorarTags = p.Flag("--ignorar-tags", v); }},
      {"--log", kPrinter, [](const Parser& p, const std::string& v) { p.o.log = v; }},
      {"--copias", kPrinter,
       [](const Parser& p, const std::string& v) { p.o.copias = p.Number("--copias", v, 1, 999); }},
      {"--serial", kPrinter, [](const Parser& p, const std::string& v) { p.o.serial = v; }},
      {"--tentativas", kStatus,
       [](const Parser& p, const std::string& v) {
         p.o.tentativas = p.Number("--tentativas", v, 1, 100);
       }},
      {"-o", kTraduzir, [](const Parser& p, const std::string& v) { p.o.saida = v; }},
  };
  return table;
}

Command CommandNamed(const std::string& name) {
  if (name == "imprimir") return Command::Imprimir;
  if (name == "traduzir") return Command::Traduzir;
  if (name == "tags") return Command::Tags;
  if (name == "status") return Command::Status;
  if (name == "info") return Command::Info;
  if (name == "portas") return Command::Portas;
  return Command::None;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

Options ParseCommandLine(const std::vector<std::string>& args) {
  Options o;
  if (args.empty()) throw UsageError(Command::None, "nenhum comando informado");
  if (IsHelp(args[0])) {
    o.help = true;
    return o;
  }
  o.command = CommandNamed(args[0]);
  if (o.command == Command::None) {
    throw UsageError(Command::None, "comando desconhecido: \"" + args[0] + "\"");
  }
  // --help anywhere wins over everything else on the line.
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--") break;
    if (IsHelp(args[i])) {
      o.help = true;
      return o;
    }
  }

  Parser parser{o.command, o};
  const unsigned scope = ScopeOf(o.command);
  const bool takesFile = o.command == Command::Imprimir || o.command == Command::Traduzir;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!looksLikeOption) {
      if (!takesFile) parser.Fail("argumento inesperado: \"" + arg + "\"");
      if (o.arquivo) parser.Fail("mais de um arquivo de entrada: \"" + arg + "\"");
      o.arquivo = arg;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& s : OptionTable()) {
      if (name == s.name) spec = &s;
    }
    if (spec == nullptr || (spec->scope & scope) == 0) {
      parser.Fail("opção desconhecida: \"" + name + "\"");
    }
    if (!value) {
      if (i + 1 >= args.size()) parser.Fail("a opção " + name + " requer um valor");
      value = args[++i];
    }
    spec->apply(parser, *value);
  }
  return o;
}

void ApplyPrinterOptions(const Options& o, TDovraPosPrinter& printer) {
  if (o.config) {
    struct stat st {};
    if (::stat(o.config->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      throw EFileError("EFOpenError", "Arquivo de configuração não encontrado: " + *o.config);
    }
    ApplyToPrinter(LoadPdvIni(*o.config, DefaultsFrom(printer)), printer);
  }
  if (o.modelo) printer.SetModelo(*o.modelo);
  if (o.paginaCodigo) printer.SetPaginaDeCodigo(*o.paginaCodigo);
  if (o.porta) printer.SetPorta(*o.porta);
  if (o.colunas) printer.SetColunasFonteNormal(*o.colunas);
  if (o.espacoEntreLinhas) {
    printer.SetEspacoEntreLinhas(static_cast<std::uint8_t>(*o.espacoEntreLinhas));
  }
  if (o.linhasPular) printer.SetLinhasEntreCupons(*o.linhasPular);
  if (o.linhasBuffer) printer.SetLinhasBuffer(*o.linhasBuffer);
  if (o.cortarPapel) printer.SetCortaPapel(*o.cortarPapel);
  if (o.controlePorta) printer.SetControlePorta(*o.controlePorta);
  if (o.traduzirTags) printer.SetTraduzirTags(*o.traduzirTags);
  if (o.ignorarTags) printer.SetIgnorarTags(*o.ignorarTags);
  if (o.log) printer.SetArqLOG(*o.log);
  if (o.serial) printer.Device().SetParamsString(*o.serial);
}

}  // namespace dovra::cli

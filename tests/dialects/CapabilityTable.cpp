#include "tests/dialects/CapabilityTable.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/DovraPosPrinter.h"

namespace dovra {

namespace {

constexpr const char* kNone = "—";

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out.empty() ? kNone : out;
}

// What the port saw while the dialect talked to it.
struct TPortTraffic {
  std::string sent;
  int reads = 0;
  bool Touched() const { return !sent.empty() || reads > 0; }
};

// A printer of one model on a hook port that records what is sent and answers every read
// with one NUL byte (enough to end any read, counted or terminated).
class TProbe {
 public:
  explicit TProbe(TDovraPosPrinterModelo modelo) {
    printer_.SetModelo(modelo);
    printer_.SetPorta("USB");
    auto traffic = traffic_;
    printer_.Device().HookEnviaString = [traffic](const std::string& cmd) { traffic->sent += cmd; };
    printer_.Device().HookLeString = [traffic](int, int, std::string& reply) {
      ++traffic->reads;
      reply.assign(1, '\0');
    };
  }

  TDovraPosPrinterClass& Dialect() { return printer_.Dialect(); }
  const TDovraPosComandos& Commands() { return printer_.Dialect().Commands(); }

  // Runs `exchange` and tells whether it reached the port.
  template <typename Exchange>
  bool QueriesThePort(Exchange exchange) {
    *traffic_ = {};
    exchange();
    return traffic_->Touched();
  }

 private:
  std::shared_ptr<TPortTraffic> traffic_ = std::make_shared<TPortTraffic>();
  TDovraPosPrinter printer_;
};

std::string Fonts(TProbe& probe) {
  struct Kind {
    TDovraPosFontKind kind;
    const char* name;
  };
  static const Kind kKinds[] = {
      {fkCondensed, "condensada"}, {fkExpanded, "expandida"}, {fkBold, "negrito"},
      {fkUnderline, "sublinhado"}, {fkInverted, "invertida"}, {fkItalic, "itálico"},
      {fkFontB, "fonte B"},        {fkDoubleHeight, "altura dupla"},
  };
  std::vector<std::string> names;
  for (const Kind& k : kKinds)
    if (!probe.Dialect().FontCommand(k.kind, true).empty()) names.emplace_back(k.name);
  return Join(names);
}

std::string Alignment(TProbe& probe) {
  const TDovraPosComandos& c = probe.Commands();
  std::vector<std::string> names;
  if (!c.AlignLeft.empty()) names.emplace_back("esquerda");
  if (!c.AlignCenter.empty()) names.emplace_back("centro");
  if (!c.AlignRight.empty()) names.emplace_back("direita");
  return Join(names);
}

std::string Cuts(TProbe& probe) {
  const TDovraPosComandos& c = probe.Commands();
  std::vector<std::string> names;
  if (!c.PartialCut.empty()) names.emplace_back("parcial");
  if (!c.FullCut.empty()) names.emplace_back("total");
  return Join(names);
}

// "duas" when drawer 2 gets a command of its own, "uma" when every number opens the same one.
std::string Drawer(TProbe& probe) {
  const std::string first = probe.Dialect().DrawerCommand(1);
  if (first.empty()) return kNone;
  return probe.Dialect().DrawerCommand(2) == first ? "uma" : "duas";
}

// The symbologies whose command is more than the code printed as text.
std::string Barcodes(TProbe& probe) {
  static const char* const kTags[] = {
      "<ean8>",    "<ean13>", "<std>",      "<inter>",    "<code11>",   "<code39>",
      "<code93>",  "<code128>", "<upca>",   "<upce>",     "<codabar>",  "<msi>",
      "<code128a>", "<code128b>", "<code128c>",
  };
  const std::string code = "1234567";
  std::vector<std::string> supported, missing;
  for (const char* tag : kTags) {
    const std::string name = std::string(tag).substr(1, std::string(tag).size() - 2);
    (probe.Dialect().BarcodeCommand(tag, code) != code ? supported : missing).push_back(name);
  }
  if (supported.empty()) return kNone;
  if (missing.empty()) return "todas";
  if (missing.size() < supported.size()) return "todas menos " + Join(missing);
  return Join(supported);
}

std::string YesNo(bool value) { return value ? "sim" : kNone; }

std::string PageMode(TProbe& probe) {
  const bool enters = !probe.Commands().PageModeOn.empty();
  const bool setup = !probe.Dialect().PageModeSetupCommand().empty();
  if (enters && setup) return "sim";
  if (enters) return "sem configuração";
  return kNone;
}

std::string CodePages(TProbe& probe) {
  struct Page {
    TDovraPosPaginaCodigo page;
    const char* name;
  };
  static const Page kPages[] = {
      {pcNone, "ASCII"}, {pc437, "437"},    {pc850, "850"},   {pc852, "852"},
      {pc860, "860"},    {pcUTF8, "UTF-8"}, {pc1252, "1252"},
  };
  std::vector<std::string> names;
  for (const Page& p : kPages)
    if (!probe.Dialect().CodePageCommand(p.page).empty()) names.emplace_back(p.name);
  return Join(names);
}

std::string Status(TProbe& probe) {
  return YesNo(probe.QueriesThePort([&probe] {
    TDovraPosStatusSet status;
    probe.Dialect().ReadStatus(status);
  }));
}

std::string Identification(TProbe& probe) {
  std::string info;
  const bool asks = probe.QueriesThePort([&] {
    try {
      info = probe.Dialect().ReadInfo();
    } catch (...) {
      // A query that failed was still a query.
    }
  });
  if (asks) return "sim";
  return info.empty() ? kNone : "fixa";
}

}  // namespace

std::string DialectCapabilityTable() {
  std::string md =
      "# Dialetos\n"
      "\n"
      "O que cada dialeto suporta: o recurso aparece quando o dialeto gera um comando para ele "
      "(status e identificação: quando consulta a impressora; \"fixa\": responde sem consultar).\n"
      "Gerado a partir do código pelo teste `dialect_capabilities_test`; para atualizar: "
      "`build/<pasta>/tests/dialects/dialect_capabilities_test --gerar-tabela`.\n"
      "\n"
      "| Dialeto | Fontes | Alinhamento | Corte | Gaveta | Códigos de barras | QR Code | Logo | "
      "Modo página | Páginas de código | Status | Identificação |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  for (int m = 0; m < kModeloCount; ++m) {
    const auto modelo = static_cast<TDovraPosPrinterModelo>(m);
    TProbe probe(modelo);
    const std::vector<std::string> cells = {
        probe.Dialect().ModelName() + " (`" + NameOf(modelo) + "`)",
        Fonts(probe),
        Alignment(probe),
        Cuts(probe),
        Drawer(probe),
        Barcodes(probe),
        YesNo(!probe.Dialect().QRCodeCommand("ABC").empty()),
        YesNo(!probe.Dialect().LogoCommand().empty()),
        PageMode(probe),
        CodePages(probe),
        Status(probe),
        Identification(probe),
    };
    md += "|";
    for (const std::string& cell : cells) md += " " + cell + " |";
    md += "\n";
  }
  return md;
}

}  // namespace dovra

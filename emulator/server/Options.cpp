#include "emulator/server/Options.h"

#include <charconv>
#include <strings.h>

namespace dovra::emulator {

namespace {

bool ParseInt(const std::string& text, int low, int high, int& out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
  out = v;
  return true;
}

// "ppEscBematech" or "EscBematech", in any letter case.
bool ParseModelo(const std::string& text, TDovraPosPrinterModelo& out) {
  for (int i = 0; i < kModeloCount; ++i) {
    const auto m = static_cast<TDovraPosPrinterModelo>(i);
    const std::string name = NameOf(m);
    if (::strcasecmp(text.c_str(), name.c_str()) == 0 ||
        ::strcasecmp(text.c_str(), name.substr(2).c_str()) == 0) {
      out = m;
      return true;
    }
  }
  return false;
}

void ParsePorta(const std::string& text, TServerOptions& o) {
  if (::strcasecmp(text.c_str(), "pty") == 0) {
    o.pty = true;
    return;
  }
  if (text.size() < 4 || ::strncasecmp(text.c_str(), "TCP:", 4) != 0) {
    throw TUsageError("porta inválida: \"" + text + "\" (use TCP:endereço:porta ou pty)");
  }
  std::string rest = text.substr(4);
  std::string host, port = "9100";
  std::size_t colon;
  if (!rest.empty() && rest.front() == '[') {  // [::1]:9100
    const std::size_t close = rest.find(']');
    if (close == std::string::npos) throw TUsageError("porta inválida: \"" + text + "\"");
    host = rest.substr(0, close + 1);
    colon = rest.find(':', close);
  } else {
    colon = rest.find(':');
    host = rest.substr(0, colon);
  }
  if (colon != std::string::npos && colon + 1 < rest.size()) port = rest.substr(colon + 1);
  int number = 0;
  if (host.empty() || !ParseInt(port, 0, 65535, number)) {
    throw TUsageError("porta inválida: \"" + text + "\" (use TCP:endereço:porta ou pty)");
  }
  o.pty = false;
  o.host = host;
  o.port = std::to_string(number);
}

}  // namespace

std::string UsageLine() {
  return "uso: pdv-impressora-virtual --modelo M [--porta TCP:127.0.0.1:9100 | --porta pty] "
         "[--estado LISTA] [--colunas N] [--saida DIR] [--pagina-codigo N]";
}

std::string HelpText() {
  return UsageLine() + "\n"
         "\n"
         "Impressora de cupons virtual: recebe os comandos de um dos modelos, responde às\n"
         "consultas de status e identificação e grava a transcrição de cada cupom.\n"
         "\n"
         "  --modelo M          ppTexto, ppEscPosEpson, ppEscBematech, ppEscDaruma, ppEscVox,\n"
         "                      ppEscDiebold ou ppEscEpsonP2\n"
         "  --porta P           TCP:endereço:porta (padrão TCP:127.0.0.1:9100; porta 0 escolhe\n"
         "                      uma porta livre) ou pty (cria um pseudo-terminal)\n"
         "  --estado LISTA      ok ou uma lista separada por vírgulas de pouco-papel, sem-papel,\n"
         "                      tampa-aberta, gaveta-aberta, offline, erro, imprimindo\n"
         "  --colunas N         colunas da fonte normal (padrão 48)\n"
         "  --saida DIR         grava cada cupom em DIR/receipt-0001.txt, ... (e a imagem\n"
         "                      receipt-0001.png ao lado, quando há o desenho de cupons); sem\n"
         "                      esta opção a transcrição vai para a saída padrão\n"
         "  --pagina-codigo N   página de código ao ligar: 437, 850, 852, 860, 1252 ou 65001\n"
         "\n"
         "A primeira linha da saída é a porta (\"porta: TCP:127.0.0.1:9100\" ou\n"
         "\"porta: /dev/pts/7\"). Comandos na entrada padrão:\n"
         "  estado sem-papel,tampa-aberta | estado ok\n"
         "  modo silencioso | modo atrasado N | modo lixo | modo desligar | modo normal\n"
         "  sair\n";
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine c;
  bool haveModelo = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--ajuda" || a == "--help" || a == "-h") {
      c.help = true;
      return c;
    }
    if (!a.starts_with("--")) throw TUsageError("argumento inesperado: \"" + a + "\"");
    if (i + 1 >= args.size()) throw TUsageError("falta o valor de " + a);
    const std::string& v = args[++i];
    if (a == "--modelo") {
      if (!ParseModelo(v, c.server.printer.modelo)) {
        throw TUsageError("modelo desconhecido: \"" + v + "\"");
      }
      haveModelo = true;
    } else if (a == "--porta") {
      ParsePorta(v, c.server);
    } else if (a == "--estado") {
      std::string bad;
      const auto conditions = ParseConditions(v, &bad);
      if (!conditions) throw TUsageError("estado desconhecido: \"" + bad + "\"");
      c.server.printer.conditions = *conditions;
    } else if (a == "--colunas") {
      if (!ParseInt(v, 8, 255, c.server.printer.columns)) {
        throw TUsageError("número de colunas inválido: \"" + v + "\" (8 a 255)");
      }
    } else if (a == "--saida") {
      if (v.empty()) throw TUsageError("pasta de saída vazia");
      c.server.outputDir = v;
    } else if (a == "--pagina-codigo") {
      int cp = 0;
      const bool ok = ParseInt(v, 0, 65001, cp) &&
                      (cp == 437 || cp == 850 || cp == 852 || cp == 860 || cp == 1252 ||
                       cp == 65001);
      if (!ok) throw TUsageError("página de código inválida: \"" + v + "\"");
      c.server.printer.codePage = cp;
    } else {
      throw TUsageError("opção desconhecida: " + a);
    }
  }
  if (!haveModelo) throw TUsageError("falta --modelo");
  return c;
}

}  // namespace dovra::emulator

// dovrapos end to end: the built program run with arguments and standard input.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "tests/cli/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "util/Bytes.h"

namespace dovra {
namespace {

using testing::ProgramResult;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

ProgramResult Dovrapos(const std::vector<std::string>& args, const std::string& input = "") {
  return testing::RunProgram(DOVRAPOS_PATH, args, input);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Describe(const std::vector<std::string>& args) {
  std::string s;
  for (const std::string& a : args) s += " " + a;
  return s;
}

TEST(DovraposTraduzir, PlainTextCenteringAndTheLastLineBreak) {
  struct Case {
    std::string input;
    std::string expected;
  };
  // ppTexto breaks lines with CR LF; one line break at the end of the input is dropped.
  const std::vector<Case> cases = {
      {"<ce>abc</ce>", "   abc    "},
      {"<ce>abc</ce>\n", "   abc    "},
      {"<ce>abc</ce>\r\n", "   abc    "},
      {"<ce>abc</ce>\n\n", "   abc    \r\n"},
      {"a\nb\n", "a\r\nb"},
  };
  for (const Case& c : cases) {
    ProgramResult r = Dovrapos({"traduzir", "--modelo", "ppTexto", "--colunas", "10"}, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.expected) << c.input;
    EXPECT_EQ(r.err, "");
  }
}

TEST(DovraposTraduzir, EscPosBytesWithInitialisationCopiesAndPortControl) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    std::string expectedHex;
  };
  // ESC 2 and ESC t 2 initialise the printer (default spacing, code page 850) before the
  // first bytes; c-cedilla is 87 in code page 850. Without port control the second copy
  // finds the printer initialised; with it the port is closed after each copy and the
  // printer initialised again.
  const std::vector<Case> cases = {
      {{"--modelo", "ppEscPosEpson"}, "a\xC3\xA7\nb\n", "1B 32 1B 74 02 61 87 0A 62"},
      {{"--modelo", "1"}, "ab", "1B 32 1B 74 02 61 62"},
      {{"--modelo", "ppEscPosEpson", "--copias", "2"}, "a", "1B 32 1B 74 02 61 61"},
      {{"--modelo", "ppEscPosEpson", "--copias", "2", "--controle-porta", "1"}, "a",
       "1B 32 1B 74 02 61 1B 32 1B 74 02 61"},
      {{"--modelo", "ppEscPosEpson", "--traduzir-tags", "0"}, "<ce>", "1B 32 1B 74 02 3C 63 65 3E"},
      {{"--modelo", "ppEscPosEpson", "--espaco-entre-linhas", "40", "--pagina-codigo", "pc850"},
       "a", "1B 33 28 1B 74 02 61"},
      {{"--modelo", "ppEscPosEpson", "--ignorar-tags", "1"}, "<n>a</n>", "1B 32 1B 74 02 61"},
      // A cut feeds LinhasEntreCupons lines (20 0A each), then GS V 0 when cutting is on.
      {{"--modelo", "ppEscPosEpson", "--linhas-pular", "2", "--cortar-papel", "1"},
       "</corte_total>", "1B 32 1B 74 02 20 0A 20 0A 1D 56 00"},
      {{"--modelo", "ppEscPosEpson", "--linhas-pular", "1", "--cortar-papel", "0"},
       "</corte_total>", "1B 32 1B 74 02 20 0A"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"traduzir"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProgramResult r = Dovrapos(args, c.input);
    EXPECT_EQ(r.status, 0) << Describe(args) << ": " << r.err;
    EXPECT_EQ(r.out, Hex(c.expectedHex)) << Describe(args);
  }
}

TEST(DovraposTraduzir, ConfigFileComesFirstWhateverTheOrder) {
  TempFolder dir;
  const std::string ini = dir.File("Pdv.ini");
  WriteFile(ini, "[PosPrinter]\nModelo=0\nColunas=30\nPorta=/nao/existe.txt\n");

  ProgramResult fromFile = Dovrapos({"traduzir", "--config", ini}, "<ce>abc</ce>");
  EXPECT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(fromFile.out, std::string(13, ' ') + "abc" + std::string(14, ' '));

  ProgramResult overridden =
      Dovrapos({"traduzir", "--colunas", "10", "--config", ini}, "<ce>abc</ce>");
  EXPECT_EQ(overridden.status, 0) << overridden.err;
  EXPECT_EQ(overridden.out, "   abc    ");

  ProgramResult toFile =
      Dovrapos({"traduzir", "--config", ini, "-o", dir.File("saida.prn")}, "<ce>abc</ce>");
  EXPECT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(ReadFile(dir.File("saida.prn")), fromFile.out);
}

// What traduzir shows must be what a file port receives, for every dialect (Daruma, which
// talks to ports that can answer, included).
TEST(DovraposImprimir, FilePortReceivesExactlyWhatTraduzirShows) {
  TempFolder dir;
  const std::string text = dir.File("cupom.txt");
  WriteFile(text, "<n>Total</n> R$ 10,00\n<ce>Obrigado, volte sempre</ce>\n<e>a\xC3\xA7\xC3\xA3o</e>\n"
                  "<ean13>789123456789</ean13>\n</corte_total>\n");
  for (const char* modelo : {"ppTexto", "ppEscPosEpson", "ppEscBematech", "ppEscDaruma",
                             "ppEscVox", "ppEscDiebold", "ppEscEpsonP2"}) {
    SCOPED_TRACE(modelo);
    const std::string prn = dir.File(std::string(modelo) + ".prn");
    const std::string log = dir.File(std::string(modelo) + ".log");
    ProgramResult printed = Dovrapos(
        {"imprimir", "--modelo", modelo, "--porta", "FILE:" + prn, "--log", log, text});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, "");

    ProgramResult translated = Dovrapos({"traduzir", "--modelo", modelo, "-"}, ReadFile(text));
    ASSERT_EQ(translated.status, 0) << translated.err;
    EXPECT_FALSE(translated.out.empty());
    EXPECT_EQ(ReadFile(prn), translated.out);
    EXPECT_NE(ReadFile(log).find("ATIVAR - "), std::string::npos);
  }
  EXPECT_EQ(ReadFile(dir.File("ppEscPosEpson.prn")).substr(0, 5), Hex("1B 32 1B 74 02"));
}

TEST(DovraposTags, OneLinePerRegistration) {
  ProgramResult r = Dovrapos({"tags"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 75u);
  EXPECT_EQ(lines[0].rfind("<e> - Liga Expandido", 0), 0u) << lines[0];
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::string& l) { return l.rfind("<ce> - Bloco - ", 0) == 0; }),
            lines.end());
}

TEST(DovraposStatus, PortThatCannotAnswer) {
  TempFolder dir;
  ProgramResult r =
      Dovrapos({"status", "--modelo", "ppTexto", "--porta", dir.File("x.txt"), "--tentativas", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "stNaoSerial, \n");
}

// A TCP peer on the loopback that accepts connections and swallows what it receives.
class SilentPeer {
 public:
  SilentPeer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(fd_, 4) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      throw std::runtime_error("loopback listener failed");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] {
      for (;;) {
        int c = ::accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        char buf[256];
        while (::read(c, buf, sizeof buf) > 0) {
        }
        ::close(c);
      }
    });
  }
  ~SilentPeer() {
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    thread_.join();
  }
  std::string Porta() const { return "TCP:127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST(DovraposStatus, PortThatAnswersWithNoFault) {
  SilentPeer peer;
  ProgramResult status = Dovrapos({"status", "--modelo", "ppTexto", "--porta", peer.Porta()});
  EXPECT_EQ(status.status, 0) << status.err;
  EXPECT_EQ(status.out, "Nennhum Erro encontrado\n");

  // The plain-text printer has no identification: an empty line.
  ProgramResult info = Dovrapos({"info", "--modelo", "ppTexto", "--porta", peer.Porta()});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "\n");
}

TEST(DovraposPortas, SerialThenFixedThenSpooler) {
  ProgramResult r = Dovrapos({"portas"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  const std::vector<std::string> fixed = {
      "LPT1",         "LPT2",         "/dev/ttyS0",   "/dev/ttyS1",           "/dev/ttyUSB0",
      "/dev/ttyUSB1", "/dev/usb/lp0", "/tmp/ecf.txt", "TCP:192.168.0.31:9100"};
  auto at = std::search(lines.begin(), lines.end(), fixed.begin(), fixed.end());
  ASSERT_NE(at, lines.end()) << r.out;
  for (auto it = lines.begin(); it != at; ++it) {
    EXPECT_TRUE(it->rfind("COM", 0) == 0 || it->rfind("/dev/", 0) == 0) << *it;
  }
  for (auto it = at + static_cast<std::ptrdiff_t>(fixed.size()); it != lines.end(); ++it) {
    EXPECT_EQ(it->rfind("RAW:", 0), 0u) << *it;
  }
}

TEST(DovraposErrors, UsageErrorsExitTwoWithTheUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"desconhecido"},
      {"imprimir", "--colunas"},
      {"imprimir", "--colunas", "abc"},
      {"imprimir", "--colunas", "0"},
      {"imprimir", "--colunas=1000"},
      {"imprimir", "--espaco-entre-linhas", "256"},
      {"imprimir", "--copias", "0"},
      {"imprimir", "--modelo", "ppNada"},
      {"imprimir", "--modelo", "7"},
      {"imprimir", "--pagina-codigo", "pc999"},
      {"imprimir", "--cortar-papel", "2"},
      {"imprimir", "--opcao-nova", "1"},
      {"imprimir", "a.txt", "b.txt"},
      {"traduzir", "--tentativas", "2"},
      {"status", "-o", "x"},
      {"status", "arquivo.txt"},
      {"tags", "--porta", "COM1"},
      {"portas", "extra"},
  };
  for (const std::vector<std::string>& args : cases) {
    ProgramResult r = Dovrapos(args);
    EXPECT_EQ(r.status, 2) << Describe(args);
    EXPECT_EQ(r.out, "") << Describe(args);
    EXPECT_NE(r.err.find("Uso: dovrapos"), std::string::npos) << Describe(args) << ": " << r.err;
  }
}

TEST(DovraposErrors, HelpForEverySubcommand) {
  for (const char* command : {"imprimir", "traduzir", "tags", "status", "info", "portas"}) {
    ProgramResult r = Dovrapos({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("Uso: dovrapos ") + command, 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
  ProgramResult top = Dovrapos({"--help"});
  EXPECT_EQ(top.status, 0);
  EXPECT_NE(top.out.find("traduzir"), std::string::npos);
}

TEST(DovraposErrors, PrinterAndPortErrorsExitOneWithTheMessage) {
  TempFolder dir;
  struct Case {
    std::vector<std::string> args;
    std::string message;  // part of the one line on stderr
  };
  const std::vector<Case> cases = {
      {{"imprimir", "--modelo", "ppTexto"}, "Porta não definida"},
      {{"info", "--porta", dir.File("x.txt")},
       "Leitura de Informações só disponivel em Portas Seriais ou TCP"},
      {{"imprimir", "--porta", "FILE:" + dir.File("sem-pasta/x.prn")}, ""},
      {{"imprimir", "--serial", "BAUD=10"},
       "Valor deve estar na faixa de 50 a 4000000. Normalmente os equipamentos Seriais utilizam: "
       "9600"},
      {{"imprimir", "--config", dir.File("ausente.ini"), "--porta", dir.File("y.txt")},
       dir.File("ausente.ini")},
      {{"imprimir", "--porta", dir.File("z.txt"), dir.File("sem-texto.txt")},
       dir.File("sem-texto.txt")},
  };
  for (const Case& c : cases) {
    ProgramResult r = Dovrapos(c.args, "texto");
    EXPECT_EQ(r.status, 1) << Describe(c.args);
    EXPECT_EQ(r.out, "") << Describe(c.args);
    ASSERT_FALSE(r.err.empty()) << Describe(c.args);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    EXPECT_NE(r.err.find(c.message), std::string::npos) << Describe(c.args) << ": " << r.err;
  }
  // Neither a missing configuration nor a missing text may reach the port.
  EXPECT_FALSE(std::filesystem::exists(dir.File("y.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("z.txt")));
}

}  // namespace
}  // namespace dovra

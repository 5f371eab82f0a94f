// The program's options and the commands typed on its standard input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/server/ControlCommand.h"
#include "emulator/server/Options.h"

namespace dovra::emulator {
namespace {

using C = TCondition;
using K = TControlCommand::Kind;
using M = TAnswerMode::Kind;

TEST(ControlCommands, ParsedOrRefusedWithAMessage) {
  struct Case {
    const char* line;
    K kind;
    TConditions conditions;
    TAnswerMode mode;
    const char* errorStart;
  };
  const std::vector<Case> cases = {
      {"estado sem-papel,tampa-aberta", K::kEstado, {C::kSemPapel, C::kTampaAberta}, {}, ""},
      {"  estado  pouco-papel , gaveta-aberta\r", K::kEstado,
       {C::kPoucoPapel, C::kGavetaAberta}, {}, ""},
      {"estado ok", K::kEstado, {}, {}, ""},
      {"estado offline,erro,imprimindo", K::kEstado, {C::kOffline, C::kErro, C::kImprimindo},
       {}, ""},
      {"modo silencioso", K::kModo, {}, {M::kSilent, 0}, ""},
      {"modo atrasado 750", K::kModo, {}, {M::kLate, 750}, ""},
      {"modo lixo", K::kModo, {}, {M::kGarbage, 0}, ""},
      {"modo desligar", K::kModo, {}, {M::kHangUp, 0}, ""},
      {"modo normal", K::kModo, {}, {M::kNormal, 0}, ""},
      {"sair", K::kSair, {}, {}, ""},
      {"   ", K::kNone, {}, {}, ""},
      {"estado sem_papel", K::kInvalid, {}, {}, "estado desconhecido: \"sem_papel\""},
      {"estado", K::kInvalid, {}, {}, "estado desconhecido: \"\""},
      {"estado sem-papel,", K::kInvalid, {}, {}, "estado desconhecido"},
      {"modo atrasado", K::kInvalid, {}, {}, "modo desconhecido: \"atrasado\""},
      {"modo atrasado -5", K::kInvalid, {}, {}, "modo desconhecido"},
      {"modo atrasado 10x", K::kInvalid, {}, {}, "modo desconhecido"},
      {"sair agora", K::kInvalid, {}, {}, "comando desconhecido: \"sair agora\""},
      {"status", K::kInvalid, {}, {}, "comando desconhecido"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const TControlCommand got = ParseControlCommand(c.line);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.conditions, c.conditions);
    if (c.kind == K::kModo) {
      EXPECT_EQ(got.mode, c.mode);
    }
    EXPECT_TRUE(got.error.starts_with(c.errorStart)) << got.error;
  }
}

TEST(ControlCommands, StateNamesRoundTrip) {
  EXPECT_EQ(FormatConditions({}), "ok");
  EXPECT_EQ(FormatConditions({C::kTampaAberta, C::kPoucoPapel}), "pouco-papel, tampa-aberta");
  EXPECT_EQ(Describe({M::kLate, 300}), "atrasado 300 ms");
}

TEST(ProgramOptions, Accepted) {
  const TCommandLine defaults = ParseCommandLine({"--modelo", "ppEscBematech"});
  EXPECT_EQ(defaults.server.printer.modelo, ppEscBematech);
  EXPECT_FALSE(defaults.server.pty);
  EXPECT_EQ(defaults.server.host, "127.0.0.1");
  EXPECT_EQ(defaults.server.port, "9100");
  EXPECT_EQ(defaults.server.printer.columns, 48);
  EXPECT_TRUE(defaults.server.outputDir.empty());

  const TCommandLine all = ParseCommandLine(
      {"--modelo", "escvox", "--porta", "TCP:0.0.0.0:0", "--estado", "sem-papel,offline",
       "--colunas", "42", "--saida", "/tmp/x", "--pagina-codigo", "1252"});
  EXPECT_EQ(all.server.printer.modelo, ppEscVox);
  EXPECT_EQ(all.server.host, "0.0.0.0");
  EXPECT_EQ(all.server.port, "0");
  EXPECT_EQ(all.server.printer.conditions, (TConditions{C::kSemPapel, C::kOffline}));
  EXPECT_EQ(all.server.printer.columns, 42);
  EXPECT_EQ(all.server.outputDir, "/tmp/x");
  EXPECT_EQ(all.server.printer.codePage, 1252);

  EXPECT_TRUE(ParseCommandLine({"--modelo", "ppTexto", "--porta", "pty"}).server.pty);
  const TCommandLine v6 = ParseCommandLine({"--modelo", "ppTexto", "--porta", "TCP:[::1]:9"});
  EXPECT_EQ(v6.server.host, "[::1]");
  EXPECT_EQ(v6.server.port, "9");
  EXPECT_EQ(ParseCommandLine({"--modelo", "ppTexto", "--porta", "TCP:localhost"}).server.port,
            "9100");
  EXPECT_TRUE(ParseCommandLine({"--ajuda"}).help);
}

TEST(ProgramOptions, RefusedWithAMessage) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{}, "falta --modelo"},
      {{"--modelo", "ppEpson"}, "modelo desconhecido: \"ppEpson\""},
      {{"--modelo"}, "falta o valor de --modelo"},
      {{"--modelo", "ppTexto", "--porta", "COM1"}, "porta inválida: \"COM1\""},
      {{"--modelo", "ppTexto", "--porta", "TCP::9100"}, "porta inválida"},
      {{"--modelo", "ppTexto", "--porta", "TCP:127.0.0.1:70000"}, "porta inválida"},
      {{"--modelo", "ppTexto", "--estado", "molhada"}, "estado desconhecido: \"molhada\""},
      {{"--modelo", "ppTexto", "--colunas", "4"}, "número de colunas inválido"},
      {{"--modelo", "ppTexto", "--pagina-codigo", "1251"}, "página de código inválida"},
      {{"--modelo", "ppTexto", "extra"}, "argumento inesperado: \"extra\""},
      {{"--modelo", "ppTexto", "--velocidade", "9600"}, "opção desconhecida: --velocidade"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      ParseCommandLine(c.args);
      ADD_FAILURE() << "accepted";
    } catch (const TUsageError& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(c.message)) << e.what();
    }
  }
}

}  // namespace
}  // namespace dovra::emulator

// Our engine against the virtual printer: status and identification reads return what the
// printer was told, and a receipt printed through the engine comes out as expected, for every
// model. The printer runs in-process on an ephemeral loopback port (or a pseudo-terminal).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DovraPosPrinter.h"
#include "tests/emulator/EmulatorTestSupport.h"

namespace dovra::emulator::test {
namespace {

using C = TCondition;

const TConditions kAll{C::kPoucoPapel, C::kSemPapel, C::kTampaAberta, C::kGavetaAberta,
                       C::kOffline,    C::kErro,     C::kImprimindo};

// What each model's status reading can see at all: Elgin's ENQ byte has no error and no busy
// bit; plain text and ESC/P2 printers report nothing.
TConditions Visible(TDovraPosPrinterModelo m) {
  switch (m) {
    case ppEscVox:
      return {C::kPoucoPapel, C::kSemPapel, C::kTampaAberta, C::kGavetaAberta, C::kOffline};
    case ppTexto:
    case ppEscEpsonP2:
      return {};
    default:
      return kAll;
  }
}

const TDovraPosPrinterModelo kModels[] = {ppTexto,  ppEscPosEpson, ppEscBematech, ppEscDaruma,
                                          ppEscVox, ppEscDiebold,  ppEscEpsonP2};

TServerOptions Options(TDovraPosPrinterModelo m, TConditions state = {}) {
  TServerOptions o;
  o.printer.modelo = m;
  o.printer.conditions = state;
  return o;
}

TEST(EngineEndToEnd, StatusReadsReturnThePrinterState) {
  const std::vector<TConditions> states = {
      {},
      {C::kSemPapel},
      {C::kPoucoPapel, C::kGavetaAberta},
      {C::kTampaAberta, C::kOffline},
      {C::kErro, C::kImprimindo},
      kAll,
  };
  for (TDovraPosPrinterModelo m : kModels) {
    for (TConditions state : states) {
      SCOPED_TRACE(std::string(NameOf(m)) + " " + FormatConditions(state));
      TRunningServer server(Options(m, state));
      TDovraPosPrinter printer;
      printer.SetModelo(m);
      printer.SetPorta(server.Porta());
      EXPECT_EQ(printer.LerStatusImpressora(1), ToStatusSet(state.Intersect(Visible(m))));
      EXPECT_FALSE(printer.Active());
    }
  }
}

TEST(EngineEndToEnd, StatusOverAPseudoTerminal) {
  for (TConditions state : {TConditions{}, TConditions{C::kSemPapel, C::kTampaAberta}}) {
    TServerOptions o = Options(ppEscBematech, state);
    o.pty = true;
    TRunningServer server(o);
    ASSERT_TRUE(server.Porta().starts_with("/dev/pts/")) << server.Porta();
    TDovraPosPrinter printer;
    printer.SetModelo(ppEscBematech);
    printer.SetPorta(server.Porta());
    EXPECT_EQ(printer.LerStatusImpressora(1), ToStatusSet(state));
    // A second read opens the line again.
    EXPECT_EQ(printer.LerStatusImpressora(1), ToStatusSet(state));
  }
}

TEST(EngineEndToEnd, HangingUpAPseudoTerminalReplacesIt) {
  TServerOptions o = Options(ppEscPosEpson, {C::kGavetaAberta});
  o.pty = true;
  TRunningServer server(o);
  server.Command("modo desligar");
  ASSERT_FALSE(server.WaitForMessage("modo: desligar").empty());
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(server.Porta());
  EXPECT_EQ(printer.LerStatusImpressora(1), TDovraPosStatusSet{stErroLeitura});

  const std::string announced = server.WaitForMessage("porta: ");
  ASSERT_TRUE(announced.starts_with("porta: /dev/pts/")) << announced;
  EXPECT_NE(announced.substr(7), server.Porta());
  server.Command("modo normal");
  ASSERT_FALSE(server.WaitForMessage("modo: normal").empty());
  printer.SetPorta(announced.substr(7));
  EXPECT_EQ(printer.LerStatusImpressora(1), TDovraPosStatusSet{stGavetaAberta});
}

TEST(EngineEndToEnd, StateChangesWhileRunning) {
  TRunningServer server(Options(ppEscDaruma));
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscDaruma);
  printer.SetPorta(server.Porta());
  EXPECT_EQ(printer.LerStatusImpressora(1), TDovraPosStatusSet{});
  server.Command("estado gaveta-aberta,pouco-papel");
  ASSERT_FALSE(server.WaitForMessage("estado: pouco-papel, gaveta-aberta").empty());
  EXPECT_EQ(printer.LerStatusImpressora(1), (TDovraPosStatusSet{stPoucoPapel, stGavetaAberta}));
}

TEST(EngineEndToEnd, IdentificationReads) {
  struct Case {
    TDovraPosPrinterModelo modelo;
    std::string info;
  };
  const std::vector<Case> cases = {
      {ppEscPosEpson,
       "Fabricante=Morvantis\r\nFirmware=1.0\r\nModelo=PDVVIRTUAL\r\nSerial=VIRT000001\r\n"
       "Guilhotina=1\r\n"},
      {ppEscBematech,
       "Modelo=PDVVIRTUAL\r\nSerial=VIRT000001\r\nFirmware=1.0\r\nGuilhotina=1\r\n"},
      {ppEscVox, "Modelo=PDVVIRTUAL\r\nSerial=VIRT000001\r\nFirmware=1.0\r\nGuilhotina=1\r\n"},
      {ppEscDaruma,
       "Fabricante=Daruma\r\nFirmware=1.0\r\nModelo=700\r\nGuilhotina=1\r\nColunas=48\r\n"
       "CodPage=2\r\n"},
      {ppEscDiebold, "Fabricante=Diebold\r\n"},
      {ppTexto, ""},
      {ppEscEpsonP2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NameOf(c.modelo));
    TRunningServer server(Options(c.modelo));
    TDovraPosPrinter printer;
    printer.SetModelo(c.modelo);
    printer.SetPorta(server.Porta());
    EXPECT_EQ(printer.LerInfoImpressora(), c.info);
  }
}

TEST(EngineEndToEnd, AnswerModes) {
  TRunningServer server(Options(ppEscPosEpson, {C::kSemPapel}));
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(server.Porta());
  struct Step {
    const char* command;
    const char* message;
    TDovraPosStatusSet expected;
  };
  const std::vector<Step> steps = {
      {"modo silencioso", "modo: silencioso", {stErroLeitura}},
      {"modo atrasado 900", "modo: atrasado 900 ms", {stErroLeitura}},
      {"modo atrasado 40", "modo: atrasado 40 ms", {stSemPapel}},
      {"modo desligar", "modo: desligar", {stErroLeitura}},
      {"modo normal", "modo: normal", {stSemPapel}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.command);
    server.Command(s.command);
    ASSERT_FALSE(server.WaitForMessage(s.message).empty());
    EXPECT_EQ(printer.LerStatusImpressora(1), s.expected);
  }
}

TEST(EngineEndToEnd, HangingUpMidJobKeepsWhatArrived) {
  TRunningServer server(Options(ppEscPosEpson));
  server.Command("modo desligar");
  ASSERT_FALSE(server.WaitForMessage("modo: desligar").empty());
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscPosEpson);
  printer.SetPorta(server.Porta());
  printer.Ativar();
  printer.Imprimir("primeira linha\n");
  ASSERT_FALSE(server.WaitForMessage("conexão derrubada").empty());
  const std::vector<std::string> t = server.WaitForTranscripts(1);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0], "primeira linha\n");
  try {
    printer.Imprimir("segunda\n");  // the printer is gone; this may or may not fail at once
  } catch (const EDovraError&) {
  }
  printer.Desativar();
}

// One receipt with every kind of element, printed through the engine.
const char kReceipt[] =
    "</ce><n>Padaria Pão</n>\n"
    "</ae>Item<e>10,00</e>\n"
    "<c>c</c><s>s</s><i>i</i><a>a</a><in>v</in></fb>b</fa>\n"
    "<ean13>789012345678</ean13><code128>ABC</code128><qrcode>ABC</qrcode>"
    "</logo></abre_gaveta></corte_total>";

TEST(EngineEndToEnd, ReceiptTranscripts) {
  struct Case {
    TDovraPosPrinterModelo modelo;
    std::string transcript;
  };
  const std::string barcodes =
      "[BARRAS EAN13 dados=789012345678 largura=2 altura=50 texto=nao]\n"
      "[BARRAS CODE128 dados=ABC largura=2 altura=50 texto=nao]\n";
  const std::string bematechStyle =
      "{ce}{n}Padaria Pão{/}\nItem{e}10,00{/}\n{c}c{/}{s}s{/}{i}i{/}{a}a{/}v{c}b{/}\n";
  const std::string escPosStyle =
      "{ce}{n}Padaria Pão{/}\nItem{e}10,00{/}\n{c}c{/}{s}s{/}{i}i{/}{a}a{/}{in}v{/}{fb}b{/}\n";
  const std::vector<Case> cases = {
      {ppEscPosEpson,
       escPosStyle +
           "[BARRAS EAN13 dados=789012345678 largura=2 altura=50 texto=nao]\n"
           "[BARRAS CODE128 dados=ABC conjunto=B largura=2 altura=50 texto=nao]\n"
           "[QRCODE dados=ABC modulo=4 correcao=L]\n[LOGO kc1=48 kc2=49]\n[GAVETA 1]\n"
           "[CORTE TOTAL]\n"},
      {ppEscDiebold,
       escPosStyle + barcodes +
           "[QRCODE dados=ABC modulo=4 correcao=L]\n[LOGO n=1]\n[GAVETA 1]\n[CORTE TOTAL]\n"},
      {ppEscBematech,
       bematechStyle + barcodes +
           "[QRCODE dados=ABC modulo=8 correcao=L]\n[LOGO n=1]\n[GAVETA 1]\n[CORTE TOTAL]\n"},
      {ppEscVox,
       bematechStyle + barcodes +
           "[QRCODE dados=ABC modulo=4 correcao=L]\n[LOGO n=1]\n[GAVETA 1]\n[CORTE TOTAL]\n"},
      {ppEscDaruma,
       "[CONFIGURACAO 31=1]\n" + bematechStyle + barcodes +
           "[QRCODE dados=ABC modulo=4 correcao=L]\n[LOGO]\n[GAVETA 1]\n[CORTE TOTAL]\n"},
      {ppEscEpsonP2,
       "{n}Padaria Pão{/}\nItem{e}10,00{/}\n{c}c{/}{s}s{/}{i}i{/}av{c}b{/}\n789012345678ABC\n"},
      {ppTexto, "Padaria Pão\nItem10,00\ncsiavb\n789012345678ABC\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NameOf(c.modelo));
    TRunningServer server(Options(c.modelo));
    TDovraPosPrinter printer;
    printer.SetModelo(c.modelo);
    printer.SetPorta(server.Porta());
    printer.SetLinhasEntreCupons(0);
    printer.ConfigLogo().SetKeyCode1('0');
    printer.ConfigLogo().SetKeyCode2('1');
    printer.Ativar();
    printer.Imprimir(kReceipt);
    printer.Desativar();
    const std::vector<std::string> t = server.WaitForTranscripts(1);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0], c.transcript);
  }
}

TEST(EngineEndToEnd, DarumaTakesItsColumnsFromThePrinter) {
  TServerOptions o = Options(ppEscDaruma);
  o.printer.columns = 52;
  TRunningServer server(o);
  TDovraPosPrinter printer;
  printer.SetModelo(ppEscDaruma);
  printer.SetPorta(server.Porta());
  printer.SetLinhasEntreCupons(0);
  printer.Ativar();
  EXPECT_EQ(printer.ColunasFonteNormal(), 52);
  printer.Imprimir("</linha_simples>\n</corte_parcial>");
  printer.Desativar();
  const std::vector<std::string> t = server.WaitForTranscripts(1);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0], "[CONFIGURACAO 31=1]\n" + std::string(52, '-') + "\n[CORTE TOTAL]\n");
}

}  // namespace
}  // namespace dovra::emulator::test

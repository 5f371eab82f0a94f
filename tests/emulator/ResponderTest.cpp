// The status and identification replies of each model, byte for byte, for a few printer states.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "emulator/responder/Responder.h"
#include "util/Bytes.h"

namespace dovra::emulator {
namespace {

using C = TCondition;

struct Case {
  TQueryKind kind;
  int param;
  TConditions state;
  std::optional<std::string> reply;  // hexadecimal; nullopt = no answer
};

void Check(TDovraPosPrinterModelo modelo, const std::vector<Case>& cases,
           TIdentity identity = {}) {
  const auto responder = MakeResponder(modelo, identity);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(NameOf(modelo)) + " query " + std::to_string(c.param) + " state " +
                 FormatConditions(c.state));
    const std::optional<std::string> got = responder->Answer(TQuery{c.kind, c.param, {}}, c.state);
    if (!c.reply) {
      EXPECT_FALSE(got.has_value());
    } else {
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(*got, Hex(*c.reply));
    }
  }
}

constexpr auto kEot = TQueryKind::kRealTimeStatus;

TEST(EscPosResponder, RealTimeStatusBits) {
  const std::vector<Case> cases = {
      {kEot, 1, {}, "16"},
      {kEot, 2, {}, "12"},
      {kEot, 4, {}, "12"},
      {kEot, 1, {C::kGavetaAberta}, "12"},
      {kEot, 1, {C::kOffline, C::kErro, C::kImprimindo}, "7E"},
      {kEot, 2, {C::kOffline, C::kErro, C::kImprimindo}, "5A"},
      {kEot, 2, {C::kTampaAberta}, "16"},
      {kEot, 2, {C::kSemPapel, C::kPoucoPapel}, "32"},
      {kEot, 4, {C::kSemPapel, C::kPoucoPapel}, "7E"},
      {kEot, 5, {}, std::nullopt},
  };
  Check(ppEscPosEpson, cases);
  Check(ppEscDiebold, cases);
}

TEST(EscPosResponder, Identification) {
  constexpr auto kId = TQueryKind::kPrinterId;
  Check(ppEscPosEpson, {
                           {kId, 'B', {}, "5F 4D 6F 72 76 61 6E 74 69 73 00"},  // _Morvantis
                           {kId, 'A', {}, "5F 31 2E 30 00"},                     // _1.0
                           {kId, 2, {}, "02"},
                           {kId, 'Z', {}, std::nullopt},
                       });
  TIdentity noCutter;
  noCutter.guilhotina = false;
  Check(ppEscPosEpson, {{kId, 2, {}, "00"}}, noCutter);
}

TEST(BematechResponder, StatusAndIdentification) {
  constexpr auto kSt = TQueryKind::kBematechStatus;
  constexpr auto kInfo = TQueryKind::kBematechInfo;
  const std::vector<Case> cases = {
      {kSt, '1', {}, "00 90 00 00 00"},
      {kSt, '1', {C::kSemPapel, C::kTampaAberta, C::kGavetaAberta}, "00 24 00 00 00"},
      {kSt, '1', {C::kImprimindo, C::kOffline, C::kPoucoPapel, C::kErro}, "0C D2 00 00 00"},
      {kInfo, 0, {}, "50 44 56 56 49 52 54 55 41 4C"},  // PDVVIRTUAL, ten bytes
      {kInfo, 1, {}, "56 49 52 54 30 30 30 30 30 31"},  // VIRT000001
      {kInfo, 3, {}, "31 2E 30"},                       // 1.0
      {kInfo, 2, {}, std::nullopt},
  };
  Check(ppEscBematech, cases);
  Check(ppEscVox, cases);  // Elgin keeps Bematech's queries

  TIdentity odd;
  odd.modelo = "MP";
  odd.firmware = "12345";
  odd.guilhotina = false;
  Check(ppEscBematech, {{kInfo, 0, {}, "4D 50 20 20 20 20 20 20 20 20"},
                        {kInfo, 3, {}, "31 32 33"},
                        {kSt, '1', {}, "00 90 04 00 00"}},
        odd);
}

TEST(ElginResponder, EnqStatus) {
  constexpr auto kEnq = TQueryKind::kEnq;
  Check(ppEscVox, {
                      {kEnq, 0, {}, "09"},
                      {kEnq, 0, {C::kOffline, C::kTampaAberta}, "00"},
                      {kEnq, 0, {C::kSemPapel, C::kGavetaAberta, C::kPoucoPapel}, "1F"},
                      {kEnq, 0, {C::kErro, C::kImprimindo}, "09"},
                  });
}

TEST(DarumaResponder, StatusAndIdentification) {
  constexpr auto kEnq = TQueryKind::kEnq;
  constexpr auto kGsEnq = TQueryKind::kGsEnq;
  Check(ppEscDaruma,
        {
            {kEnq, 0, {}, "10"},
            {kGsEnq, 0, {}, "10"},
            {kEnq, 0, {C::kImprimindo, C::kErro, C::kSemPapel, C::kTampaAberta}, "B9"},
            {kGsEnq, 0, {C::kImprimindo, C::kErro, C::kSemPapel, C::kTampaAberta}, "42"},
            {kEnq, 0, {C::kOffline, C::kPoucoPapel, C::kGavetaAberta}, "00"},
            {kGsEnq, 0, {C::kOffline, C::kPoucoPapel, C::kGavetaAberta}, "99"},
            {TQueryKind::kDarumaFirmware, 0, {}, "3A 31 2E 30 0D"},  // :1.0 CR
            {TQueryKind::kDarumaModel, 0, {}, "3A 37 30 30 0D"},     // :700 CR
            {TQueryKind::kBematechStatus, '1', {}, std::nullopt},
        });

  // The settings reply: byte 9 the cutter, byte 12 the width code, byte 40 the code page.
  const std::string seven = "30 30 30 30 30 30 30 ";
  struct Width {
    int colunas;
    const char* code;
  };
  for (const Width w : {Width{48, "30"}, Width{52, "31"}, Width{34, "32"}, Width{40, "30"}}) {
    TIdentity id;
    id.colunas = w.colunas;
    const std::string hex = "3A " + seven + "31 30 30 " + w.code + " " + seven + seven + seven +
                            "30 30 30 30 30 30 32 0D";
    Check(ppEscDaruma, {{TQueryKind::kDarumaSettings, 0, {}, hex}}, id);
  }
}

TEST(Responders, PlainTextAndEscP2AnswerNothing) {
  for (TDovraPosPrinterModelo m : {ppTexto, ppEscEpsonP2}) {
    Check(m, {{kEot, 1, {}, std::nullopt}, {TQueryKind::kEnq, 0, {}, std::nullopt}});
  }
}

}  // namespace
}  // namespace dovra::emulator

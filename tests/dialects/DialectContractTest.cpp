// What every dialect owes the printer: the class tree, which class implements each of the
// fourteen operations, and status reading that never raises.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "dialects/DovraEscBematech.h"
#include "dialects/DovraEscDaruma.h"
#include "dialects/DovraEscDiebold.h"
#include "dialects/DovraEscElgin.h"
#include "dialects/DovraEscEpsonP2.h"
#include "dialects/DovraEscPosEpson.h"
#include "engine/DovraPosPrinter.h"

namespace dovra {
namespace {

template <typename C>
constexpr const char* ShortName() {
  if constexpr (std::is_same_v<C, TDovraPosPrinterClass>) return "base";
  if constexpr (std::is_same_v<C, TDovraEscPosEpson>) return "ESC/POS";
  if constexpr (std::is_same_v<C, TDovraEscDiebold>) return "Diebold";
  if constexpr (std::is_same_v<C, TDovraEscBematech>) return "Bematech";
  if constexpr (std::is_same_v<C, TDovraEscElgin>) return "Elgin";
  if constexpr (std::is_same_v<C, TDovraEscDaruma>) return "Daruma";
  if constexpr (std::is_same_v<C, TDovraEscEpsonP2>) return "ESC/P2";
  return "?";
}

// `&Dialect::Op` has the type of a pointer to a member of the class that declares Op, so this
// names the class whose implementation a dialect runs: "own", "base" or "as <parent>".
template <typename Dialect, typename C, typename R, typename... A>
std::string Implementer(R (C::*)(A...)) {
  if constexpr (std::is_same_v<C, Dialect>) return "own";
  if constexpr (std::is_same_v<C, TDovraPosPrinterClass>) return "base";
  return std::string("as ") + ShortName<C>();
}

// One row per operation, one column per dialect: ESC/POS, Diebold, Bematech, Elgin, Daruma,
// ESC/P2.
#define DOVRA_ROW(op)                                                                    \
  {#op,                                                                                  \
   Implementer<TDovraEscPosEpson>(&TDovraEscPosEpson::op) + " " +                        \
       Implementer<TDovraEscDiebold>(&TDovraEscDiebold::op) + " " +                      \
       Implementer<TDovraEscBematech>(&TDovraEscBematech::op) + " " +                    \
       Implementer<TDovraEscElgin>(&TDovraEscElgin::op) + " " +                          \
       Implementer<TDovraEscDaruma>(&TDovraEscDaruma::op) + " " +                        \
       Implementer<TDovraEscEpsonP2>(&TDovraEscEpsonP2::op)}

TEST(DialectContract, EachDialectOverridesExactlyWhatItsLanguageSupports) {
  struct Row {
    const char* operation;
    std::string implementers;
  };
  const std::vector<Row> actual = {
      DOVRA_ROW(TranslateBlockTag), DOVRA_ROW(BarcodeCommand),    DOVRA_ROW(QRCodeCommand),
      DOVRA_ROW(LineSpacingCommand), DOVRA_ROW(CodePageCommand),  DOVRA_ROW(LogoCommand),
      DOVRA_ROW(DrawerCommand),     DOVRA_ROW(InitCommand),       DOVRA_ROW(LineFeedCommand),
      DOVRA_ROW(FontCommand),       DOVRA_ROW(PageModeSetupCommand), DOVRA_ROW(Configure),
      DOVRA_ROW(ReadStatus),        DOVRA_ROW(ReadInfo),
  };
  const std::vector<Row> expected = {
      {"TranslateBlockTag", "base base base base base base"},
      {"BarcodeCommand", "own own own as Bematech own base"},
      {"QRCodeCommand", "own own own own own base"},
      {"LineSpacingCommand", "base base base base base base"},
      {"CodePageCommand", "own as ESC/POS own as Bematech base base"},
      {"LogoCommand", "own own own as Bematech own base"},
      {"DrawerCommand", "own as ESC/POS own as Bematech own base"},
      {"InitCommand", "base base own as Bematech own base"},
      {"LineFeedCommand", "base base base base base base"},
      {"FontCommand", "own as ESC/POS base base base base"},
      {"PageModeSetupCommand", "own as ESC/POS base base base base"},
      {"Configure", "base base base base own base"},
      {"ReadStatus", "own as ESC/POS own own own base"},
      {"ReadInfo", "own own own as Bematech own base"},
  };
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_STREQ(actual[i].operation, expected[i].operation);
    EXPECT_EQ(actual[i].implementers, expected[i].implementers) << expected[i].operation;
  }
}
#undef DOVRA_ROW

TEST(DialectContract, ClassTree) {
  // Diebold is ESC/POS, Elgin is Bematech; everything else stands directly on the base.
  EXPECT_TRUE((std::is_base_of_v<TDovraEscPosEpson, TDovraEscDiebold>));
  EXPECT_TRUE((std::is_base_of_v<TDovraEscBematech, TDovraEscElgin>));
  EXPECT_FALSE((std::is_base_of_v<TDovraEscPosEpson, TDovraEscBematech>));
  EXPECT_FALSE((std::is_base_of_v<TDovraEscPosEpson, TDovraEscDaruma>));
  EXPECT_FALSE((std::is_base_of_v<TDovraEscBematech, TDovraEscDaruma>));
  EXPECT_FALSE((std::is_base_of_v<TDovraEscPosEpson, TDovraEscEpsonP2>));
  EXPECT_FALSE((std::is_base_of_v<TDovraEscBematech, TDovraEscEpsonP2>));

  struct Case {
    TDovraPosPrinterModelo modelo;
    const char* modelName;
  };
  const Case cases[] = {
      {ppTexto, "Texto"},         {ppEscPosEpson, "EscPosEpson"}, {ppEscBematech, "EscBematech"},
      {ppEscDaruma, "EscDaruma"}, {ppEscVox, "EscElgin"},         {ppEscDiebold, "EscDiebold"},
      {ppEscEpsonP2, "EscEpsonP2"},
  };
  for (const Case& c : cases) {
    TDovraPosPrinter printer;
    printer.SetModelo(c.modelo);
    EXPECT_EQ(printer.Dialect().ModelName(), c.modelName) << NameOf(c.modelo);
    EXPECT_EQ(DialectModelName(c.modelo), std::string(c.modelName)) << NameOf(c.modelo);
  }
}

// Not derived from std::exception: what a hook port's owner might throw.
struct HookFailure {};

// Status reading turns every failure of the exchange into stErroLeitura, whatever the port
// throws; a dialect without status reports nothing and never touches the port.
TEST(DialectContract, StatusReadingNeverRaises) {
  struct Case {
    TDovraPosPrinterModelo modelo;
    TDovraPosStatusSet expected;
  };
  const Case cases[] = {
      {ppTexto, {}},
      {ppEscPosEpson, {stErroLeitura}},
      {ppEscBematech, {stErroLeitura}},
      {ppEscDaruma, {stErroLeitura}},
      {ppEscVox, {stErroLeitura}},
      {ppEscDiebold, {stErroLeitura}},
      {ppEscEpsonP2, {}},
  };
  for (bool failOnSend : {false, true}) {
    for (const Case& c : cases) {
      TDovraPosPrinter printer;
      printer.SetModelo(c.modelo);
      printer.SetPorta("USB");
      printer.Device().HookEnviaString = [failOnSend](const std::string&) {
        if (failOnSend) throw HookFailure{};
      };
      printer.Device().HookLeString = [](int, int, std::string&) { throw HookFailure{}; };
      TDovraPosStatusSet status;
      EXPECT_NO_THROW(printer.Dialect().ReadStatus(status))
          << NameOf(c.modelo) << (failOnSend ? " (send)" : " (read)");
      EXPECT_EQ(StatusToString(status), StatusToString(c.expected))
          << NameOf(c.modelo) << (failOnSend ? " (send)" : " (read)");
    }
  }
}

}  // namespace
}  // namespace dovra

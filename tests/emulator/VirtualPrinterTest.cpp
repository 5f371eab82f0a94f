// The printer between its port and its decoder: answer modes, and decoding that does not
// depend on how the bytes were cut into reads.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "emulator/server/VirtualPrinter.h"
#include "tests/emulator/EmulatorTestSupport.h"
#include "util/BracketNotation.h"
#include "util/Bytes.h"

namespace dovra::emulator::test {
namespace {

using K = TAnswerMode::Kind;

TEST(VirtualPrinter, AnswerModes) {
  const std::string query = Hex("10 04 04");  // DLE EOT 4, paper sensors
  const std::string real = Hex("72");         // paper end: bits 1, 4, 5 and 6
  struct Case {
    TAnswerMode mode;
    bool answers;
    int delayMs;
    bool hangsUp;
  };
  const std::vector<Case> cases = {
      {{K::kNormal, 0}, true, 0, false},
      {{K::kLate, 250}, true, 250, false},
      {{K::kSilent, 0}, false, 0, false},
      {{K::kHangUp, 0}, false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.mode));
    TPrinterConfig config;
    config.conditions = {TCondition::kSemPapel};
    TVirtualPrinter printer(config, {});
    printer.SetMode(c.mode);
    const std::vector<TVirtualPrinter::TReply> replies = printer.Receive(query);
    ASSERT_EQ(replies.size(), c.answers ? 1u : 0u);
    if (c.answers) {
      EXPECT_EQ(replies[0].bytes, real);
      EXPECT_EQ(replies[0].delayMs, c.delayMs);
    }
    EXPECT_EQ(printer.ShouldHangUp(), c.hangsUp);
    printer.ConnectionClosed();
    EXPECT_FALSE(printer.ShouldHangUp()) << "a new connection starts afresh";
  }

  // Garbage: something comes back, and it is not (always) the real answer.
  TPrinterConfig config;
  config.conditions = {TCondition::kSemPapel};
  TVirtualPrinter printer(config, {});
  printer.SetMode({K::kGarbage, 0});
  bool differs = false;
  for (int i = 0; i < 20; ++i) {
    const std::vector<TVirtualPrinter::TReply> replies = printer.Receive(query);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_FALSE(replies[0].bytes.empty());
    differs = differs || replies[0].bytes != real;
  }
  EXPECT_TRUE(differs);
}

TEST(VirtualPrinter, SettingsLastFromOneConnectionToTheNext) {
  std::vector<std::string> transcripts;
  TVirtualPrinter printer(TPrinterConfig{}, [&](TReceipt r) {
    transcripts.push_back(TranscriptText(r));
  });
  printer.Receive(Hex("1B 61 01 1B 45 01"));
  printer.ConnectionClosed();
  printer.Receive("a\n");
  printer.ConnectionClosed();
  EXPECT_EQ(transcripts, std::vector<std::string>{"{ce}{n}a{/}\n"});
}

// Random streams made mostly of command bytes: whatever the cut, the same receipts.
TEST(VirtualPrinter, DecodingDoesNotDependOnHowReadsAreCut) {
  const std::string alphabet = Hex("1B 1D 1C 10 0A 0D 09 00 01 05 0C 0F 12 14 16 08 28 6B 4C 21 "
                                   "40 61 74 6B 49 56 31 51 50 43 45 02 03 04 80 81 C6 E5 F8 F9 "
                                   "27 30 39 62 6F 77 C3 A3") + "AZaz09{";
  std::mt19937 random(12345);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(1, 120),
      piece(1, 7);
  const TDovraPosPrinterModelo models[] = {ppTexto,  ppEscPosEpson, ppEscBematech, ppEscDaruma,
                                           ppEscVox, ppEscDiebold,  ppEscEpsonP2};
  for (TDovraPosPrinterModelo m : models) {
    for (int round = 0; round < 150; ++round) {
      std::string bytes(length(random), '\0');
      for (char& b : bytes) b = alphabet[pick(random)];
      const std::size_t cut = piece(random);
      const TDecoded whole = Decode(m, bytes);
      const TDecoded pieces = Decode(m, bytes, cut);
      ASSERT_EQ(whole.transcripts, pieces.transcripts)
          << NameOf(m) << " bytes " << ToBracketNotation(bytes) << " in pieces of " << cut;
      ASSERT_EQ(whole.queries.size(), pieces.queries.size());
    }
  }
}

}  // namespace
}  // namespace dovra::emulator::test

// Hook ports: the procedures the device's owner plugs in, and the hook reading loop.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "device/DovraDevice.h"

namespace dovra {
namespace {

TEST(HookTest, ActivationWritingAndClosingCallTheHooks) {
  TDovraDevice device;
  std::vector<std::string> calls;
  device.HookAtivar = [&](const std::string& port, const std::string& params) {
    calls.push_back("ativar " + port + " | " + params);
  };
  device.HookEnviaString = [&](const std::string& cmd) { calls.push_back("envia " + cmd); };
  device.HookDesativar = [&](const std::string& port) { calls.push_back("desativar " + port); };
  device.SetPorta("DLL:minha.so");
  device.SetBaud(19200);
  device.SetHandShake(hsRTS_CTS);

  device.Ativar();
  device.Ativar();  // already open: no second call
  device.EnviaString(std::string("\x1b@\0", 3));
  device.Limpar();
  device.Desativar();
  device.Desativar();

  const std::vector<std::string> expected = {
      "ativar DLL:minha.so | BAUD=19200 DATA=8 PARITY=N STOP=1 HANDSHAKE=RTS/CTS HARDFLOW "
      "MAXBANDWIDTH=0 SENDBYTESCOUNT=0 SENDBYTESINTERVAL=0",
      std::string("envia \x1b@\0", 9),
      "desativar DLL:minha.so",
  };
  EXPECT_EQ(calls, expected);
}

TEST(HookTest, FailingHookAtivarLeavesTheDeviceClosed) {
  TDovraDevice device;
  device.SetPorta("USB");
  device.HookAtivar = [](const std::string&, const std::string&) {
    throw std::runtime_error("sem impressora");
  };
  EXPECT_THROW(device.Ativar(), std::runtime_error);
  EXPECT_FALSE(device.Ativo());
}

TEST(HookTest, WithoutHooksTheDeviceOpensAndDoesNothing) {
  TDovraDevice device;
  device.SetPorta("USB001");
  device.Ativar();
  EXPECT_TRUE(device.Ativo());
  EXPECT_NO_THROW(device.EnviaString("abc"));
  EXPECT_EQ(device.LeString(1, 3, "\r"), "");
  device.Desativar();
  EXPECT_FALSE(device.Ativo());
}

struct HookReadCase {
  const char* what;
  int numBytes;
  std::string terminator;
  std::deque<std::string> chunks;  // what each call of the hook returns
  std::string result;
  int calls;
};

TEST(HookReadTest, LoopsUntilTheCountOrATerminatorAtTheEndOfAChunk) {
  const std::vector<HookReadCase> cases = {
      {"one chunk is enough for no count", 0, "", {"AB", "CD"}, "AB", 1},
      {"empty chunks are retried", 0, "\r", {"", "", "AB\r", "CD"}, "AB", 3},
      {"count reached over several chunks", 4, "", {"AB", "CD", "EF"}, "ABCD", 2},
      {"terminator ends the loop before the count", 5, "\r", {"AB", "C\r", "DE"}, "ABC", 2},
      {"terminator only counts at the end of a chunk", 3, "\r", {"A\rB"}, "A\rB", 1},
      {"a chunk may overshoot the count", 2, "", {"ABC"}, "ABC", 1},
      {"a two-byte terminator", 0, "\r\n", {"OK\r\n"}, "OK", 1},
  };
  for (const HookReadCase& c : cases) {
    TDovraDevice device;
    device.SetPorta("USB");
    std::deque<std::string> chunks = c.chunks;
    std::vector<int> askedBytes;
    device.HookLeString = [&](int numBytes, int aTimeOut, std::string& retorno) {
      askedBytes.push_back(numBytes);
      EXPECT_EQ(aTimeOut, 2);
      EXPECT_TRUE(retorno.empty());
      if (!chunks.empty()) {
        retorno = chunks.front();
        chunks.pop_front();
      }
    };
    EXPECT_EQ(device.LeString(2, c.numBytes, c.terminator), c.result) << c.what;
    EXPECT_EQ(static_cast<int>(askedBytes.size()), c.calls) << c.what;
    if (!askedBytes.empty()) {
      EXPECT_EQ(askedBytes.front(), c.numBytes < 2 ? 1 : c.numBytes) << c.what;
    }
  }
}

TEST(HookReadTest, AHookThatNeverAnswersEndsAtTheDeadline) {
  TDovraDevice device;
  device.SetPorta("USB");
  device.SetTimeOut(1);
  int calls = 0;
  int timeOutSeen = -1;
  device.HookLeString = [&](int, int aTimeOut, std::string&) {
    ++calls;
    timeOutSeen = aTimeOut;
  };
  EXPECT_EQ(device.LeString(0, 4, "\r"), "");  // 0: the TimeOut setting, in seconds here
  EXPECT_EQ(timeOutSeen, 1);
  EXPECT_GT(calls, 1);
}

}  // namespace
}  // namespace dovra

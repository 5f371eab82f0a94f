// The TCP client and the device's TCP ports, against peers on the loopback interface.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/DovraDevice.h"
#include "device/DovraDeviceTypes.h"
#include "device/TcpClient.h"
#include "tests/device/DeviceTestUtil.h"
#include "tests/support/FakePrinter.h"

namespace dovra {
namespace {

// A socket bound to an ephemeral port on a loopback address; -1 on failure.
int BindLoopback(bool ipv6, bool reuseAddress, int& port) {
  const int fd = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (reuseAddress) {
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  }
  sockaddr_storage ss{};
  socklen_t len;
  if (ipv6) {
    auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
    a->sin6_family = AF_INET6;
    a->sin6_addr = in6addr_loopback;
    len = sizeof *a;
  } else {
    auto* a = reinterpret_cast<sockaddr_in*>(&ss);
    a->sin_family = AF_INET;
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    len = sizeof *a;
  }
  if (bind(fd, reinterpret_cast<sockaddr*>(&ss), len) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len) != 0) {
    close(fd);
    return -1;
  }
  port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                    : reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
  return fd;
}

// A listening socket on a loopback address with an ephemeral port. Connections complete in
// the kernel's backlog, so a test can connect first and accept afterwards in one thread.
class LoopbackListener {
 public:
  explicit LoopbackListener(bool ipv6 = false, int backlog = 8) {
    fd_ = BindLoopback(ipv6, /*reuseAddress=*/true, port_);
    if (fd_ >= 0 && listen(fd_, backlog) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~LoopbackListener() {
    for (int c : accepted_) close(c);
    if (fd_ >= 0) close(fd_);
  }
  bool Ok() const { return fd_ >= 0; }
  // Closes an accepted connection: an orderly end (FIN), or with `reset` an abort (RST).
  void Drop(int conn, bool reset) {
    if (reset) {
      const linger l{1, 0};
      setsockopt(conn, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }
    close(conn);
    accepted_.erase(std::remove(accepted_.begin(), accepted_.end(), conn), accepted_.end());
  }
  std::string Port() const { return std::to_string(port_); }

  // The next completed connection, or -1 when none arrives within the time.
  int Accept(int timeoutMs = 5000) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) != 1) return -1;
    const int c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c >= 0) accepted_.push_back(c);
    return c;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> accepted_;
};

// A loopback port that is bound but not listening: connecting to it is refused, and nobody
// else can take the port while the socket is held. Returns the descriptor; -1 on failure.
int BoundNotListening(bool ipv6, std::string& port) {
  int number = 0;
  const int fd = BindLoopback(ipv6, /*reuseAddress=*/false, number);
  if (fd >= 0) port = std::to_string(number);
  return fd;
}

// Reads from a peer socket until `count` bytes came or the peer stops sending.
std::string ReadPeer(int fd, std::size_t count, int timeoutMs = 5000) {
  std::string got;
  while (got.size() < count) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) != 1) break;
    char buf[65536];
    const ssize_t n = recv(fd, buf, std::min(sizeof buf, count - got.size()), 0);
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  return got;
}

void SendPeer(int fd, const std::string& data) {
  ASSERT_EQ(send(fd, data.data(), data.size(), MSG_NOSIGNAL), static_cast<ssize_t>(data.size()));
}

// Exposes the descriptor so a test can wait until bytes are pending on the client side.
class ProbedClient : public TTcpClient {
 public:
  bool InputPending(int timeoutMs = 5000) {
    pollfd p{Fd(), POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
  }
};

template <typename F>
EDovraStreamError ExpectStreamError(F action) {
  return testing::ExpectError<EDovraStreamError>(action, EDovraStreamError("", 0, ""));
}

// ---- the client ---------------------------------------------------------------------------

TEST(TcpClient, SendsEveryByteAndReadsTheReplies) {
  LoopbackListener listener;
  ASSERT_TRUE(listener.Ok());
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    ProbedClient client;
    client.SetConnectTimeoutMs(2000);
    client.Connect(host, listener.Port());
    ASSERT_TRUE(client.IsOpen()) << host;
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);

    // The second string is more than the socket buffers hold, so it goes out in parts while
    // the peer reads.
    const std::string data("\x1B\x40\x00\xFF\r\nabc", 8);
    std::string big(4 << 20, 'x');
    big.back() = '\x01';
    std::string got;
    std::thread reader([&] { got = ReadPeer(peer, data.size() + big.size()); });
    client.SendString(data);
    client.SendString(big);
    reader.join();
    EXPECT_TRUE(got == data + big) << got.size() << " bytes recebidos";

    SendPeer(peer, std::string("\x10\x04\x12" "OK\x03rest", 10));
    EXPECT_EQ(client.ReadCount(3, 2000), "\x10\x04\x12");
    EXPECT_EQ(client.ReadUntil("\x03", 2000), "OK");
    EXPECT_EQ(client.ReadAvailable(2000), "rest");
  }
}

TEST(TcpClient, BracketedIpv6Literal) {
  LoopbackListener listener(/*ipv6=*/true);
  if (!listener.Ok()) GTEST_SKIP() << "sem IPv6 na interface de loopback";
  TTcpClient client;
  client.Connect("[::1]", listener.Port());
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  client.SendString("v6");
  EXPECT_EQ(ReadPeer(peer, 2), "v6");

  // Errors name the endpoint with the brackets, so that host and port stay apart.
  std::string port;
  const int bound = BoundNotListening(true, port);
  ASSERT_GE(bound, 0);
  const auto e = ExpectStreamError([&] { client.Connect("[::1]", port); });
  close(bound);
  EXPECT_EQ(e.Code(), ECONNREFUSED);
  EXPECT_EQ(e.Message(), "Conexão recusada por [::1]:" + port);
}

struct ConnectFailure {
  const char* name;
  std::string host;
  std::string port;  // "@" = a loopback port on which nothing listens
  int code;
  std::string text;  // expected in the message, after "@" is replaced by the port
};

class TcpConnectFailure : public ::testing::TestWithParam<ConnectFailure> {};

TEST_P(TcpConnectFailure, RaisesSocketErrorNamingHostAndPort) {
  ConnectFailure c = GetParam();
  int bound = -1;
  if (c.port == "@") {
    bound = BoundNotListening(false, c.port);
    ASSERT_GE(bound, 0);
    const auto at = c.text.find('@');
    if (at != std::string::npos) c.text.replace(at, 1, c.port);
  }
  TTcpClient client;
  client.SetConnectTimeoutMs(2000);
  const auto e = ExpectStreamError([&] { client.Connect(c.host, c.port); });
  if (bound >= 0) close(bound);
  EXPECT_EQ(e.ClassName(), "ESocketError");
  if (c.code != 0) EXPECT_EQ(e.Code(), c.code);
  else EXPECT_NE(e.Code(), 0);
  EXPECT_NE(e.Message().find(c.text), std::string::npos) << e.Message();
  EXPECT_FALSE(client.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TcpConnectFailure,
    ::testing::Values(
        ConnectFailure{"Refused", "127.0.0.1", "@", ECONNREFUSED,
                       "Conexão recusada por 127.0.0.1:@"},
        // A bracketed host is a literal and never reaches a name server.
        ConnectFailure{"Unresolvable", "[::zz]", "9100", 0, "Host não encontrado [::zz]:9100"},
        ConnectFailure{"PortNotNumeric", "127.0.0.1", "abc", EINVAL,
                       "Porta TCP inválida em 127.0.0.1:abc"},
        ConnectFailure{"PortZero", "127.0.0.1", "0", EINVAL, "Porta TCP inválida em 127.0.0.1:0"},
        ConnectFailure{"PortTooHigh", "127.0.0.1", "70000", EINVAL,
                       "Porta TCP inválida em 127.0.0.1:70000"},
        ConnectFailure{"NoHost", "", "9100", EDESTADDRREQ, "Host TCP não definido"}),
    [](const auto& info) { return std::string(info.param.name); });

// A listener whose backlog is full takes no more connections: the attempt must end at the
// connect time-out, not at the system's (minutes).
TEST(TcpClient, ConnectTimesOutOnAListenerThatTakesNoMoreConnections) {
  LoopbackListener listener(false, 0);
  ASSERT_TRUE(listener.Ok());
  TTcpClient filler;
  filler.SetConnectTimeoutMs(2000);
  filler.Connect("127.0.0.1", listener.Port());

  TTcpClient client;
  client.SetConnectTimeoutMs(300);
  const auto e = ExpectStreamError([&] { client.Connect("127.0.0.1", listener.Port()); });
  EXPECT_EQ(e.ClassName(), "ESocketError");
  if (e.Code() == ECONNREFUSED) GTEST_SKIP() << "este kernel recusa em vez de ignorar: " << e.what();
  EXPECT_EQ(e.Code(), ETIMEDOUT);
  EXPECT_EQ(e.Message(),
            "Tempo esgotado ao conectar a 127.0.0.1:" + listener.Port() + " (300 ms)");
  EXPECT_FALSE(client.IsOpen());
}

// The peer goes away while a receipt is being sent: an error naming the endpoint, never a
// SIGPIPE (which would end this test program) and never a hang.
TEST(TcpClient, PeerThatHangsUpMidPrintRaises) {
  for (const bool reset : {false, true}) {
    LoopbackListener listener;
    ASSERT_TRUE(listener.Ok());
    TTcpClient client;
    client.Connect("127.0.0.1", listener.Port());
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);
    client.SendString("primeira parte");
    ASSERT_EQ(ReadPeer(peer, 14), "primeira parte");
    listener.Drop(peer, reset);

    const std::string chunk(64 * 1024, 'z');
    const auto e = ExpectStreamError([&] {
      for (int i = 0; i < 200; ++i) client.SendString(chunk);
    });
    EXPECT_EQ(e.ClassName(), "ESocketError") << (reset ? "reset" : "fim");
    EXPECT_EQ(e.Code(), TFdStream::kClosedCode) << e.what();
    EXPECT_NE(e.Message().find("127.0.0.1:" + listener.Port()), std::string::npos) << e.what();
  }
}

TEST(TcpClient, PeerThatHangsUpMidReadRaisesAtOnce) {
  for (const bool reset : {false, true}) {
    LoopbackListener listener;
    ASSERT_TRUE(listener.Ok());
    TTcpClient client;
    client.Connect("127.0.0.1", listener.Port());
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);
    SendPeer(peer, "abc");
    listener.Drop(peer, reset);
    // A hang-up is not a time-out: the code tells them apart.
    const auto e = ExpectStreamError([&] { client.ReadCount(10, 10000); });
    EXPECT_EQ(e.Code(), TFdStream::kClosedCode) << e.what();
    EXPECT_NE(e.Message().find("127.0.0.1:" + listener.Port()), std::string::npos) << e.what();
  }
}

TEST(TcpClient, PurgeDropsPendingInputAndNeverFails) {
  LoopbackListener listener;
  ASSERT_TRUE(listener.Ok());
  ProbedClient client;
  client.Purge();  // not connected
  client.Connect("127.0.0.1", listener.Port());
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  SendPeer(peer, "status antigo");
  ASSERT_TRUE(client.InputPending());
  client.Purge();
  SendPeer(peer, "novo");
  EXPECT_EQ(client.ReadAvailable(2000), "novo");

  shutdown(peer, SHUT_RDWR);
  ASSERT_TRUE(client.InputPending());
  client.Purge();  // a hung-up peer is no failure either
  EXPECT_TRUE(client.RaiseErrors());
}

TEST(TcpClient, WithRaiseErrorsOffFailuresOnlySetTheLastError) {
  LoopbackListener listener;
  ASSERT_TRUE(listener.Ok());
  TTcpClient client;
  client.SetRaiseErrors(false);
  client.SendString("nada");
  EXPECT_EQ(client.LastError(), ENOTCONN);
  client.Connect("127.0.0.1", "abc");
  EXPECT_EQ(client.LastError(), EINVAL);
  EXPECT_FALSE(client.IsOpen());
  client.Connect("127.0.0.1", listener.Port());
  EXPECT_TRUE(client.IsOpen());
  EXPECT_EQ(client.LastError(), 0);
}

TEST(TcpClient, ReconnectingClosesThePreviousConnection) {
  LoopbackListener listener;
  ASSERT_TRUE(listener.Ok());
  ProbedClient client;
  client.Connect("127.0.0.1", listener.Port());
  const int first = listener.Accept();
  ASSERT_GE(first, 0);
  // Unread input must not turn the close into a reset, which could make a printer drop the
  // end of what it was sent.
  SendPeer(first, "status não lido");
  ASSERT_TRUE(client.InputPending());
  client.Connect("127.0.0.1", listener.Port());
  const int second = listener.Accept();
  ASSERT_GE(second, 0);
  char c;
  pollfd p{first, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 5000), 1);
  EXPECT_EQ(recv(first, &c, 1, 0), 0);  // orderly end, not a reset
  client.SendString("2");
  EXPECT_EQ(ReadPeer(second, 1), "2");
}

// ---- the device's TCP ports ---------------------------------------------------------------

using testing::TFakePrinter;

// Host and port as the device splits them. The connections go to loopback ports that are
// refused or taken; only the split is checked.
TEST(DeviceTcp, SplitsHostAndPort) {
  struct Case {
    std::string porta, host, port;
  };
  for (const auto& c : std::vector<Case>{
           {"TCP:127.0.0.1", "127.0.0.1", "9100"},
           {"TCP:127.0.0.1:", "127.0.0.1", "9100"},
           {"tcp:localhost:9101", "localhost", "9101"},
           {"TCP:127.0.0.1:1234567", "127.0.0.1", "12345"},  // five characters at most
           {"TCP:[::1]:9100", "[::1]", "9100"},
           {"TCP:[::1]", "[::1]", "9100"},
           {"TCP:[::1]:", "[::1]", "9100"},
       }) {
    TDovraDevice dev;
    dev.SetPorta(c.porta);
    ASSERT_EQ(dev.TipoPorta(), dtTCP) << c.porta;
    dev.SetTimeOut(1);
    try {
      dev.Ativar();
      dev.Desativar();
    } catch (const EDovraStreamError&) {
    }
    EXPECT_EQ(dev.TCPHost(), c.host) << c.porta;
    EXPECT_EQ(dev.TCPPort(), c.port) << c.porta;
  }
}

TEST(DeviceTcp, WritesInPiecesWithPauses) {
  TFakePrinter printer(TFakePrinter::Transport::kTcp);
  TDovraDevice dev;
  std::vector<int> pauses;
  dev.SetSleepFunction([&](int ms) { pauses.push_back(ms); });
  dev.SetPorta(printer.Porta());
  dev.SetSendBytesCount(3);
  dev.SetSendBytesInterval(5);
  dev.Ativar();
  ASSERT_TRUE(dev.Ativo());
  EXPECT_EQ(dev.TCPHost(), "127.0.0.1");
  dev.EnviaString(std::string("\x1B@\x00\xFF" "ABC", 7));
  EXPECT_EQ(pauses, (std::vector<int>{5, 5, 5}));
  ASSERT_TRUE(printer.WaitForReceived(7));
  EXPECT_EQ(printer.Received(), std::string("\x1B@\x00\xFF" "ABC", 7));

  pauses.clear();
  dev.SetSendBytesCount(0);
  dev.SetSendBytesInterval(0);
  dev.EnviaString("inteiro");
  EXPECT_TRUE(pauses.empty());
  ASSERT_TRUE(printer.WaitForReceived(14));
  EXPECT_EQ(printer.Received().substr(7), "inteiro");
}

TEST(DeviceTcp, ReadsByCountByTerminatorAndWhatArrivedAndPurges) {
  TFakePrinter printer(TFakePrinter::Transport::kTcp);
  printer.WhenEndsWith("\x10\x04\x01", "\x12" "AB\x03" "CD");
  printer.WhenEndsWith("\x05", "resposta");
  TDovraDevice dev;
  dev.SetPorta(printer.Porta());
  dev.Ativar();

  dev.EnviaString("\x10\x04\x01");
  EXPECT_EQ(dev.LeString(3000, 1), "\x12");
  EXPECT_EQ(dev.LeString(3000, 0, "\x03"), "AB");
  EXPECT_EQ(dev.LeString(3000), "CD");

  // Stale bytes, some already taken into the reader's buffer, some maybe still in the
  // kernel's: Limpar drops both.
  printer.Send("lixo");
  EXPECT_EQ(dev.LeString(3000, 1), "l");
  dev.Limpar();
  dev.EnviaString("\x05");
  EXPECT_EQ(dev.LeString(3000, 8), "resposta");

  // Nothing comes: the read ends with the socket's time-out error.
  const auto e = ExpectStreamError([&] { dev.LeString(50, 1); });
  EXPECT_EQ(e.Code(), TFdStream::kTimeoutCode);
}

TEST(DeviceTcp, RefusedConnectionLeavesTheDeviceClosed) {
  std::string port;
  const int bound = BoundNotListening(false, port);
  ASSERT_GE(bound, 0);
  TDovraDevice dev;
  dev.SetPorta("TCP:127.0.0.1:" + port);
  const auto e = ExpectStreamError([&] { dev.Ativar(); });
  close(bound);
  EXPECT_EQ(e.ClassName(), "ESocketError");
  EXPECT_EQ(e.Message(), "Conexão recusada por 127.0.0.1:" + port);
  EXPECT_FALSE(dev.Ativo());
}

// The connect time-out is the device's TimeOut in seconds.
TEST(DeviceTcp, ConnectTimeOutComesFromTimeOut) {
  LoopbackListener listener(false, 0);
  ASSERT_TRUE(listener.Ok());
  TTcpClient filler;
  filler.Connect("127.0.0.1", listener.Port());
  TDovraDevice dev;
  dev.SetPorta("TCP:127.0.0.1:" + listener.Port());
  dev.SetTimeOut(1);
  const auto e = ExpectStreamError([&] { dev.Ativar(); });
  if (e.Code() == ECONNREFUSED) GTEST_SKIP() << "este kernel recusa em vez de ignorar: " << e.what();
  EXPECT_EQ(e.Code(), ETIMEDOUT);
  EXPECT_EQ(e.Message(),
            "Tempo esgotado ao conectar a 127.0.0.1:" + listener.Port() + " (1000 ms)");
  EXPECT_FALSE(dev.Ativo());
}

TEST(DeviceTcp, PrinterThatHangsUpMidPrintOrMidReplyRaises) {
  {
    TFakePrinter printer(TFakePrinter::Transport::kTcp);
    TDovraDevice dev;
    dev.SetPorta(printer.Porta());
    dev.Ativar();
    dev.EnviaString("cabeçalho");
    ASSERT_TRUE(printer.WaitForReceived(10));
    printer.HangUp();
    const std::string chunk(64 * 1024, 'z');
    const auto e = ExpectStreamError([&] {
      for (int i = 0; i < 200; ++i) dev.EnviaString(chunk);
    });
    EXPECT_EQ(e.Code(), TFdStream::kClosedCode) << e.what();
    EXPECT_NE(e.Message().find(printer.Porta().substr(4)), std::string::npos) << e.what();
  }
  {
    TFakePrinter printer(TFakePrinter::Transport::kTcp);
    printer.WhenEndsWith("\x1DI\x01", "0123456789");
    printer.SetMode(TFakePrinter::Mode::kHangUp);
    TDovraDevice dev;
    dev.SetPorta(printer.Porta());
    dev.Ativar();
    dev.EnviaString("\x1DI\x01");
    const auto e = ExpectStreamError([&] { dev.LeString(10000, 10); });
    EXPECT_EQ(e.Code(), TFdStream::kClosedCode) << e.what();
  }
}

TEST(DeviceTcp, Ipv6LiteralPort) {
  LoopbackListener listener(/*ipv6=*/true);
  if (!listener.Ok()) GTEST_SKIP() << "sem IPv6 na interface de loopback";
  TDovraDevice dev;
  dev.SetPorta("TCP:[::1]:" + listener.Port());
  dev.Ativar();
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  dev.EnviaString("via IPv6");
  EXPECT_EQ(ReadPeer(peer, 8), "via IPv6");
  SendPeer(peer, "ok");
  EXPECT_EQ(dev.LeString(3000, 2), "ok");

  dev.Desativar();
  pollfd p{peer, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 5000), 1);
  char c;
  EXPECT_EQ(recv(peer, &c, 1, 0), 0);  // the device closed its side
}

}  // namespace
}  // namespace dovra

#pragma once

#include <string>

#include "device/FdStream.h"

namespace dovra {

// A TCP client connection (POSIX sockets, getaddrinfo, non-blocking connect, poll for every
// time-out). Host names, IPv4 literals and bracketed IPv6 literals ("[::1]") are accepted.
// Reads and writes follow the rules of TFdStream. A peer that closes or resets the connection
// raises an error naming host and port; SIGPIPE is never raised (MSG_NOSIGNAL).
// Errors carry the class name "ESocketError".
class TTcpClient : public TFdStream {
 public:
  TTcpClient() = default;
  ~TTcpClient() override;

  // Connect time-out in milliseconds; 0 = the system's own time-out.
  int ConnectTimeoutMs() const { return connectTimeoutMs_; }
  void SetConnectTimeoutMs(int ms) { connectTimeoutMs_ = ms; }

  // Closes any previous connection, then connects within the connect time-out.
  void Connect(const std::string& host, const std::string& port);
  // Sends the whole string (within the write time-out) or raises.
  void SendString(const std::string& data);
  // Drops every received and unread byte; never fails.
  void Purge();

  const std::string& Host() const { return host_; }
  const std::string& Port() const { return port_; }

 protected:
  std::string EndpointName() const override;
  std::string ErrorClassName() const override { return "ESocketError"; }
  void OnClosing() override;

 private:
  int connectTimeoutMs_ = 0;
  std::string host_;
  std::string port_;
};

}  // namespace dovra

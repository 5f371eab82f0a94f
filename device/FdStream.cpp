#include "device/FdStream.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <thread>

#include "util/FileDescriptor.h"

namespace dovra {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(int timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
}

// Milliseconds left until the deadline, rounded up so that poll never wakes early and spins.
int MsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  const auto ms = (left + 999) / 1000;
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Simple pacing for a bandwidth limit: after moving n bytes, wait as long as n bytes take.
void Pace(std::size_t n, int bytesPerSecond) {
  if (bytesPerSecond <= 0 || n == 0) return;
  std::this_thread::sleep_for(std::chrono::microseconds(
      static_cast<long long>(n) * 1000000LL / bytesPerSecond));
}

// Largest piece moved at once under a bandwidth limit (a tenth of a second's worth).
std::size_t PieceUnder(int bytesPerSecond, std::size_t wanted) {
  if (bytesPerSecond <= 0) return wanted;
  return std::min(wanted, std::max<std::size_t>(1, static_cast<std::size_t>(bytesPerSecond) / 10));
}

bool IsHangUpErrno(int err) { return err == EPIPE || err == ECONNRESET || err == EIO; }

}  // namespace

TFdStream::~TFdStream() {
  if (fd_ >= 0) ::close(fd_);
}

void TFdStream::Close() {
  if (fd_ < 0) return;
  OnClosing();
  ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  Notify(TSerialStatusReason::Close, EndpointName());
}

void TFdStream::Attach(int fd) {
  if (fd_ >= 0 && fd_ != fd) ::close(fd_);
  fd_ = fd;
  buffer_.clear();
  ClearError();
  if (fd_ < 0) return;
  // Every wait is a poll with a deadline; the descriptor itself never blocks.
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0 && !(flags & O_NONBLOCK)) ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
  struct stat st {};
  isSocket_ = ::fstat(fd_, &st) == 0 && S_ISSOCK(st.st_mode);
}

void TFdStream::Fail(int code, const std::string& message) {
  lastError_ = code;
  lastErrorText_ = message;
  Notify(TSerialStatusReason::Error, message);
  if (raiseErrors_) throw EDovraStreamError(ErrorClassName(), code, message);
}

void TFdStream::ClearError() {
  lastError_ = 0;
  lastErrorText_.clear();
}

void TFdStream::Notify(TSerialStatusReason reason, const std::string& value) const {
  if (onStatus_) onStatus_(reason, value);
}

void TFdStream::FailHangUp() {
  Fail(kClosedCode, "Conexão encerrada pelo outro lado: " + EndpointName());
}

void TFdStream::FailTimeout(int timeoutMs) {
  Fail(kTimeoutCode, "Tempo esgotado após " + std::to_string(std::max(timeoutMs, 0)) +
                         " ms lendo " + EndpointName());
}

void TFdStream::FailErrno(int err, const char* action) {
  Fail(err, std::string("Erro ao ") + action + " " + EndpointName() + ": " +
                SystemReason(err));
}

// Waits until the descriptor is ready for `events` or the deadline passes. False on time-out
// (or after a failure that did not raise).
bool TFdStream::WaitFor(short events, Clock::time_point deadline, short& revents) {
  for (;;) {
    pollfd p{fd_, events, 0};
    const int r = ::poll(&p, 1, MsLeft(deadline));
    if (r < 0) {
      if (errno == EINTR) continue;
      FailErrno(errno, "aguardar");
      return false;
    }
    if (r == 0) return false;
    if (p.revents & POLLNVAL) {
      Fail(kClosedCode, "Porta não aberta: " + EndpointName());
      return false;
    }
    revents = p.revents;
    return true;
  }
}

std::size_t TFdStream::Write(const std::string& data) {
  ClearError();
  if (fd_ < 0) {
    Fail(kClosedCode, "Porta não aberta: " + EndpointName());
    return 0;
  }
  const auto deadline = DeadlineAfter(writeTimeoutMs_);
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t piece = PieceUnder(sendLimit_, data.size() - done);
    const ssize_t n = isSocket_ ? ::send(fd_, data.data() + done, piece, MSG_NOSIGNAL)
                                : ::write(fd_, data.data() + done, piece);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      Pace(static_cast<std::size_t>(n), sendLimit_);
      continue;
    }
    const int err = n < 0 ? errno : EAGAIN;
    if (err == EINTR) continue;
    if (err == EAGAIN || err == EWOULDBLOCK) {
      short revents = 0;
      if (!WaitFor(POLLOUT, deadline, revents)) break;
      if ((revents & (POLLHUP | POLLERR)) && !(revents & POLLOUT)) {
        FailHangUp();
        break;
      }
      continue;
    }
    if (IsHangUpErrno(err)) FailHangUp();
    else FailErrno(err, "escrever em");
    break;
  }
  if (done > 0) Notify(TSerialStatusReason::Write, data.substr(0, done));
  return done;
}

bool TFdStream::FillBuffer(Clock::time_point deadline, bool reportHangUp) {
  char chunk[4096];
  for (;;) {
    const std::size_t wanted = PieceUnder(recvLimit_, sizeof chunk);
    const ssize_t n = ::read(fd_, chunk, wanted);
    if (n > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(n));
      Notify(TSerialStatusReason::Read, std::string(chunk, static_cast<std::size_t>(n)));
      Pace(static_cast<std::size_t>(n), recvLimit_);
      return true;
    }
    int err = n < 0 ? errno : EPIPE;
    // A terminal in non-canonical mode with VMIN 0 reads 0 bytes when idle; only a hang-up
    // (POLLHUP) is its end. For a socket 0 bytes is always the end of the stream.
    if (n == 0 && !isSocket_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP)) err = EAGAIN;
    }
    if (err == EINTR) continue;
    if (err == EAGAIN || err == EWOULDBLOCK) {
      short revents = 0;
      if (!WaitFor(POLLIN, deadline, revents)) return false;
      continue;  // the next read tells data, end of stream or error apart
    }
    if (!reportHangUp) return false;
    if (IsHangUpErrno(err)) FailHangUp();
    else FailErrno(err, "ler de");
    return false;
  }
}

bool TFdStream::ReadMore(Clock::time_point deadline, int timeoutMs) {
  if (fd_ < 0) {
    Fail(kClosedCode, "Porta não aberta: " + EndpointName());
    return false;
  }
  if (FillBuffer(deadline)) return true;
  if (lastError_ == 0) FailTimeout(timeoutMs);
  return false;
}

std::string TFdStream::ReadCount(std::size_t count, int timeoutMs) {
  ClearError();
  const auto deadline = DeadlineAfter(timeoutMs);
  while (buffer_.size() < count) {
    if (!ReadMore(deadline, timeoutMs)) return {};
  }
  std::string result = buffer_.substr(0, count);
  buffer_.erase(0, count);
  return result;
}

std::string TFdStream::ReadUntil(const std::string& terminator, int timeoutMs) {
  if (terminator.empty()) return ReadAvailable(timeoutMs);
  ClearError();
  const auto deadline = DeadlineAfter(timeoutMs);
  std::size_t searchFrom = 0;
  for (;;) {
    const std::size_t at = buffer_.find(terminator, searchFrom);
    if (at != std::string::npos) {
      std::string result = buffer_.substr(0, at);
      buffer_.erase(0, at + terminator.size());
      return result;
    }
    if (buffer_.size() >= terminator.size()) searchFrom = buffer_.size() - terminator.size() + 1;
    if (!ReadMore(deadline, timeoutMs)) return {};
  }
}

std::string TFdStream::ReadAvailable(int timeoutMs) {
  ClearError();
  if (buffer_.empty() && !ReadMore(DeadlineAfter(timeoutMs), timeoutMs)) return {};
  // Whatever else has arrived already; a hang-up now is reported by the next read.
  while (fd_ >= 0 && FillBuffer(Clock::now(), false)) {
  }
  std::string result;
  result.swap(buffer_);
  return result;
}

void TFdStream::DiscardInput() {
  buffer_.clear();
  if (fd_ < 0) return;
  // Bounded, so that a peer that never stops sending cannot hold the caller here.
  char chunk[4096];
  for (int round = 0; round < 1024; ++round) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) continue;
    if (n < 0 && errno == EINTR) continue;
    break;
  }
}

}  // namespace dovra

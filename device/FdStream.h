#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "device/DovraDeviceTypes.h"
#include "util/DovraErrors.h"

namespace dovra {

// Raised by a serial line or a socket: carries the library's error code and text.
// Code 2 on a serial open means "the port does not exist"; a time-out raises code kTimeoutCode.
class EDovraStreamError : public EDovraError {
 public:
  EDovraStreamError(std::string className, int code, const std::string& message)
      : EDovraError(std::move(className), message), code_(code) {}
  int Code() const noexcept { return code_; }

 private:
  int code_;
};

// A byte stream over a POSIX file descriptor (a serial line or a connected socket), with the
// buffered reads the device needs. The same rules hold for every transport built on it:
//
//  - Time-outs are in milliseconds and count from the call, for the whole call (not per
//    packet). A time-out of 0 means "do not wait": only bytes already received count.
//  - ReadCount(n, t) returns exactly n bytes, or raises a time-out error naming the port and
//    the time waited; bytes received before the time-out stay buffered for the next read.
//  - ReadUntil(term, t) returns the bytes before the terminator, which is consumed; bytes
//    after it stay buffered.
//  - ReadAvailable(t) waits up to t for the first bytes, then returns everything received so
//    far without waiting further; nothing within t raises the time-out error.
//  - Write(data) writes as much as the write time-out allows and returns the count written;
//    a short count is not an error. Interrupted calls (EINTR) are retried, never reported.
//  - A peer that hangs up (EOF, EPIPE, ECONNRESET, POLLHUP) raises an error at once; no call
//    ever blocks past its time-out.
//  - With RaiseErrors() off, failures set LastError() and return an empty result or 0.
//  - Bandwidth limits (bytes per second, 0 = none) pace writes and reads.
class TFdStream {
 public:
  static constexpr int kTimeoutCode = 9997;
  static constexpr int kClosedCode = 9998;

  virtual ~TFdStream();

  bool IsOpen() const { return fd_ >= 0; }
  void Close();
  int LastError() const { return lastError_; }
  const std::string& LastErrorText() const { return lastErrorText_; }
  bool RaiseErrors() const { return raiseErrors_; }
  void SetRaiseErrors(bool on) { raiseErrors_ = on; }

  int WriteTimeoutMs() const { return writeTimeoutMs_; }
  void SetWriteTimeoutMs(int ms) { writeTimeoutMs_ = ms; }
  int SendLimit() const { return sendLimit_; }
  void SetSendLimit(int bytesPerSecond) { sendLimit_ = bytesPerSecond; }
  int RecvLimit() const { return recvLimit_; }
  void SetRecvLimit(int bytesPerSecond) { recvLimit_ = bytesPerSecond; }

  std::size_t Write(const std::string& data);
  std::string ReadCount(std::size_t count, int timeoutMs);
  std::string ReadUntil(const std::string& terminator, int timeoutMs);
  std::string ReadAvailable(int timeoutMs);
  // Drops every byte received and not yet read (the buffer and what the kernel holds).
  void DiscardInput();

  // Told of open, close, configure, purge, write, read and error (see TSerialStatusReason).
  const TSerialStatusEvent& OnStatus() const { return onStatus_; }
  void SetOnStatus(TSerialStatusEvent handler) { onStatus_ = std::move(handler); }

 protected:
  // The name errors show ("/dev/ttyS0", "192.168.0.31:9100") and the class name they carry.
  virtual std::string EndpointName() const = 0;
  virtual std::string ErrorClassName() const = 0;
  virtual void OnClosing() {}

  void Attach(int fd);
  int Fd() const { return fd_; }
  // Records the failure and raises it when RaiseErrors() is on.
  void Fail(int code, const std::string& message);
  void ClearError();
  void Notify(TSerialStatusReason reason, const std::string& value) const;

 private:
  // Reads what arrives until `deadline` into the buffer; true when bytes were added. A peer
  // that hung up fails (or, with reportHangUp off, only ends the filling quietly).
  bool FillBuffer(std::chrono::steady_clock::time_point deadline, bool reportHangUp = true);
  // FillBuffer for a read that needs more bytes: false, after failing with the closed port or
  // the time-out, when none came.
  bool ReadMore(std::chrono::steady_clock::time_point deadline, int timeoutMs);
  bool WaitFor(short events, std::chrono::steady_clock::time_point deadline, short& revents);
  void FailHangUp();
  void FailTimeout(int timeoutMs);
  void FailErrno(int err, const char* action);

  int fd_ = -1;
  std::string buffer_;
  int lastError_ = 0;
  std::string lastErrorText_;
  bool raiseErrors_ = true;
  int writeTimeoutMs_ = 30000;
  int sendLimit_ = 0;
  int recvLimit_ = 0;
  bool isSocket_ = false;
  TSerialStatusEvent onStatus_;
};

}  // namespace dovra

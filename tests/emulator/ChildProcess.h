// A program started by a test, with its standard input and output on pipes; every wait has a
// deadline and a program still running at the end is killed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace dovra::emulator::test {

class TChildProcess {
 public:
  TChildProcess(const std::string& program, const std::vector<std::string>& args) {
    ::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe2 failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    inFd_ = in[1];
    outFd_ = out[0];
    if (rc != 0) {
      pid_ = -1;
      throw std::runtime_error("posix_spawn failed for " + program);
    }
    ::fcntl(outFd_, F_SETFL, O_NONBLOCK);
  }

  ~TChildProcess() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      int status;
      ::waitpid(pid_, &status, 0);
    }
    if (inFd_ >= 0) ::close(inFd_);
    if (outFd_ >= 0) ::close(outFd_);
  }

  // The next line of standard output (without LF), or nothing when none came in time.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const std::size_t nl = out_.find('\n');
      if (nl != std::string::npos) {
        std::string line = out_.substr(0, nl);
        out_.erase(0, nl + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !Fill(static_cast<int>(left.count()))) return std::nullopt;
    }
  }

  // Reads lines until one starts with `prefix`; that line, or nothing when none came in time.
  std::optional<std::string> WaitForLine(const std::string& prefix,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      std::optional<std::string> line = ReadLine(left);
      if (!line) return std::nullopt;
      if (line->starts_with(prefix)) return line;
    }
  }

  void Write(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(inFd_, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }

  void Signal(int sig) {
    if (pid_ > 0 && !exited_) ::kill(pid_, sig);
  }

  // Exit status (128 + signal for a signal), or nothing when it did not end in time.
  std::optional<int> Wait(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int status = 0;
      const pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      Fill(10);  // keep the pipe drained so the program never blocks on its output
    }
  }

  // Everything read from standard output and not yet returned as a line.
  const std::string& Pending() const { return out_; }

 private:
  bool Fill(int timeoutMs) {
    pollfd p{outFd_, POLLIN, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r <= 0) return r == 0 ? timeoutMs > 0 : errno == EINTR;
    char buf[4096];
    const ssize_t n = ::read(outFd_, buf, sizeof buf);
    if (n > 0) {
      out_.append(buf, static_cast<std::size_t>(n));
      return true;
    }
    return false;
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int inFd_ = -1;
  int outFd_ = -1;
  std::string out_;
};

// Runs a program to its end (killed after `timeout`) and returns its exit status and output.
struct TRunResult {
  std::optional<int> status;
  std::string out;
};
inline TRunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  TChildProcess child(program, args);
  TRunResult r;
  r.status = child.Wait(timeout);
  while (std::optional<std::string> line = child.ReadLine(std::chrono::milliseconds(50))) {
    r.out += *line + "\n";
  }
  r.out += child.Pending();
  return r;
}

}  // namespace dovra::emulator::test

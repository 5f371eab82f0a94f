#pragma once

#include <string>
#include <vector>

namespace dovra::testing {

// A private cupsd for tests: its own configuration, spool, state and logs under a fresh temp
// folder, listening only on a Unix socket there, so the machine's own CUPS is never touched.
// Queues are raw queues whose device is a capture backend that writes each job's bytes and
// title to files, where the test reads them back.
class TCupsTestServer {
 public:
  struct Job {
    int id = 0;
    std::string title;
    std::string printer;
    std::string data;
  };

  TCupsTestServer() = default;
  ~TCupsTestServer();
  TCupsTestServer(const TCupsTestServer&) = delete;
  TCupsTestServer& operator=(const TCupsTestServer&) = delete;

  // Starts cupsd, waits (bounded) for its socket and points libcups (CUPS_SERVER and
  // cupsSetServer) at it until destruction. On failure returns false and `why` says what
  // went wrong, with the tail of the server's log.
  bool Start(std::string& why);
  // Terminates the server (SIGTERM, then SIGKILL if it lingers); the files stay until
  // destruction so that captured jobs can still be read.
  void Stop();
  bool Running() const { return pid_ > 0; }

  // The socket path to give CUPS_SERVER / cupsSetServer.
  const std::string& Socket() const { return socket_; }

  // Queue administration through the CUPS command-line tools; each returns false (with the
  // tool's output in `LastToolOutput()`) when the tool fails.
  bool AddRawQueue(const std::string& name);
  bool SetDefault(const std::string& name);
  bool Disable(const std::string& name, const std::string& reason);
  bool Reject(const std::string& name, const std::string& reason);
  const std::string& LastToolOutput() const { return toolOutput_; }

  // Jobs captured so far, in job-id order; WaitForJobs waits (bounded) until at least
  // `count` have arrived and returns what is there.
  std::vector<Job> CapturedJobs() const;
  std::vector<Job> WaitForJobs(std::size_t count, int timeoutMs = 15000) const;

  // The last lines of the server's error log, for failure messages.
  std::string LogTail(std::size_t lines = 30) const;

 private:
  bool RunTool(const std::vector<std::string>& argv);

  std::string root_;
  std::string socket_;
  std::string captureDir_;
  std::string toolOutput_;
  int pid_ = -1;
};

}  // namespace dovra::testing

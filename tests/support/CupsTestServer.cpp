#include "tests/support/CupsTestServer.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace dovra::testing {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Prints each job's bytes and title into the folder named by the device URI
// (capture:/folder). The data file appears under its final name only when complete.
constexpr const char* kCaptureBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct capture "Unknown" "Captura de trabalhos"'
  exit 0
fi
dir=${DEVICE_URI#capture:}
printf '%s' "$3" > "$dir/$1.title" || exit 1
printf '%s' "$PRINTER" > "$dir/$1.printer" || exit 1
if [ $# -ge 6 ]; then
  cat "$6" > "$dir/$1.part" || exit 1
else
  cat > "$dir/$1.part" || exit 1
fi
mv "$dir/$1.part" "$dir/$1.data"
exit 0
)";

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Spawns argv with stdout and stderr going to `logPath`; returns the pid or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& logPath) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Waits for `pid` at most `timeoutMs`; kills it when it lingers. Returns its exit status,
// or -1 when it did not exit normally.
int WaitExit(pid_t pid, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  for (;;) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (r < 0) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// The CUPS programs live in sbin, which an ordinary user's PATH often lacks.
std::string FindTool(const std::string& name) {
  std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "";
  dirs += ":/usr/sbin:/usr/local/sbin:/usr/bin:/sbin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string dir = dirs.substr(start, end - start);
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
    start = end + 1;
  }
  return name;
}

// The installed server's program folder (cups-exec lives in its daemon/ subfolder).
std::string InstalledServerBin() {
  for (const char* dir : {"/usr/lib/cups", "/usr/libexec/cups", "/usr/local/lib/cups"})
    if (access((std::string(dir) + "/daemon/cups-exec").c_str(), X_OK) == 0) return dir;
  return "/usr/lib/cups";
}

bool SocketAnswers(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

}  // namespace

TCupsTestServer::~TCupsTestServer() {
  Stop();
  if (!socket_.empty()) {
    unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }
  if (!root_.empty()) {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
}

bool TCupsTestServer::Start(std::string& why) {
  const std::string cupsd = FindTool("cupsd");
  if (access(cupsd.c_str(), X_OK) != 0) {
    why = "cupsd não está instalado";
    return false;
  }
  char tmpl[] = "/tmp/dovra-cups-XXXXXX";
  if (mkdtemp(tmpl) == nullptr) {
    why = std::string("mkdtemp: ") + std::strerror(errno);
    return false;
  }
  root_ = tmpl;
  // The job user (lp) must be able to reach the capture folder.
  chmod(root_.c_str(), 0755);
  for (const char* sub : {"conf", "spool", "spool/tmp", "cache", "state", "log", "bin",
                          "bin/backend", "capture"})
    fs::create_directories(root_ + "/" + sub);
  captureDir_ = root_ + "/capture";
  chmod(captureDir_.c_str(), 0777);
  socket_ = root_ + "/cups.sock";

  // cupsd refuses to run jobs as root; as root it runs them as lp, otherwise as ourselves.
  std::string runUser = "lp", runGroup = "lp", systemGroup = "root";
  if (geteuid() != 0) {
    const struct passwd* pw = getpwuid(geteuid());
    const struct group* gr = getgrgid(getegid());
    if (pw == nullptr || gr == nullptr) {
      why = "usuário ou grupo atual desconhecido";
      return false;
    }
    runUser = pw->pw_name;
    runGroup = gr->gr_name;
    systemGroup = gr->gr_name;
  }

  // Job execution goes through cups-exec from the installed server; the backends are ours.
  std::error_code ec;
  fs::create_directory_symlink(InstalledServerBin() + "/daemon", root_ + "/bin/daemon", ec);
  const std::string backend = root_ + "/bin/backend/capture";
  if (!WriteFile(backend, kCaptureBackend) || chmod(backend.c_str(), 0755) != 0) {
    why = "não foi possível criar o backend de captura";
    return false;
  }

  const std::string conf = root_ + "/conf/cupsd.conf";
  const std::string files = root_ + "/conf/cups-files.conf";
  WriteFile(conf,
            "Listen " + socket_ + "\n"
            "LogLevel debug\n"
            "Browsing No\n"
            "WebInterface No\n"
            "DefaultAuthType None\n"
            "MaxJobs 0\n"
            "PreserveJobFiles No\n"
            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  WriteFile(files,
            "ServerRoot " + root_ + "/conf\n"
            "RequestRoot " + root_ + "/spool\n"
            "TempDir " + root_ + "/spool/tmp\n"
            "CacheDir " + root_ + "/cache\n"
            "StateDir " + root_ + "/state\n"
            "ServerBin " + root_ + "/bin\n"
            "DataDir /usr/share/cups\n"
            "AccessLog " + root_ + "/log/access_log\n"
            "ErrorLog " + root_ + "/log/error_log\n"
            "PageLog " + root_ + "/log/page_log\n"
            "Printcap " + root_ + "/state/printcap\n"
            "User " + runUser + "\nGroup " + runGroup + "\nSystemGroup " + systemGroup + "\n");

  pid_ = Spawn({cupsd, "-f", "-c", conf, "-s", files}, root_ + "/log/stdout");
  if (pid_ < 0) {
    why = "não foi possível executar cupsd";
    return false;
  }
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      why = "cupsd terminou ao iniciar:\n" + ReadFile(root_ + "/log/stdout") + LogTail();
      return false;
    }
    if (SocketAnswers(socket_)) {
      setenv("CUPS_SERVER", socket_.c_str(), 1);
      cupsSetServer(socket_.c_str());
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Stop();
  why = "cupsd não abriu o socket " + socket_ + " a tempo:\n" + LogTail();
  return false;
}

void TCupsTestServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  WaitExit(pid_, 5000);
  pid_ = -1;
}

bool TCupsTestServer::RunTool(const std::vector<std::string>& argv) {
  const std::string log = root_ + "/log/tool.out";
  std::error_code ec;
  fs::remove(log, ec);
  std::vector<std::string> command = argv;
  command[0] = FindTool(command[0]);
  const pid_t pid = Spawn(command, log);
  const int rc = pid < 0 ? -1 : WaitExit(pid, 20000);
  toolOutput_ = ReadFile(log);
  return rc == 0;
}

bool TCupsTestServer::AddRawQueue(const std::string& name) {
  // "-m raw" still makes a raw queue in CUPS 2.4 (with a deprecation warning); without a
  // model the queue is raw as well, which is the fallback if a later CUPS drops the option.
  if (RunTool({"lpadmin", "-h", socket_, "-p", name, "-E", "-v", "capture:" + captureDir_,
               "-m", "raw"}))
    return true;
  return RunTool({"lpadmin", "-h", socket_, "-p", name, "-E", "-v", "capture:" + captureDir_});
}

bool TCupsTestServer::SetDefault(const std::string& name) {
  return RunTool({"lpadmin", "-h", socket_, "-d", name});
}

bool TCupsTestServer::Disable(const std::string& name, const std::string& reason) {
  return RunTool({"cupsdisable", "-h", socket_, "-r", reason, name});
}

bool TCupsTestServer::Reject(const std::string& name, const std::string& reason) {
  return RunTool({"cupsreject", "-h", socket_, "-r", reason, name});
}

std::vector<TCupsTestServer::Job> TCupsTestServer::CapturedJobs() const {
  std::vector<Job> jobs;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(captureDir_, ec)) {
    const fs::path p = entry.path();
    if (p.extension() != ".data") continue;
    Job job;
    job.id = std::atoi(p.stem().c_str());
    job.data = ReadFile(p.string());
    job.title = ReadFile(captureDir_ + "/" + p.stem().string() + ".title");
    job.printer = ReadFile(captureDir_ + "/" + p.stem().string() + ".printer");
    jobs.push_back(std::move(job));
  }
  std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
  return jobs;
}

std::vector<TCupsTestServer::Job> TCupsTestServer::WaitForJobs(std::size_t count,
                                                                int timeoutMs) const {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto jobs = CapturedJobs();
    if (jobs.size() >= count || Clock::now() >= deadline) return jobs;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string TCupsTestServer::LogTail(std::size_t lines) const {
  const std::string text = ReadFile(root_ + "/log/error_log");
  std::size_t pos = text.size();
  for (std::size_t n = 0; n <= lines && pos > 0; ++n) {
    pos = text.rfind('\n', pos - 1);
    if (pos == std::string::npos) {
      pos = 0;
      break;
    }
  }
  return text.substr(pos);
}

}  // namespace dovra::testing

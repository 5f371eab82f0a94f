#include "Launch.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace dovra {

namespace {

std::mutex openCommandMutex;
std::string openCommand = "xdg-open";

std::string OpenCommand() {
  std::lock_guard<std::mutex> lock(openCommandMutex);
  return openCommand;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

void AppendWords(const std::string& text, std::vector<std::string>& args) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) args.push_back(text.substr(start, i - start));
  }
}

// Starts args[0] (searched in PATH when it has no folder) with args as its argument
// vector; no shell is involved. Returns the child's id, or -1 when it could not start.
pid_t Spawn(const std::vector<std::string>& args, const std::string& workDir, bool newSession) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  if (newSession) posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

void WaitFor(pid_t pid) {
  int status;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

void SetOpenCommand(const std::string& program) {
  std::lock_guard<std::mutex> lock(openCommandMutex);
  openCommand = program.empty() ? "xdg-open" : program;
}

void LaunchProgram(const std::string& command, const std::string& parameters, bool wait,
                   int /*showMode*/) {
  const std::string cmd = Trim(command);
  if (cmd.empty()) return;
  std::vector<std::string> args;

  if (!wait) {
    args.push_back(OpenCommand());
    args.push_back(cmd);
    AppendWords(Trim(parameters), args);
    const pid_t pid = Spawn(args, {}, true);
    if (pid < 0) return;
    // Nobody waits for the opener; a detached thread reaps it so it leaves no zombie.
    try {
      std::thread(WaitFor, pid).detach();
    } catch (const std::system_error&) {
    }
    return;
  }

  // The command runs in its own folder; a relative name must then be made absolute,
  // or it would be looked up again from inside that folder.
  std::string program = cmd;
  std::string workDir;
  if (cmd.find('/') != std::string::npos) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(cmd, ec);
    if (!ec) {
      program = path.string();
      workDir = path.parent_path().string();
    }
  }
  args.push_back(program);
  AppendWords(Trim(parameters), args);
  const pid_t pid = Spawn(args, workDir, false);
  if (pid >= 0) WaitFor(pid);
}

void ShellOpen(const std::string& target) { LaunchProgram(target, "", false, kSwShow); }

}  // namespace dovra

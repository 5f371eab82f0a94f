// Starting programs: arguments are passed without a shell, waiting and reaping.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/TempFolder.h"
#include "util/Launch.h"

namespace dovra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

// A script that writes its working folder and then each argument on a line of its own to
// args.txt next to itself; the file appears only when complete.
class Launch : public testing::TempFolderTest {
 protected:
  void SetUp() override {
    script_ = WriteScript(folder.Path());
  }
  static std::string WriteScript(const fs::path& folder) {
    const std::string script = (folder / "grava-args.sh").string();
    std::ofstream(script) << "#!/bin/sh\n"
                             "d=$(dirname \"$0\")\n"
                             "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }"
                             " > \"$d/args.tmp\"\n"
                             "mv \"$d/args.tmp\" \"$d/args.txt\"\n";
    EXPECT_EQ(chmod(script.c_str(), 0755), 0);
    return script;
  }
  void TearDown() override {
    SetOpenCommand("");
  }
  std::string Output() const { return ReadFile(folder.File("args.txt")); }

  // The opener runs in the background: wait for its output, then for it to be reaped.
  bool WaitForOutput() const {
    for (int i = 0; i < 1000 && !fs::exists(folder.File("args.txt")); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(folder.File("args.txt"));
  }
  static bool HasZombieChild() {
    for (const auto& entry : fs::directory_iterator("/proc")) {
      std::ifstream stat(entry.path() / "stat");
      std::string line;
      if (!std::getline(stat, line)) continue;
      const auto close = line.rfind(')');
      if (close == std::string::npos) continue;
      char state = 0;
      int ppid = 0;
      if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 &&
          ppid == getpid() && state == 'Z')
        return true;
    }
    return false;
  }

  std::string script_;
};

TEST_F(Launch, WaitRunsInTheCommandsFolderWithBlankSeparatedArguments) {
  const std::string tricky = "it's;\"x\".txt;rm";
  LaunchProgram("  " + script_ + " ", "  a  " + tricky + "\tb ", true);
  // Waited: the output is there as soon as the call returns.
  EXPECT_EQ(Output(), folder.Path().string() + "\na\n" + tricky + "\nb\n");
}

TEST_F(Launch, RelativeCommandIsFoundFromItsOwnFolder) {
  // "sub/grava-args.sh" must not be looked up again from inside sub/.
  fs::create_directory(folder.Path() / "sub");
  WriteScript(folder.Path() / "sub");
  const fs::path previous = fs::current_path();
  fs::current_path(folder.Path());
  LaunchProgram("sub/grava-args.sh", "x", true);
  fs::current_path(previous);
  EXPECT_EQ(ReadFile(folder.File("sub/args.txt")), (folder.Path() / "sub").string() + "\nx\n");
}

TEST_F(Launch, ShellOpenPassesTheTargetAsOneArgumentAndReapsTheOpener) {
  SetOpenCommand(script_);
  const std::string target = folder.File("nota fiscal; echo \"x\" 'y'.pdf");
  ShellOpen(target);
  ASSERT_TRUE(WaitForOutput());
  EXPECT_EQ(Output(), fs::current_path().string() + "\n" + target + "\n");

  bool zombie = true;
  for (int i = 0; i < 500 && (zombie = HasZombieChild()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(zombie);
}

TEST_F(Launch, FailuresAreNotReported) {
  EXPECT_NO_THROW(LaunchProgram(folder.File("nao-existe"), "x", true));
  EXPECT_NO_THROW(LaunchProgram("", "x", true));
  SetOpenCommand(folder.File("abridor-inexistente"));
  EXPECT_NO_THROW(ShellOpen("arquivo.txt"));
}

}  // namespace
}  // namespace dovra

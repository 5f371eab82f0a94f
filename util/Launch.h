#pragma once
#include <string>

namespace dovra {

// Window show modes kept for callers that pass one; Linux has no equivalent.
constexpr int kSwShow = 5;

// wait false: opens `command` with the desktop's "open" (xdg-open), the parameters split on
// blanks appended as arguments; returns at once. wait true: starts command with the
// parameters split on blanks as arguments, in command's folder, and waits for it. Never
// through a shell; failures are not reported.
void LaunchProgram(const std::string& command, const std::string& parameters, bool wait,
                   int showMode = kSwShow);

// Opens a file with its associated program, or an address with the browser.
void ShellOpen(const std::string& target);

// The program LaunchProgram uses to "open" when it does not wait: "xdg-open" unless set
// (desktops without xdg-utils, tests). An empty name restores the default.
void SetOpenCommand(const std::string& program);

}  // namespace dovra

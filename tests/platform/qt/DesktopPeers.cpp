#include "DesktopPeers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/TestPaths.h"

extern char** environ;

namespace qttest {

bool HaveProgram(const std::string& name) {
  return twltest::RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

namespace {
thread_local std::chrono::steady_clock::time_point waitEnds;
}

void StartWait() { waitEnds = std::chrono::steady_clock::now() + std::chrono::seconds(30); }

bool WaitStep() {
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return std::chrono::steady_clock::now() < waitEnds;
}

Desktop::~Desktop() {
  for (auto it = peers_.rbegin(); it != peers_.rend(); ++it) {
    kill(*it, SIGTERM);
    waitpid(*it, nullptr, 0);
  }
}

pid_t Desktop::Spawn(const std::vector<std::string>& words) {
  std::vector<std::string> copy = words;
  std::vector<char*> argv;
  for (auto& word : copy) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The peers' chatter stays out of the test's output.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return 0;
  peers_.push_back(pid);
  return pid;
}

bool Desktop::Start() {
  int ready[2];
  if (pipe(ready) != 0) return false;
  std::vector<std::string> words{"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp", "-br", "-noreset"};
  // Only the write end goes to the server; posix_spawn keeps fds open.
  fcntl(ready[0], F_SETFD, FD_CLOEXEC);
  pid_t pid = Spawn(words);
  close(ready[1]);
  std::string number;
  char c = 0;
  while (pid && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
  close(ready[0]);
  if (number.empty()) return false;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  // The presenter runs on this desktop, not headless, and its tray icons
  // use the XEmbed tray.
  unsetenv("TWL_HEADLESS");
  unsetenv("WAYLAND_DISPLAY");
  // No session bus: Qt would otherwise try to start one through the X
  // server for its accessibility bridge and wait on it.
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  std::string runtime = twltest::MakeTempDir("runtime");
  chmod(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  return true;
}

bool Desktop::StartWindowManager() {
  if (!Spawn({"openbox", "--sm-disable"})) return false;
  return WaitFor([&] { return Try("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"); });
}

bool Desktop::StartTray() {
  if (!Spawn({"trayer", "--edge", "bottom", "--align", "left", "--widthtype", "request", "--expand", "true"}))
    return false;
  return WaitFor([&] { return Try("xprop -root -len 0 >/dev/null && xdotool search --class trayer >/dev/null"); });
}

std::string Desktop::Run(const std::string& commandLine) {
  std::string output;
  int status = twltest::RunCommand(commandLine, &output);
  EXPECT_EQ(status, 0) << commandLine << "\n" << output;
  return output;
}

bool Desktop::Try(const std::string& commandLine, std::string* output) {
  std::string ignored;
  return twltest::RunCommand(commandLine + " 2>/dev/null", output ? output : &ignored) == 0;
}

}  // namespace qttest

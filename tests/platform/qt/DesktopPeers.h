// A desktop of its own for each test: an Xvfb server on a free display, and
// on demand a window manager (openbox) and an XEmbed tray (trayer), all
// ended with the fixture. Peers are the real X tools (xdotool, xwininfo,
// xprop, ImageMagick), run through the shell with DISPLAY set.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qttest {

bool HaveProgram(const std::string& name);

class Desktop {
 public:
  Desktop() = default;
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Starts Xvfb (1024x768, black root) and points DISPLAY at it.
  bool Start();
  bool StartWindowManager();
  bool StartTray();

  // Runs a peer; fails the test when it exits with an error.
  std::string Run(const std::string& commandLine);
  // Runs a peer and tells whether it succeeded, for waits.
  bool Try(const std::string& commandLine, std::string* output = nullptr);

 private:
  pid_t Spawn(const std::vector<std::string>& words);
  std::vector<pid_t> peers_;  // stopped last to first
};

// Waits until `done` holds, checking every few milliseconds; false after
// ten seconds (a hung peer must not hang the suite).
template <typename Done>
bool WaitFor(Done done);
void StartWait();
// Sleeps one step; false once thirty seconds have passed since the first step
// of this wait (a wait ends when its condition holds). Thirty seconds, not
// less: a loaded machine running several X servers at once has taken over
// ten to map a window.
bool WaitStep();

}  // namespace qttest

template <typename Done>
bool qttest::WaitFor(Done done) {
  StartWait();
  while (WaitStep())
    if (done()) return true;
  return done();
}

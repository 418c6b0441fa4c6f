// Programs this process starts. Each child is reaped by a small thread of
// its own as soon as it ends, so no child is ever left a zombie, whether or
// not anybody holds or waits on its handle; its exit is a signal state under
// the dispatcher lock, so process handles work with the waits.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "KernelObject.h"

namespace twl {

struct SpawnRequest {
  std::string program;            // a path, or a name to look for on PATH
  bool searchPath = false;
  std::vector<std::string> args;  // the child's argv, the first included
  bool newSession = false;
  bool newProcessGroup = false;
  bool closeInherited = true;     // no descriptor beyond 0, 1 and 2 reaches the child
  std::optional<std::string> directory;
  std::optional<std::vector<std::string>> environment;  // none: this process's
};

class ChildProcess final : public Waitable {
 public:
  struct State {
    bool ended = false;  // under the dispatcher lock
    DWORD exitCode = 0;
    std::weak_ptr<Waitable> object;  // whose waiters the end wakes
  };

  ChildProcess(pid_t pid, std::shared_ptr<State> state);

  pid_t Pid() const { return pid_; }
  // STILL_ACTIVE while it runs; the exit status, or 128 + the signal.
  DWORD ExitCode() const;

  bool IsReady(DWORD threadId) override;
  AcquireResult Acquire(DWORD threadId) override { return AcquireResult::Acquired; }

 private:
  pid_t pid_;
  std::shared_ptr<State> state_;
};

// Starts the program; null with errno's value in `error` when it cannot be
// started (a missing or non-executable program included).
std::shared_ptr<ChildProcess> StartChild(const SpawnRequest& request, int& error);

// Runs a program looked for on PATH and collects what it writes to its
// standard output (at most `limit` bytes are kept); none when it cannot be
// started, does not end within `timeoutMilliseconds` (it is then killed) or
// ends with a status other than 0.
std::optional<std::string> RunForOutput(const std::vector<std::string>& args, int timeoutMilliseconds,
                                        size_t limit = 65536);

}  // namespace twl

#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

#include "twlwin/threads.h"

extern char** environ;

namespace twl {

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

DWORD ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<DWORD>(WTERMSIG(status));
  return 0;
}

void Reap(pid_t pid, std::shared_ptr<ChildProcess::State> state) {
  int status = 0;
  pid_t done;
  do {
    done = waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  std::lock_guard guard(DispatcherLock());
  state->ended = true;
  state->exitCode = done == pid ? ExitCodeOf(status) : 0;
  if (auto object = state->object.lock()) object->WakeWaiters();
}

// posix_spawn's attributes and file actions, released on every path.
struct SpawnSetup {
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
  SpawnSetup() {
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_init(&actions);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

ChildProcess::ChildProcess(pid_t pid, std::shared_ptr<State> state)
    : Waitable(ObjectKind::Other), pid_(pid), state_(std::move(state)) {}

DWORD ChildProcess::ExitCode() const {
  std::lock_guard guard(DispatcherLock());
  return state_->ended ? state_->exitCode : STILL_ACTIVE;
}

bool ChildProcess::IsReady(DWORD) { return state_->ended; }

std::shared_ptr<ChildProcess> StartChild(const SpawnRequest& request, int& error) {
  SpawnSetup setup;
  // The child starts with default signal handling and nothing blocked,
  // whatever this process changed.
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  sigset_t none;
  sigemptyset(&none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setsigdefault(&setup.attributes, &all);
  if (request.newSession) flags |= POSIX_SPAWN_SETSID;
  if (request.newProcessGroup && !request.newSession) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&setup.attributes, 0);
  }
  posix_spawnattr_setflags(&setup.attributes, flags);
  if (request.closeInherited) posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
  if (request.directory) posix_spawn_file_actions_addchdir_np(&setup.actions, request.directory->c_str());

  const std::vector<std::string> args = request.args.empty() ? std::vector<std::string>{request.program} : request.args;
  std::vector<char*> argv = Pointers(args);
  std::vector<char*> envp;
  if (request.environment) envp = Pointers(*request.environment);
  char** environment = request.environment ? envp.data() : environ;

  pid_t pid = 0;
  error = request.searchPath
              ? posix_spawnp(&pid, request.program.c_str(), &setup.actions, &setup.attributes, argv.data(), environment)
              : posix_spawn(&pid, request.program.c_str(), &setup.actions, &setup.attributes, argv.data(), environment);
  if (error != 0) return nullptr;
  auto state = std::make_shared<ChildProcess::State>();
  try {
    std::thread(Reap, pid, state).detach();
  } catch (const std::system_error&) {
    // A child nobody can watch would be reported as running for ever.
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    error = EAGAIN;
    return nullptr;
  }
  auto child = std::make_shared<ChildProcess>(pid, state);
  std::lock_guard guard(DispatcherLock());
  state->object = child;
  return child;
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& args, int timeoutMilliseconds,
                                        size_t limit) {
  if (args.empty()) return std::nullopt;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  SpawnSetup setup;
  posix_spawn_file_actions_adddup2(&setup.actions, fds[1], 1);
  posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK);
  std::vector<char*> argv = Pointers(args);
  pid_t pid = 0;
  int error = posix_spawnp(&pid, args[0].c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  close(fds[1]);
  if (error != 0) {
    close(fds[0]);
    return std::nullopt;
  }
  std::string output;
  bool timedOut = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd readable{fds[0], POLLIN, 0};
    int ready = poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    char buffer[4096];
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    output.append(buffer, std::min(static_cast<size_t>(n), limit - std::min(limit, output.size())));
  }
  close(fds[0]);
  if (timedOut) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace twl

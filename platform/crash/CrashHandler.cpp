#include "CrashHandler.h"

#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "CrashStack.h"
#include "SignalContext.h"
#include "twlwin/crash.h"

namespace twl::crash {
namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kSignalCount = sizeof kCrashSignals / sizeof kCrashSignals[0];

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> installedFilter{nullptr};
std::atomic<pid_t> crashingThread{0};

// What handled each signal before this layer, for EXCEPTION_CONTINUE_SEARCH.
struct sigaction previousActions[kSignalCount];

// Set aside before any crash: a crashing thread must not allocate. One set
// is enough, since crashes are handled one at a time.
EXCEPTION_RECORD crashRecord;
CONTEXT crashContext;
EXCEPTION_POINTERS crashPointers;

size_t SignalIndex(int signal) {
  for (size_t i = 0; i < kSignalCount; ++i) {
    if (kCrashSignals[i] == signal) return i;
  }
  return 0;
}

void WaitABit() {
  timespec pause{0, 1000000};
  nanosleep(&pause, nullptr);
}

// Ends the process as the signal would have without any handler.
[[noreturn]] void DieBy(int signal) {
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  sigaction(signal, &defaultAction, nullptr);
  syscall(SYS_tgkill, getpid(), CurrentThreadId(), signal);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
  _exit(128 + signal);  // only if the signal did not end the process
}

void PassToPrevious(int signal, siginfo_t* info, void* thread) {
  const struct sigaction& previous = previousActions[SignalIndex(signal)];
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction) previous.sa_sigaction(signal, info, thread);
    return;
  }
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) previous.sa_handler(signal);
}

void OnCrashSignal(int signal, siginfo_t* info, void* thread) {
  int savedErrno = errno;
  pid_t self = CurrentThreadId();
  // The filter itself crashed: nothing sensible is left to do.
  if (crashingThread.load() == self) DieBy(signal);
  pid_t nobody = 0;
  while (!crashingThread.compare_exchange_weak(nobody, self)) {
    nobody = 0;
    WaitABit();
  }

  auto* registers = static_cast<ucontext_t*>(thread);
  DescribeSignal(signal, *info, *registers, crashRecord, crashContext);
  crashPointers.ExceptionRecord = &crashRecord;
  crashPointers.ContextRecord = &crashContext;
  LPTOP_LEVEL_EXCEPTION_FILTER filter = installedFilter.load();
  LONG answer = filter ? filter(&crashPointers) : EXCEPTION_CONTINUE_SEARCH;

  if (answer == EXCEPTION_CONTINUE_EXECUTION && !(crashRecord.ExceptionFlags & EXCEPTION_NONCONTINUABLE)) {
    ApplyContext(crashContext, *registers);
    crashingThread.store(0);
    errno = savedErrno;
    return;
  }
  if (answer == EXCEPTION_CONTINUE_SEARCH) PassToPrevious(signal, info, thread);
  DieBy(signal);
}

void InstallHandlers() {
  struct sigaction action {};
  action.sa_sigaction = OnCrashSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // While one crash is handled on a thread, a second fault there ends the
  // process instead of re-entering the filter.
  sigemptyset(&action.sa_mask);
  for (int signal : kCrashSignals) sigaddset(&action.sa_mask, signal);
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kCrashSignals[i], &action, &previousActions[i]);
}

}  // namespace

pid_t CrashingThread() { return crashingThread.load(); }

pid_t CurrentThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

}  // namespace twl::crash

TWLAPI LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
  static std::once_flag installed;
  LPTOP_LEVEL_EXCEPTION_FILTER previous = twl::crash::installedFilter.exchange(filter);
  std::call_once(installed, twl::crash::InstallHandlers);
  twl::PrepareThreadForCrashes();
  return previous;
}

// The `twl` executable: the process entry hands the arguments to WinMain
// as one command line, and SIGINT and SIGTERM end the program through its
// ordered shut-down: they close the main owner window. SIGUSR1 writes
// snapshots of the windows when TWL_SNAPSHOT_DIR names a folder.
#include <twlwin/presenter.h>
#include <windows.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "app/core/ProgramEntry.h"
#include "app/hooks/ReviewerHooks.h"
#include "app/snapshot/Snapshots.h"
#include "windows/owner/MainOwnerWindow.h"

namespace {

// The stop signals are blocked in every thread (threads inherit the mask)
// and taken by one thread, which turns them into WM_CLOSE for the owner
// window (or WM_QUIT for the main thread's loop). Posting from a signal
// handler would not be safe.
void HandleStopSignals(DWORD mainThread) {
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  std::thread([stops, mainThread] {
    for (;;) {
      int signal = 0;
      if (sigwait(&stops, &signal) != 0) continue;
      // Closing the owner window ends the program as closing its taskbar
      // button does; before it exists (or after) the loop is told directly.
      HWND owner = GetProcessOwnerWindow();
      if (!owner || !PostMessageA(owner, WM_CLOSE, 0, 0)) PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
    }
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  // The main thread's queue exists from here on, so a stop signal that
  // comes early still reaches the loop.
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  // With TWL_SNAPSHOT_DIR set, SIGUSR1 writes pictures of the windows;
  // blocked before any thread starts, so only the hook's watcher takes it.
  CSnapshotHook::BlockSnapshotSignal();
  HandleStopSignals(GetCurrentThreadId());
  CSnapshotHook snapshots;
  snapshots.Install();
  // On a desktop the windows show as real ones; headless nothing is
  // loaded. Started after the stop signals are blocked, so its threads
  // leave them to the signal thread.
  TwlStartPresenter();
  // A "snap" input line asks for a snapshot as SIGUSR1 does.
  SetSnapshotRequest([] { kill(getpid(), SIGUSR1); });
  StartReviewerHooks();
  std::string commandLine = JoinArguments(argc, argv);
  const int code = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
  TwlStopPresenter();
  snapshots.Remove();
  return code;
}

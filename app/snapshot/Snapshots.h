// Pictures of what the program shows, for reviewers and tests: every
// visible top-level window of this process and the whole virtual screen as
// PNG files. WriteSnapshots is the one function that takes them; the
// snapshot hook calls it when the process gets SIGUSR1 and the input
// driver calls it for its "snap" line.
//
// Threading: WriteSnapshots runs on the thread that owns the windows,
// between two of its messages, so it never sees half a paint. The hook is
// made and ended on that thread; its watcher thread only posts.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "display/MessageWindow.h"

// Writes FOLDER/<name>-<n>.png for each visible top-level window of this
// process (a framework window's own name, else its text, else "window"
// and its handle; characters outside letters, digits, "-" and "_" become
// "_") and FOLDER/screen-<n>.png, n counting the calls from 1. Answers n,
// or 0 when the folder is empty or a file could not be written.
int WriteSnapshots(const char* folder);

// With TWL_SNAPSHOT_DIR set, SIGUSR1 makes the thread that made the hook
// write the snapshots into that folder. SIGUSR1 must be blocked in every
// thread before other threads start (BlockSnapshotSignal); the hook's
// watcher takes it.
class CSnapshotHook {
 public:
  static constexpr UINT kSnapshotMessage = WM_USER + 1;

  CSnapshotHook() = default;
  CSnapshotHook(const CSnapshotHook&) = delete;
  CSnapshotHook& operator=(const CSnapshotHook&) = delete;
  ~CSnapshotHook() { Remove(); }

  static void BlockSnapshotSignal();
  // Nothing when the variable is not set; false when the hook cannot be
  // made.
  bool Install();
  void Remove();

 private:
  static void OnMessage(void* self, UINT message, WPARAM wParam, LPARAM lParam);
  void Watch();

  std::string m_Folder;
  CMessageWindow m_Window;
  std::thread m_Watcher;
  std::atomic<bool> m_Stopping{false};
};

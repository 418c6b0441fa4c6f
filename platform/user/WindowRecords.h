// The published records of top-level windows: one file per window in the
// desktop folder (class, title, styles, rectangle, z-order stamp and extra
// bytes), through which other processes find, read and order this
// process's windows, and this process theirs. Everything read from a
// record comes from another process and is checked before use.
// Thread-safe; the Locked functions expect the window manager's lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "WindowManager.h"

namespace twl::user {

struct ForeignWindow {
  uint32_t id = 0;
  DWORD processId = 0;
  DWORD threadId = 0;
  std::string process;  // the owning process's key on this desktop
  std::string className;
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  int64_t stamp = 0;
  std::vector<BYTE> extra;
};

// Changes to the records of one change of the window model: taken while
// the window model's lock is held, written once it is released, so that no
// thread waits for the disk while holding the lock. A record older than
// one already written (or than the window's removal) is dropped, whatever
// order threads write in. Every update taken must be written.
class RecordUpdate {
 public:
  RecordUpdate() = default;
  RecordUpdate(const RecordUpdate&) = delete;
  RecordUpdate& operator=(const RecordUpdate&) = delete;
  ~RecordUpdate() { Write(); }

  // Lock held. Nothing for windows that have no record (children and
  // message-only windows).
  void WindowChangedLocked(const Window& window);
  void WindowGoneLocked(const Window& window);
  // Lock not held.
  void Write();

  struct Entry {
    uint32_t id;
    uint64_t version;
    bool removal;
    std::string text;
  };

 private:
  std::vector<Entry> entries_;
};

// Top-level windows of the other processes of the desktop.
std::vector<ForeignWindow> ForeignWindows();
std::optional<ForeignWindow> FindForeign(uint32_t id);

// Removes the records this process published (at exit) and those of a
// vanished process.
void RemovePublishedRecords();
void RemoveRecordsOfProcess(const std::string& folder, const std::string& key);

}  // namespace twl::user

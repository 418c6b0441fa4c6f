// The desktop shared by the processes of one user: window ids unique across
// them, a published record per top-level window (class, title, extra bytes,
// z-order stamp) and a Unix domain socket per process over which WM_COPYDATA
// arrives. Records of processes that vanished are removed when met.
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

// A window id no other process of the desktop uses (0 when none is left).
uint32_t AllocateWindowId();

void PublishLocked(const Window& window);
void UnpublishLocked(uint32_t id);

// Top-level windows of the other processes of the desktop.
std::vector<ForeignWindow> ForeignWindows();
std::optional<ForeignWindow> FindForeign(uint32_t id);

// Sends WM_COPYDATA to another process's window and waits for its result,
// taking this thread's incoming sends meanwhile. Null when the process
// cannot be reached (it is then forgotten).
std::optional<LRESULT> SendCopyDataAcross(const ForeignWindow& target, HWND from, const COPYDATASTRUCT& data);

}  // namespace twl::user

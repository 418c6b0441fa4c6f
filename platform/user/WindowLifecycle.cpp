// Creating and destroying windows.
#include <algorithm>

#include "PaintDevice.h"
#include "ScreenEvents.h"
#include "WindowIds.h"
#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

// Where a top-level window asked for CW_USEDEFAULT goes: a cascade.
void ApplyDefaults(bool child, int& x, int& y, int& width, int& height) {
  static int cascade = 0;
  if (x == CW_USEDEFAULT) {
    if (child) {
      x = y = 0;
    } else {
      cascade = (cascade + 1) % 10;
      x = y = 26 * cascade;
    }
  }
  if (width == CW_USEDEFAULT) {
    Guard guard(Lock());
    width = child ? 0 : Model().screen.width * 3 / 4;
    height = child ? 0 : Model().screen.height * 3 / 4;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
}

void RemoveLocked(uint32_t id, RecordUpdate& records) {
  WindowModel& s = Model();
  Window* w = FindLocked(id);
  if (!w) return;
  records.WindowGoneLocked(*w);
  if (Window* parent = FindLocked(w->parent)) std::erase(parent->children, id);
  if (ThreadQueue* queue = QueueLocked(w->threadId)) {
    std::erase_if(queue->posted, [id](const Posted& p) { return IdOf(p.msg.hwnd) == id; });
    std::erase_if(queue->timers, [id](const Timer& t) { return IdOf(t.window) == id; });
  }
  for (auto& [threadId, queue] : s.queues) {
    if (queue->active == id) queue->active = 0;
    if (queue->focus == id) queue->focus = 0;
  }
  for (auto& [otherId, other] : s.windows)
    if (other->owner == id) other->owner = 0;
  if (s.foreground == id) s.foreground = 0;
  if (s.capture == id) s.capture = 0;
  s.windows.erase(id);
  ForgetWindowPixels(id);
}

std::vector<uint32_t> ChildrenOf(uint32_t id) {
  Guard guard(Lock());
  Window* w = FindLocked(id);
  return w ? w->children : std::vector<uint32_t>{};
}

// One teardown of a window tree. When the thread that owns the tree has
// ended, its windows get no messages (their procedures cannot run any
// more) and the windows of other threads found in the tree are handed back
// to their own threads.
struct Teardown {
  bool threadEnded = false;
  DWORD ending = 0;  // the thread that ended
  std::vector<std::pair<uint32_t, DWORD>> handedBack;  // window, its thread
};

// A window of another thread inside the tree of a thread that ended: it
// leaves the tree at once, so nothing points at a removed window, and its
// own thread destroys it (and what lies below it) when it next takes
// messages.
void HandBackLocked(Window& w, Teardown& run) {
  if (Window* parent = FindLocked(w.parent)) std::erase(parent->children, w.id);
  w.parent = 0;
  w.destroying = true;
  w.style &= ~WS_VISIBLE;
  run.handedBack.emplace_back(w.id, w.threadId);
}

// WM_DESTROY goes to the window first, then to its children, each on the
// thread that owns the window.
void SendDestroy(uint32_t id, Teardown& run) {
  {
    Guard guard(Lock());
    Window* w = FindLocked(id);
    if (!w) return;
    if (run.threadEnded && w->threadId != run.ending) return HandBackLocked(*w, run);
    w->destroying = true;
    w->style &= ~WS_VISIBLE;
  }
  if (!run.threadEnded) SendLocal(HwndOf(id), WM_DESTROY, 0, 0);
  for (uint32_t child : ChildrenOf(id)) SendDestroy(child, run);
}

// WM_NCDESTROY goes to the children first; then the window is gone.
void FinishDestroy(uint32_t id, const Teardown& run) {
  for (uint32_t child : ChildrenOf(id)) FinishDestroy(child, run);
  if (!run.threadEnded) SendLocal(HwndOf(id), WM_NCDESTROY, 0, 0);
  ScreenChanges changes;
  RecordUpdate records;
  {
    Guard guard(Lock());
    if (const Window* w = FindLocked(id)) changes.AddLocked(TWL_SCREEN_DESTROYED, *w, ScreenRectLocked(*w));
    RemoveLocked(id, records);
  }
  records.Write();
  changes.Tell();
}

void TearDown(uint32_t id, Teardown& run) {
  SendDestroy(id, run);
  FinishDestroy(id, run);
  // A plain copy of the id, since clang 14 cannot capture a structured binding.
  for (const auto& handed : run.handedBack) {
    const uint32_t window = handed.first;
    RunOnThread(handed.second, [window] { TearDownWindow(window, false); });
  }
}

}  // namespace

void TearDownWindow(uint32_t id, bool threadEnded) {
  Teardown run;
  run.threadEnded = threadEnded;
  run.ending = ThisThreadId();
  TearDown(id, run);
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parentWindow, HMENU menu, HINSTANCE instance,
                            LPVOID parameter) {
  const bool messageOnly = parentWindow == HWND_MESSAGE;
  const bool child = (style & WS_CHILD) && !messageOnly;
  ApplyDefaults(child, x, y, width, height);
  uint32_t id = AllocateWindowId();
  if (!id) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HWND hwnd = HwndOf(id);
  DWORD shownAs = style & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  ScreenChanges changes;
  RecordUpdate records;
  {
    Guard guard(Lock());
    auto cls = FindClassLocked(className);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    uint32_t parent = 0;
    uint32_t owner = 0;
    if (child) {
      if (!FindLocked(parentWindow)) {
        SetLastError(parentWindow ? ERROR_INVALID_WINDOW_HANDLE : ERROR_TLW_WITH_WSCHILD);
        return nullptr;
      }
      parent = IdOf(parentWindow);
    } else if (parentWindow && !messageOnly) {
      if (!FindLocked(parentWindow)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      owner = RootLocked(IdOf(parentWindow));
      // A window owned by a topmost window stands above it, so in its band.
      if (FindLocked(owner)->exStyle & WS_EX_TOPMOST) exStyle |= WS_EX_TOPMOST;
    }
    // Overlapped windows always have a caption.
    if (!(style & (WS_POPUP | WS_CHILD))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    auto w = std::make_shared<Window>();
    w->id = id;
    w->cls = cls;
    w->threadId = CurrentQueueLocked()->threadId;
    w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->exStyle = exStyle;
    w->parent = parent;
    w->owner = owner;
    w->messageOnly = messageOnly;
    w->rect = RECT{x, y, x + width, y + height};
    w->restoreRect = w->rect;
    if (windowName && !IS_INTRESOURCE(windowName)) w->text = windowName;
    w->proc = cls->proc;
    w->instance = instance;
    w->controlId = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
    w->extra.assign(static_cast<size_t>(cls->windowExtra), 0);
    if (parent) {
      FindLocked(parent)->children.push_back(id);  // new children go to the bottom: creation order is tab order
    } else {
      w->zStamp = NextStampLocked();
    }
    Model().windows[id] = w;
    records.WindowChangedLocked(*w);
    if (!parent) changes.AddLocked(TWL_SCREEN_CREATED, *w, w->rect);
  }
  records.Write();
  changes.Tell();

  CREATESTRUCTA create{parameter, instance, menu,   parentWindow, height,    width,
                       y,         x,        static_cast<LONG>(style), windowName, className, exStyle};
  if (!Deliver(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
      Deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  SendSizeAndMove(hwnd);
  if (child && !(exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageA(parentWindow, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(reinterpret_cast<ULONG_PTR>(menu))),
                 reinterpret_cast<LPARAM>(hwnd));
  if (shownAs & WS_VISIBLE) {
    int command = (shownAs & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (shownAs & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW;
    ShowWindow(hwnd, command);
  }
  return IsWindow(hwnd) ? hwnd : nullptr;
}

TWLAPI BOOL DestroyWindow(HWND window) {
  std::vector<uint32_t> owned;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (w->threadId != ThisThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;
    if (w->parent == 0)
      for (auto& [id, other] : Model().windows)
        if (other->owner == IdOf(window) && other->threadId == w->threadId) owned.push_back(id);
  }
  // Owned pop-ups go first, as they cannot outlive their owner.
  for (uint32_t id : owned) DestroyWindow(HwndOf(id));
  ReleaseWindowState(window, true);
  TearDownWindow(IdOf(window), false);
  return TRUE;
}

TWLAPI BOOL IsWindow(HWND window) {
  if (!window) return FALSE;
  {
    Guard guard(Lock());
    if (IdOf(window) == kDesktopId || FindLocked(window)) return TRUE;
  }
  return FindForeign(IdOf(window)).has_value();
}

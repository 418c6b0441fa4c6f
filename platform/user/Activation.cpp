// Focus, activation, the foreground window, capture and the enabled state.
// Each thread has its own active and focus window; the foreground window
// and the capture are the desktop's. Activation runs on the thread that
// owns the window, so its WM_ACTIVATE arrives there.
#include <algorithm>

#include "AppActivation.h"
#include "platform/modules/SystemModules.h"
#include "Hooks.h"
#include "ScreenEvents.h"
#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

bool InsideLocked(uint32_t root, uint32_t id) { return id && (id == root || IsDescendantLocked(root, id)); }

// The window that takes over when the active one goes: its owner if that
// can be active, else the topmost other window of the thread that can.
uint32_t NextActiveLocked(const Window& leaving) {
  auto candidate = [&](uint32_t id) {
    Window* w = FindLocked(id);
    return w && id != leaving.id && w->threadId == leaving.threadId && !w->parent && !w->messageOnly &&
           !w->destroying && (w->style & WS_VISIBLE) && !(w->style & (WS_DISABLED | WS_MINIMIZE)) &&
           !(w->exStyle & WS_EX_NOACTIVATE);
  };
  if (candidate(leaving.owner)) return leaving.owner;
  for (uint32_t id : LocalTopLevelsLocked())
    if (candidate(id)) return id;
  return 0;
}

// This thread lost the foreground to another thread's window.
void DeactivateThisThread() {
  uint32_t old = 0;
  DWORD gainer = 0;
  {
    Guard guard(Lock());
    auto queue = CurrentQueueLocked();
    old = queue->active;
    if (!old || Model().foreground == old) return;
    queue->active = 0;
    if (Window* f = FindLocked(Model().foreground)) gainer = f->threadId;
  }
  SendMessageA(HwndOf(old), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  PostActivateApp(false, gainer);
  if (GetFocus()) SetFocus(nullptr);
}

// The activated window comes to the top of its band with the windows it
// owns above it, as a click on it would bring them.
void RaiseForActivationLocked(Window& w, ScreenChanges& changes, RecordUpdate& records) {
  std::vector<Window*> raised;
  RaiseTopLevelLocked(w, true, raised);
  for (Window* each : raised) {
    records.WindowChangedLocked(*each);
    changes.AddLocked(TWL_SCREEN_ZORDER, *each, RECT{});
  }
}

}  // namespace

void ActivateWindow(HWND window, int how) {
  if (ActivationRefusedByHook(window, how)) return;
  uint32_t target = 0;
  uint32_t old = 0;
  uint32_t previousForeground = 0;
  DWORD previousForegroundThread = 0;
  bool oldMinimized = false;
  bool newMinimized = false;
  ScreenChanges changes;
  RecordUpdate records;
  {
    Guard guard(Lock());
    auto queue = CurrentQueueLocked();
    if (window) {
      target = RootLocked(IdOf(window));
      Window* w = FindLocked(target);
      if (!w || w->threadId != queue->threadId || w->messageOnly) return;
      newMinimized = (w->style & WS_MINIMIZE) != 0;
    }
    old = queue->active;
    if (old == target) {
      if (target) Model().foreground = target;
      return;
    }
    queue->active = target;
    if (Window* o = FindLocked(old)) oldMinimized = (o->style & WS_MINIMIZE) != 0;
    previousForeground = Model().foreground;
    if (target) {
      Model().foreground = target;
      RaiseForActivationLocked(*FindLocked(target), changes, records);
      InvalidateUncoveredLocked();
      if (Window* f = FindLocked(previousForeground); f && f->threadId != queue->threadId)
        previousForegroundThread = f->threadId;
    } else if (Model().foreground == old) {
      Model().foreground = 0;
    }
  }
  records.Write();
  changes.Tell();
  if (previousForegroundThread) RunOnThread(previousForegroundThread, DeactivateThisThread);
  if (old && IsWindow(HwndOf(old)))
    SendMessageA(HwndOf(old), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, oldMinimized), static_cast<LPARAM>(target));
  if (target) SendMessageA(HwndOf(target), WM_ACTIVATE, MAKEWPARAM(how, newMinimized), static_cast<LPARAM>(old));
  if (!old != !target) PostActivateApp(target != 0, previousForegroundThread);
  // The focus never stays in a window that is not active.
  bool strayFocus = false;
  {
    Guard guard(Lock());
    auto queue = CurrentQueueLocked();
    strayFocus = queue->focus && !InsideLocked(queue->active, queue->focus);
  }
  if (strayFocus) SetFocus(nullptr);
}

void ReleaseWindowState(HWND window, bool destroying) {
  bool captureInside = false;
  DWORD threadId = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return;
    captureInside = InsideLocked(w->id, Model().capture);
    threadId = w->threadId;
  }
  if (captureInside) ReleaseCapture();
  uint32_t id = IdOf(window);
  RunOnThread(threadId, [id, destroying] {
    uint32_t next = 0;
    bool wasActive = false;
    {
      Guard guard(Lock());
      Window* w = FindLocked(id);
      auto queue = CurrentQueueLocked();
      if (!w) return;
      wasActive = queue->active == id;
      if (wasActive) next = NextActiveLocked(*w);
    }
    if (wasActive) ActivateWindow(HwndOf(next), WA_ACTIVE);
    bool focusInside = false;
    {
      Guard guard(Lock());
      focusInside = InsideLocked(id, CurrentQueueLocked()->focus);
    }
    if (focusInside) SetFocus(nullptr);
    (void)destroying;
  });
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI HWND SetFocus(HWND window) {
  uint32_t id = IdOf(window);
  uint32_t root = 0;
  bool needsActivation = false;
  std::shared_ptr<ThreadQueue> queue;
  {
    Guard guard(Lock());
    queue = CurrentQueueLocked();
    if (window) {
      Window* w = FindLocked(window);
      if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      if (w->threadId != queue->threadId) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
      }
      root = RootLocked(id);
      needsActivation = queue->active != root;
    }
  }
  if (needsActivation) {
    ActivateWindow(HwndOf(root), WA_ACTIVE);
    Guard guard(Lock());
    if (queue->active != root || !FindLocked(id)) return nullptr;
  }
  uint32_t old = 0;
  {
    Guard guard(Lock());
    old = queue->focus;
    if (old == id) return window;
    queue->focus = id;
  }
  // CBT hooks are not asked (HCBT_SETFOCUS): the hooks serve activation and
  // min/max only, and no caller needs to veto a focus change.
  if (old && IsWindow(HwndOf(old))) SendMessageA(HwndOf(old), WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  {
    Guard guard(Lock());
    if (queue->focus != id) return HwndOf(old);  // moved on while the old window let go
  }
  if (window) SendMessageA(window, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
  return HwndOf(old);
}

TWLAPI HWND GetFocus() {
  Guard guard(Lock());
  return HwndOf(CurrentQueueLocked()->focus);
}

TWLAPI HWND SetActiveWindow(HWND window) {
  uint32_t old = 0;
  {
    Guard guard(Lock());
    auto queue = CurrentQueueLocked();
    old = queue->active;
    if (window) {
      Window* w = FindLocked(window);
      if (!w || w->threadId != queue->threadId) {
        SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
    }
  }
  ActivateWindow(window, WA_ACTIVE);
  return HwndOf(old);
}

TWLAPI HWND GetActiveWindow() {
  Guard guard(Lock());
  return HwndOf(CurrentQueueLocked()->active);
}

TWLAPI BOOL SetForegroundWindow(HWND window) {
  uint32_t root = 0;
  DWORD threadId = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w || w->messageOnly) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    root = RootLocked(w->id);
    threadId = FindLocked(root)->threadId;
    if (threadId != ThisThreadId()) Model().foreground = root;
  }
  if (threadId == ThisThreadId()) {
    ActivateWindow(HwndOf(root), WA_ACTIVE);
    return TRUE;
  }
  RunOnThread(threadId, [root] { ActivateWindow(HwndOf(root), WA_ACTIVE); });
  DeactivateThisThread();
  return TRUE;
}

TWLAPI HWND GetForegroundWindow() {
  Guard guard(Lock());
  return HwndOf(Model().foreground);
}

TWLAPI BOOL AllowSetForegroundWindow(DWORD) { return TRUE; }

TWLAPI HWND SetCapture(HWND window) {
  uint32_t old = 0;
  uint32_t root = 0;
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    old = Model().capture;
    Model().capture = IdOf(window);
    root = RootLocked(IdOf(window));
  }
  if (old != IdOf(window)) TellDesktopChange(TWL_SCREEN_CAPTURE, HwndOf(root));
  if (old && old != IdOf(window))
    SendMessageA(HwndOf(old), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  return HwndOf(old);
}

TWLAPI BOOL ReleaseCapture() {
  uint32_t old = 0;
  {
    Guard guard(Lock());
    old = Model().capture;
    Model().capture = 0;
  }
  if (old) TellDesktopChange(TWL_SCREEN_CAPTURE, nullptr);
  if (old) SendMessageA(HwndOf(old), WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

TWLAPI HWND GetCapture() {
  Guard guard(Lock());
  Window* w = FindLocked(Model().capture);
  return w && w->threadId == ThisThreadId() ? HwndOf(w->id) : nullptr;
}

TWLAPI BOOL EnableWindow(HWND window, BOOL enable) {
  bool wasDisabled = false;
  bool focusInside = false;
  bool captureInside = false;
  bool ownThread = false;
  RecordUpdate records;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable)
      w->style &= ~WS_DISABLED;
    else
      w->style |= WS_DISABLED;
    records.WindowChangedLocked(*w);
    ThreadQueue* queue = QueueLocked(w->threadId);
    focusInside = queue && InsideLocked(w->id, queue->focus);
    captureInside = InsideLocked(w->id, Model().capture);
    ownThread = w->threadId == ThisThreadId();
  }
  records.Write();
  if (!enable) {
    // A disabled window keeps neither the keyboard nor the mouse.
    if (captureInside) ReleaseCapture();
    if (focusInside && ownThread) SetFocus(nullptr);
  }
  SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

TWLAPI BOOL IsWindowEnabled(HWND window) {
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) return !(w->style & WS_DISABLED);
  }
  auto foreign = FindForeign(IdOf(window));
  return foreign && !(foreign->style & WS_DISABLED);
}

// Programs find AllowSetForegroundWindow in user32.dll by name at run time,
// since the oldest systems lack it.
static const twl::SystemLibraryRegistration kUser32("user32.dll", {
    {"AllowSetForegroundWindow", twl::ExportAddress(&AllowSetForegroundWindow)},
});

// The desktop activated the real window of `window`: the model follows, on
// the window's own thread, as if the user had clicked it.
TWLAPI BOOL TwlInputActivate(HWND window) {
  uint32_t root = 0;
  DWORD threadId = 0;
  DWORD previousThread = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w || w->messageOnly) return FALSE;
    root = RootLocked(w->id);
    Window* top = FindLocked(root);
    if (!top || (top->style & WS_DISABLED) || (top->exStyle & WS_EX_NOACTIVATE)) return FALSE;
    threadId = top->threadId;
    if (Window* f = FindLocked(Model().foreground); f && f->threadId != threadId) previousThread = f->threadId;
    Model().foreground = root;
  }
  RunOnThread(threadId, [root] { ActivateWindow(HwndOf(root), WA_ACTIVE); });
  if (previousThread) RunOnThread(previousThread, DeactivateThisThread);
  return TRUE;
}

// Mouse and keyboard input: where an event at a screen point goes, the
// messages it becomes (with Windows' wParam and lParam layouts), and what
// the receiving thread does when it takes one out (key state, activation by
// click). Input is queued to the thread of the window it is meant for.
#include <algorithm>
#include <cstdlib>

#include "Cursors.h"
#include "WindowManager.h"
#include "twlwin/regions.h"
#include "twlwin/presenter.h"
#include "twlwin/testing_user.h"

namespace twl::user {

namespace {

constexpr uint64_t kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 2;

uint32_t DeepestChildLocked(const Window& parent, POINT screen) {
  for (uint32_t id : parent.children) {
    Window* c = FindLocked(id);
    if (!c || !(c->style & WS_VISIBLE) || !HitsShapeLocked(*c, screen)) continue;
    // A disabled child leaves the event to its parent.
    if (c->style & WS_DISABLED) return parent.id;
    return DeepestChildLocked(*c, screen);
  }
  return parent.id;
}

WPARAM MouseKeysLocked() {
  const BYTE* keys = Model().asyncKeys;
  WPARAM flags = 0;
  if (keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
  if (keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
  if (keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
  if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
  if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
  return flags;
}

UINT ButtonMessage(int button, bool down) {
  switch (button) {
    case VK_LBUTTON: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case VK_RBUTTON: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case VK_MBUTTON: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
  return WM_MOUSEMOVE;
}

bool IsButtonDown(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
      return true;
  }
  return false;
}

int HitCodeLocked(const Window& w, POINT screen) {
  RECT client = ClientScreenRectLocked(w);
  if (PtInRect(&client, screen)) return HTCLIENT;
  RECT r = ScreenRectLocked(w);
  Insets in = FrameInsets(w.style, w.exStyle);
  if ((w.style & WS_CAPTION) == WS_CAPTION && screen.y >= r.top + in.left && screen.y < client.top) return HTCAPTION;
  return HTBORDER;
}

// Turns a second click close in time and place into a double click for
// classes that ask for them.
UINT DoubleClickLocked(const Window& w, UINT message, POINT screen) {
  WindowModel& s = Model();
  uint64_t now = NowLocked();
  bool isDouble = (w.cls->style & CS_DBLCLKS) && s.lastDownMessage == message && s.lastDownWindow == w.id &&
                  now - s.lastDownTime <= kDoubleClickTime &&
                  std::abs(screen.x - s.lastDownPoint.x) <= kDoubleClickDistance &&
                  std::abs(screen.y - s.lastDownPoint.y) <= kDoubleClickDistance;
  if (isDouble) {
    s.lastDownMessage = 0;
    return message + 2;
  }
  s.lastDownMessage = message;
  s.lastDownWindow = w.id;
  s.lastDownTime = now;
  s.lastDownPoint = screen;
  return message;
}

BOOL InjectMouse(int button, bool down, POINT screen) {
  Guard guard(Lock());
  WindowModel& s = Model();
  s.cursor = screen;
  if (button) UpdateKeyState(s.asyncKeys, static_cast<UINT>(button), down);
  uint32_t target = s.capture;
  bool blocked = false;
  if (!FindLocked(target)) target = HitTestLocked(screen, &blocked);
  Window* w = FindLocked(target);
  if (!w || blocked) return FALSE;
  ThreadQueue* queue = QueueLocked(w->threadId);
  if (!queue) return FALSE;
  UINT message = ButtonMessage(button, down);
  int hit = s.capture ? HTCLIENT : HitCodeLocked(*w, screen);
  MSG msg{HwndOf(target), message, 0, 0, 0, {}};
  if (hit == HTCLIENT) {
    if (down && button) message = DoubleClickLocked(*w, message, screen);
    RECT client = ClientScreenRectLocked(*w);
    msg.message = message;
    msg.wParam = MouseKeysLocked();
    msg.lParam = MAKELPARAM(static_cast<WORD>(screen.x - client.left), static_cast<WORD>(screen.y - client.top));
  } else {
    msg.message = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    msg.wParam = static_cast<WPARAM>(hit);
    msg.lParam = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
  }
  PostLocked(*queue, msg, true);
  return TRUE;
}

// Keys and the wheel go to the focus of the foreground window's thread.
ThreadQueue* KeyboardQueueLocked() {
  Window* foreground = FindLocked(Model().foreground);
  return foreground ? QueueLocked(foreground->threadId) : nullptr;
}

}  // namespace

uint32_t HitTestLocked(POINT screen, bool* blocked) {
  *blocked = false;
  for (uint32_t id : LocalTopLevelsLocked()) {
    Window* w = FindLocked(id);
    if (!w || !(w->style & WS_VISIBLE) || !HitsShapeLocked(*w, screen)) continue;
    // A disabled top-level window (the owner of a modal box) swallows the
    // event rather than letting it through to what lies below.
    if (w->style & WS_DISABLED) {
      *blocked = true;
      return id;
    }
    return DeepestChildLocked(*w, screen);
  }
  return 0;
}

bool TakeInputLocked(Guard& guard, ThreadQueue& queue, const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      UpdateKeyState(queue.keys, static_cast<UINT>(msg.wParam), true);
      return true;
    case WM_KEYUP: case WM_SYSKEYUP:
      UpdateKeyState(queue.keys, static_cast<UINT>(msg.wParam), false);
      return true;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: UpdateKeyState(queue.keys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: UpdateKeyState(queue.keys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: UpdateKeyState(queue.keys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: UpdateKeyState(queue.keys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: UpdateKeyState(queue.keys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: UpdateKeyState(queue.keys, VK_MBUTTON, false); break;
  }
  if (!IsButtonDown(msg.message)) {
    guard.unlock();
    SendSetCursor(msg);
    guard.lock();
    return true;
  }

  Window* w = FindLocked(msg.hwnd);
  if (!w) return true;
  uint32_t top = RootLocked(w->id);
  Window* topWindow = FindLocked(top);
  bool activate = topWindow && queue.active != top && !(topWindow->exStyle & WS_EX_NOACTIVATE) &&
                  !(topWindow->style & WS_DISABLED) && !topWindow->messageOnly;
  std::vector<uint32_t> ancestors;
  if (!(w->exStyle & WS_EX_NOPARENTNOTIFY) && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
    for (Window* p = FindLocked(w->parent); p; p = FindLocked(p->parent)) ancestors.push_back(p->id);
  POINT screen = msg.pt;
  guard.unlock();
  LRESULT answer = MA_ACTIVATE;
  if (activate) {
    int hit = msg.message >= WM_MOUSEFIRST ? HTCLIENT : static_cast<int>(msg.wParam);
    answer = SendMessageA(msg.hwnd, WM_MOUSEACTIVATE, static_cast<WPARAM>(top), MAKELPARAM(hit, msg.message));
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) ActivateWindow(HwndOf(top), WA_CLICKACTIVE);
  }
  // Parents hear of button presses in their children.
  for (uint32_t parent : ancestors) {
    POINT p = screen;
    ScreenToClient(HwndOf(parent), &p);
    SendMessageA(HwndOf(parent), WM_PARENTNOTIFY, MAKEWPARAM(msg.message, 0),
                 MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
  }
  if (IsWindow(msg.hwnd)) SendSetCursor(msg);
  guard.lock();
  return activate ? (answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT) : true;
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI HWND WindowFromPoint(POINT point) {
  Guard guard(Lock());
  bool blocked = false;
  return HwndOf(HitTestLocked(point, &blocked));
}

TWLAPI BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  Guard guard(Lock());
  *point = Model().cursor;
  return TRUE;
}

TWLAPI BOOL SetCursorPos(int x, int y) {
  Guard guard(Lock());
  Model().cursor = POINT{x, y};
  return TRUE;
}

TWLAPI BOOL TwlInputMouseMove(int x, int y) { return InjectMouse(0, false, POINT{x, y}); }

TWLAPI BOOL TwlInputMouseButton(int button, BOOL down, int x, int y) {
  if (button != VK_LBUTTON && button != VK_RBUTTON && button != VK_MBUTTON) return FALSE;
  return InjectMouse(button, down != FALSE, POINT{x, y});
}

TWLAPI BOOL TwlInputMouseWheel(int x, int y, int delta) {
  Guard guard(Lock());
  WindowModel& s = Model();
  s.cursor = POINT{x, y};
  ThreadQueue* queue = KeyboardQueueLocked();
  if (!queue) return FALSE;
  uint32_t target = queue->focus ? queue->focus : queue->active;
  if (!target) return FALSE;
  MSG msg{HwndOf(target), WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(MouseKeysLocked()), static_cast<WORD>(delta)),
          MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)), 0, {}};
  PostLocked(*queue, msg, true);
  return TRUE;
}

TWLAPI BOOL TwlInputKey(UINT vk, BOOL down) {
  if (vk == 0 || vk > 0xFF) return FALSE;
  Guard guard(Lock());
  WindowModel& s = Model();
  const bool wasDown = s.asyncKeys[vk] & 0x80;
  const bool altBefore = s.asyncKeys[VK_MENU] & 0x80;
  UpdateKeyState(s.asyncKeys, vk, down != FALSE);
  const bool alt = s.asyncKeys[VK_MENU] & 0x80;
  const bool control = s.asyncKeys[VK_CONTROL] & 0x80;
  ThreadQueue* queue = KeyboardQueueLocked();
  if (!queue) return FALSE;
  uint32_t target = queue->focus ? queue->focus : queue->active;
  if (!target) return FALSE;
  // Alt combinations, F10 and keys with no focus window are system keys.
  const bool isAltKey = vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
  const bool system = ((alt || (isAltKey && altBefore)) && !control) || vk == VK_F10 || !queue->focus;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  MSG msg{HwndOf(target), message, vk, KeyLParam(vk, down != FALSE, wasDown, alt), 0, {}};
  PostLocked(*queue, msg, true);
  return TRUE;
}

// The testing interface's input is the presenter's.
TWLAPI BOOL TwlTestMouseMove(int x, int y) { return TwlInputMouseMove(x, y); }
TWLAPI BOOL TwlTestMouseButton(int button, BOOL down, int x, int y) { return TwlInputMouseButton(button, down, x, y); }
TWLAPI BOOL TwlTestMouseWheel(int x, int y, int delta) { return TwlInputMouseWheel(x, y, delta); }
TWLAPI BOOL TwlTestKey(UINT vk, BOOL down) { return TwlInputKey(vk, down); }

TWLAPI BOOL TwlTestClick(int x, int y) {
  BOOL pressed = TwlInputMouseButton(VK_LBUTTON, TRUE, x, y);
  BOOL released = TwlInputMouseButton(VK_LBUTTON, FALSE, x, y);
  return pressed && released;
}

TWLAPI BOOL TwlTestKeyPress(UINT vk) {
  BOOL pressed = TwlInputKey(vk, TRUE);
  BOOL released = TwlInputKey(vk, FALSE);
  return pressed && released;
}

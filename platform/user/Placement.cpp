// Placement: SetWindowPos and the calls built on it (ShowWindow with the
// minimised and maximised states, MoveWindow, BringWindowToTop), and the
// z-order. Top-level windows are ordered across the desktop by stamps:
// topmost windows first, then the higher stamp; children by their place in
// the parent's list. Owned windows stand above their owner: a window that
// rises takes its owned windows along above it, and the windows owned by a
// topmost window are topmost too.
#include <algorithm>
#include <climits>

#include "Hooks.h"
#include "ScreenEvents.h"
#include "WindowRecords.h"
#include "WindowManager.h"
#include "ZOrderStamps.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"

namespace twl::user {

namespace {

constexpr int kMinimizedWidth = 160;
constexpr int kMinimizedHeight = 24;
constexpr int kMinimizedPosition = -32000;

bool IsSpecialInsertAfter(HWND after) {
  return after == HWND_TOP || after == HWND_BOTTOM || after == HWND_TOPMOST || after == HWND_NOTOPMOST;
}

struct ZEntry {
  uint32_t id;
  bool topmost;
  int64_t stamp;
};

bool Above(const ZEntry& a, const ZEntry& b) {
  if (a.topmost != b.topmost) return a.topmost;
  if (a.stamp != b.stamp) return a.stamp > b.stamp;
  return a.id > b.id;
}

std::vector<ZEntry> DesktopOrderLocked(const std::vector<ForeignWindow>& foreign) {
  std::vector<ZEntry> order;
  for (auto& [id, w] : Model().windows)
    if (!w->parent && !w->messageOnly && !(w->style & WS_CHILD))  // a child handed back as its tree went
      order.push_back({id, (w->exStyle & WS_EX_TOPMOST) != 0, w->zStamp});
  for (const ForeignWindow& f : foreign) order.push_back({f.id, (f.exStyle & WS_EX_TOPMOST) != 0, f.stamp});
  std::sort(order.begin(), order.end(), Above);
  return order;
}

// The top-level windows `w` owns, lowest first.
std::vector<Window*> OwnedLocked(const Window& w) {
  std::vector<Window*> owned;
  for (auto& [id, other] : Model().windows)
    if (other->owner == w.id && !other->parent && !other->messageOnly) owned.push_back(other.get());
  std::sort(owned.begin(), owned.end(), [](Window* a, Window* b) { return a->zStamp < b->zStamp; });
  return owned;
}

// Puts a window and, with it, every window it owns (at any depth) into the
// topmost band or out of it.
void SetTopmostLocked(Window& w, bool topmost) {
  if (topmost)
    w.exStyle |= WS_EX_TOPMOST;
  else
    w.exStyle &= ~WS_EX_TOPMOST;
  for (Window* owned : OwnedLocked(w)) SetTopmostLocked(*owned, topmost);
}

// Every window `w` owns, at any depth and in its band, each above its own
// owner: the order in which they stand above `w`, lowest first.
void CollectOwnedTreeLocked(const Window& w, bool topmost, std::vector<Window*>& tree) {
  for (Window* owned : OwnedLocked(w)) {
    if (((owned->exStyle & WS_EX_TOPMOST) != 0) != topmost) continue;
    tree.push_back(owned);
    CollectOwnedTreeLocked(*owned, topmost, tree);
  }
}

// After `w` was put below the top of its band: its owned windows go
// directly above it, between it and the next window up.
void LiftOwnedAboveLocked(Window& w, const std::vector<ZEntry>& others, std::vector<Window*>& moved) {
  const bool topmost = (w.exStyle & WS_EX_TOPMOST) != 0;
  std::vector<Window*> tree;
  CollectOwnedTreeLocked(w, topmost, tree);
  if (tree.empty()) return;
  auto inTree = [&](uint32_t id) {
    return std::any_of(tree.begin(), tree.end(), [id](const Window* o) { return o->id == id; });
  };
  int64_t ceiling = w.zStamp + kZOrderStampStep;
  for (const ZEntry& e : others)
    if (e.topmost == topmost && e.stamp > w.zStamp && !inTree(e.id)) ceiling = std::min(ceiling, e.stamp);
  const int64_t step = (ceiling - w.zStamp) / static_cast<int64_t>(tree.size() + 1);
  if (step < 1) return;  // no room left between the two: they keep their places
  for (size_t i = 0; i < tree.size(); ++i) {
    tree[i]->zStamp = w.zStamp + step * static_cast<int64_t>(i + 1);
    moved.push_back(tree[i]);
  }
}

// Puts `w` behind `after` or at the bottom, staying in its band (HWND_BOTTOM
// takes it out of the topmost one).
void PlaceBehindLocked(Window& w, HWND after, std::vector<ZEntry>& order) {
  if (after == HWND_BOTTOM) {
    w.exStyle &= ~WS_EX_TOPMOST;
    int64_t lowest = order.empty() ? 0 : order.back().stamp;
    for (const ZEntry& e : order) lowest = std::min(lowest, e.stamp);
    w.zStamp = lowest - 1000;
    return;
  }
  const bool topmost = (w.exStyle & WS_EX_TOPMOST) != 0;
  auto target = std::find_if(order.begin(), order.end(), [&](const ZEntry& e) { return e.id == IdOf(after); });
  if (target == order.end()) return;
  if (target->topmost != topmost) {
    // Stay in the own band: as near to the target as the band allows.
    if (!topmost) {
      w.zStamp = NextStampLocked();
      return;
    }
    int64_t lowest = w.zStamp;
    for (const ZEntry& e : order)
      if (e.topmost) lowest = std::min(lowest, e.stamp);
    w.zStamp = lowest - 1000;
    return;
  }
  auto below = std::next(target);
  if (below == order.end() || below->topmost != topmost) {
    w.zStamp = target->stamp - 1000;
    return;
  }
  int64_t gap = target->stamp - below->stamp;
  w.zStamp = gap >= 2 ? below->stamp + gap / 2 : target->stamp - 1;
}

// Reorders a top-level window; `moved` gets every window whose place or
// band changed.
void ReorderTopLevelLocked(Window& w, HWND after, bool withOwned, const std::vector<ForeignWindow>& foreign,
                           std::vector<Window*>& moved) {
  if (after == HWND_TOP) return RaiseTopLevelLocked(w, withOwned, moved);
  if (after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    // The owned windows change band with their owner and stay above it.
    SetTopmostLocked(w, after == HWND_TOPMOST);
    return RaiseTopLevelLocked(w, true, moved);
  }
  std::vector<ZEntry> order = DesktopOrderLocked(foreign);
  std::erase_if(order, [&](const ZEntry& e) { return e.id == w.id; });
  const int64_t stamp = w.zStamp;
  PlaceBehindLocked(w, after, order);
  if (w.zStamp == stamp) return;
  moved.push_back(&w);
  if (withOwned) LiftOwnedAboveLocked(w, order, moved);
}

void ReorderChildLocked(Window& parent, uint32_t id, HWND after) {
  auto& list = parent.children;
  std::erase(list, id);
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    list.insert(list.begin(), id);
  } else if (after == HWND_BOTTOM) {
    list.push_back(id);
  } else {
    auto place = std::find(list.begin(), list.end(), IdOf(after));
    list.insert(place == list.end() ? list.begin() : std::next(place), id);
  }
}

bool CanActivateLocked(const Window& w) {
  return !w.parent && !w.messageOnly && (w.style & WS_VISIBLE) && !(w.style & WS_DISABLED) &&
         !(w.exStyle & WS_EX_NOACTIVATE);
}

void RequestActivation(HWND window, DWORD threadId) {
  RunOnThread(threadId, [window] { ActivateWindow(window, WA_ACTIVE); });
}

// Invalidates the whole client area (lock held).
void InvalidateAllLocked(Window& w) {
  w.update = Region(ClientRectLocked(w));
  w.eraseNeeded = true;
  if (ThreadQueue* queue = QueueLocked(w.threadId)) queue->wake.notify_all();
}

}  // namespace

void RaiseTopLevelLocked(Window& w, bool withOwned, std::vector<Window*>& raised) {
  w.zStamp = NextStampLocked();
  raised.push_back(&w);
  if (!withOwned) return;
  for (Window* owned : OwnedLocked(w)) RaiseTopLevelLocked(*owned, true, raised);
}

std::vector<uint32_t> LocalTopLevelsLocked() {
  std::vector<ZEntry> order = DesktopOrderLocked({});
  std::vector<uint32_t> ids;
  for (const ZEntry& e : order) ids.push_back(e.id);
  return ids;
}

std::vector<uint32_t> DesktopTopLevels() {
  auto foreign = ForeignWindows();
  Guard guard(Lock());
  std::vector<uint32_t> ids;
  for (const ZEntry& e : DesktopOrderLocked(foreign)) ids.push_back(e.id);
  return ids;
}

void SendSizeAndMove(HWND window, bool size, bool move) {
  WPARAM kind = SIZE_RESTORED;
  LPARAM sizeParam = 0;
  LPARAM moveParam = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return;
    RECT client = ClientScreenRectLocked(*w);
    POINT origin{client.left, client.top};
    if (Window* parent = FindLocked(w->parent)) {
      RECT pc = ClientScreenRectLocked(*parent);
      origin.x -= pc.left;
      origin.y -= pc.top;
    }
    moveParam = MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y));
    if (w->style & WS_MINIMIZE) {
      kind = SIZE_MINIMIZED;
    } else {
      kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
      sizeParam = MAKELPARAM(static_cast<WORD>(client.right - client.left), static_cast<WORD>(client.bottom - client.top));
    }
  }
  if (move) SendMessageA(window, WM_MOVE, 0, moveParam);
  if (size) SendMessageA(window, WM_SIZE, kind, sizeParam);
}

BOOL PositionWindow(HWND window, HWND after, int x, int y, int width, int height, UINT flags) {
  std::vector<ForeignWindow> foreign;
  if (!(flags & SWP_NOZORDER) && !IsSpecialInsertAfter(after)) foreign = ForeignWindows();
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  WINDOWPOS pos{window, after, x, y, width, height, flags};
  if (!(flags & SWP_NOSENDCHANGING)) SendMessageA(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  pos.hwnd = window;

  bool becameHidden = false;
  bool activate = false;
  DWORD threadId = 0;
  ScreenChanges changes;
  RecordUpdate records;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return FALSE;
    threadId = w->threadId;
    RECT old = w->rect;
    RECT oldOnScreen = ScreenRectLocked(*w);
    const int64_t oldStamp = w->zStamp;
    const std::vector<uint32_t> oldSiblings = w->parent ? FindLocked(w->parent)->children : std::vector<uint32_t>{};
    RECT oldClient = ClientRectLocked(*w);
    if (!(pos.flags & SWP_NOMOVE)) OffsetRect(&w->rect, pos.x - w->rect.left, pos.y - w->rect.top);
    if (!(pos.flags & SWP_NOSIZE)) {
      w->rect.right = w->rect.left + std::max(pos.cx, 0);
      w->rect.bottom = w->rect.top + std::max(pos.cy, 0);
    }
    std::vector<Window*> moved;
    if (!(pos.flags & SWP_NOZORDER)) {
      if (Window* parent = FindLocked(w->parent))
        ReorderChildLocked(*parent, w->id, pos.hwndInsertAfter);
      else if (!w->messageOnly)
        ReorderTopLevelLocked(*w, pos.hwndInsertAfter, !(pos.flags & SWP_NOOWNERZORDER), foreign, moved);
    }
    bool becameVisible = false;
    if ((pos.flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
      w->style |= WS_VISIBLE;
      becameVisible = true;
    }
    if ((pos.flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
      w->style &= ~WS_VISIBLE;
      becameHidden = true;
    }
    RECT newClient = ClientRectLocked(*w);
    bool clientResized = !EqualRect(&oldClient, &newClient);
    if (becameVisible || (clientResized && !(pos.flags & SWP_NOREDRAW))) InvalidateAllLocked(*w);
    if (old.left == w->rect.left && old.top == w->rect.top) pos.flags |= SWP_NOMOVE;
    if (old.right - old.left == w->rect.right - w->rect.left && old.bottom - old.top == w->rect.bottom - w->rect.top)
      pos.flags |= SWP_NOSIZE;
    if (w->shape && clientResized && !(pos.flags & SWP_NOREDRAW)) InvalidateAllLocked(*w);
    activate = !(pos.flags & SWP_NOACTIVATE) && CanActivateLocked(*w);
    pos.x = w->rect.left;
    pos.y = w->rect.top;
    pos.cx = w->rect.right - w->rect.left;
    pos.cy = w->rect.bottom - w->rect.top;
    records.WindowChangedLocked(*w);
    RECT onScreen = ScreenRectLocked(*w);
    RECT both;
    UnionRect(&both, &oldOnScreen, &onScreen);
    bool reordered = w->parent ? FindLocked(w->parent)->children != oldSiblings : w->zStamp != oldStamp;
    if (becameVisible) changes.AddLocked(TWL_SCREEN_SHOWN, *w, onScreen);
    if (becameHidden) changes.AddLocked(TWL_SCREEN_HIDDEN, *w, oldOnScreen);
    if (!(pos.flags & SWP_NOMOVE)) changes.AddLocked(TWL_SCREEN_MOVED, *w, w->parent ? both : onScreen);
    if (!(pos.flags & SWP_NOSIZE)) changes.AddLocked(TWL_SCREEN_RESIZED, *w, w->parent ? both : onScreen);
    if (reordered) changes.AddLocked(TWL_SCREEN_ZORDER, *w, w->parent ? onScreen : RECT{});
    // The windows it owns moved with it: told after it, lowest first, so
    // that a presenter raising them in turn leaves each above its owner.
    for (Window* other : moved) {
      if (other == w) continue;
      records.WindowChangedLocked(*other);
      changes.AddLocked(TWL_SCREEN_ZORDER, *other, RECT{});
    }
    InvalidateUncoveredLocked();
  }
  records.Write();
  changes.Tell();
  if (becameHidden) ReleaseWindowState(window, false);
  SendMessageA(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (activate) RequestActivation(window, threadId);
  return TRUE;
}

namespace {

enum class Shape { Normal, Minimized, Maximized };

// Changes between normal, minimised and maximised placement; returns the
// rectangle the window takes (lock held).
RECT ChangeShapeLocked(Window& w, Shape shape) {
  const bool minimized = w.style & WS_MINIMIZE;
  const bool maximized = w.style & WS_MAXIMIZE;
  if (!minimized && !maximized) w.restoreRect = w.rect;
  w.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  switch (shape) {
    case Shape::Normal:
      return w.restoreRect;
    case Shape::Minimized: {
      w.style |= WS_MINIMIZE;
      POINT at = w.parent ? POINT{w.restoreRect.left, w.restoreRect.top} : POINT{kMinimizedPosition, kMinimizedPosition};
      return RECT{at.x, at.y, at.x + kMinimizedWidth, at.y + kMinimizedHeight};
    }
    case Shape::Maximized: {
      w.style |= WS_MAXIMIZE;
      RECT area = Model().screen.workArea;
      if (Window* parent = FindLocked(w.parent)) area = ClientRectLocked(*parent);
      Insets in = FrameInsets(w.style, w.exStyle);
      return RECT{area.left - in.left, area.top - in.left, area.right + in.right, area.bottom + in.bottom};
    }
  }
  return w.rect;
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;

TWLAPI BOOL SetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags) {
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(FindForeign(IdOf(window)) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  return PositionWindow(window, after, x, y, width, height, flags);
}

TWLAPI BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(window, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

TWLAPI BOOL BringWindowToTop(HWND window) { return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

TWLAPI BOOL ShowWindow(HWND window, int command) {
  if (MinMaxRefusedByHook(window, command)) return IsWindowVisible(window);
  bool wasVisible = false;
  bool wasActive = false;
  std::optional<Shape> shape;
  bool show = true;
  bool activate = false;
  switch (command) {
    case SW_HIDE: show = false; break;
    case SW_SHOWMINIMIZED: shape = Shape::Minimized; activate = true; break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: shape = Shape::Minimized; break;
    case SW_SHOWMAXIMIZED: shape = Shape::Maximized; activate = true; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: shape = Shape::Normal; activate = true; break;
    case SW_SHOWNOACTIVATE: shape = Shape::Normal; break;
    case SW_SHOW: activate = true; break;
    case SW_SHOWNA: break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  std::optional<RECT> target;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasVisible = (w->style & WS_VISIBLE) != 0;
    ThreadQueue* queue = QueueLocked(w->threadId);
    wasActive = queue && queue->active == w->id;
    const bool minimized = w->style & WS_MINIMIZE;
    const bool maximized = w->style & WS_MAXIMIZE;
    // A normal window asked to be normal keeps its place.
    if (shape == Shape::Normal && !minimized && !maximized) shape.reset();
    if (shape == Shape::Minimized && minimized) shape.reset();
    if (shape == Shape::Maximized && maximized) shape.reset();
    if (shape) target = ChangeShapeLocked(*w, *shape);
  }
  if (!show) {
    if (!wasVisible) return FALSE;
    SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
    PositionWindow(window, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }
  if (!wasVisible) SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
  UINT flags = SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE) | (activate ? 0 : SWP_NOZORDER);
  if (target)
    PositionWindow(window, HWND_TOP, target->left, target->top, target->right - target->left,
                   target->bottom - target->top, flags);
  else
    PositionWindow(window, HWND_TOP, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
  // Minimising hands activation on to the next window.
  if (command == SW_MINIMIZE && wasActive) ReleaseWindowState(window, false);
  return wasVisible;
}

TWLAPI BOOL IsWindowVisible(HWND window) {
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) return IsVisibleLocked(*w);
  }
  auto foreign = FindForeign(IdOf(window));
  return foreign && (foreign->style & WS_VISIBLE);
}

TWLAPI BOOL IsIconic(HWND window) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  return w && (w->style & WS_MINIMIZE);
}

TWLAPI BOOL IsZoomed(HWND window) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  return w && (w->style & WS_MAXIMIZE);
}

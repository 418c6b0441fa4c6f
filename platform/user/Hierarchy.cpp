// Walking the window tree and the desktop's z-order: parents, owners,
// children, siblings, enumeration and FindWindowA. Top-level walks include
// the windows other processes of the desktop published.
#include <algorithm>

#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

bool MatchesText(const std::string& value, const char* wanted) {
  return !wanted || ClassNamesEqual(value, wanted);
}

HWND SiblingStep(const std::vector<uint32_t>& order, uint32_t id, int step) {
  auto at = std::find(order.begin(), order.end(), id);
  if (at == order.end()) return nullptr;
  auto index = (at - order.begin()) + step;
  if (index < 0 || index >= static_cast<long>(order.size())) return nullptr;
  return HwndOf(order[static_cast<size_t>(index)]);
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;

TWLAPI HWND GetDesktopWindow() { return HwndOf(kDesktopId); }

TWLAPI HWND GetParent(HWND window) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (w->style & WS_CHILD) return HwndOf(w->parent);
  if (w->style & WS_POPUP) return HwndOf(w->owner);
  return nullptr;
}

TWLAPI HWND GetAncestor(HWND window, UINT flags) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  switch (flags) {
    case GA_PARENT: return HwndOf(w->parent ? w->parent : kDesktopId);
    case GA_ROOT: return HwndOf(RootLocked(w->id));
    case GA_ROOTOWNER: {
      uint32_t id = RootLocked(w->id);
      while (Window* r = FindLocked(id)) {
        if (!r->owner) break;
        id = RootLocked(r->owner);
      }
      return HwndOf(id);
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

TWLAPI BOOL IsChild(HWND parent, HWND window) {
  Guard guard(Lock());
  return IsDescendantLocked(IdOf(parent), IdOf(window));
}

TWLAPI HWND GetTopWindow(HWND window) {
  if (!window || IdOf(window) == kDesktopId) {
    auto order = DesktopTopLevels();
    return order.empty() ? nullptr : HwndOf(order.front());
  }
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return w->children.empty() ? nullptr : HwndOf(w->children.front());
}

TWLAPI HWND GetWindow(HWND window, UINT command) {
  uint32_t parent = 0;
  bool local = false;
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) {
      local = true;
      parent = w->parent;
      switch (command) {
        case GW_OWNER: return HwndOf(w->owner);
        case GW_CHILD: return w->children.empty() ? nullptr : HwndOf(w->children.front());
        case GW_ENABLEDPOPUP:
          for (auto& [id, other] : Model().windows)
            if (other->owner == w->id && (other->style & WS_VISIBLE) && !(other->style & WS_DISABLED))
              return HwndOf(id);
          return nullptr;
      }
      if (parent) {
        const auto& siblings = FindLocked(parent)->children;
        switch (command) {
          case GW_HWNDFIRST: return HwndOf(siblings.front());
          case GW_HWNDLAST: return HwndOf(siblings.back());
          case GW_HWNDNEXT: return SiblingStep(siblings, w->id, 1);
          case GW_HWNDPREV: return SiblingStep(siblings, w->id, -1);
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
    }
  }
  if (!local && !FindForeign(IdOf(window))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (command == GW_OWNER || command == GW_CHILD || command == GW_ENABLEDPOPUP) return nullptr;
  auto order = DesktopTopLevels();
  switch (command) {
    case GW_HWNDFIRST: return order.empty() ? nullptr : HwndOf(order.front());
    case GW_HWNDLAST: return order.empty() ? nullptr : HwndOf(order.back());
    case GW_HWNDNEXT: return SiblingStep(order, IdOf(window), 1);
    case GW_HWNDPREV: return SiblingStep(order, IdOf(window), -1);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

TWLAPI BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter) {
  if (!callback) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (uint32_t id : DesktopTopLevels())
    if (!callback(HwndOf(id), parameter)) return FALSE;
  return TRUE;
}

TWLAPI HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  std::string atomName;
  if (className && IS_INTRESOURCE(className)) {
    Guard guard(Lock());
    auto cls = FindClassLocked(className);
    if (!cls) return nullptr;
    atomName = cls->name;
    className = atomName.c_str();
  }
  auto foreign = ForeignWindows();
  for (uint32_t id : DesktopTopLevels()) {
    {
      Guard guard(Lock());
      if (Window* w = FindLocked(id)) {
        if (MatchesText(w->cls->name, className) && MatchesText(w->text, windowName)) return HwndOf(id);
        continue;
      }
    }
    for (const ForeignWindow& f : foreign)
      if (f.id == id && MatchesText(f.className, className) && MatchesText(f.title, windowName)) return HwndOf(id);
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

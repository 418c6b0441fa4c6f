// Window classes: registered per process, names compared without case.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

constexpr int kMaxExtraBytes = 4096;

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

ATOM Register(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName || wc.cbClsExtra < 0 ||
      wc.cbWndExtra < 0 || wc.cbClsExtra > kMaxExtraBytes || wc.cbWndExtra > kMaxExtraBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Guard guard(Lock());
  WindowModel& s = Model();
  std::string key = Lower(wc.lpszClassName);
  if (s.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc.lpszClassName;
  cls->atom = s.nextAtom++;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->windowExtra = wc.cbWndExtra;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->smallIcon = wc.hIconSm;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) cls->menuName = wc.lpszMenuName;
  cls->extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
  s.classes[key] = cls;
  return cls->atom;
}

}  // namespace

std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name) {
  WindowModel& s = Model();
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& [key, cls] : s.classes)
      if (cls->atom == atom) return cls;
    return nullptr;
  }
  auto found = s.classes.find(Lower(name));
  return found == s.classes.end() ? nullptr : found->second;
}

bool ClassNamesEqual(const std::string& a, const char* b) { return Lower(a) == Lower(b); }

}  // namespace twl::user

using namespace twl::user;

TWLAPI ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,   wc->lpfnWndProc,   wc->cbClsExtra,
                 wc->cbWndExtra,      wc->hInstance, wc->hIcon,       wc->hCursor,
                 wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
  return Register(ex);
}

TWLAPI ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*wc);
}

TWLAPI BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  Guard guard(Lock());
  auto cls = FindClassLocked(className);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  for (auto& [id, w] : Model().windows)
    if (w->cls == cls) {
      SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
      return FALSE;
    }
  Model().classes.erase(Lower(cls->name));
  return TRUE;
}

TWLAPI BOOL GetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA out) {
  Guard guard(Lock());
  auto cls = FindClassLocked(className);
  if (!cls || !out) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *out = WNDCLASSA{cls->style,  cls->proc,   static_cast<int>(cls->extra.size()), cls->windowExtra,
                   cls->instance, cls->icon, cls->cursor, cls->background, nullptr, cls->name.c_str()};
  return TRUE;
}

TWLAPI int GetClassNameA(HWND window, LPSTR buffer, int size) {
  if (!buffer || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name;
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) name = w->cls->name;
  }
  if (name.empty()) {
    auto foreign = FindForeign(IdOf(window));
    if (!foreign) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    name = foreign->className;
  }
  size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

// Of another process's window only the size of its window data can be
// read (it is what that process published); its class stays private.
static LONG_PTR ForeignClassLong(HWND window, int index) {
  auto foreign = FindForeign(IdOf(window));
  if (!foreign) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (index == GCL_CBWNDEXTRA) return static_cast<LONG_PTR>(foreign->extra.size());
  SetLastError(ERROR_ACCESS_DENIED);
  return 0;
}

TWLAPI LONG_PTR GetClassLongA(HWND window, int index) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    guard.unlock();
    return ForeignClassLong(window, index);
  }
  const WindowClass& c = *w->cls;
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG) > c.extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG value;
    std::memcpy(&value, c.extra.data() + index, sizeof value);
    return value;
  }
  switch (index) {
    case GCL_CBWNDEXTRA: return c.windowExtra;
    case GCL_CBCLSEXTRA: return static_cast<LONG_PTR>(c.extra.size());
    case GCL_STYLE: return c.style;
    case GCL_WNDPROC: return reinterpret_cast<LONG_PTR>(c.proc);
    case GCL_HICON: return reinterpret_cast<LONG_PTR>(c.icon);
    case GCL_HCURSOR: return reinterpret_cast<LONG_PTR>(c.cursor);
    case GCL_HBRBACKGROUND: return reinterpret_cast<LONG_PTR>(c.background);
    case GCL_HMODULE: return reinterpret_cast<LONG_PTR>(c.instance);
    case GCW_ATOM: return c.atom;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

TWLAPI LONG_PTR SetClassLongA(HWND window, int index, LONG_PTR value) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WindowClass& c = *w->cls;
  LONG_PTR old = 0;
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG) > c.extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG previous;
    LONG next = static_cast<LONG>(value);
    std::memcpy(&previous, c.extra.data() + index, sizeof previous);
    std::memcpy(c.extra.data() + index, &next, sizeof next);
    return previous;
  }
  switch (index) {
    case GCL_STYLE: old = c.style; c.style = static_cast<UINT>(value); return old;
    case GCL_WNDPROC: old = reinterpret_cast<LONG_PTR>(c.proc); c.proc = reinterpret_cast<WNDPROC>(value); return old;
    case GCL_HICON: old = reinterpret_cast<LONG_PTR>(c.icon); c.icon = reinterpret_cast<HICON>(value); return old;
    case GCL_HCURSOR: old = reinterpret_cast<LONG_PTR>(c.cursor); c.cursor = reinterpret_cast<HCURSOR>(value); return old;
    case GCL_HBRBACKGROUND:
      old = reinterpret_cast<LONG_PTR>(c.background);
      c.background = reinterpret_cast<HBRUSH>(value);
      return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

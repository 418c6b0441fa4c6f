// The default handling of messages a window procedure passes on.
#include <algorithm>
#include <cstring>

#include "Cursors.h"
#include "WindowManager.h"
#include "twlwin/gdi.h"
#include "twlwin/regions.h"

namespace twl::user {

namespace {

LRESULT HitTest(HWND window, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) return HTNOWHERE;
  RECT r = ScreenRectLocked(*w);
  RECT c = ClientScreenRectLocked(*w);
  if (!PtInRect(&r, p)) return HTNOWHERE;
  if (PtInRect(&c, p)) return HTCLIENT;
  Insets in = FrameInsets(w->style, w->exStyle);
  bool inCaptionRow = p.y >= r.top + in.left && p.y < c.top && p.x >= r.left + in.left && p.x < r.right - in.right;
  if ((w->style & WS_CAPTION) == WS_CAPTION && inCaptionRow) return HTCAPTION;
  return HTBORDER;
}

void SendWindowPosMessages(HWND window, const WINDOWPOS& pos) {
  bool sized = !(pos.flags & SWP_NOSIZE);
  bool moved = !(pos.flags & SWP_NOMOVE);
  if (sized || moved) SendSizeAndMove(window, sized, moved);
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;

TWLAPI LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SETTEXT:
      StoreTitle(window, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      std::string text;
      {
        Guard guard(Lock());
        if (Window* w = FindLocked(window)) text = w->text;
      }
      size_t n = std::min(text.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
      Guard guard(Lock());
      Window* w = FindLocked(window);
      return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(window, &ps)) EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = nullptr;
      {
        Guard guard(Lock());
        Window* w = FindLocked(window);
        if (w) brush = w->cls->background;
      }
      if (!brush) return 0;
      RECT client{};
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_NCHITTEST:
      return HitTest(window, lParam);
    case WM_SETCURSOR:
      return DefaultSetCursor(window, wParam, lParam);
    case WM_HELP: {
      // Help asked in a child goes up to its parent.
      HWND parent = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
      return parent ? SendMessageA(parent, WM_HELP, wParam, lParam) : 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
        HWND focus = GetFocus();
        if (!focus || (focus != window && !IsChild(window, focus))) SetFocus(window);
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (lParam) SendWindowPosMessages(window, *reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_MOUSEWHEEL: {
      // Unhandled wheel turns go up to the parent.
      HWND parent = nullptr;
      {
        Guard guard(Lock());
        Window* w = FindLocked(window);
        if (w && w->parent) parent = HwndOf(w->parent);
      }
      return parent ? SendMessageA(parent, message, wParam, lParam) : 0;
    }
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) {
        HWND top = GetAncestor(window, GA_ROOT);
        if (top) PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
      }
      return 0;
  }
  return 0;
}

// "STATIC": a text label, coloured by the parent through WM_CTLCOLORSTATIC.
#include <string>

#include "ControlClasses.h"
#include "ControlSupport.h"

namespace twl::controls {
namespace {

struct StaticState {
  HFONT font = nullptr;
};

StateMap<StaticState>& States() {
  static auto* states = new StateMap<StaticState>;
  return *states;
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(window, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(States().Get(window)->font));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  HBRUSH brush = ParentBrush(window, dc, WM_CTLCOLORSTATIC);
  Fill(dc, client, brush ? brush : reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1)));
  SetBkMode(dc, TRANSPARENT);
  LONG style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
  UINT format = DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
  if ((style & 0x1F) == SS_CENTER) format |= DT_CENTER;
  if ((style & 0x1F) == SS_RIGHT) format |= DT_RIGHT;
  std::string text = WindowText(window);
  DrawTextA(dc, text.c_str(), -1, &client, format);
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      States().Get(window)->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(States().Get(window)->font);
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      States().Drop(window);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

WNDPROC StaticWindowProc() { return StaticProc; }

}  // namespace twl::controls

#include "ControlSupport.h"

#include <algorithm>
#include <string>

namespace twl::controls {

HFONT FontOr(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void SendCommand(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
               reinterpret_cast<LPARAM>(control));
}

LRESULT SendNotify(HWND control, NMHDR* header, UINT code) {
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header->code = code;
  HWND parent = GetParent(control);
  if (!parent) return 0;
  return SendMessageA(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

HBRUSH ParentBrush(HWND control, HDC dc, UINT message) {
  HWND parent = GetParent(control);
  if (!parent) return nullptr;
  return reinterpret_cast<HBRUSH>(SendMessageA(parent, message, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(control)));
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void Fill(HDC dc, const RECT& rect, HBRUSH brush) { FillRect(dc, &rect, brush); }

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

void PaintBorder(HWND window) {
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  if (width == client.right && height == client.bottom) return;
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  // Only the ring outside the client area: the client is already painted.
  RECT ring{0, 0, width, height};
  Frame(dc, ring, RGB(122, 122, 122));
  for (int inset = 1; inset < client.right && width - 2 * inset > client.right; ++inset) {
    InflateRect(&ring, -1, -1);
    Frame(dc, ring, GetSysColor(COLOR_WINDOW));
  }
  ReleaseDC(window, dc);
}

}  // namespace twl::controls

#include "ControlSupport.h"

#include <algorithm>
#include <cstring>

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

void CopyText(const std::string& text, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return;
  const size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

COLORREF ColourOr(COLORREF colour, int systemColour) {
  return colour == CLR_DEFAULT ? GetSysColor(systemColour) : colour;
}

int TextWidthIn(HWND window, HFONT font, const char* text) {
  if (!text) return 0;
  HDC dc = GetDC(window);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, FontOr(font));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

int LineHeightIn(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  if (!dc) return 16;
  HGDIOBJ old = SelectObject(dc, FontOr(font));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight > 0 ? metrics.tmHeight : 16;
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

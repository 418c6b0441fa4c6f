// "SysHeader32": the column header of a report list view. It shows the
// list's columns in their display order, asking its parent (the list) for
// them; it erases its background through WM_ERASEBKGND and asks the parent
// for NM_CUSTOMDRAW of each column, so a list that subclasses it can
// colour it.
#include <algorithm>
#include <string>
#include <vector>

#include "ControlClasses.h"
#include "ControlSupport.h"

namespace twl::controls {
namespace {

constexpr int kHeaderPadding = 4;
constexpr COLORREF kSeparator = RGB(213, 213, 213);

struct HeaderColumn {
  std::string text;
  int width = 0;
  int order = 0;
  int index = 0;
};

// The parent list's columns in display order.
std::vector<HeaderColumn> ParentColumns(HWND header) {
  std::vector<HeaderColumn> columns;
  HWND list = GetParent(header);
  if (!list) return columns;
  for (int index = 0;; ++index) {
    char text[256] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_ORDER;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column))) break;
    columns.push_back(HeaderColumn{text, column.cx, column.iOrder, index});
  }
  std::sort(columns.begin(), columns.end(), [](const HeaderColumn& a, const HeaderColumn& b) { return a.order < b.order; });
  return columns;
}

void PaintHeader(HWND header) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(header, &ps);
  if (!dc) return;
  // An erase still owed (a paint without one pending): through the
  // message, so that a subclass can colour it.
  if (!ps.fErase) SendMessageA(header, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(header, &client);
  HWND list = GetParent(header);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(list ? reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)) : nullptr));
  SetBkMode(dc, TRANSPARENT);
  NMCUSTOMDRAW draw{};
  draw.dwDrawStage = CDDS_PREPAINT;
  draw.hdc = dc;
  draw.rc = client;
  const LRESULT answer = SendNotify(header, &draw.hdr, NM_CUSTOMDRAW);
  const bool notifyItems = (answer & CDRF_NOTIFYITEMDRAW) != 0;
  int x = 0;
  for (const HeaderColumn& column : ParentColumns(header)) {
    RECT cell{x, 0, x + column.width, client.bottom};
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    bool skip = false;
    if (notifyItems) {
      NMCUSTOMDRAW item{};
      item.dwDrawStage = CDDS_ITEMPREPAINT;
      item.hdc = dc;
      item.rc = cell;
      item.dwItemSpec = static_cast<DWORD_PTR>(column.index);
      skip = (SendNotify(header, &item.hdr, NM_CUSTOMDRAW) & CDRF_SKIPDEFAULT) != 0;
    }
    if (!skip) {
      RECT text{cell.left + kHeaderPadding, 0, cell.right - kHeaderPadding, client.bottom};
      DrawTextA(dc, column.text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    x += column.width;
    FillColour(dc, RECT{x - 1, 2, x, client.bottom - 3}, kSeparator);
  }
  FillColour(dc, RECT{0, client.bottom - 1, client.right, client.bottom}, kSeparator);
  SelectObject(dc, oldFont);
  EndPaint(header, &ps);
}

LRESULT CALLBACK HeaderProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: PaintHeader(header); return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(header, &client);
      FillColour(reinterpret_cast<HDC>(wParam), client, GetSysColor(COLOR_BTNFACE));
      return 1;
    }
    case HDM_GETITEMCOUNT: return static_cast<LRESULT>(ParentColumns(header).size());
    default: return DefWindowProcA(header, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC HeaderWindowProc() { return HeaderProc; }

}  // namespace twl::controls

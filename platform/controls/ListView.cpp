// "SysListView32": the window side of a list view over ListViewModel, in
// report mode (the other modes draw as a report for now). It turns messages
// into model changes, tells the parent through WM_NOTIFY, and paints with
// NM_CUSTOMDRAW.
#include <algorithm>
#include <cstring>
#include <string>

#include "ControlClasses.h"
#include "ControlSupport.h"
#include "ListViewModel.h"

namespace twl::controls {
namespace {

constexpr int kCellPadding = 4;

struct ListViewState {
  HFONT font = nullptr;
  ListViewModel model;
  HIMAGELIST smallImages = nullptr;
  HIMAGELIST normalImages = nullptr;
  COLORREF textColour = CLR_DEFAULT;
  COLORREF bkColour = CLR_DEFAULT;
  COLORREF textBkColour = CLR_DEFAULT;
  int top = 0;
  bool focused = false;
};

StateMap<ListViewState>& States() {
  static auto* states = new StateMap<ListViewState>;
  return *states;
}

LONG Style(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)); }

COLORREF Or(COLORREF colour, int systemColour) { return colour == CLR_DEFAULT ? GetSysColor(systemColour) : colour; }

struct Layout {
  int rowHeight = 16;
  int headerHeight = 0;
  RECT client{};
  int RowsPerPage() const { return std::max(1, static_cast<int>((client.bottom - headerHeight) / rowHeight)); }
  RECT RowRect(int row, int top) const {
    int y = headerHeight + (row - top) * rowHeight;
    return RECT{0, y, client.right, y + rowHeight};
  }
};

Layout Measure(HWND window, const ListViewState& state) {
  Layout layout;
  GetClientRect(window, &layout.client);
  HDC dc = GetDC(window);
  if (!dc) return layout;
  HGDIOBJ old = SelectObject(dc, FontOr(state.font));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  int imageHeight = 0;
  int imageWidth = 0;
  if (state.smallImages) ImageList_GetIconSize(state.smallImages, &imageWidth, &imageHeight);
  layout.rowHeight = std::max<int>(metrics.tmHeight + 2, imageHeight + 1);
  layout.headerHeight = (Style(window) & LVS_NOCOLUMNHEADER) ? 0 : metrics.tmHeight + 6;
  return layout;
}

int TextWidth(HWND window, const ListViewState& state, const char* text) {
  HDC dc = GetDC(window);
  if (!dc || !text) return 0;
  HGDIOBJ old = SelectObject(dc, FontOr(state.font));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

LPARAM RowParam(const ListViewState& state, int row) {
  const ListRow* r = state.model.Row(row);
  return r ? r->lParam : 0;
}

// Changes row states with LVN_ITEMCHANGING (the parent may refuse one) and
// LVN_ITEMCHANGED for each row that changes, rows losing state first.
bool ChangeState(HWND window, ListViewState& state, int row, UINT bits, UINT mask, bool single) {
  bool any = false;
  for (const StateChange& change : state.model.PlanState(row, bits, mask, single)) {
    NMLISTVIEW info{};
    info.iItem = change.row;
    info.uNewState = change.newState;
    info.uOldState = change.oldState;
    info.uChanged = LVIF_STATE;
    info.lParam = RowParam(state, change.row);
    if (SendNotify(window, &info.hdr, LVN_ITEMCHANGING)) continue;
    // The parent may have changed the list while answering.
    const ListRow* now = state.model.Row(change.row);
    if (!now || now->state != change.oldState) continue;
    state.model.Apply(change);
    any = true;
    info = NMLISTVIEW{};
    info.iItem = change.row;
    info.uNewState = change.newState;
    info.uOldState = change.oldState;
    info.uChanged = LVIF_STATE;
    info.lParam = RowParam(state, change.row);
    SendNotify(window, &info.hdr, LVN_ITEMCHANGED);
  }
  if (any) InvalidateRect(window, nullptr, TRUE);
  return true;
}

void EnsureVisible(HWND window, ListViewState& state, int row) {
  if (!state.model.Row(row)) return;
  Layout layout = Measure(window, state);
  int perPage = layout.RowsPerPage();
  int top = state.top;
  if (row < top) top = row;
  else if (row >= top + perPage) top = row - perPage + 1;
  if (top != state.top) {
    state.top = top;
    InvalidateRect(window, nullptr, TRUE);
  }
}

int HitRow(HWND window, const ListViewState& state, POINT at) {
  Layout layout = Measure(window, state);
  if (at.y < layout.headerHeight || at.x < 0 || at.x >= layout.client.right) return -1;
  int row = state.top + (at.y - layout.headerHeight) / layout.rowHeight;
  return state.model.Row(row) ? row : -1;
}

// The row's small image in report mode: in the first column, 2 pixels in,
// centred in the row; empty when the row shows none.
RECT IconRect(HWND window, ListViewState& state, int row) {
  const ListRow* data = state.model.Row(row);
  if (!data || !state.smallImages || data->image < 0) return RECT{};
  const Layout layout = Measure(window, state);
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(state.smallImages, &width, &height);
  const RECT line = layout.RowRect(row, state.top);
  const int top = line.top + (layout.rowHeight - height) / 2;
  return RECT{2, top, 2 + width, top + height};
}

void CopyOut(const std::string& text, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return;
  size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

void SendClick(HWND window, UINT code, int row, POINT at) {
  NMITEMACTIVATE info{};
  info.iItem = row;
  info.ptAction = at;
  SendNotify(window, &info.hdr, code);
}

void PaintHeader(HDC dc, ListViewState& state, const Layout& layout) {
  RECT header{0, 0, layout.client.right, layout.headerHeight};
  FillColour(dc, header, GetSysColor(COLOR_BTNFACE));
  RECT line{0, layout.headerHeight - 1, layout.client.right, layout.headerHeight};
  FillColour(dc, line, RGB(213, 213, 213));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  int x = 0;
  for (int c = 0; c < state.model.ColumnCount(); ++c) {
    const ListColumn* column = state.model.Column(c);
    RECT cell{x + kCellPadding, 0, x + column->width - kCellPadding, layout.headerHeight};
    DrawTextA(dc, column->text.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    x += column->width;
    RECT separator{x - 1, 2, x, layout.headerHeight - 3};
    FillColour(dc, separator, RGB(213, 213, 213));
  }
}

void PaintRow(HWND window, HDC dc, ListViewState& state, const Layout& layout, int row, bool notifyItems) {
  const ListRow* data = state.model.Row(row);
  RECT rect = layout.RowRect(row, state.top);
  bool selected = data->state & LVIS_SELECTED;
  bool showSelection = state.focused || (Style(window) & LVS_SHOWSELALWAYS);
  COLORREF text = Or(state.textColour, COLOR_WINDOWTEXT);
  COLORREF background = state.textBkColour == CLR_DEFAULT ? CLR_NONE : state.textBkColour;
  if (notifyItems) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.hdc = dc;
    draw.nmcd.rc = rect;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.uItemState = (selected ? CDIS_SELECTED : 0) | ((data->state & LVIS_FOCUSED) ? CDIS_FOCUS : 0);
    draw.nmcd.lItemlParam = data->lParam;
    draw.clrText = text;
    draw.clrTextBk = background;
    if (SendNotify(window, &draw.nmcd.hdr, NM_CUSTOMDRAW) & CDRF_SKIPDEFAULT) return;
    data = state.model.Row(row);
    if (!data) return;
    text = draw.clrText;
    background = draw.clrTextBk;
  }
  if (selected && showSelection) {
    background = state.focused ? GetSysColor(COLOR_HIGHLIGHT) : RGB(217, 217, 217);
    if (state.focused) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  if (background != CLR_NONE) FillColour(dc, rect, background);
  SetTextColor(dc, text);
  int x = 0;
  for (int c = 0; c < std::max(1, state.model.ColumnCount()); ++c) {
    const ListColumn* column = state.model.Column(c);
    int width = column ? column->width : layout.client.right;
    int left = x + kCellPadding;
    if (c == 0 && state.smallImages && data->image >= 0) {
      int imageWidth = 0;
      int imageHeight = 0;
      ImageList_GetIconSize(state.smallImages, &imageWidth, &imageHeight);
      ImageList_Draw(state.smallImages, data->image, dc, x + 2, rect.top + (layout.rowHeight - imageHeight) / 2,
                     ILD_TRANSPARENT);
      left = x + 2 + imageWidth + 2;
    }
    RECT cell{left, rect.top, x + width - kCellPadding / 2, rect.bottom};
    UINT align = !column ? 0 : column->format == LVCFMT_RIGHT ? DT_RIGHT : column->format == LVCFMT_CENTER ? DT_CENTER : 0;
    const std::string& cellText = state.model.Text(row, c);
    DrawTextA(dc, cellText.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | align);
    x += width;
  }
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  auto state = States().Get(window);
  Layout layout = Measure(window, *state);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  FillColour(dc, layout.client, Or(state->bkColour, COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);

  NMLVCUSTOMDRAW draw{};
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = layout.client;
  LRESULT answer = SendNotify(window, &draw.nmcd.hdr, NM_CUSTOMDRAW);
  bool notifyItems = answer & CDRF_NOTIFYITEMDRAW;
  if (!(answer & CDRF_SKIPDEFAULT)) {
    int last = std::min(state->model.RowCount(), state->top + layout.RowsPerPage() + 1);
    for (int row = state->top; row < last; ++row) PaintRow(window, dc, *state, layout, row, notifyItems);
    if (layout.headerHeight) PaintHeader(dc, *state, layout);
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
  PaintBorder(window);
}

int InsertItem(HWND window, ListViewState& state, const LVITEMA* item) {
  if (!item || item->iSubItem != 0) return -1;
  ListRow row;
  row.texts.emplace_back((item->mask & LVIF_TEXT) && item->pszText ? item->pszText : "");
  if (item->mask & LVIF_IMAGE) row.image = item->iImage;
  if (item->mask & LVIF_PARAM) row.lParam = item->lParam;
  if (item->mask & LVIF_STATE) row.state = item->state & item->stateMask & (LVIS_SELECTED | LVIS_FOCUSED);
  int at = state.model.InsertRow(item->iItem, std::move(row), Style(window) & LVS_SORTASCENDING);
  if (at <= state.top + Measure(window, state).RowsPerPage()) InvalidateRect(window, nullptr, TRUE);
  return at;
}

BOOL SetItem(HWND window, ListViewState& state, const LVITEMA* item) {
  if (!item) return FALSE;
  ListRow* row = state.model.Row(item->iItem);
  if (!row) return FALSE;
  if (item->mask & LVIF_TEXT) state.model.SetText(item->iItem, item->iSubItem, item->pszText ? item->pszText : "");
  if (item->iSubItem == 0) {
    if (item->mask & LVIF_IMAGE) row->image = item->iImage;
    if (item->mask & LVIF_PARAM) row->lParam = item->lParam;
    if (item->mask & LVIF_STATE)
      ChangeState(window, state, item->iItem, item->state, item->stateMask, Style(window) & LVS_SINGLESEL);
  }
  InvalidateRect(window, nullptr, TRUE);
  return TRUE;
}

BOOL GetItem(ListViewState& state, LVITEMA* item) {
  if (!item) return FALSE;
  const ListRow* row = state.model.Row(item->iItem);
  if (!row) return FALSE;
  if (item->mask & LVIF_TEXT) CopyOut(state.model.Text(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
  if (item->mask & LVIF_IMAGE) item->iImage = row->image;
  if (item->mask & LVIF_PARAM) item->lParam = row->lParam;
  if (item->mask & LVIF_STATE) item->state = row->state & item->stateMask;
  return TRUE;
}

int AutoWidth(HWND window, ListViewState& state, int column, bool withHeader) {
  int widest = 0;
  for (int row = 0; row < state.model.RowCount(); ++row)
    widest = std::max(widest, TextWidth(window, state, state.model.Text(row, column).c_str()));
  if (withHeader) widest = std::max(widest, TextWidth(window, state, state.model.Column(column)->text.c_str()));
  return widest + 3 * kCellPadding;
}

void MoveFocus(HWND window, ListViewState& state, int row) {
  row = std::clamp(row, 0, state.model.RowCount() - 1);
  if (row < 0) return;
  ChangeState(window, state, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, true);
  EnsureVisible(window, state, row);
}

void KeyDown(HWND window, ListViewState& state, WPARAM key) {
  NMLVKEYDOWN info{};
  info.wVKey = static_cast<WORD>(key);
  SendNotify(window, &info.hdr, LVN_KEYDOWN);
  int focus = state.model.NextWithState(-1, LVIS_FOCUSED);
  int page = Measure(window, state).RowsPerPage();
  switch (key) {
    case VK_DOWN:
      MoveFocus(window, state, focus + 1);
      break;
    case VK_UP:
      MoveFocus(window, state, focus < 0 ? 0 : focus - 1);
      break;
    case VK_HOME:
      MoveFocus(window, state, 0);
      break;
    case VK_END:
      MoveFocus(window, state, state.model.RowCount() - 1);
      break;
    case VK_NEXT:
      MoveFocus(window, state, focus + page);
      break;
    case VK_PRIOR:
      MoveFocus(window, state, focus - page);
      break;
    default:
      break;
  }
}

POINT PointOf(LPARAM lParam) { return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))}; }

LRESULT Handle(HWND window, ListViewState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LVM_INSERTCOLUMNA: {
      auto* column = reinterpret_cast<const LVCOLUMNA*>(lParam);
      if (!column) return -1;
      ListColumn made;
      if ((column->mask & LVCF_TEXT) && column->pszText) made.text = column->pszText;
      if (column->mask & LVCF_WIDTH) made.width = std::max(0, column->cx);
      if (column->mask & LVCF_FMT) made.format = column->fmt & 3;
      int at = state.model.InsertColumn(static_cast<int>(wParam), std::move(made));
      InvalidateRect(window, nullptr, TRUE);
      return at;
    }
    case LVM_SETCOLUMNWIDTH: {
      ListColumn* column = state.model.Column(static_cast<int>(wParam));
      int width = static_cast<int>(static_cast<SHORT>(LOWORD(lParam)));
      if (!column) return FALSE;
      if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER)
        width = AutoWidth(window, state, static_cast<int>(wParam), width == LVSCW_AUTOSIZE_USEHEADER);
      column->width = std::max(0, width);
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETCOLUMNWIDTH: {
      ListColumn* column = state.model.Column(static_cast<int>(wParam));
      return column ? column->width : 0;
    }
    case LVM_INSERTITEMA:
      return InsertItem(window, state, reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_SETITEMA:
      return SetItem(window, state, reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_SETITEMTEXTA: {
      auto* item = reinterpret_cast<const LVITEMA*>(lParam);
      if (!item || !state.model.SetText(static_cast<int>(wParam), item->iSubItem, item->pszText ? item->pszText : ""))
        return FALSE;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETITEMA:
      return GetItem(state, reinterpret_cast<LVITEMA*>(lParam));
    case LVM_GETITEMTEXTA: {
      auto* item = reinterpret_cast<LVITEMA*>(lParam);
      if (!item) return 0;
      const std::string& text = state.model.Text(static_cast<int>(wParam), item->iSubItem);
      CopyOut(text, item->pszText, item->cchTextMax);
      return static_cast<LRESULT>(std::min<size_t>(text.size(), std::max(item->cchTextMax - 1, 0)));
    }
    case LVM_GETITEMCOUNT:
      return state.model.RowCount();
    case LVM_DELETEITEM:
      if (!state.model.DeleteRow(static_cast<int>(wParam))) return FALSE;
      state.top = std::clamp(state.top, 0, std::max(0, state.model.RowCount() - 1));
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case LVM_DELETEALLITEMS:
      state.model.DeleteAll();
      state.top = 0;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case LVM_SETITEMSTATE: {
      auto* item = reinterpret_cast<const LVITEMA*>(lParam);
      if (!item) return FALSE;
      int row = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (row != -1 && !state.model.Row(row)) return FALSE;
      return ChangeState(window, state, row, item->state, item->stateMask, Style(window) & LVS_SINGLESEL);
    }
    case LVM_GETITEMSTATE: {
      const ListRow* row = state.model.Row(static_cast<int>(wParam));
      return row ? (row->state & static_cast<UINT>(lParam)) : 0;
    }
    case LVM_GETNEXTITEM: {
      int start = static_cast<int>(static_cast<INT_PTR>(wParam));
      UINT flags = LOWORD(lParam);
      UINT wanted = (flags & LVNI_SELECTED ? LVIS_SELECTED : 0) | (flags & LVNI_FOCUSED ? LVIS_FOCUSED : 0);
      return state.model.NextWithState(start, wanted);
    }
    case LVM_GETSELECTEDCOUNT:
      return state.model.CountWithState(LVIS_SELECTED);
    case LVM_ENSUREVISIBLE:
      EnsureVisible(window, state, static_cast<int>(wParam));
      return state.model.Row(static_cast<int>(wParam)) ? TRUE : FALSE;
    case LVM_GETTOPINDEX:
      return state.top;
    case LVM_GETCOUNTPERPAGE:
      return Measure(window, state).RowsPerPage();
    case LVM_GETSTRINGWIDTHA:
      return TextWidth(window, state, reinterpret_cast<const char*>(lParam));
    case LVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == LVSIL_SMALL ? state.smallImages : state.normalImages;
      HIMAGELIST previous = slot;
      slot = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == LVSIL_SMALL ? state.smallImages : state.normalImages);
    case LVM_SETTEXTCOLOR:
    case LVM_SETBKCOLOR:
    case LVM_SETTEXTBKCOLOR: {
      COLORREF& slot = message == LVM_SETTEXTCOLOR ? state.textColour
                       : message == LVM_SETBKCOLOR ? state.bkColour
                                                   : state.textBkColour;
      slot = static_cast<COLORREF>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETTEXTCOLOR:
      return Or(state.textColour, COLOR_WINDOWTEXT);
    case LVM_GETBKCOLOR:
      return Or(state.bkColour, COLOR_WINDOW);
    case LVM_GETTEXTBKCOLOR:
      return state.textBkColour;
    case LVM_HITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
      if (!info) return -1;
      info->iItem = HitRow(window, state, info->pt);
      info->iSubItem = 0;
      info->flags = info->iItem < 0 ? LVHT_NOWHERE : LVHT_ONITEMLABEL;
      if (info->iItem >= 0) {
        const RECT icon = IconRect(window, state, info->iItem);
        if (PtInRect(&icon, info->pt)) info->flags = LVHT_ONITEMICON;
      }
      return info->iItem;
    }
    case LVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect || !state.model.Row(static_cast<int>(wParam))) return FALSE;
      if (rect->left == LVIR_ICON) {
        *rect = IconRect(window, state, static_cast<int>(wParam));
        return TRUE;
      }
      *rect = Measure(window, state).RowRect(static_cast<int>(wParam), state.top);
      return TRUE;
    }
    case LVM_REDRAWITEMS:
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      States().Get(window)->focused = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      auto state = States().Get(window);
      int row = HitRow(window, *state, PointOf(lParam));
      if (row >= 0) ChangeState(window, *state, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, true);
      else ChangeState(window, *state, -1, 0, LVIS_SELECTED, false);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP: {
      auto state = States().Get(window);
      POINT at = PointOf(lParam);
      UINT code = message == WM_LBUTTONUP ? NM_CLICK : message == WM_LBUTTONDBLCLK ? NM_DBLCLK : NM_RCLICK;
      SendClick(window, code, HitRow(window, *state, at), at);
      return 0;
    }
    case WM_KEYDOWN:
      KeyDown(window, *States().Get(window), wParam);
      return 0;
    case WM_NCDESTROY:
      States().Drop(window);
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      break;
  }
  if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) return Handle(window, *States().Get(window), message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

WNDPROC ListViewWindowProc() { return ListViewProc; }

}  // namespace twl::controls

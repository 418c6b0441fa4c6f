// "SysListView32": the window side of a list view over ListViewModel: in
// report view rows under a column header (a "SysHeader32" child), in list
// view icon and name in columns that scroll sideways (the icon views draw
// as a report). It turns messages into model changes, tells the parent
// through WM_NOTIFY, and paints with NM_CUSTOMDRAW; a scroll bar shows
// when the rows do not fit.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ControlClasses.h"
#include "ControlSupport.h"
#include "ListViewModel.h"

namespace twl::controls {
namespace {

constexpr int kCellPadding = 4;
constexpr int kScrollWidth = 16;
constexpr int kDragDistance = 4;

struct ListViewState {
  HFONT font = nullptr;
  ListViewModel model;
  HIMAGELIST smallImages = nullptr;
  HIMAGELIST normalImages = nullptr;
  COLORREF textColour = CLR_DEFAULT;
  COLORREF bkColour = CLR_DEFAULT;
  COLORREF textBkColour = CLR_DEFAULT;
  int top = 0;  // first row on show; in list view the first column
  bool focused = false;
  HWND header = nullptr;
  int hot = -1;
  // A left press on a row that may start a drag.
  int pressedRow = -1;
  POINT pressedAt{};
  bool dragStarted = false;
};

StateMap<ListViewState>& States() {
  static auto* states = new StateMap<ListViewState>;
  return *states;
}

LONG Style(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)); }


bool IsReport(HWND window) { return (Style(window) & LVS_TYPEMASK) != LVS_LIST; }
bool IsListView(HWND window) { return (Style(window) & LVS_TYPEMASK) == LVS_LIST; }

struct Layout {
  int rowHeight = 16;
  int headerHeight = 0;
  int scrollWidth = 0;  // the vertical scroll bar's, when the rows do not fit
  int columnWidth = 0;  // list view: the width of each column of names
  bool listView = false;
  RECT client{};
  int RowsPerPage() const { return std::max(1, static_cast<int>((client.bottom - headerHeight) / rowHeight)); }
  int ColumnsPerPage() const { return std::max(1, static_cast<int>(client.right) / std::max(1, columnWidth)); }
  // The row's whole rectangle (report) or its cell (list view).
  RECT RowRect(int row, int top) const {
    if (listView) {
      const int perColumn = RowsPerPage();
      const int x = (row / perColumn - top) * columnWidth;
      const int y = (row % perColumn) * rowHeight;
      return RECT{x, y, x + columnWidth, y + rowHeight};
    }
    int y = headerHeight + (row - top) * rowHeight;
    return RECT{0, y, client.right - scrollWidth, y + rowHeight};
  }
};

int TextWidth(HWND window, const ListViewState& state, const char* text) {
  return TextWidthIn(window, state.font, text);
}

// List view: names in columns as wide as the widest name with its icon.
int ListColumnWidth(HWND window, const ListViewState& state, int imageWidth) {
  int widest = 0;
  for (int row = 0; row < state.model.RowCount(); ++row)
    widest = std::max(widest, TextWidth(window, state, state.model.Text(row, 0).c_str()));
  return widest + imageWidth + 4 + 2 * kCellPadding;
}

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
  layout.listView = IsListView(window);
  const bool hasHeader = (Style(window) & LVS_TYPEMASK) == LVS_REPORT && !(Style(window) & LVS_NOCOLUMNHEADER);
  layout.headerHeight = hasHeader ? metrics.tmHeight + 6 : 0;
  if (layout.listView) {
    layout.columnWidth = ListColumnWidth(window, state, imageWidth);
  } else if (state.model.RowCount() > layout.RowsPerPage()) {
    layout.scrollWidth = kScrollWidth;
  }
  return layout;
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
  if (layout.listView) {
    // Sideways, a column at a time.
    row /= perPage;
    perPage = layout.ColumnsPerPage();
  }
  if (row < top) top = row;
  else if (row >= top + perPage) top = row - perPage + 1;
  if (top != state.top) {
    state.top = top;
    InvalidateRect(window, nullptr, TRUE);
  }
}

int HitRow(HWND window, const ListViewState& state, POINT at) {
  Layout layout = Measure(window, state);
  if (at.y < layout.headerHeight || at.x < 0 || at.x >= layout.client.right - layout.scrollWidth) return -1;
  if (layout.listView) {
    const int perColumn = layout.RowsPerPage();
    const int slot = (at.y - layout.headerHeight) / layout.rowHeight;
    if (slot >= perColumn) return -1;
    const int row = (state.top + at.x / std::max(1, layout.columnWidth)) * perColumn + slot;
    return state.model.Row(row) ? row : -1;
  }
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

// The column under x in report view, whatever the display order; -1
// beyond the last.
int HitColumn(const ListViewState& state, int x) {
  int left = 0;
  for (int column : state.model.DisplayOrder()) {
    const ListColumn* data = const_cast<ListViewModel&>(state.model).Column(column);
    if (x >= left && x < left + data->width) return column;
    left += data->width;
  }
  return -1;
}

// Report view header: made when the list shows as a report with one, gone
// otherwise, and kept as wide as the list.
void UpdateHeader(HWND window, ListViewState& state, const Layout& layout) {
  if (layout.headerHeight == 0) {
    if (state.header) DestroyWindow(state.header);
    state.header = nullptr;
    return;
  }
  if (!state.header) {
    state.header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE, 0, 0, layout.client.right,
                                   layout.headerHeight, window, nullptr, nullptr, nullptr);
    return;
  }
  RECT now{};
  GetClientRect(state.header, &now);
  if (now.right != layout.client.right || now.bottom != layout.headerHeight)
    MoveWindow(state.header, 0, 0, layout.client.right, layout.headerHeight, TRUE);
}

void SendClick(HWND window, const ListViewState& state, UINT code, int row, POINT at) {
  NMITEMACTIVATE info{};
  info.iItem = row;
  info.iSubItem = row >= 0 && IsReport(window) ? std::max(0, HitColumn(state, at.x)) : 0;
  info.ptAction = at;
  SendNotify(window, &info.hdr, code);
}

void PaintRow(HWND window, HDC dc, ListViewState& state, const Layout& layout, int row, bool notifyItems) {
  const ListRow* data = state.model.Row(row);
  RECT rect = layout.RowRect(row, state.top);
  bool selected = data->state & LVIS_SELECTED;
  bool showSelection = state.focused || (Style(window) & LVS_SHOWSELALWAYS);
  COLORREF text = ColourOr(state.textColour, COLOR_WINDOWTEXT);
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
  int x = rect.left;
  std::vector<int> order = state.model.DisplayOrder();
  // List view, and a report without columns: the name alone.
  if (layout.listView || order.empty()) order = {0};
  for (int c : order) {
    const ListColumn* column = layout.listView ? nullptr : state.model.Column(c);
    int width = column ? column->width : rect.right - rect.left;
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

// The vertical bar: a track with a thumb as long as the page is of all
// rows.
RECT ScrollThumb(const ListViewState& state, const Layout& layout) {
  const int trackTop = layout.headerHeight;
  const int track = std::max(1, static_cast<int>(layout.client.bottom) - trackTop);
  const int rows = std::max(1, state.model.RowCount());
  const int length = std::max(8, track * layout.RowsPerPage() / rows);
  const int top = trackTop + (track - length) * state.top / std::max(1, rows - layout.RowsPerPage());
  return RECT{layout.client.right - layout.scrollWidth, top, layout.client.right, top + length};
}

void PaintScrollBar(HDC dc, const ListViewState& state, const Layout& layout) {
  FillColour(dc, RECT{layout.client.right - layout.scrollWidth, layout.headerHeight, layout.client.right,
                      layout.client.bottom},
             RGB(240, 240, 240));
  RECT thumb = ScrollThumb(state, layout);
  thumb.left += 2;
  thumb.right -= 2;
  FillColour(dc, thumb, RGB(192, 192, 192));
}

void ScrollTo(HWND window, ListViewState& state, int top) {
  const Layout layout = Measure(window, state);
  const int last = layout.listView ? (state.model.RowCount() - 1) / layout.RowsPerPage() - layout.ColumnsPerPage() + 1
                                   : state.model.RowCount() - layout.RowsPerPage();
  top = std::clamp(top, 0, std::max(0, last));
  if (top == state.top) return;
  state.top = top;
  InvalidateRect(window, nullptr, TRUE);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  auto state = States().Get(window);
  Layout layout = Measure(window, *state);
  UpdateHeader(window, *state, layout);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  RECT rows = layout.client;
  rows.top = layout.headerHeight;
  FillColour(dc, rows, ColourOr(state->bkColour, COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);

  NMLVCUSTOMDRAW draw{};
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = layout.client;
  LRESULT answer = SendNotify(window, &draw.nmcd.hdr, NM_CUSTOMDRAW);
  bool notifyItems = answer & CDRF_NOTIFYITEMDRAW;
  if (!(answer & CDRF_SKIPDEFAULT)) {
    int first = state->top;
    int last = std::min(state->model.RowCount(), state->top + layout.RowsPerPage() + 1);
    if (layout.listView) {
      first = state->top * layout.RowsPerPage();
      last = std::min(state->model.RowCount(), first + (layout.ColumnsPerPage() + 1) * layout.RowsPerPage());
    }
    for (int row = first; row < last; ++row) PaintRow(window, dc, *state, layout, row, notifyItems);
    if (layout.scrollWidth) PaintScrollBar(dc, *state, layout);
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
  PaintBorder(window);
  if (state->header) InvalidateRect(state->header, nullptr, TRUE);
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
  if (item->mask & LVIF_TEXT) CopyText(state.model.Text(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
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
    case VK_RIGHT:
      if (IsListView(window)) MoveFocus(window, state, focus + page);
      break;
    case VK_LEFT:
      if (IsListView(window)) MoveFocus(window, state, std::max(0, focus - page));
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
      CopyText(text, item->pszText, item->cchTextMax);
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
      return IsListView(window) ? state.top * Measure(window, state).RowsPerPage() : state.top;
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
      return ColourOr(state.textColour, COLOR_WINDOWTEXT);
    case LVM_GETBKCOLOR:
      return ColourOr(state.bkColour, COLOR_WINDOW);
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
    case LVM_GETHEADER:
      UpdateHeader(window, state, Measure(window, state));
      return reinterpret_cast<LRESULT>(state.header);
    case LVM_GETCOLUMNA: {
      auto* column = reinterpret_cast<LVCOLUMNA*>(lParam);
      const ListColumn* data = state.model.Column(static_cast<int>(wParam));
      if (!column || !data) return FALSE;
      if (column->mask & LVCF_TEXT) CopyText(data->text, column->pszText, column->cchTextMax);
      if (column->mask & LVCF_WIDTH) column->cx = data->width;
      if (column->mask & LVCF_FMT) column->fmt = data->format;
      if (column->mask & LVCF_ORDER) column->iOrder = state.model.OrderOf(static_cast<int>(wParam));
      if (column->mask & LVCF_SUBITEM) column->iSubItem = static_cast<int>(wParam);
      return TRUE;
    }
    case LVM_SETCOLUMNA: {
      auto* column = reinterpret_cast<const LVCOLUMNA*>(lParam);
      ListColumn* data = state.model.Column(static_cast<int>(wParam));
      if (!column || !data) return FALSE;
      if ((column->mask & LVCF_TEXT) && column->pszText) data->text = column->pszText;
      if (column->mask & LVCF_WIDTH) data->width = std::max(0, column->cx);
      if (column->mask & LVCF_FMT) data->format = column->fmt & 3;
      if ((column->mask & LVCF_ORDER) && !state.model.SetOrder(static_cast<int>(wParam), column->iOrder)) return FALSE;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case LVM_SETITEMCOUNT:
      // Rows are kept one by one; the count is only a hint.
      return TRUE;
    case LVM_SUBITEMHITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
      if (!info) return -1;
      info->iItem = HitRow(window, state, info->pt);
      info->iSubItem = info->iItem < 0 ? -1 : IsReport(window) ? HitColumn(state, info->pt.x) : 0;
      if (info->iItem >= 0 && info->iSubItem < 0) info->iItem = -1;
      info->flags = info->iItem < 0 ? LVHT_NOWHERE : LVHT_ONITEMLABEL;
      return info->iItem;
    }
    case LVM_SETHOTITEM: {
      const int previous = state.hot;
      const int row = static_cast<int>(static_cast<INT_PTR>(wParam));
      state.hot = state.model.Row(row) ? row : -1;
      if (state.hot != previous) InvalidateRect(window, nullptr, TRUE);
      return previous;
    }
    case LVM_GETHOTITEM:
      return state.hot;
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
      const POINT at = PointOf(lParam);
      const Layout layout = Measure(window, *state);
      state->pressedRow = -1;
      if (layout.scrollWidth && at.x >= layout.client.right - layout.scrollWidth) {
        const RECT thumb = ScrollThumb(*state, layout);
        if (at.y < thumb.top) ScrollTo(window, *state, state->top - layout.RowsPerPage());
        if (at.y >= thumb.bottom) ScrollTo(window, *state, state->top + layout.RowsPerPage());
        return 0;
      }
      int row = HitRow(window, *state, at);
      if (row >= 0) {
        ChangeState(window, *state, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, true);
        state->pressedRow = row;
        state->pressedAt = at;
        state->dragStarted = false;
      } else {
        ChangeState(window, *state, -1, 0, LVIS_SELECTED, false);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      auto state = States().Get(window);
      if (state->pressedRow < 0 || state->dragStarted || !(wParam & MK_LBUTTON)) return 0;
      const POINT at = PointOf(lParam);
      if (std::abs(at.x - state->pressedAt.x) < kDragDistance && std::abs(at.y - state->pressedAt.y) < kDragDistance)
        return 0;
      state->dragStarted = true;
      NMLISTVIEW info{};
      info.iItem = state->pressedRow;
      info.ptAction = state->pressedAt;
      info.lParam = RowParam(*state, state->pressedRow);
      SendNotify(window, &info.hdr, LVN_BEGINDRAG);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      auto state = States().Get(window);
      const int notches = static_cast<SHORT>(HIWORD(wParam)) / 120;
      ScrollTo(window, *state, state->top - 3 * notches);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: {
      auto state = States().Get(window);
      if (message == WM_LBUTTONUP) state->pressedRow = -1;
      POINT at = PointOf(lParam);
      UINT code = message == WM_LBUTTONUP      ? NM_CLICK
                  : message == WM_LBUTTONDBLCLK ? NM_DBLCLK
                  : message == WM_RBUTTONUP     ? NM_RCLICK
                                                : NM_RDBLCLK;
      SendClick(window, *state, code, HitRow(window, *state, at), at);
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

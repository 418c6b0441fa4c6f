// "SysTreeView32": the window side of a tree view over TreeViewModel. It
// turns messages into model changes, asks the parent before an item
// expands (so the parent can fill in its children first) and tells it of
// each change of selection, and paints the visible rows with their expand
// buttons, images and texts.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ControlClasses.h"
#include "ControlSupport.h"
#include "TreeViewModel.h"

namespace twl::controls {
namespace {

constexpr int kIndent = 19;
constexpr int kButtonSize = 9;
constexpr int kDragDistance = 4;

struct TreeViewState {
  HFONT font = nullptr;
  TreeViewModel model;
  HIMAGELIST images = nullptr;
  COLORREF textColour = CLR_DEFAULT;
  COLORREF bkColour = CLR_DEFAULT;
  int caret = 0;
  int top = 0;  // first row on show
  bool focused = false;
  // A left press on an item that may start a drag.
  int pressedItem = 0;
  POINT pressedAt{};
  bool dragStarted = false;
};

StateMap<TreeViewState>& States() {
  static auto* states = new StateMap<TreeViewState>;
  return *states;
}

LONG TreeStyle(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)); }

HTREEITEM HandleOf(int id) { return reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(id)); }

// Item handles are small ids; the special handles and anything unknown
// are 0.
int IdOf(const TreeViewState& state, HTREEITEM handle) {
  const auto value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > 0x7FFFFFFF) return 0;
  const int id = static_cast<int>(value);
  return state.model.Item(id) ? id : 0;
}

int RowHeight(HWND window, const TreeViewState& state) {
  const int height = LineHeightIn(window, state.font) + 2;
  int imageWidth = 0, imageHeight = 0;
  if (state.images) ImageList_GetIconSize(state.images, &imageWidth, &imageHeight);
  return std::max(height, imageHeight + 1);
}

int RowsPerPage(HWND window, const TreeViewState& state) {
  RECT client{};
  GetClientRect(window, &client);
  return std::max(1, static_cast<int>(client.bottom) / RowHeight(window, state));
}

// Where the parts of a row lie, x from the left edge.
struct RowGeometry {
  int buttonLeft;  // the expand button's cell, kIndent wide
  int imageLeft;
  int textLeft;
  int textRight;
};

RowGeometry Geometry(HWND window, const TreeViewState& state, const TreeRow& row) {
  const int rootIndent = (TreeStyle(window) & (TVS_LINESATROOT | TVS_HASBUTTONS)) ? kIndent : 0;
  RowGeometry geometry{};
  geometry.buttonLeft = row.depth * kIndent + rootIndent - kIndent;
  geometry.imageLeft = row.depth * kIndent + rootIndent;
  int imageWidth = 0, imageHeight = 0;
  if (state.images) ImageList_GetIconSize(state.images, &imageWidth, &imageHeight);
  geometry.textLeft = geometry.imageLeft + (state.images ? imageWidth + 3 : 0);
  const TreeItem* item = state.model.Item(row.id);
  geometry.textRight = geometry.textLeft + (item ? TextWidthIn(window, state.font, item->text.c_str()) : 0) + 4;
  return geometry;
}

int RowIndexOf(const std::vector<TreeRow>& rows, int id) {
  for (size_t index = 0; index < rows.size(); ++index)
    if (rows[index].id == id) return static_cast<int>(index);
  return -1;
}

void FillItem(const TreeViewState& state, int id, UINT mask, TVITEMA& out) {
  out.mask = mask;
  out.hItem = HandleOf(id);
  if (const TreeItem* item = state.model.Item(id)) {
    out.state = item->state;
    out.lParam = item->lParam;
    out.iImage = item->image;
    out.iSelectedImage = item->selectedImage;
  }
}

void EnsureVisible(HWND window, TreeViewState& state, int id) {
  const int index = RowIndexOf(state.model.VisibleRows(), id);
  if (index < 0) return;
  const int perPage = RowsPerPage(window, state);
  if (index < state.top)
    state.top = index;
  else if (index >= state.top + perPage)
    state.top = index - perPage + 1;
}

// Selects an item (0: none) with TVN_SELCHANGING, which the parent may
// refuse, and one TVN_SELCHANGED when the selection changed.
bool Select(HWND window, TreeViewState& state, int id, UINT action) {
  if (id == state.caret) return true;
  NMTREEVIEWA info{};
  info.action = action;
  FillItem(state, state.caret, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemOld);
  FillItem(state, id, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemNew);
  if (SendNotify(window, &info.hdr, TVN_SELCHANGINGA)) return false;
  if (id != 0 && !state.model.Item(id)) return false;  // the parent deleted it meanwhile
  if (TreeItem* old = state.model.Item(state.caret)) old->state &= ~TVIS_SELECTED;
  state.caret = id;
  if (TreeItem* now = state.model.Item(id)) now->state |= TVIS_SELECTED;
  EnsureVisible(window, state, id);
  InvalidateRect(window, nullptr, TRUE);
  FillItem(state, state.caret, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemNew);
  SendNotify(window, &info.hdr, TVN_SELCHANGEDA);
  return true;
}

// Expands or collapses with TVN_ITEMEXPANDING first (the parent may add
// the children then, or refuse) and TVN_ITEMEXPANDED after.
bool Expand(HWND window, TreeViewState& state, int id, UINT code) {
  TreeItem* item = state.model.Item(id);
  if (!item) return false;
  const bool expanded = (item->state & TVIS_EXPANDED) != 0;
  const UINT action = (code & TVE_TOGGLE) == TVE_TOGGLE ? (expanded ? TVE_COLLAPSE : TVE_EXPAND) : (code & TVE_TOGGLE);
  if (action != TVE_EXPAND && action != TVE_COLLAPSE) return false;
  if ((action == TVE_EXPAND) == expanded) return false;
  NMTREEVIEWA info{};
  info.action = action;
  FillItem(state, id, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemNew);
  if (SendNotify(window, &info.hdr, TVN_ITEMEXPANDINGA)) return false;
  item = state.model.Item(id);
  if (!item) return false;
  if (action == TVE_EXPAND) {
    item->state |= TVIS_EXPANDED;
  } else {
    item->state &= ~TVIS_EXPANDED;
    // The caret does not stay hidden inside a collapsed item.
    if (state.model.IsAncestor(id, state.caret)) Select(window, state, id, TVC_UNKNOWN);
  }
  const int rows = static_cast<int>(state.model.VisibleRows().size());
  state.top = std::clamp(state.top, 0, std::max(0, rows - 1));
  InvalidateRect(window, nullptr, TRUE);
  FillItem(state, id, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemNew);
  SendNotify(window, &info.hdr, TVN_ITEMEXPANDEDA);
  return true;
}

int Parent(HTREEITEM handle, const TreeViewState& state) {
  if (handle == TVI_ROOT || handle == nullptr) return 0;
  const int id = IdOf(state, handle);
  return id ? id : -1;
}

HTREEITEM InsertItem(HWND window, TreeViewState& state, const TVINSERTSTRUCTA* insert) {
  if (!insert) return nullptr;
  const int parent = Parent(insert->hParent, state);
  if (parent < 0) return nullptr;
  int after = TreeViewModel::kLast;
  if (insert->hInsertAfter == TVI_FIRST)
    after = TreeViewModel::kFirst;
  else if (insert->hInsertAfter == TVI_SORT)
    after = TreeViewModel::kSorted;
  else if (insert->hInsertAfter != TVI_LAST && insert->hInsertAfter != nullptr)
    after = IdOf(state, insert->hInsertAfter);
  if (after == 0) return nullptr;
  const TVITEMA& source = insert->item;
  TreeItem item;
  if ((source.mask & TVIF_TEXT) && source.pszText) item.text = source.pszText;
  if (source.mask & TVIF_IMAGE) item.image = source.iImage;
  if (source.mask & TVIF_SELECTEDIMAGE) item.selectedImage = source.iSelectedImage;
  if (source.mask & TVIF_PARAM) item.lParam = source.lParam;
  if (source.mask & TVIF_STATE) item.state = source.state & source.stateMask & TVIS_EXPANDED;
  if (source.mask & TVIF_CHILDREN) item.hasChildrenFlag = source.cChildren != 0;
  const int id = state.model.Insert(parent, after, std::move(item));
  if (id) InvalidateRect(window, nullptr, TRUE);
  return id ? HandleOf(id) : nullptr;
}

bool DeleteItem(HWND window, TreeViewState& state, HTREEITEM handle) {
  if (handle == TVI_ROOT || handle == nullptr) {
    state.model.DeleteAll();
    state.caret = 0;
    state.top = 0;
  } else {
    const int id = IdOf(state, handle);
    if (!id) return false;
    const bool caretGoes = id == state.caret || state.model.IsAncestor(id, state.caret);
    state.model.Delete(id);
    if (caretGoes) state.caret = 0;
    const int rows = static_cast<int>(state.model.VisibleRows().size());
    state.top = std::clamp(state.top, 0, std::max(0, rows - 1));
  }
  InvalidateRect(window, nullptr, TRUE);
  return true;
}

int NextItem(HWND window, const TreeViewState& state, UINT code, HTREEITEM handle) {
  const int id = IdOf(state, handle);
  switch (code) {
    case TVGN_ROOT: return state.model.Children(0).empty() ? 0 : state.model.Children(0).front();
    case TVGN_CARET: return state.caret;
    case TVGN_FIRSTVISIBLE: {
      const std::vector<TreeRow> rows = state.model.VisibleRows();
      return state.top < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(state.top)].id : 0;
    }
    case TVGN_NEXT: return state.model.NextSibling(id);
    case TVGN_PREVIOUS: return state.model.PreviousSibling(id);
    case TVGN_PARENT: {
      const TreeItem* item = state.model.Item(id);
      return item ? item->parent : 0;
    }
    case TVGN_CHILD: {
      const std::vector<int>& children = state.model.Children(id);
      return id && !children.empty() ? children.front() : 0;
    }
    case TVGN_NEXTVISIBLE: {
      const std::vector<TreeRow> rows = state.model.VisibleRows();
      const int index = RowIndexOf(rows, id);
      return index >= 0 && index + 1 < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(index) + 1].id : 0;
    }
    default: (void)window; return 0;
  }
}

BOOL GetItem(const TreeViewState& state, TVITEMA* out) {
  if (!out) return FALSE;
  const TreeItem* item = state.model.Item(IdOf(state, out->hItem));
  if (!item) return FALSE;
  if (out->mask & TVIF_TEXT) CopyText(item->text, out->pszText, out->cchTextMax);
  if (out->mask & TVIF_IMAGE) out->iImage = item->image;
  if (out->mask & TVIF_SELECTEDIMAGE) out->iSelectedImage = item->selectedImage;
  if (out->mask & TVIF_PARAM) out->lParam = item->lParam;
  if (out->mask & TVIF_STATE) out->state = item->state & out->stateMask;
  if (out->mask & TVIF_CHILDREN) out->cChildren = (!item->children.empty() || item->hasChildrenFlag) ? 1 : 0;
  return TRUE;
}

BOOL SetItem(HWND window, TreeViewState& state, const TVITEMA* in) {
  if (!in) return FALSE;
  const int id = IdOf(state, in->hItem);
  TreeItem* item = state.model.Item(id);
  if (!item) return FALSE;
  if ((in->mask & TVIF_TEXT) && in->pszText) item->text = in->pszText;
  if (in->mask & TVIF_IMAGE) item->image = in->iImage;
  if (in->mask & TVIF_SELECTEDIMAGE) item->selectedImage = in->iSelectedImage;
  if (in->mask & TVIF_PARAM) item->lParam = in->lParam;
  if (in->mask & TVIF_CHILDREN) item->hasChildrenFlag = in->cChildren != 0;
  // Setting the expanded state directly sends no notices, as a program
  // that fills the tree itself expects.
  if (in->mask & TVIF_STATE) {
    const UINT mask = in->stateMask & TVIS_EXPANDED;
    item->state = (item->state & ~mask) | (in->state & mask);
  }
  InvalidateRect(window, nullptr, TRUE);
  return TRUE;
}

// The row and part under a point of the client area.
int HitTest(HWND window, const TreeViewState& state, POINT at, UINT* flags) {
  *flags = TVHT_NOWHERE;
  if (at.y < 0) return 0;
  const std::vector<TreeRow> rows = state.model.VisibleRows();
  const size_t index = static_cast<size_t>(state.top + at.y / RowHeight(window, state));
  if (index >= rows.size()) return 0;
  const RowGeometry geometry = Geometry(window, state, rows[index]);
  if (at.x >= geometry.buttonLeft && at.x < geometry.buttonLeft + kIndent && state.model.HasButton(rows[index].id) &&
      (TreeStyle(window) & TVS_HASBUTTONS))
    *flags = TVHT_ONITEMBUTTON;
  else if (at.x < geometry.imageLeft)
    *flags = TVHT_ONITEMINDENT;
  else if (at.x < geometry.textLeft)
    *flags = TVHT_ONITEMICON;
  else if (at.x < geometry.textRight)
    *flags = TVHT_ONITEMLABEL;
  else
    *flags = TVHT_ONITEMRIGHT;
  return rows[index].id;
}

BOOL ItemRect(HWND window, const TreeViewState& state, bool textOnly, RECT* rect) {
  if (!rect) return FALSE;
  HTREEITEM handle = nullptr;
  std::memcpy(&handle, rect, sizeof handle);
  const std::vector<TreeRow> rows = state.model.VisibleRows();
  const int index = RowIndexOf(rows, IdOf(state, handle));
  if (index < 0) return FALSE;
  const int height = RowHeight(window, state);
  const int y = (index - state.top) * height;
  RECT client{};
  GetClientRect(window, &client);
  if (!textOnly) {
    *rect = RECT{0, y, client.right, y + height};
    return TRUE;
  }
  const RowGeometry geometry = Geometry(window, state, rows[static_cast<size_t>(index)]);
  *rect = RECT{geometry.textLeft, y, geometry.textRight, y + height};
  return TRUE;
}

void PaintButton(HDC dc, int left, int top, int height, bool expanded, COLORREF colour) {
  const int x = left + (kIndent - kButtonSize) / 2;
  const int y = top + (height - kButtonSize) / 2;
  Frame(dc, RECT{x, y, x + kButtonSize, y + kButtonSize}, RGB(128, 128, 128));
  FillColour(dc, RECT{x + 2, y + kButtonSize / 2, x + kButtonSize - 2, y + kButtonSize / 2 + 1}, colour);
  if (!expanded) FillColour(dc, RECT{x + kButtonSize / 2, y + 2, x + kButtonSize / 2 + 1, y + kButtonSize - 2}, colour);
}

void PaintTree(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  auto state = States().Get(window);
  RECT client{};
  GetClientRect(window, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  const COLORREF text = ColourOr(state->textColour, COLOR_WINDOWTEXT);
  FillColour(dc, client, ColourOr(state->bkColour, COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  const int height = RowHeight(window, *state);
  const std::vector<TreeRow> rows = state->model.VisibleRows();
  const bool showSelection = state->focused || (TreeStyle(window) & TVS_SHOWSELALWAYS);
  for (size_t index = static_cast<size_t>(state->top); index < rows.size(); ++index) {
    const int y = (static_cast<int>(index) - state->top) * height;
    if (y >= client.bottom) break;
    const TreeItem* item = state->model.Item(rows[index].id);
    const RowGeometry geometry = Geometry(window, *state, rows[index]);
    if ((TreeStyle(window) & TVS_HASBUTTONS) && state->model.HasButton(rows[index].id))
      PaintButton(dc, geometry.buttonLeft, y, height, (item->state & TVIS_EXPANDED) != 0, text);
    const bool selected = rows[index].id == state->caret;
    if (state->images) {
      int imageWidth = 0, imageHeight = 0;
      ImageList_GetIconSize(state->images, &imageWidth, &imageHeight);
      ImageList_Draw(state->images, selected ? item->selectedImage : item->image, dc, geometry.imageLeft,
                     y + (height - imageHeight) / 2, ILD_TRANSPARENT);
    }
    RECT label{geometry.textLeft, y, geometry.textRight, y + height};
    COLORREF labelText = text;
    if (selected && showSelection) {
      FillColour(dc, label, state->focused ? GetSysColor(COLOR_HIGHLIGHT) : RGB(217, 217, 217));
      if (state->focused) labelText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    SetTextColor(dc, labelText);
    RECT textArea{label.left + 2, label.top, label.right, label.bottom};
    DrawTextA(dc, item->text.c_str(), -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
  PaintBorder(window);
}

void TreeKeyDown(HWND window, TreeViewState& state, WPARAM key) {
  const std::vector<TreeRow> rows = state.model.VisibleRows();
  if (rows.empty()) return;
  const int index = RowIndexOf(rows, state.caret);
  auto selectRow = [&](int row) {
    row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
    Select(window, state, rows[static_cast<size_t>(row)].id, TVC_BYKEYBOARD);
  };
  const TreeItem* caret = state.model.Item(state.caret);
  switch (key) {
    case VK_DOWN: selectRow(index + 1); break;
    case VK_UP: selectRow(index < 0 ? 0 : index - 1); break;
    case VK_HOME: selectRow(0); break;
    case VK_END: selectRow(static_cast<int>(rows.size()) - 1); break;
    case VK_RIGHT:
      if (!caret) break;
      if (!(caret->state & TVIS_EXPANDED) && state.model.HasButton(state.caret))
        Expand(window, state, state.caret, TVE_EXPAND);
      else if (!caret->children.empty())
        Select(window, state, caret->children.front(), TVC_BYKEYBOARD);
      break;
    case VK_LEFT:
      if (!caret) break;
      if (caret->state & TVIS_EXPANDED)
        Expand(window, state, state.caret, TVE_COLLAPSE);
      else if (caret->parent)
        Select(window, state, caret->parent, TVC_BYKEYBOARD);
      break;
    default: break;
  }
}

POINT PointFrom(LPARAM lParam) {
  return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

LRESULT HandleTree(HWND window, TreeViewState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TVM_INSERTITEMA:
      return reinterpret_cast<LRESULT>(InsertItem(window, state, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)));
    case TVM_DELETEITEM: return DeleteItem(window, state, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
      return Expand(window, state, IdOf(state, reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam));
    case TVM_GETITEMRECT: return ItemRect(window, state, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TVM_GETCOUNT: return state.model.Count();
    case TVM_GETINDENT: return kIndent;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(state.images);
    case TVM_SETIMAGELIST: {
      HIMAGELIST previous = state.images;
      state.images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(
          HandleOf(NextItem(window, state, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam))));
    case TVM_SELECTITEM: {
      if (wParam != TVGN_CARET) return FALSE;
      const auto handle = reinterpret_cast<HTREEITEM>(lParam);
      const int id = IdOf(state, handle);
      if (handle && !id) return FALSE;
      return Select(window, state, id, TVC_UNKNOWN);
    }
    case TVM_GETITEMA: return GetItem(state, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA: return SetItem(window, state, reinterpret_cast<const TVITEMA*>(lParam));
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!info) return 0;
      info->hItem = HandleOf(HitTest(window, state, info->pt, &info->flags));
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_ENSUREVISIBLE:
      EnsureVisible(window, state, IdOf(state, reinterpret_cast<HTREEITEM>(lParam)));
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR: {
      COLORREF& slot = message == TVM_SETBKCOLOR ? state.bkColour : state.textColour;
      const COLORREF previous = slot;
      slot = static_cast<COLORREF>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return static_cast<LRESULT>(previous);
    }
    case TVM_GETBKCOLOR: return static_cast<LRESULT>(state.bkColour);
    case TVM_GETTEXTCOLOR: return static_cast<LRESULT>(state.textColour);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: PaintTree(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      States().Get(window)->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(States().Get(window)->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      States().Get(window)->focused = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(window);
      auto state = States().Get(window);
      UINT flags = 0;
      const POINT at = PointFrom(lParam);
      const int id = HitTest(window, *state, at, &flags);
      state->pressedItem = 0;
      if (flags & TVHT_ONITEMBUTTON) {
        Expand(window, *state, id, TVE_TOGGLE);
      } else if (id && message == WM_LBUTTONDBLCLK) {
        Expand(window, *state, id, TVE_TOGGLE);
      } else if (id && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) {
        Select(window, *state, id, TVC_BYMOUSE);
        state->pressedItem = id;
        state->pressedAt = at;
        state->dragStarted = false;
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      auto state = States().Get(window);
      if (!state->pressedItem || state->dragStarted || !(wParam & MK_LBUTTON)) return 0;
      const POINT at = PointFrom(lParam);
      if (std::abs(at.x - state->pressedAt.x) < kDragDistance && std::abs(at.y - state->pressedAt.y) < kDragDistance)
        return 0;
      state->dragStarted = true;
      if (TreeStyle(window) & TVS_DISABLEDRAGDROP) return 0;
      NMTREEVIEWA info{};
      info.action = TVC_BYMOUSE;
      FillItem(*state, state->pressedItem, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, info.itemNew);
      info.ptDrag = state->pressedAt;
      SendNotify(window, &info.hdr, TVN_BEGINDRAGA);
      return 0;
    }
    case WM_LBUTTONUP: {
      auto state = States().Get(window);
      state->pressedItem = 0;
      NMHDR header{};
      SendNotify(window, &header, NM_CLICK);
      return 0;
    }
    case WM_RBUTTONUP: {
      NMHDR header{};
      SendNotify(window, &header, NM_RCLICK);
      return 0;
    }
    case WM_KEYDOWN: TreeKeyDown(window, *States().Get(window), wParam); return 0;
    case WM_NCDESTROY:
      States().Drop(window);
      return DefWindowProcA(window, message, wParam, lParam);
    default: break;
  }
  if (message >= TV_FIRST && message < TV_FIRST + 0x100)
    return HandleTree(window, *States().Get(window), message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

WNDPROC TreeViewWindowProc() { return TreeViewProc; }

}  // namespace twl::controls

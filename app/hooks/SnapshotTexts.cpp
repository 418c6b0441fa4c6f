#include "app/hooks/SnapshotTexts.h"

#include <twlwin/testing_gdi.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "display/controls/DDControl.h"
#include "display/tooltips/SkinTooltip.h"
#include "display/window/Window.h"

namespace {

std::string Escaped(const char* text) {
  std::string out;
  for (const char* c = text; *c; ++c) {
    if (*c == '\t')
      out += "\\t";
    else
      out += *c;
  }
  return out;
}

// A window's own text on one line: tabs and line breaks written out.
std::string OneLine(const CStr& text) {
  std::string out;
  for (const char* c = text.c_str(); *c; ++c) {
    if (*c == '\t')
      out += "\\t";
    else if (*c == '\n')
      out += "\\n";
    else if (*c != '\r')
      out += *c;
  }
  return out;
}

std::string ItemFlags(const MENUITEMINFOA& info) {
  std::string flags;
  if (info.fType & MFT_SEPARATOR) flags += 's';
  if (info.hSubMenu) flags += 'p';
  if (info.fType & MFT_RADIOCHECK) flags += 'r';
  if (info.fState & MFS_CHECKED) flags += 'c';
  return flags.empty() ? "-" : flags;
}

// Depth is bounded by the layer: a submenu cannot hold a menu that holds it.
void DescribeLevel(HMENU menu, int depth, std::string& out) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    char text[1024] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
    const bool separator = (info.fType & MFT_SEPARATOR) != 0;
    out.append(2 * depth, ' ');
    out += std::to_string(separator ? 0 : info.wID) + " " + ItemFlags(info);
    if (!separator && text[0]) {
      out += ' ';
      out += Escaped(text);
    }
    out += '\n';
    if (info.hSubMenu) DescribeLevel(info.hSubMenu, depth + 1, out);
  }
}

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
         " " + std::to_string(rect.bottom - rect.top);
}

// Each visible surface-drawn control of a window with its rectangle on the
// screen, in the order of the window's controls.
template <class Visit>
void ForEachVisibleControl(CWindow& window, Visit visit) {
  POINT origin{0, 0};
  ClientToScreen(window.GetWindowHandle(), &origin);
  CDDControlList& controls = window.GetControls();
  for (int index = 0; index < controls.GetCount(); ++index) {
    CDDControl* control = controls.GetAt(index);
    if (!control || !control->IsVisible()) continue;
    RECT rect = control->GetRect();
    OffsetRect(&rect, origin.x, origin.y);
    visit(*control, rect);
  }
}

}  // namespace

std::string DescribeMenuItems(HMENU menu) {
  std::string out;
  if (IsMenu(menu)) DescribeLevel(menu, 0, out);
  return out;
}

std::string DescribeControls(CWindow& window) {
  HWND handle = window.GetWindowHandle();
  RECT bounds{};
  GetWindowRect(handle, &bounds);
  std::string out = "window " + RectText(bounds) + "\n";
  ForEachVisibleControl(window, [&](const CDDControl& control, const RECT& rect) {
    out += std::to_string(control.GetId()) + " " + RectText(rect) + "\n";
  });
  return out;
}

namespace {

std::string WindowFlags(HWND window) {
  std::string flags;
  if (!IsWindowEnabled(window)) flags += 'd';
  if (GetFocus() == window) flags += 'f';
  return flags.empty() ? "-" : flags;
}

std::string VisibleRect(HWND window) {
  RECT rect{};
  if (!IsWindowVisible(window) || !GetWindowRect(window, &rect)) return "0 0 0 0";
  return RectText(rect);
}

std::string Flags(bool selected, bool focused, bool hot, bool expanded) {
  std::string flags;
  if (focused) flags += 'f';
  if (selected) flags += 's';
  if (hot) flags += 'h';
  if (expanded) flags += 'e';
  return flags.empty() ? "-" : flags;
}

// A rectangle of a control's client area on the screen; out of its view
// "0 0 0 0".
std::string ClientPartRect(HWND control, RECT part) {
  RECT client{};
  GetClientRect(control, &client);
  RECT shown{};
  if (!IntersectRect(&shown, &part, &client)) return "0 0 0 0";
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  OffsetRect(&part, origin.x, origin.y);
  return RectText(part);
}

void DescribeListView(HWND list, std::string& out) {
  std::vector<int> columns;
  for (int index = 0;; ++index) {
    char text[256] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_ORDER;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column))) break;
    columns.push_back(index);
    out += "  column " + std::to_string(index) + " " + std::to_string(column.iOrder) + " " +
           std::to_string(column.cx) + " " + OneLine(CStr(text)) + "\n";
  }
  if (columns.empty()) columns.push_back(0);
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const int hot = static_cast<int>(SendMessageA(list, LVM_GETHOTITEM, 0, 0));
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    out += "  row " + std::to_string(row) + " " + ClientPartRect(list, rect) + " " +
           Flags(item.state & LVIS_SELECTED, item.state & LVIS_FOCUSED, row == hot, false) + " 0 " +
           std::to_string(item.iImage) + "\t";
    for (size_t column = 0; column < columns.size(); ++column) {
      char text[1024] = "";
      LVITEMA cell{};
      cell.iSubItem = columns[column];
      cell.pszText = text;
      cell.cchTextMax = sizeof text;
      SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
      out += (column ? "\t" : "") + OneLine(CStr(text));
    }
    out += "\n";
  }
}

HTREEITEM TreeNext(HWND tree, UINT code, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// The items in display order: each item, then its children when open.
void DescribeTreeLevel(HWND tree, HTREEITEM first, int depth, std::string& out) {
  for (HTREEITEM item = first; item; item = TreeNext(tree, TVGN_NEXT, item)) {
    char text[1024] = "";
    TVITEMA data{};
    data.mask = TVIF_TEXT | TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);
    const bool shown = SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
    out += "  item " + std::to_string(depth) + " " + (shown ? ClientPartRect(tree, rect) : "0 0 0 0") + " " +
           Flags(data.state & TVIS_SELECTED, false, false, data.state & TVIS_EXPANDED) + " " + OneLine(CStr(text)) +
           "\n";
    if (data.state & TVIS_EXPANDED) DescribeTreeLevel(tree, TreeNext(tree, TVGN_CHILD, item), depth + 1, out);
  }
}

void DescribeComboEntries(HWND combo, std::string& out) {
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
  for (int entry = 0; entry < count; ++entry) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(entry), 0);
    if (length < 0) continue;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    out += "  entry " + std::to_string(entry) + " " + Flags(entry == selected, false, false, false) + " " +
           OneLine(CStr(text.c_str())) + "\n";
  }
}

void DescribeChild(HWND child, std::string& out) {
  if (!IsWindowVisible(child)) return;
  char className[128] = "";
  GetClassNameA(child, className, sizeof className);
  out += "child " + std::to_string(GetWindowLongPtrA(child, GWL_ID)) + " " + className + " " + VisibleRect(child) +
         " " + WindowFlags(child) + " " + OneLine(CWindow::GetWindowText(child)) + "\n";
  const std::string_view kind = className;
  if (kind == WC_LISTVIEWA) DescribeListView(child, out);
  if (kind == WC_TREEVIEWA) DescribeTreeLevel(child, TreeNext(child, TVGN_ROOT, nullptr), 0, out);
  if (kind == WC_COMBOBOXA) DescribeComboEntries(child, out);
}

}  // namespace

std::string DescribeWindow(HWND window) {
  std::string out = "window " + VisibleRect(window) + " " + OneLine(CWindow::GetWindowText(window)) + "\n";
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == &CWindow::StaticWindowProc) {
    if (auto* framework = reinterpret_cast<CWindow*>(GetWindowLongPtrA(window, GWL_USERDATA))) {
      ForEachVisibleControl(*framework, [&](const CDDControl& control, const RECT& rect) {
        out += "control " + std::to_string(control.GetId()) + " " + RectText(rect) + " " +
               (control.IsFocused() ? "f" : "-") + " \n";
      });
    }
  }
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) DescribeChild(child, out);
  char className[128] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string_view(className) == CSkinTooltip::kClassName)
    if (auto* tooltip = reinterpret_cast<CSkinTooltip*>(GetWindowLongPtrA(window, GWL_USERDATA)))
      out += "tip " + OneLine(tooltip->GetText()) + "\n";
  return out;
}

std::string DescribeTrayIcons(HINSTANCE program, const WORD* resources, int count) {
  std::vector<HICON> pictures;
  for (int i = 0; i < count; ++i) pictures.push_back(LoadIconA(program, MAKEINTRESOURCE(resources[i])));
  std::string out;
  const UINT icons = TwlTestGetNotifyIconCount();
  for (UINT index = 0; index < icons; ++index) {
    TWLTEST_NOTIFYICON icon{};
    if (!TwlTestGetNotifyIcon(index, &icon)) continue;
    WORD resource = 0;
    for (int i = 0; i < count; ++i)
      if (pictures[i] && pictures[i] == icon.hIcon) resource = resources[i];
    out += std::to_string(icon.uID) + " " + std::to_string(icon.uCallbackMessage) + " " + std::to_string(resource) +
           " " + icon.szTip + "\n";
  }
  return out;
}

#include "app/hooks/SnapshotTexts.h"

#include <twlwin/testing_gdi.h>

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
  POINT origin{0, 0};
  ClientToScreen(handle, &origin);
  CDDControlList& controls = window.GetControls();
  for (int index = 0; index < controls.GetCount(); ++index) {
    CDDControl* control = controls.GetAt(index);
    if (!control || !control->IsVisible()) continue;
    RECT rect = control->GetRect();
    OffsetRect(&rect, origin.x, origin.y);
    out += std::to_string(control->GetId()) + " " + RectText(rect) + "\n";
  }
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

void DescribeChild(HWND child, std::string& out) {
  if (!IsWindowVisible(child)) return;
  char className[128] = "";
  GetClassNameA(child, className, sizeof className);
  out += "child " + std::to_string(GetWindowLongPtrA(child, GWL_ID)) + " " + className + " " + VisibleRect(child) +
         " " + WindowFlags(child) + " " + OneLine(CWindow::GetWindowText(child)) + "\n";
}

}  // namespace

std::string DescribeWindow(HWND window) {
  std::string out = "window " + VisibleRect(window) + " " + OneLine(CWindow::GetWindowText(window)) + "\n";
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == &CWindow::StaticWindowProc) {
    if (auto* framework = reinterpret_cast<CWindow*>(GetWindowLongPtrA(window, GWL_USERDATA))) {
      POINT origin{0, 0};
      ClientToScreen(window, &origin);
      CDDControlList& controls = framework->GetControls();
      for (int index = 0; index < controls.GetCount(); ++index) {
        CDDControl* control = controls.GetAt(index);
        if (!control || !control->IsVisible()) continue;
        RECT rect = control->GetRect();
        OffsetRect(&rect, origin.x, origin.y);
        out += "control " + std::to_string(control->GetId()) + " " + RectText(rect) + " " +
               (control->IsFocused() ? "f" : "-") + " \n";
      }
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

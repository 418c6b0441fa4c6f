// "ListBox" and "ComboLBox" (the drop-down list of a combo box): text lines,
// one of them selected, painted in the colours the parent answers to
// WM_CTLCOLORLISTBOX.
#include <string>
#include <vector>

#include "ControlClasses.h"
#include "ControlSupport.h"

namespace twl::controls {
namespace {

struct ListBoxState {
  HFONT font = nullptr;
  std::vector<std::string> items;
  int selected = LB_ERR;
};

StateMap<ListBoxState>& States() {
  static auto* states = new StateMap<ListBoxState>;
  return *states;
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  const auto state = States().Get(window);
  RECT client;
  GetClientRect(window, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  HBRUSH brush = ParentBrush(window, dc, WM_CTLCOLORLISTBOX);
  Fill(dc, client, brush ? brush : reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
  const COLORREF text = GetTextColor(dc);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int lineHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 16;
  SetBkMode(dc, TRANSPARENT);
  RECT line{client.left, client.top, client.right, client.top + lineHeight};
  for (size_t index = 0; index < state->items.size() && line.top < client.bottom; ++index) {
    const bool selected = static_cast<int>(index) == state->selected;
    if (selected) FillColour(dc, line, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    DrawTextA(dc, state->items[index].c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX);
    line.top += lineHeight;
    line.bottom += lineHeight;
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
}

LRESULT Insert(HWND window, ListBoxState& state, WPARAM at, LPARAM text) {
  if (!text) return LB_ERR;
  const int count = static_cast<int>(state.items.size());
  const int index = static_cast<int>(at);
  if (index > count) return LB_ERR;
  const int place = index < 0 ? count : index;
  state.items.insert(state.items.begin() + place, reinterpret_cast<const char*>(text));
  if (state.selected >= place) ++state.selected;
  InvalidateRect(window, nullptr, TRUE);
  return place;
}

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case LB_ADDSTRING:
      return Insert(window, *States().Get(window), static_cast<WPARAM>(-1), lParam);
    case LB_INSERTSTRING:
      return Insert(window, *States().Get(window), wParam, lParam);
    case LB_DELETESTRING: {
      const auto state = States().Get(window);
      if (wParam >= state->items.size()) return LB_ERR;
      state->items.erase(state->items.begin() + static_cast<ptrdiff_t>(wParam));
      if (state->selected == static_cast<int>(wParam)) state->selected = LB_ERR;
      else if (state->selected > static_cast<int>(wParam)) --state->selected;
      InvalidateRect(window, nullptr, TRUE);
      return static_cast<LRESULT>(state->items.size());
    }
    case LB_RESETCONTENT: {
      const auto state = States().Get(window);
      state->items.clear();
      state->selected = LB_ERR;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    }
    case LB_GETCOUNT:
      return static_cast<LRESULT>(States().Get(window)->items.size());
    case LB_SETCURSEL: {
      const auto state = States().Get(window);
      const int index = static_cast<int>(wParam);
      state->selected = index >= 0 && index < static_cast<int>(state->items.size()) ? index : LB_ERR;
      InvalidateRect(window, nullptr, TRUE);
      return index == -1 || state->selected != LB_ERR ? state->selected : LB_ERR;
    }
    case LB_GETCURSEL:
      return States().Get(window)->selected;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
      const auto state = States().Get(window);
      if (wParam >= state->items.size()) return LB_ERR;
      const std::string& item = state->items[wParam];
      if (message == LB_GETTEXT) {
        if (!lParam) return LB_ERR;
        item.copy(reinterpret_cast<char*>(lParam), item.size());
        reinterpret_cast<char*>(lParam)[item.size()] = '\0';
      }
      return static_cast<LRESULT>(item.size());
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

WNDPROC ListBoxWindowProc() { return ListBoxProc; }

}  // namespace twl::controls

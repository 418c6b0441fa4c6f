// "COMBOBOX" as a drop-down list (CBS_DROPDOWNLIST): a closed field that
// shows the chosen entry in the colours its parent answers to
// WM_CTLCOLOREDIT, and a "ComboLBox" pop-up below it that lists the
// entries. A click on the field opens or closes the pop-up, a click on an
// entry chooses it; with the pop-up closed Up, Down, Home and End choose
// directly, with it open they move its highlight, Enter chooses the
// highlighted entry and Escape closes it unchanged. The parent hears
// CBN_SELCHANGE once for each choice of the user, never for CB_SETCURSEL.
#include <algorithm>
#include <string>
#include <vector>

#include "ControlClasses.h"
#include "ControlSupport.h"

namespace twl::controls {
namespace {

constexpr int kMaxDroppedRows = 8;

struct ComboEntry {
  std::string text;
  LPARAM data = 0;
};

struct ComboState {
  HFONT font = nullptr;
  std::vector<ComboEntry> entries;
  int selected = CB_ERR;
  HWND popup = nullptr;
  WNDPROC popupProc = nullptr;
  bool focused = false;
};

StateMap<ComboState>& States() {
  static auto* states = new StateMap<ComboState>;
  return *states;
}

bool IsDropped(const ComboState& state) { return state.popup != nullptr; }

int Count(const ComboState& state) { return static_cast<int>(state.entries.size()); }

// Sets the selection; a choice of the user tells the parent.
void Choose(HWND combo, ComboState& state, int index, bool byUser) {
  if (index < 0 || index >= Count(state) || index == state.selected) return;
  state.selected = index;
  InvalidateRect(combo, nullptr, TRUE);
  if (byUser) SendCommand(combo, CBN_SELCHANGE);
}

void CloseDropDown(HWND combo, ComboState& state) {
  if (!state.popup) return;
  HWND popup = state.popup;
  state.popup = nullptr;
  if (GetCapture() == combo) ReleaseCapture();
  DestroyWindow(popup);
  SendCommand(combo, CBN_CLOSEUP);
}

int PopupHighlight(const ComboState& state) {
  return state.popup ? static_cast<int>(SendMessageA(state.popup, LB_GETCURSEL, 0, 0)) : CB_ERR;
}

LRESULT CALLBACK DropDownProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  // The pop-up's owner is the combo's top-level window: the combo itself
  // is kept beside the pop-up.
  HWND combo = reinterpret_cast<HWND>(GetWindowLongPtrA(popup, GWL_USERDATA));
  if (!combo) return DefWindowProcA(popup, message, wParam, lParam);
  auto state = States().Get(combo);
  const WNDPROC listProc = state->popupProc;
  if (message == WM_CTLCOLORLISTBOX) return reinterpret_cast<LRESULT>(ParentBrush(combo, reinterpret_cast<HDC>(wParam), message));
  return listProc ? CallWindowProcA(listProc, popup, message, wParam, lParam)
                  : DefWindowProcA(popup, message, wParam, lParam);
}

void OpenDropDown(HWND combo, ComboState& state) {
  if (state.popup) return;
  SendCommand(combo, CBN_DROPDOWN);
  RECT field{};
  GetWindowRect(combo, &field);
  const int rows = std::clamp(Count(state), 1, kMaxDroppedRows);
  const int height = rows * LineHeightIn(combo, state.font) + 2;
  HWND popup = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WC_COMBOLBOXA, "", WS_POPUP | WS_BORDER,
                               field.left, field.bottom, field.right - field.left, height, combo, nullptr, nullptr,
                               nullptr);
  if (!popup) return;
  state.popupProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(popup, GWLP_WNDPROC));
  SetWindowLongPtrA(popup, GWL_USERDATA, reinterpret_cast<LONG_PTR>(combo));
  SetWindowLongPtrA(popup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DropDownProc));
  SendMessageA(popup, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), 0);
  for (const ComboEntry& entry : state.entries)
    SendMessageA(popup, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
  SendMessageA(popup, LB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
  state.popup = popup;
  SetWindowPos(popup, HWND_TOPMOST, field.left, field.bottom, field.right - field.left, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // The mouse stays with the combo while the list is open: a click on the
  // list chooses, a click anywhere else closes it, and the focus never
  // moves.
  SetCapture(combo);
}

// A click while the list is open (the combo holds the mouse): on an entry
// it chooses it; anywhere else it closes the list.
void ClickWhileDropped(HWND combo, ComboState& state, LPARAM lParam) {
  POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  ClientToScreen(combo, &at);
  POINT inList = at;
  ScreenToClient(state.popup, &inList);
  RECT lines{};
  GetClientRect(state.popup, &lines);
  const bool onList = PtInRect(&lines, inList) != FALSE;
  const int row = inList.y / LineHeightIn(state.popup, state.font);
  CloseDropDown(combo, state);
  if (onList) Choose(combo, state, row, true);
}

void PaintField(HWND combo) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(combo, &ps);
  if (!dc) return;
  auto state = States().Get(combo);
  RECT client{};
  GetClientRect(combo, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  HBRUSH brush = ParentBrush(combo, dc, WM_CTLCOLOREDIT);
  Fill(dc, client, brush ? brush : reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
  const COLORREF text = GetTextColor(dc);
  const int button = std::min<int>(client.bottom, client.right);
  RECT arrowCell{client.right - button, 0, client.right, client.bottom};
  FillColour(dc, arrowCell, GetSysColor(COLOR_BTNFACE));
  // The arrow: a small triangle of lines, pointing down.
  const int middle = static_cast<int>(arrowCell.left + arrowCell.right) / 2;
  const int top = static_cast<int>(client.bottom) / 2 - 2;
  for (int line = 0; line < 4; ++line)
    FillColour(dc, RECT{middle - 3 + line, top + line, middle + 4 - line, top + line + 1}, GetSysColor(COLOR_BTNTEXT));
  RECT textArea{client.left + 3, client.top, arrowCell.left - 1, client.bottom};
  if (state->selected >= 0 && state->selected < Count(*state)) {
    if (state->focused && !IsDropped(*state)) {
      FillColour(dc, RECT{client.left + 1, client.top + 1, arrowCell.left - 1, client.bottom - 1},
                 GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, text);
    }
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, state->entries[static_cast<size_t>(state->selected)].text.c_str(), -1, &textArea,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, oldFont);
  EndPaint(combo, &ps);
  PaintBorder(combo);
}

void ComboKeyDown(HWND combo, ComboState& state, WPARAM key) {
  if (IsDropped(state)) {
    int highlight = PopupHighlight(state);
    switch (key) {
      case VK_UP: highlight = std::max(0, highlight - 1); break;
      case VK_DOWN: highlight = std::min(Count(state) - 1, highlight + 1); break;
      case VK_HOME: highlight = 0; break;
      case VK_END: highlight = Count(state) - 1; break;
      case VK_RETURN:
        CloseDropDown(combo, state);
        Choose(combo, state, highlight, true);
        return;
      case VK_ESCAPE: CloseDropDown(combo, state); return;
      default: return;
    }
    SendMessageA(state.popup, LB_SETCURSEL, static_cast<WPARAM>(highlight), 0);
    return;
  }
  switch (key) {
    case VK_UP: Choose(combo, state, std::max(0, state.selected - 1), true); break;
    case VK_DOWN: Choose(combo, state, state.selected + 1, true); break;
    case VK_HOME: Choose(combo, state, 0, true); break;
    case VK_END: Choose(combo, state, Count(state) - 1, true); break;
    default: break;
  }
}

LRESULT HandleCombo(HWND combo, ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CB_ADDSTRING: {
      if (!lParam) return CB_ERR;
      state.entries.push_back(ComboEntry{reinterpret_cast<const char*>(lParam), 0});
      return Count(state) - 1;
    }
    case CB_RESETCONTENT:
      CloseDropDown(combo, state);
      state.entries.clear();
      state.selected = CB_ERR;
      InvalidateRect(combo, nullptr, TRUE);
      return 0;
    case CB_GETCOUNT: return Count(state);
    case CB_GETCURSEL: return state.selected;
    case CB_SETCURSEL: {
      const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      state.selected = index >= 0 && index < Count(state) ? index : CB_ERR;
      if (state.popup) SendMessageA(state.popup, LB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
      InvalidateRect(combo, nullptr, TRUE);
      return index == -1 ? CB_ERR : state.selected;
    }
    case CB_GETITEMDATA:
      if (wParam >= state.entries.size()) return CB_ERR;
      return state.entries[wParam].data;
    case CB_SETITEMDATA:
      if (wParam >= state.entries.size()) return CB_ERR;
      state.entries[wParam].data = lParam;
      return TRUE;
    case CB_GETLBTEXTLEN:
    case CB_GETLBTEXT: {
      if (wParam >= state.entries.size()) return CB_ERR;
      const std::string& text = state.entries[wParam].text;
      if (message == CB_GETLBTEXT) {
        if (!lParam) return CB_ERR;
        text.copy(reinterpret_cast<char*>(lParam), text.size());
        reinterpret_cast<char*>(lParam)[text.size()] = '\0';
      }
      return static_cast<LRESULT>(text.size());
    }
    case CB_SHOWDROPDOWN:
      if (wParam)
        OpenDropDown(combo, state);
      else
        CloseDropDown(combo, state);
      return TRUE;
    case CB_GETDROPPEDSTATE: return IsDropped(state) ? TRUE : FALSE;
    default: return DefWindowProcA(combo, message, wParam, lParam);
  }
}

LRESULT CALLBACK ComboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: PaintField(combo); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      States().Get(combo)->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(combo, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(States().Get(combo)->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      auto state = States().Get(combo);
      state->focused = message == WM_SETFOCUS;
      if (!state->focused) CloseDropDown(combo, *state);
      InvalidateRect(combo, nullptr, TRUE);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      SetFocus(combo);
      auto state = States().Get(combo);
      if (IsDropped(*state))
        ClickWhileDropped(combo, *state, lParam);
      else
        OpenDropDown(combo, *state);
      InvalidateRect(combo, nullptr, TRUE);
      return 0;
    }
    case WM_CAPTURECHANGED: {
      auto state = States().Get(combo);
      if (reinterpret_cast<HWND>(lParam) != combo) CloseDropDown(combo, *state);
      return 0;
    }
    case WM_KEYDOWN: ComboKeyDown(combo, *States().Get(combo), wParam); return 0;
    case WM_CTLCOLORLISTBOX: return reinterpret_cast<LRESULT>(ParentBrush(combo, reinterpret_cast<HDC>(wParam), message));
    case WM_DESTROY: CloseDropDown(combo, *States().Get(combo)); break;
    case WM_NCDESTROY: States().Drop(combo); break;
    default: break;
  }
  if (message >= CB_ADDSTRING - 3 && message <= CB_GETDROPPEDSTATE)
    return HandleCombo(combo, *States().Get(combo), message, wParam, lParam);
  return DefWindowProcA(combo, message, wParam, lParam);
}

}  // namespace

WNDPROC ComboBoxWindowProc() { return ComboProc; }

}  // namespace twl::controls

// "BUTTON": push buttons, check boxes and radio buttons. A click is a
// press and release of the left button inside the control (or Space);
// it sends BN_CLICKED to the parent after the automatic styles changed
// their check.
#include <string>

#include "ControlClasses.h"
#include "ControlSupport.h"

namespace twl::controls {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  bool pressed = false;   // left button went down inside and is still down
  UINT check = BST_UNCHECKED;
};

StateMap<ButtonState>& States() {
  static auto* states = new StateMap<ButtonState>;
  return *states;
}

LONG Kind(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)) & BS_TYPEMASK; }

bool IsCheckKind(LONG kind) {
  return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

void Click(HWND window) {
  LONG kind = Kind(window);
  auto state = States().Get(window);
  if (kind == BS_AUTOCHECKBOX) state->check = state->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  if (kind == BS_AUTORADIOBUTTON) {
    // Checking one automatic radio button clears its automatic siblings.
    for (HWND sibling = GetWindow(GetParent(window), GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
      char name[16] = {};
      GetClassNameA(sibling, name, sizeof name);
      if (sibling != window && std::string(name) == "BUTTON" && Kind(sibling) == BS_AUTORADIOBUTTON) {
        States().Get(sibling)->check = BST_UNCHECKED;
        InvalidateRect(sibling, nullptr, TRUE);
      }
    }
    state->check = BST_CHECKED;
  }
  InvalidateRect(window, nullptr, TRUE);
  SendCommand(window, BN_CLICKED);
}

void PaintPush(HWND window, HDC dc, const RECT& client, const ButtonState& state, bool enabled) {
  bool down = state.pressed;
  FillColour(dc, client, down ? RGB(204, 228, 247) : GetSysColor(COLOR_BTNFACE));
  Frame(dc, client, down ? RGB(0, 84, 153) : RGB(173, 173, 173));
  SetTextColor(dc, enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  std::string text = WindowText(window);
  RECT inner = client;
  DrawTextA(dc, text.c_str(), -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void PaintCheck(HWND window, HDC dc, const RECT& client, const ButtonState& state, LONG kind, bool enabled) {
  HBRUSH brush = ParentBrush(window, dc, WM_CTLCOLORSTATIC);
  if (brush) Fill(dc, client, brush);
  else FillColour(dc, client, GetSysColor(COLOR_BTNFACE));
  int box = 13;
  int top = (client.bottom - client.top - box) / 2;
  RECT mark{0, top, box, top + box};
  FillColour(dc, mark, GetSysColor(COLOR_WINDOW));
  Frame(dc, mark, RGB(51, 51, 51));
  if (state.check == BST_CHECKED) {
    RECT inner{3, top + 3, box - 3, top + box - 3};
    FillColour(dc, inner, kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX ? RGB(0, 0, 0) : RGB(0, 84, 153));
  }
  if (!brush) SetTextColor(dc, enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  std::string text = WindowText(window);
  RECT label{box + 4, client.top, client.right, client.bottom};
  DrawTextA(dc, text.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  auto state = States().Get(window);
  RECT client;
  GetClientRect(window, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  LONG kind = Kind(window);
  bool enabled = IsWindowEnabled(window);
  if (IsCheckKind(kind)) PaintCheck(window, dc, client, *state, kind, enabled);
  else PaintPush(window, dc, client, *state, enabled);
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      States().Get(window)->pressed = true;
      SetCapture(window);
      SetFocus(window);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      auto state = States().Get(window);
      bool wasPressed = state->pressed;
      state->pressed = false;
      if (GetCapture() == window) ReleaseCapture();
      RECT client;
      GetClientRect(window, &client);
      POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      InvalidateRect(window, nullptr, TRUE);
      if (wasPressed && PtInRect(&client, at)) Click(window);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_SPACE) Click(window);
      return 0;
    case BM_CLICK:
      Click(window);
      return 0;
    case BM_GETCHECK:
      return States().Get(window)->check;
    case BM_SETCHECK:
      States().Get(window)->check = static_cast<UINT>(wParam) == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case BM_GETSTATE: {
      auto state = States().Get(window);
      return state->check | (state->pressed ? BST_PUSHED : 0);
    }
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
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

WNDPROC ButtonWindowProc() { return ButtonProc; }

}  // namespace twl::controls

// "EDIT": single- and multi-line text entry. Typed characters change the
// text and send EN_CHANGE; a read-only edit ignores them. Multi-line text
// wraps at the client width unless ES_AUTOHSCROLL is set, and
// EM_GETLINECOUNT counts the wrapped lines.
#include <string>

#include "ControlClasses.h"
#include "ControlSupport.h"
#include "EditModel.h"

namespace twl::controls {
namespace {

constexpr int kMargin = 2;

struct EditState {
  HFONT font = nullptr;
  EditModel model;
  bool focused = false;
};

StateMap<EditState>& States() {
  static auto* states = new StateMap<EditState>;
  return *states;
}

LONG Style(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)); }

RECT TextArea(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  InflateRect(&r, -kMargin, 0);
  return r;
}

UINT Format(HWND window) {
  LONG style = Style(window);
  UINT format = DT_NOPREFIX | DT_EDITCONTROL;
  if (!(style & ES_MULTILINE)) format |= DT_SINGLELINE;
  else if (!(style & ES_AUTOHSCROLL)) format |= DT_WORDBREAK;
  if (style & ES_CENTER) format |= DT_CENTER;
  else if (style & ES_RIGHT) format |= DT_RIGHT;
  return format;
}

// Keeps DefWindowProc's copy of the text (WM_GETTEXT, GetWindowText) the
// same as the model's.
void StoreText(HWND window, const std::string& text) {
  DefWindowProcA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Changed(HWND window, const EditState& state) {
  StoreText(window, state.model.Text());
  InvalidateRect(window, nullptr, TRUE);
  SendCommand(window, EN_CHANGE);
}

int LineCount(HWND window, const EditState& state) {
  if (!(Style(window) & ES_MULTILINE)) return 1;
  HDC dc = GetDC(window);
  if (!dc) return 1;
  HGDIOBJ old = SelectObject(dc, FontOr(state.font));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  RECT area = TextArea(window);
  RECT measured{0, 0, std::max<LONG>(1, area.right - area.left), 0};
  int height = DrawTextA(dc, state.model.Text().c_str(), -1, &measured, Format(window) | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight > 0 ? std::max(1, height / metrics.tmHeight) : 1;
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  auto state = States().Get(window);
  RECT client;
  GetClientRect(window, &client);
  bool readOnly = Style(window) & ES_READONLY;
  bool enabled = IsWindowEnabled(window);
  HGDIOBJ oldFont = SelectObject(dc, FontOr(state->font));
  SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  COLORREF background = GetSysColor(readOnly || !enabled ? COLOR_BTNFACE : COLOR_WINDOW);
  SetBkColor(dc, background);
  // Read-only and disabled edits ask for the colours of static text.
  HBRUSH brush = ParentBrush(window, dc, readOnly || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  if (brush) Fill(dc, client, brush);
  else FillColour(dc, client, background);
  SetBkMode(dc, TRANSPARENT);
  RECT area = TextArea(window);
  DrawTextA(dc, state->model.Text().c_str(), -1, &area, Format(window));
  if (state->focused && !readOnly && !(Style(window) & ES_MULTILINE)) {
    SIZE before{};
    GetTextExtentPoint32A(dc, state->model.Text().c_str(), static_cast<int>(state->model.Caret()), &before);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT caret{area.left + before.cx, area.top, area.left + before.cx + 1, area.top + metrics.tmHeight};
    FillColour(dc, caret, GetSysColor(COLOR_WINDOWTEXT));
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
  PaintBorder(window);
}

bool HandleKey(HWND window, EditState& state, WPARAM key) {
  switch (key) {
    case VK_LEFT:
      state.model.MoveLeft();
      return false;
    case VK_RIGHT:
      state.model.MoveRight();
      return false;
    case VK_HOME:
      state.model.MoveHome();
      return false;
    case VK_END:
      state.model.MoveEnd();
      return false;
    case VK_DELETE:
      return !(Style(window) & ES_READONLY) && state.model.DeleteForward();
    default:
      return false;
  }
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto state = States().Get(window);
      state->model = EditModel((Style(window) & ES_MULTILINE) != 0);
      state->model.SetText(WindowText(window));
      state->model.MoveHome();
      break;
    }
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
    case WM_SETTEXT: {
      auto state = States().Get(window);
      state->model.SetText(lParam ? reinterpret_cast<const char*>(lParam) : "");
      state->model.MoveHome();
      Changed(window, *state);
      return TRUE;
    }
    case WM_CHAR: {
      auto state = States().Get(window);
      if (Style(window) & ES_READONLY) return 0;
      if (state->model.Type(static_cast<char>(wParam))) Changed(window, *state);
      return 0;
    }
    case WM_KEYDOWN: {
      auto state = States().Get(window);
      if (HandleKey(window, *state, wParam)) Changed(window, *state);
      else InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      States().Get(window)->focused = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case EM_GETLINECOUNT:
      return LineCount(window, *States().Get(window));
    case EM_SETREADONLY: {
      LONG style = Style(window);
      SetWindowLongPtrA(window, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETSEL: {
      DWORD caret = static_cast<DWORD>(States().Get(window)->model.Caret());
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = caret;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = caret;
      return MAKELONG(caret, caret);
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

WNDPROC EditWindowProc() { return EditProc; }

}  // namespace twl::controls

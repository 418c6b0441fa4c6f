#include "display/controls/DDControl.h"

#include "display/controls/DDControlServices.h"

CDDControl::~CDDControl() {
  if (m_Created) Destroy();
  // A focus window made before Create outlives nothing either.
  DestroyFocusWindow();
}

int CDDControl::Create(int id, DDControlCallback callback, void* owner, const RECT& rect) {
  if (m_Created) Destroy();
  m_Id = id;
  m_Callback = callback;
  m_Owner = owner;
  m_Rect = rect;
  m_Created = 1;
  m_Visible = 1;
  return 1;
}

void CDDControl::Destroy() {
  DestroyFocusWindow();
  m_Id = -1;
  m_Callback = nullptr;
  m_Rect = RECT{};
  m_Created = 0;
}

void CDDControl::OnMouseDown(int button, int x, int y) {
  if (button == 0 && m_Visible && m_FocusWindow && HitTestInput(x, y)) ::SetFocus(m_FocusWindow);
}

int CDDControl::HitTest(int x, int y) const {
  return x >= m_Rect.left && x < m_Rect.right && y >= m_Rect.top && y < m_Rect.bottom ? 1 : 0;
}

int CDDControl::Invalidate(const RECT* rect) {
  if (!m_Visible) return 1;
  RECT area = rect ? *rect : m_Rect;
  return Notify(DDN_INVALIDATE, &area);
}

int CDDControl::Notify(int type, void* data) { return m_Callback ? m_Callback(type, this, data) : 0; }

int CDDControl::CreateFocusWindow(HWND parent, int tabStop) {
  if (!m_Created) return 0;
  DestroyFocusWindow();
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (tabStop) style |= WS_TABSTOP;
  HWND window =
      CreateWindowExA(0, ddcontrols::kFocusClassName, ddcontrols::kFocusWindowTitle, style, -50, -50, 1, 1, parent,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(m_Id)), ddcontrols::GetInstance(), nullptr);
  if (!window) return 0;
  SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_FocusWindow = window;
  return 1;
}

void CDDControl::DestroyFocusWindow() {
  if (!m_FocusWindow) return;
  HWND window = m_FocusWindow;
  m_FocusWindow = nullptr;
  // The window must not reach this control while it goes.
  SetWindowLongPtrA(window, GWL_USERDATA, 0);
  DestroyWindow(window);
}

LRESULT CALLBACK CDDControl::FocusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<CDDControl*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (control) {
    switch (message) {
      case WM_SETFOCUS: control->SetFocus(1); break;
      case WM_KILLFOCUS: control->SetFocus(0); break;
      case WM_KEYDOWN: control->OnFocusKeyDown(static_cast<int>(wParam), LOWORD(lParam)); break;
      case WM_KEYUP: control->OnFocusKeyUp(static_cast<int>(wParam)); break;
      default: break;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int FillControlRect(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, DWORD color) {
  RECT area{rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
  if (area.left >= area.right || area.top >= area.bottom) return 1;
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = color;
  const HRESULT result = surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

int DrawRectFrame(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, DWORD light, DWORD shadow) {
  const RECT top{rect.left, rect.top, rect.right - 1, rect.top + 1};
  const RECT left{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1};
  const RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
  const RECT bottom{rect.left, rect.bottom - 1, rect.right - 1, rect.bottom};
  return FillControlRect(surface, x, y, top, light) && FillControlRect(surface, x, y, left, light) &&
                 FillControlRect(surface, x, y, right, shadow) && FillControlRect(surface, x, y, bottom, shadow)
             ? 1
             : 0;
}

int DrawFocusRect(IDirectDrawSurface2* surface, int x, int y, const RECT& rect, int state, DWORD color) {
  if (state == 3) return 1;
  RECT inset = rect;
  if (state == 2) {
    inset.left += 3;
    inset.top += 3;
    inset.right -= 1;
    inset.bottom -= 1;
  } else {
    InflateRect(&inset, -2, -2);
  }
  if (inset.left >= inset.right || inset.top >= inset.bottom) return 1;
  return DrawRectFrame(surface, x, y, inset, color, color);
}

DWORD KeyFlagOf(IDirectDrawSurface2* picture) {
  DDCOLORKEY key{};
  return picture && SUCCEEDED(picture->GetColorKey(DDCKEY_SRCBLT, &key)) ? DDBLT_KEYSRC : 0;
}

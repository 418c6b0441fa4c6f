// A window's life: making and ending it, its rectangle, showing,
// minimising, and the clipper that binds the screen to it.
#include "display/window/Window.h"

#include "display/directx/DirectDrawFailure.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CLASS(CWindow, CWindowOwner)

namespace {

constexpr UINT kKeepPlace = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;

}  // namespace

CWindow::CWindow() = default;

CWindow::~CWindow() {
  CWindow::Destroy();
  m_Controls.RemoveAll(true);
}

// The introduction window, the one window a window owns, reports here
// once it exists.
void CWindow::OnWindowEvent(CWindow*, int) {}

void CWindow::Create(const char* name, const char* title, const char* className, DWORD style, DWORD extendedStyle,
                     int x, int y, int width, int height, HWND parent, CWindowOwner* owner) {
  Destroy();
  HWND window = CreateWindowExA(extendedStyle, className, title, style, x, y, width, height, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window)
    ThrowError<CError>(LocalText("CreateWindowFailed.Caption", "Window error"),
                       LocalText("CreateWindowFailed.Text", "Error creating window."));
  SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_Window = window;
  m_Rect = RECT{x, y, x + width, y + height};
  m_Shown = (style & WS_VISIBLE) != 0;
  m_Minimized = false;
  m_MinimizeArgument = false;
  m_Owner = owner;
  m_InInputBroadcast = false;
  m_Name = name ? name : "";
  m_Title = title ? title : "";
  {
    CriticalSectionLock lock(m_TickLock);
    m_PendingTicks = 0;
  }
  try {
    CreateClipper();
  } catch (CError*) {
    // The window goes without a word to the object: it never was one.
    m_Window = nullptr;
    DestroyWindow(window);
    throw;
  }
}

void CWindow::Destroy() {
  m_Destroying = true;
  EndMove(true);
  m_SnapToEdges = false;
  m_SnapDistance = 20;
  StopTicks();
  // The tooltips are top-level windows of their own; they go with their
  // owner.
  m_Tooltips.RemoveAll();
  if (m_Window) {
    HWND window = m_Window;
    if (!m_InsideDestroyMessage) DestroyWindow(window);
    m_Window = nullptr;
  }
  ReleaseClipper();
  m_LastPaintSucceeded = true;
  m_LastPaintError = 0;
  {
    CriticalSectionLock lock(m_TickLock);
    m_PendingTicks = 0;
  }
  m_Shown = false;
  m_Minimized = false;
  m_MinimizeArgument = false;
  if (m_Owner) m_Owner->OnWindowEvent(this, WINDOW_EVENT_DESTROYED);
  m_Destroying = false;
}

void CWindow::OnDestroy() {
  // Windows ends the window on its own (with its parent, say): the object
  // follows without destroying it a second time.
  if (m_Destroying) return;
  m_InsideDestroyMessage = true;
  Destroy();
  m_InsideDestroyMessage = false;
}

void CWindow::Close() {
  Destroy();
  delete this;
}

void CWindow::SetSize(int width, int height) {
  m_Rect.right = m_Rect.left + width;
  m_Rect.bottom = m_Rect.top + height;
  ClipDirtyRect();
  SetWindowPos(m_Window, nullptr, 0, 0, width, height, SWP_NOMOVE | kKeepPlace);
}

void CWindow::SetPosition(int x, int y) {
  const int width = GetWidth();
  const int height = GetHeight();
  m_Rect = RECT{x, y, x + width, y + height};
  SetWindowPos(m_Window, nullptr, x, y, 0, 0, SWP_NOSIZE | kKeepPlace);
}

void CWindow::SetRect(const RECT& rect) {
  m_Rect = rect;
  ClipDirtyRect();
  SetWindowPos(m_Window, nullptr, rect.left, rect.top, GetWidth(), GetHeight(), kKeepPlace);
}

bool CWindow::RestoreSurfaces() {
  if (!m_Controls.RestoreSurfaces()) return false;
  m_LastPaintError = 0;
  m_LastPaintSucceeded = true;
  return true;
}

void CWindow::Show(bool show) {
  if (show) InvalidateRect(nullptr);
  m_Shown = show;
  if (show) {
    EnableWindow(m_Window, TRUE);
    ShowWindow(m_Window, m_Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  } else {
    ShowWindow(m_Window, SW_HIDE);
    EnableWindow(m_Window, FALSE);
  }
  OnShow(show);
}

void CWindow::OnShow(bool shown) {
  if (m_Owner) m_Owner->OnWindowEvent(this, shown ? WINDOW_EVENT_SHOWN : WINDOW_EVENT_HIDDEN);
}

void CWindow::OnShowWindow(bool show, LPARAM) {
  if (show == m_Shown) return;
  if (show) InvalidateRect(nullptr);
  m_Shown = show;
  OnShow(show);
}

void CWindow::Minimize(bool argument) {
  if (m_Minimized) return;
  OnMinimize(argument);
  if (m_Shown) ShowWindow(m_Window, SW_MINIMIZE);
}

void CWindow::Restore() {
  if (!m_Minimized) return;
  OnRestore();
  if (m_Shown) ShowWindow(m_Window, SW_RESTORE);
}

void CWindow::OnMinimize(bool argument) {
  m_Minimized = true;
  m_MinimizeArgument = argument;
}

void CWindow::OnRestore() {
  m_Minimized = false;
  m_MinimizeArgument = false;
  InvalidateRect(nullptr);
}

void CWindow::BringToTop() { BringWindowToTop(m_Window); }

void CWindow::Enable(bool enable) { EnableWindow(m_Window, enable ? TRUE : FALSE); }

void CWindow::OnSize(int width, int height) {
  if (width == GetWidth() && height == GetHeight()) return;
  m_Rect.right = m_Rect.left + width;
  m_Rect.bottom = m_Rect.top + height;
  ClipDirtyRect();
}

void CWindow::OnMove(int x, int y) {
  const int width = GetWidth();
  const int height = GetHeight();
  m_Rect = RECT{x, y, x + width, y + height};
}

void CWindow::CreateClipper() {
  ReleaseClipper();
  IDirectDrawClipper* clipper = nullptr;
  HRESULT result = DDERR_INVALIDOBJECT;
  {
    DisplayLockScope lock;
    const CDisplayState* display = CDisplayState::GetCurrent();
    if (display && display->GetDirectDraw()) result = display->GetDirectDraw()->CreateClipper(0, &clipper, nullptr);
  }
  if (FAILED(result)) ThrowDirectDrawError(result);
  if (result = clipper->SetHWnd(0, m_Window); FAILED(result)) {
    DisplayLockScope lock;
    clipper->Release();
    ThrowDirectDrawError(result);
  }
  m_Clipper = clipper;
}

void CWindow::ReleaseClipper() {
  if (!m_Clipper) return;
  DisplayLockScope lock;
  m_Clipper->Release();
  m_Clipper = nullptr;
}

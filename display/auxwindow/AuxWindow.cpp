// The aux window's life: making it, ending it, showing and hiding it with
// its skin, painting its frame, and running it modally.
#include "display/auxwindow/AuxWindow.h"

#include <atomic>

#include "display/WindowClassOnce.h"
#include "display/auxwindow/AuxWindowManager.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/frames/FramePainting.h"
#include "display/window/WindowHost.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CAuxWindow, CWindow)

namespace {

std::atomic<bool> classRegistered{false};

}  // namespace

CAuxWindow::CAuxWindow() {
  for (int index = 0; index < kColorCount; ++index) {
    m_TextColors[index] = RGB(255, 255, 255);
    m_BackColors[index] = RGB(0, 0, 0);
  }
}

CAuxWindow::~CAuxWindow() { CAuxWindow::Destroy(); }

void CAuxWindow::Create(const char* name, const char* caption, int x, int y, int width, int height, HWND parent,
                        CWindowOwner* owner, bool resizable) {
  if (!RegisterWindowClassOnce(classRegistered, kClassName, &CWindow::StaticWindowProc))
    ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                       LocalText("RegisterClassFailed.Text", "Unable to register window class"));
  CWindow::Create(name, caption, kClassName, WS_POPUP | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES, x, y, width, height,
                  parent, owner);
  m_Resizable = resizable;
  m_Cursor = nullptr;
  m_CursorKind = -1;
  m_Sizing = false;
  m_ColorListBoxes = true;
  {
    CriticalSectionLock lock(m_ControlColorLock);
    m_ControlColors.InitHashTable(101);
  }
  GetWindowHost().GetAuxWindowManager().Add(this);
}

void CAuxWindow::Destroy() {
  GetWindowHost().GetAuxWindowManager().Remove(this);
  ClearControlColors();
  CancelSizing();
  CWindow::Destroy();
  m_Resizable = false;
  m_SkinApplied = false;
  m_SkinToReapply = false;
  m_ModalRegistered = false;
  // A modal loop on the stack below ends with the result it has.
  if (m_ModalRunning) m_ModalEndRequested = true;
  DestroyHelpMenu();
}

void CAuxWindow::SetSize(int width, int height) {
  AdjustSize(width, height);
  CWindow::SetSize(width, height);
}

void CAuxWindow::SetRect(const RECT& rect) {
  RECT raised = rect;
  if (raised.right - raised.left < m_MinWidth) raised.right = raised.left + m_MinWidth;
  if (raised.bottom - raised.top < m_MinHeight) raised.bottom = raised.top + m_MinHeight;
  CWindow::SetRect(raised);
}

void CAuxWindow::OnSkinChange(int phase) {
  if (phase == 0) {
    m_SkinToReapply = m_SkinApplied;
    if (m_SkinApplied) ReleaseSkin(0);
  } else if (phase == 1) {
    if (m_SkinToReapply) ApplySkin();
  }
}

void CAuxWindow::OnDestroy() {
  if (m_ModalRegistered) {
    m_ModalRegistered = false;
    GetWindowHost().EndModal(this);
  }
  CWindow::OnDestroy();
}

void CAuxWindow::OnSize(int width, int height) {
  CWindow::OnSize(width, height);
  int adjustedWidth = width, adjustedHeight = height;
  if (AdjustSize(adjustedWidth, adjustedHeight)) SetSize(adjustedWidth, adjustedHeight);
  ReleaseSkin(0);
  ApplySkin();
}

void CAuxWindow::OnMinimize(bool argument) {
  CWindow::OnMinimize(argument);
  ShowWindow(GetWindowHandle(), SW_HIDE);
}

void CAuxWindow::OnRestore() {
  CWindow::OnRestore();
  if (IsShown()) ShowWindow(GetWindowHandle(), SW_SHOW);
}

void CAuxWindow::OnShowWindow(bool show, LPARAM status) {
  if (show) {
    if (!m_SkinApplied) ApplySkin();
  } else {
    if (m_SkinApplied) ReleaseSkin(0);
    if (m_ModalRegistered) {
      m_ModalRegistered = false;
      GetWindowHost().EndModal(this);
    }
  }
  CWindow::OnShowWindow(show, status);
}

void CAuxWindow::OnCommand(UINT notifyCode, UINT id, HWND control) {
  CWindow::OnCommand(notifyCode, id, control);
  // The introduction opens from here once it exists; a menu's command
  // ends the menu.
  if (notifyCode == 0) DestroyHelpMenu();
}

bool CAuxWindow::BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  const HRESULT result = PaintAuxFrame(backBuffer, x, y, GetWidth(), GetHeight(), GetTitle().c_str(), &tile);
  if (FAILED(result)) {
    SetDirectDrawThreadError(result);
    return false;
  }
  return true;
}

bool CAuxWindow::DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  if (!CWindow::DrawTile(backBuffer, x, y, tile)) return false;
  std::vector<HWND> framed;
  {
    CriticalSectionLock lock(m_ControlColorLock);
    CDWORDMap::Position at = m_ControlColors.GetStartPosition();
    while (at) {
      DWORD key = 0, value = 0;
      m_ControlColors.GetNextAssoc(at, key, value);
      if (!((value >> 16) & kNoFrame)) framed.push_back(reinterpret_cast<HWND>(static_cast<uintptr_t>(key)));
    }
  }
  const POINT origin{tile.left, tile.top};
  for (HWND child : framed)
    if (!DrawChildFrame(backBuffer, x, y, origin, child, false)) return false;
  return true;
}

void CAuxWindow::OpenModal() {
  if (m_ModalRegistered) return;
  Show(true);
  GetWindowHost().BeginModal(this);
  m_ModalRegistered = true;
}

int CAuxWindow::DoModal() {
  OpenModal();
  const int result = RunModalLoop();
  Show(false);
  return result;
}

int CAuxWindow::RunModalLoop() {
  m_ModalEndRequested = false;
  m_ModalRunning = true;
  m_ModalResult = -1;
  while (!m_ModalEndRequested && GetWindowHost().PumpMessage() > 0) {
  }
  m_ModalRunning = false;
  m_ModalEndRequested = false;
  return m_ModalResult;
}

void CAuxWindow::EndModal(int result) {
  if (!m_ModalRunning || m_ModalEndRequested) return;
  m_ModalEndRequested = true;
  m_ModalResult = result;
}

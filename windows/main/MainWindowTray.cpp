#include "windows/main/MainWindowTray.h"

#include <cstring>

#include "foundation/appcore/ProductName.h"
#include "windows/main/MainWindowIds.h"

namespace mainwindow {

namespace {

constexpr DWORD kHoverEndDelay = 200;

}  // namespace

CMainWindowTray::CMainWindowTray(HINSTANCE program) : m_Program(program) {}

WORD CMainWindowTray::GetIconResource() const {
  if (m_MenuOpen) return kTrayIconMenu;
  if (m_Hovering) return kTrayIconHover;
  return kTrayIconNormal;
}

void CMainWindowTray::ClearFlags() { m_MenuOpen = m_Hovering = m_LeftDown = m_RightDown = m_DoubleClicked = false; }

bool CMainWindowTray::Add(HWND window) {
  Remove();
  NOTIFYICONDATAA& data = m_Icon.m_NotifyIconData;
  data = NOTIFYICONDATAA{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = LoadIconA(m_Program, MAKEINTRESOURCE(GetIconResource()));
  static_assert(sizeof kProductName <= sizeof data.szTip);
  std::memcpy(data.szTip, kProductName, sizeof kProductName);
  if (!Shell_NotifyIconA(NIM_ADD, &data)) return false;
  m_Icon.m_Shown = TRUE;
  return true;
}

void CMainWindowTray::Remove() {
  ClearFlags();
  if (!IsShown()) return;
  if (Shell_NotifyIconA(NIM_DELETE, &m_Icon.m_NotifyIconData)) m_Icon.m_Shown = FALSE;
}

void CMainWindowTray::UpdateIcon() {
  if (!IsShown()) return;
  m_Icon.m_NotifyIconData.hIcon = LoadIconA(m_Program, MAKEINTRESOURCE(GetIconResource()));
  Shell_NotifyIconA(NIM_MODIFY, &m_Icon.m_NotifyIconData);
}

void CMainWindowTray::CloseMenuOnRelease(CMainWindowTrayOwner& owner) {
  if (!m_LeftDown && !m_RightDown && m_MenuOpen) {
    m_MenuOpen = false;
    UpdateIcon();
    if (m_DoubleClicked) owner.RestoreAll();
  }
}

void CMainWindowTray::OnNotify(UINT mouseMessage, HWND window, CMainWindowTrayOwner& owner) {
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      GetCursorPos(&m_LastCursor);
      m_LastMoveTime = timeGetTime();
      if (!m_Hovering) {
        m_Hovering = true;
        UpdateIcon();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      m_DoubleClicked = false;
      (mouseMessage == WM_LBUTTONDOWN ? m_LeftDown : m_RightDown) = true;
      if (m_MenuOpen) break;
      m_MenuOpen = true;
      UpdateIcon();
      SetActiveWindow(window);
      POINT cursor{};
      GetCursorPos(&cursor);
      owner.ShowTrayMenu(cursor.x, cursor.y);
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (m_DoubleClicked) {
        owner.RestoreAll();
        break;
      }
      (mouseMessage == WM_LBUTTONUP ? m_LeftDown : m_RightDown) = false;
      CloseMenuOnRelease(owner);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: m_DoubleClicked = true; break;
    default: break;
  }
}

void CMainWindowTray::EndHoverIfAway() {
  if (!m_Hovering) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (cursor.x == m_LastCursor.x && cursor.y == m_LastCursor.y) return;
  if (timeGetTime() - m_LastMoveTime < kHoverEndDelay) return;
  ClearFlags();
  UpdateIcon();
}

}  // namespace mainwindow

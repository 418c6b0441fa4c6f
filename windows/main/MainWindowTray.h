// CMainWindowTray: the main window's icon in the taskbar's notification
// area while the player is hidden there. It shows one of three pictures
// (normal, hovered, menu open), opens the tray menu on a press, and brings
// the player back on a double click. Hovering ends when the window's timer
// finds the cursor gone from where the last tray mouse move left it.
//
// User-interface thread: the window's tray messages and timer.
#pragma once

#include <windows.h>

#include "foundation/icons/ShellNotifyIcon.h"

namespace mainwindow {

// What the tray asks of its window.
class CMainWindowTrayOwner {
 public:
  // The tray menu with its lower right corner at the screen point.
  virtual void ShowTrayMenu(int x, int y) = 0;
  virtual void RestoreAll() = 0;

 protected:
  ~CMainWindowTrayOwner() = default;
};

class CMainWindowTray {
 public:
  // Pictures come from the program module's icon resources.
  explicit CMainWindowTray(HINSTANCE program);
  CMainWindowTray(const CMainWindowTray&) = delete;
  CMainWindowTray& operator=(const CMainWindowTray&) = delete;

  // Puts the icon for `window` into the tray (again, when it is there) and
  // starts with every flag clear. False when the tray refuses it.
  bool Add(HWND window);
  // Takes the icon out of the tray, when it is there; flags cleared.
  void Remove();
  bool IsShown() const { return m_Icon.m_Shown != 0; }

  // The tray's message: lParam, the mouse message over the icon.
  void OnNotify(UINT mouseMessage, HWND window, CMainWindowTrayOwner& owner);
  // The timer's check, every 10 ticks: hovering ends once the cursor has
  // left the place of the last tray mouse move and 200 ms have passed.
  void EndHoverIfAway();

  // The picture on show: 135 normal, 136 hovered, 137 menu open.
  WORD GetIconResource() const;

 private:
  void ClearFlags();
  void UpdateIcon();
  void CloseMenuOnRelease(CMainWindowTrayOwner& owner);

  HINSTANCE m_Program;
  CShellNotifyIcon m_Icon;
  bool m_MenuOpen = false;
  bool m_Hovering = false;
  bool m_LeftDown = false;
  bool m_RightDown = false;
  bool m_DoubleClicked = false;
  POINT m_LastCursor{};
  DWORD m_LastMoveTime = 0;
};

}  // namespace mainwindow

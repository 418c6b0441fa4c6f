// The keys that work whatever window has the focus: the accelerator table,
// whose commands always reach the message window, what each one does, and
// moving the keyboard focus between the tab stops of an aux window.
#include <cstring>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxWindow.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"

namespace {

enum Accelerator {
  kNextControl,
  kPreviousControl,
  kShowPlaylist,
  kShowFileBrowser,
  kShowOptions,
  kShowSkinBrowser,
  kShowLog,
  kContextHelp,
  kQuickPlay,
};

constexpr ACCEL Entry(BYTE modifiers, WORD key, int index) {
  return ACCEL{static_cast<BYTE>(FVIRTKEY | modifiers), key,
               static_cast<WORD>(CUserInterface::kFirstAcceleratorCommand + index)};
}

bool IsAuxWindow(HWND window) {
  char name[sizeof CAuxWindow::kClassName + 1] = "";
  if (!window || !GetClassNameA(window, name, sizeof name)) return false;
  return std::memcmp(name, CAuxWindow::kClassName, sizeof CAuxWindow::kClassName) == 0;
}

bool IsEnabledTabStop(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(window);
}

HWND NextTabStop(HWND focus) {
  for (HWND window = GetWindow(focus, GW_HWNDNEXT); window; window = GetWindow(window, GW_HWNDNEXT))
    if (IsEnabledTabStop(window)) return window;
  // Round again from the first child, up to the focus window.
  for (HWND window = GetWindow(GetParent(focus), GW_CHILD); window && window != focus;
       window = GetWindow(window, GW_HWNDNEXT))
    if (IsEnabledTabStop(window)) return window;
  return nullptr;
}

HWND PreviousTabStop(HWND focus) {
  for (HWND window = GetWindow(focus, GW_HWNDPREV); window; window = GetWindow(window, GW_HWNDPREV))
    if (IsEnabledTabStop(window)) return window;
  // Round again: the last tab stop after the focus window.
  HWND last = nullptr;
  for (HWND window = GetWindow(focus, GW_HWNDNEXT); window; window = GetWindow(window, GW_HWNDNEXT))
    if (IsEnabledTabStop(window)) last = window;
  return last;
}

}  // namespace

void CUserInterface::CreateAcceleratorTable() {
  ACCEL entries[kAcceleratorCount] = {
      Entry(0, VK_TAB, kNextControl),          Entry(FSHIFT, VK_TAB, kPreviousControl),
      Entry(FALT, 'P', kShowPlaylist),         Entry(FALT, 'F', kShowFileBrowser),
      Entry(FALT, 'O', kShowOptions),          Entry(FALT, 'S', kShowSkinBrowser),
      Entry(FALT, 'L', kShowLog),              Entry(0, VK_F1, kContextHelp),
      Entry(FALT, 'Q', kQuickPlay),
  };
  DestroyAcceleratorTable();
  m_Accelerators = CreateAcceleratorTableA(entries, kAcceleratorCount);
  if (!m_Accelerators)
    LogText(LOGCODE_ERROR, "CUserInterface.CreateAcceleratorTableFailed",
            "ERROR: Unable to create accelerator table. Accelerators will not work.", "\n");
}

void CUserInterface::DestroyAcceleratorTable() noexcept {
  if (m_Accelerators) ::DestroyAcceleratorTable(m_Accelerators);
  m_Accelerators = nullptr;
}

bool CUserInterface::TranslateAccelerator(MSG* message) {
  HWND window = GetMessageWindowHandle();
  if (!window || !m_Accelerators) return false;
  return TranslateAcceleratorA(window, m_Accelerators, message) != 0;
}

void CUserInterface::ExecuteAccelerator(int index) {
  switch (index) {
    case kNextControl: MoveFocus(true); break;
    case kPreviousControl: MoveFocus(false); break;
    case kShowPlaylist: ShowWindowByIndex(1, false); break;
    case kShowFileBrowser: ShowWindowByIndex(2, false); break;
    case kShowOptions: ShowWindowByIndex(4, false); break;
    case kShowSkinBrowser: ShowWindowByIndex(3, false); break;
    case kShowLog:
      if (GetSystem().HasLogWindow()) GetSystem().GetLogWindow().Show(true);
      break;
    case kContextHelp: ShowContextHelp(); break;
    // QuickPlay comes with the player's windows.
    case kQuickPlay: break;
    default: break;
  }
}

void CUserInterface::MoveFocus(bool forward) {
  HWND focus = GetFocus();
  if (!focus) return;
  HWND target = nullptr;
  if (IsAuxWindow(focus)) target = GetWindow(focus, GW_CHILD);
  else if (IsAuxWindow(GetParent(focus))) target = forward ? NextTabStop(focus) : PreviousTabStop(focus);
  if (target) SetFocus(target);
}

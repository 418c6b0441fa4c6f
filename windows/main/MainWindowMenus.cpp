// The main window's menus, commands and tray icon: what the window acts on
// for the command table and the button actions (windows/main/
// MainWindowCommands.h), showing and tracking its menus, the right button
// and the tray icon's messages.
#include "app/core/System.h"
#include "app/playercommands/BurnerLaunch.h"
#include "app/ui/UserInterface.h"
#include "display/controls/DDControl.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "windows/main/MainMenus.h"
#include "windows/main/MainWindow.h"
#include "windows/main/MainWindowCommands.h"
#include "windows/main/MainWindowIds.h"

using namespace mainwindow;

// What the commands, buttons and the tray icon of one main window act on.
class CMainWindowCommandActions : public CMainWindowActions, public CMainWindowTrayOwner {
 public:
  explicit CMainWindowCommandActions(CMainWindow& window) : m_Window(window) {}

  void Play() override { GetPlayerSystem().Play(true); }
  void Stop() override { GetPlayerSystem().Stop(true); }
  void Pause() override { GetPlayerSystem().Pause(); }
  void Resume() override { GetPlayerSystem().Resume(); }
  void TogglePause() override { GetPlayerSystem().TogglePause(); }
  bool IsPaused() override { return GetPlayerSystem().IsPaused(); }
  bool GetLoop() override { return GetPlayerSystem().GetLoop(); }
  void SetLoop(bool on) override { GetPlayerSystem().SetLoop(on); }
  bool GetShuffle() override { return GetPlayerSystem().GetShuffle(); }
  void SetShuffle(bool on) override { GetPlayerSystem().SetShuffle(on); }
  void SelectNextFile() override { GetPlayerSystem().SelectNextFile(); }
  void SelectPreviousFile() override { GetPlayerSystem().SelectPreviousFile(); }
  void SetVolume(int volume) override { GetPlayerSystem().SetVolume(volume); }
  void SetCurrentEntry(INT fileNumber) override { GetPlayerSystem().SetCurrentEntry(fileNumber); }
  const CPlayListEntryHolder* GetPlayList() override { return &GetPlayerSystem().GetPlayList(); }

  void RecordPlayListToCD() override { ::RecordPlayListToCD(m_Window.GetWindowHandle()); }
  void ShowHelp() override { GetUserInterface().ShowHelp(m_Window.GetWindowHandle(), CUserInterface::kNoHelpTopic); }
  void OpenWebPage(int index) override {
    const CStr url = CUserInterface::GetWebPageUrl(index);
    if (*url.c_str()) CUserInterface::StartWebBrowser(url.c_str());
  }
  void SetMode(int mode) override { GetUserInterface().SetMode(mode); }
  void ToggleOnTop(int mode) override { GetUserInterface().ToggleOnTop(mode); }
  void ToggleSmallMode() override { GetUserInterface().ToggleSmallMode(); }
  void ToggleMiniMode() override { GetUserInterface().ToggleMiniMode(); }

  void ShowMainWindow(int index) override { GetUserInterface().ShowWindowByIndex(index, true); }
  void ShowLogWindow() override {
    if (GetSystem().HasLogWindow()) GetSystem().GetLogWindow().Show(true);
  }
  void MinimizeAll(bool toTray) override { GetUserInterface().MinimizeAll(toTray); }
  void RestoreAll() override { GetUserInterface().RestoreAll(); }

  void Exit() override { PostQuitMessage(0); }
  void ShowMainMenuAtCursor() override { m_Window.ShowMenuAtCursor(); }
  void ShowInternetMenuAtCursor() override { m_Window.ShowInternetMenuAtCursor(); }
  void SetButtonChecked(int button, bool checked) override { m_Window.SetButtonChecked(button, checked); }
  void SetViewerModeFor(int kind, int mode) override { GetControlWindowSystem().SetModeFor(kind, mode); }
  void SetViewerOverrideFor(int kind, bool on) override { GetControlWindowSystem().SetPlayerModeOverrideFor(kind, on); }
  void SetPlayerDisplayMode(int mode) override { GetControlWindowSystem().SetPlayerDisplayMode(mode); }
  void SetVisualizerDisplayMode(int mode) override { GetControlWindowSystem().SetVisualizerDisplayMode(mode); }
  void ToggleDisplayMode() override { GetControlWindowSystem().ToggleDisplayMode(); }
  bool IsPlayerOverrideOn() override {
    CControlWindowSystem& viewer = GetControlWindowSystem();
    return viewer.GetPlayerModeOverride() || viewer.IsPlayerModeOverridePending();
  }
  void SetPlayerOverride(bool on) override { GetControlWindowSystem().SetPlayerModeOverride(on); }

  // CMainWindowTrayOwner.
  void ShowTrayMenu(int x, int y) override { m_Window.ShowMenu(x, y, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 1); }

 private:
  CMainWindow& m_Window;
};

namespace {

constexpr DWORD kLogMenuError = 0x300;

MainMenuState CurrentMenuState() {
  CPlayerSystem& players = GetPlayerSystem();
  MainMenuState state;
  state.playing = players.IsPlaying();
  state.paused = players.IsPaused();
  state.loop = players.GetLoop();
  state.shuffle = players.GetShuffle();
  {
    DisplayLockScope lock;
    state.mode = GetUserInterface().GetMode();
  }
  state.onTopNormalSmall = GetUserInterface().IsOnTop(0);
  state.onTopMini = GetUserInterface().IsOnTop(2);
  CControlWindowSystem& viewer = GetControlWindowSystem();
  for (int index = 0; index < 2; ++index) {
    state.viewerModes[index] = viewer.GetModeFor(index * 2);
    state.viewerOverrides[index] = viewer.GetPlayerModeOverrideFor(index * 2);
  }
  state.playerDisplayMode = viewer.GetPlayerDisplayMode();
  state.visualizerDisplayMode = viewer.GetVisualizerDisplayMode();
  state.viewerMode = viewer.GetMode();
  state.playList = &players.GetPlayList();
  state.currentEntry = players.GetCurrentEntryNumber();
  state.infoLock = &GetFileInfoDataBase().GetLock();
  state.date = TodaysDate();
  for (int id = 0; id < BUILT_IN_TRIGGER_COUNT; ++id)
    state.triggerKeys[static_cast<size_t>(id)] = GetUserInterface().GetMainTriggerKeyText(id);
  return state;
}

POINT CursorPosition() {
  POINT cursor{};
  GetCursorPos(&cursor);
  return cursor;
}

}  // namespace

void CMainWindow::DestroyPopupMenu() {
  if (m_PopupMenu) DestroyMenu(m_PopupMenu);
  m_PopupMenu = nullptr;
}

bool CMainWindow::TrackMenu(HMENU menu, int kind, int x, int y, UINT flags) {
  if (!menu) {
    LogThreadError(kLogMenuError, nullptr);
    return false;
  }
  m_PopupMenu = menu;
  m_PopupMenuKind = kind;
  if (TrackPopupMenu(menu, flags, x, y, 0, GetWindowHandle(), nullptr)) return true;
  DestroyPopupMenu();
  const CStr reason = kind == kMainMenuKind ? LocalText("TrackPopupMenuFailed", "ERROR: unable to display popup menu")
                                            : LocalText("MenuError.ShowPopup", "Unable to display popup menu.");
  SetThreadError(THREAD_ERROR_GENERAL, 0, reason.c_str());
  return false;
}

bool CMainWindow::ShowMenu(int x, int y, UINT flags, int kind) {
  DestroyPopupMenu();
  HMENU menu = BuildMainMenu(CurrentMenuState(), kind == 1 ? MenuFor::kTray : MenuFor::kMainWindow);
  return TrackMenu(menu, kMainMenuKind, x, y, flags);
}

bool CMainWindow::ShowMenuAtCursor() {
  const POINT cursor = CursorPosition();
  return ShowMenu(cursor.x, cursor.y, TPM_RIGHTBUTTON, 0);
}

// Full screen belongs to the viewer system, which the program does not have
// yet: nothing stands in the way of the menu.
bool CMainWindow::ShowMenuCentered() {
  RECT window{};
  if (!GetWindowRect(GetWindowHandle(), &window)) return false;
  return ShowMenu((window.left + window.right) / 2, (window.top + window.bottom) / 2, TPM_RIGHTBUTTON, 0);
}

bool CMainWindow::ShowInternetMenuAtCursor() {
  DestroyPopupMenu();
  const POINT cursor = CursorPosition();
  return TrackMenu(BuildInternetMenu(TodaysDate()), kInternetMenuKind, cursor.x, cursor.y, TPM_RIGHTBUTTON);
}

bool CMainWindow::ShowWhatsThisMenu(int page, int x, int y) {
  DestroyPopupMenu();
  return TrackMenu(BuildWhatsThisMenu(page), kWhatsThisMenuKind, x, y, TPM_RIGHTBUTTON);
}

void CMainWindow::OnCommand(UINT, UINT id, HWND) {
  CMainWindowCommandActions actions(*this);
  RunMenuCommand(id, m_PopupMenu, m_PopupMenuKind, actions);
  DestroyPopupMenu();
}

void CMainWindow::OnControlClicked(CDDControl* control) {
  if (!control) return;
  CMainWindowCommandActions actions(*this);
  RunButtonAction(control->GetId(), actions);
}

// The right button over a control with a page of the quick introduction
// offers "What's this?" for it; the time and info fields, and any place
// without a button or bar, open the main menu.
void CMainWindow::OnRightButtonDown(int x, int y) {
  POINT screen{x, y};
  ClientToScreen(GetWindowHandle(), &screen);
  CDDControlList& controls = GetControls();
  for (int index = 0; index < controls.GetCount(); ++index) {
    CDDControl* control = controls.GetAt(index);
    if (!control || !control->IsVisible() || !control->HitTest(x, y)) continue;
    int id = control->GetId();
    if (id >= kTimeFieldFirst && id <= kTimeFieldLast) id = kTimeFieldFirst;
    const int page = FindIntroPage(id, kIntroPageControls);
    if (page >= 0 && id != kTimeFieldFirst && id != kInfoField) {
      ShowWhatsThisMenu(page, screen.x, screen.y);
      return;
    }
    if ((id >= 0 && id < kButtonCount) || id == kProgressBar || id == kVolumeBar) return;
    break;
  }
  ShowMenu(screen.x, screen.y, TPM_RIGHTBUTTON, 0);
}

void CMainWindow::OnTrayNotify(UINT mouseMessage) {
  CMainWindowCommandActions actions(*this);
  m_Tray.OnNotify(mouseMessage, GetSystem().GetOwnerWindow().GetWindowHandle(), actions);
}

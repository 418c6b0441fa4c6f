// The main window's commands: the menu command table and the button
// actions, run against what the window acts on (the player system, the user
// interface and the window itself), which CMainWindowActions stands for.
// Commands the program has no part for yet are ignored like unknown ids.
//
// User-interface thread.
#pragma once

#include <windows.h>

class CPlayListEntryHolder;

namespace mainwindow {

class CMainWindowActions {
 public:
  // The player system.
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual void TogglePause() = 0;
  virtual bool IsPaused() = 0;
  virtual bool GetLoop() = 0;
  virtual void SetLoop(bool on) = 0;
  virtual bool GetShuffle() = 0;
  virtual void SetShuffle(bool on) = 0;
  virtual void SelectNextFile() = 0;
  virtual void SelectPreviousFile() = 0;
  // 0..256.
  virtual void SetVolume(int volume) = 0;
  // A file entry by its number in the walk of the playlist.
  virtual void SetCurrentEntry(INT fileNumber) = 0;
  // The playlist the "Go to..." entries come from; null when there is none.
  virtual const CPlayListEntryHolder* GetPlayList() = 0;

  // The user interface.
  virtual void ShowHelp() = 0;
  // Hands the playlist to the CD burner.
  virtual void RecordPlayListToCD() {}
  // A main window by index (1 playlist, 2 file browser, 3 skin browser,
  // 4 options), shown and brought to the top.
  virtual void ShowMainWindow(int index) = 0;
  virtual void ShowLogWindow() = 0;
  virtual void OpenWebPage(int index) = 0;
  virtual void SetMode(int mode) = 0;
  virtual void ToggleOnTop(int mode) = 0;
  virtual void ToggleSmallMode() = 0;
  virtual void ToggleMiniMode() = 0;
  virtual void MinimizeAll(bool toTray) = 0;
  virtual void RestoreAll() = 0;

  // The window.
  virtual void Exit() = 0;  // PostQuitMessage(0)
  virtual void ShowMainMenuAtCursor() = 0;
  virtual void ShowInternetMenuAtCursor() = 0;
  // A toggle button shows the state.
  virtual void SetButtonChecked(int button, bool checked) = 0;
  // The viewer: mode and player override of a main window kind (0 normal
  // and small, 2 mini), the display modes, and the override now in use.
  virtual void SetViewerModeFor(int kind, int mode) = 0;
  virtual void SetViewerOverrideFor(int kind, bool on) = 0;
  virtual void SetPlayerDisplayMode(int mode) = 0;
  virtual void SetVisualizerDisplayMode(int mode) = 0;
  virtual void ToggleDisplayMode() = 0;
  // On, or waiting to be applied.
  virtual bool IsPlayerOverrideOn() = 0;
  virtual void SetPlayerOverride(bool on) = 0;

 protected:
  ~CMainWindowActions() = default;
};

// A menu command. `menu` and `menuKind` are the menu that was on show
// (null when none): a "Go to..." command takes its entry from the item's
// data and counts only from the main or tray menu.
void RunMenuCommand(UINT id, HMENU menu, int menuKind, CMainWindowActions& actions);

// A click on the button with that index.
void RunButtonAction(int button, CMainWindowActions& actions);

}  // namespace mainwindow

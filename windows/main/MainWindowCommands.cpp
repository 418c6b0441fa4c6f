#include "windows/main/MainWindowCommands.h"

#include "playback/playlist/PlayListEntryHolder.h"
#include "windows/main/MainMenus.h"
#include "windows/main/MainWindowIds.h"

namespace mainwindow {

namespace {

// The entry a "Go to..." item stands for becomes the current one. The item
// holds the entry's serial number: an entry removed while the menu was open
// is not found, and changes nothing.
void GoToEntry(UINT id, HMENU menu, int menuKind, CMainWindowActions& actions) {
  if (!menu || menuKind != kMainMenuKind) return;
  const CPlayListEntryHolder* playList = actions.GetPlayList();
  if (!playList) return;
  const size_t number = id - kGoToFirst;
  if (CollectFileEntries(*playList, number + 1).size() <= number) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoA(menu, id, FALSE, &info) || info.dwItemData == 0) return;
  const INT found = FindFileEntryNumber(*playList, static_cast<uint64_t>(info.dwItemData));
  if (found >= 0) actions.SetCurrentEntry(found);
}

// A viewer item chooses a mode for a main window kind and, unless it says
// nothing of it (-1), first the player override.
struct ViewerChoice {
  UINT id;
  int kind;
  int mode;
  int override;
};

constexpr ViewerChoice kViewerChoices[] = {
    {kViewerNormalDeactivate, 0, 0, 0},
    {kViewerNormalPlayers, 0, 1, -1},
    {kViewerNormalVisualizers, 0, 2, 0},
    {kViewerNormalPlayersAndVisualizers, 0, 2, 1},
    {kViewerNormalDeactivateAllowMovies, 0, 0, 1},
    {kViewerMiniDeactivate, 2, 0, 0},
    {kViewerMiniPlayers, 2, 1, -1},
    {kViewerMiniVisualizers, 2, 2, 0},
    {kViewerMiniPlayersAndVisualizers, 2, 2, 1},
    {kViewerMiniDeactivateAllowMovies, 2, 0, 1},
};

bool RunViewerChoice(UINT id, CMainWindowActions& actions) {
  for (const ViewerChoice& choice : kViewerChoices) {
    if (choice.id != id) continue;
    if (choice.override >= 0) actions.SetViewerOverrideFor(choice.kind, choice.override != 0);
    actions.SetViewerModeFor(choice.kind, choice.mode);
    return true;
  }
  return false;
}

}  // namespace

void RunMenuCommand(UINT id, HMENU menu, int menuKind, CMainWindowActions& actions) {
  if (id >= kVolumeFirst && id <= kVolumeLast) {
    actions.SetVolume(static_cast<int>(id - kVolumeFirst) * 256 / 10);
    return;
  }
  if (id >= kWebPageFirst && id <= kWebPageLast) {
    actions.OpenWebPage(static_cast<int>(id - kWebPageFirst));
    return;
  }
  if (id >= kGoToFirst && id <= kGoToLast) {
    GoToEntry(id, menu, menuKind, actions);
    return;
  }
  if (RunViewerChoice(id, actions)) return;
  switch (id) {
    case kPlay: actions.Play(); break;
    case kStop: actions.Stop(); break;
    case kPause: actions.Pause(); break;
    case kResume: actions.Resume(); break;
    case kLoop: actions.SetLoop(!actions.GetLoop()); break;
    case kShuffle: actions.SetShuffle(!actions.GetShuffle()); break;
    case kNextFile: actions.SelectNextFile(); break;
    case kPreviousFile: actions.SelectPreviousFile(); break;
    case kHelp: actions.ShowHelp(); break;
    case kPlayListWindow: actions.ShowMainWindow(kPlayListWindowIndex); break;
    case kFileBrowser: actions.ShowMainWindow(kFileBrowserIndex); break;
    case kOptionsWindow: actions.ShowMainWindow(kOptionsWindowIndex); break;
    case kSkinBrowser: actions.ShowMainWindow(kSkinBrowserIndex); break;
    case kLogWindow: actions.ShowLogWindow(); break;
    case kExit: actions.Exit(); break;
    case kRestore: actions.RestoreAll(); break;
    case kNormalMode: actions.SetMode(0); break;
    case kSmallMode: actions.SetMode(1); break;
    case kMiniMode: actions.SetMode(2); break;
    case kOnTopNormalSmall: actions.ToggleOnTop(0); break;
    case kOnTopMini: actions.ToggleOnTop(2); break;
    case kPlayerDisplayNormal: actions.SetPlayerDisplayMode(0); break;
    case kPlayerDisplayFullScreen: actions.SetPlayerDisplayMode(1); break;
    case kVisualizerDisplayNormal: actions.SetVisualizerDisplayMode(0); break;
    case kVisualizerDisplayFullScreen: actions.SetVisualizerDisplayMode(1); break;
    case kFullScreenMode: actions.ToggleDisplayMode(); break;
    case kTogglePlayerOverride: actions.SetPlayerOverride(!actions.IsPlayerOverrideOn()); break;
    default: break;  // "Never mind", and commands of parts not built yet
  }
}

void RunButtonAction(int button, CMainWindowActions& actions) {
  switch (button) {
    case kButtonPlay: actions.Play(); break;
    case kButtonStop: actions.Stop(); break;
    case kButtonPause:
      actions.TogglePause();
      actions.SetButtonChecked(kButtonPause, actions.IsPaused());
      break;
    case kButtonNext: actions.SelectNextFile(); break;
    case kButtonPrevious: actions.SelectPreviousFile(); break;
    case kButtonLoop:
      actions.SetLoop(!actions.GetLoop());
      actions.SetButtonChecked(kButtonLoop, actions.GetLoop());
      break;
    case kButtonShuffle:
      actions.SetShuffle(!actions.GetShuffle());
      actions.SetButtonChecked(kButtonShuffle, actions.GetShuffle());
      break;
    case kButtonPlayList: actions.ShowMainWindow(kPlayListWindowIndex); break;
    case kButtonOptions: actions.ShowMainWindow(kOptionsWindowIndex); break;
    case kButtonSkinBrowser: actions.ShowMainWindow(kSkinBrowserIndex); break;
    case kButtonHelp: actions.ShowHelp(); break;
    case kButtonMinimize: actions.MinimizeAll(true); break;
    case kButtonSmall: actions.ToggleSmallMode(); break;
    case kButtonExit: actions.Exit(); break;
    case kButtonMenu: actions.ShowMainMenuAtCursor(); break;
    case kButtonInternet: actions.ShowInternetMenuAtCursor(); break;
    case kButtonMini: actions.ToggleMiniMode(); break;
    case kButtonBurn: actions.RecordPlayListToCD(); break;
    default: break;  // QuickPlay: not built yet
  }
}

}  // namespace mainwindow

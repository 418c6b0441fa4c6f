// The main menu and the tray menu.
#include "windows/main/MainMenus.h"

#include "app/ui/UserInterface.h"
#include "foundation/appcore/DateTimeText.h"
#include "foundation/errors/LocalText.h"
#include "windows/main/MainWindowIds.h"
#include "windows/main/MenuItems.h"

namespace mainwindow {

namespace {

bool HasFileEntries(const MainMenuState& state) {
  return state.playList && !CollectFileEntries(*state.playList, 1).empty();
}

// An item's text with the key of the built-in trigger that does the same.
CStr WithTriggerKey(const MainMenuState& state, const CStr& text, BuiltInTriggerId trigger) {
  return WithKey(text, state.triggerKeys[static_cast<size_t>(trigger)]);
}

void AddPlaybackItems(HMENU menu, const MainMenuState& state) {
  auto text = [&](const char* key, const char* defaultText, BuiltInTriggerId trigger) {
    return WithTriggerKey(state, LocalText(key, defaultText), trigger);
  };
  if (!state.playing) {
    AppendItem(menu, {kPlay, text("CMainWindow.Menu.Playback.Play", "Play", TRIGGER_PLAY)});
  } else {
    AppendItem(menu, {kStop, text("CMainWindow.Menu.Playback.Stop", "Stop", TRIGGER_STOP)});
    if (state.paused)
      AppendItem(menu, {kResume, text("CMainWindow.Menu.Playback.Resume", "Resume", TRIGGER_PAUSE)});
    else
      AppendItem(menu, {kPause, text("CMainWindow.Menu.Playback.Pause", "Pause", TRIGGER_PAUSE)});
  }
  AppendSeparator(menu);
  AppendItem(menu, {kLoop, text("CMainWindow.Menu.Playback.Loop", "Loop", TRIGGER_LOOP), false, state.loop});
  AppendItem(menu,
             {kShuffle, text("CMainWindow.Menu.Playback.Shuffle", "Shuffle", TRIGGER_SHUFFLE), false, state.shuffle});
  if (HasFileEntries(state)) {
    AppendSeparator(menu);
    AppendItem(menu, {kNextFile, text("CMainWindow.Menu.Playback.NextFile", "Next file", TRIGGER_NEXT_FILE)});
    AppendItem(menu,
               {kPreviousFile, text("CMainWindow.Menu.Playback.PrevFile", "Previous file", TRIGGER_PREVIOUS_FILE)});
    FillGoToMenu(AppendSubmenu(menu, kGoToMenu, LocalText("CMainWindow.Menu.Playback.GoToSubMenu", "Go to...")), state);
  }
  AppendSeparator(menu);
  HMENU volume =
      AppendSubmenu(menu, kVolumeMenu, LocalText("CMainWindow.Menu.Playback.Volume.Caption", "Change volume..."));
  for (UINT id = kVolumeFirst; id <= kVolumeLast; ++id)
    AppendItem(volume, {id, CStr::Format("%u %%", (id - kVolumeFirst) * 10)});
}

void AddMainWindowItems(HMENU menu, const MainMenuState& state) {
  constexpr UINT kModes[] = {kNormalMode, kSmallMode, kMiniMode};
  const char* const kModeKeys[][2] = {{"CMainWindow.Menu.MainWindow.NormalMode", "Normal size"},
                                      {"CMainWindow.Menu.MainWindow.SmallMode", "Small"},
                                      {"CMainWindow.Menu.MainWindow.MiniMode", "Mini"}};
  for (int mode = 0; mode < 3; ++mode)
    AppendItem(menu, {kModes[mode], LocalText(kModeKeys[mode][0], kModeKeys[mode][1]), true, state.mode == mode});
  AppendSeparator(menu);
  AppendItem(menu,
             {kOnTopNormalSmall,
              LocalText("CMainWindow.Menu.MainWindow.AlwaysOnTopNormalSmall", "Always on top in normal / small mode"),
              false, state.onTopNormalSmall});
  AppendItem(menu, {kOnTopMini, LocalText("CMainWindow.Menu.MainWindow.AlwaysOnTopMini", "Always on top in mini mode"),
                    false, state.onTopMini});
}

void AddOpenWindowItems(HMENU menu) {
  AppendItem(menu, {kPlayListWindow,
                    WithAltKey(LocalText("CMainWindow.Menu.OpenWindow.PlayListManager", "PlayList manager"), 'P')});
  AppendItem(menu,
             {kFileBrowser, WithAltKey(LocalText("CMainWindow.Menu.OpenWindow.FileBrowser", "File browser"), 'F')});
  AppendItem(menu, {kOptionsWindow,
                    WithAltKey(LocalText("CMainWindow.Menu.OpenWindow.OptionsWindow", "Options window"), 'O')});
  AppendItem(menu,
             {kSkinBrowser, WithAltKey(LocalText("CMainWindow.Menu.OpenWindow.SkinBrowser", "Skin browser"), 'S')});
  AppendItem(menu, {kLogWindow, WithAltKey(LocalText("CMainWindow.Menu.OpenWindow.LogWindow", "Log Window"), 'L')});
}

// The part only the main menu has: windows, skins, options, the Internet
// and the window's own settings.
void AddMainMenuItems(HMENU menu, const MainMenuState& state) {
  AppendItem(menu, {kQuickPlay, WithAltKey(LocalText("CMainWindow.Menu.QuickPlay", "QuickPlay..."), 'Q')});
  AppendItem(menu, {kPlayListWindow, WithAltKey(LocalText("CMainWindow.Menu.EditPlayList", "Playlists..."), 'P')});
  AppendSeparator(menu);
  AppendItem(menu, {kSkinBrowser, WithAltKey(LocalText("CMainWindow.Menu.ChangeSkin", "Change skin..."), 'S')});
  AppendItem(menu, {kOptionsWindow, WithAltKey(LocalText("CMainWindow.Menu.Options", "Change options..."), 'O')});
  AppendSeparator(menu);
  FillInternetMenu(AppendSubmenu(menu, kInternetMenu, LocalText("CMainWindow.Menu.Internet.Caption", "Internet")),
                   state.date);
  AppendSeparator(menu);
  AddMainWindowItems(
      AppendSubmenu(menu, kMainWindowMenu, LocalText("CMainWindow.Menu.MainWindow.Caption", "Main Window")), state);
  AppendSeparator(menu);
  AddOpenWindowItems(
      AppendSubmenu(menu, kOpenWindowMenu, LocalText("CMainWindow.Menu.OpenWindow.Caption", "Open Window")));
  AppendSeparator(menu);
}

void AddMenuItems(HMENU menu, const MainMenuState& state, MenuFor target) {
  if (target == MenuFor::kMainWindow)
    AddPlaybackItems(AppendSubmenu(menu, kPlaybackMenu, LocalText("CMainWindow.Menu.Playback.Caption", "Playback")),
                     state);
  else
    AddPlaybackItems(menu, state);
  AppendSeparator(menu);
  if (target == MenuFor::kMainWindow) AddMainMenuItems(menu, state);
  AppendItem(menu, {kHelp, WithKey(LocalText("CMainWindow.Menu.Help", "Help!"), CUserInterface::GetKeyName(VK_F1))});
  AppendSeparator(menu);
  AppendItem(menu, {kExit, LocalText("CMainWindow.Menu.Exit", "Exit")});
  if (target == MenuFor::kTray) {
    AppendSeparator(menu);
    AppendItem(menu, {kRestore, LocalText("CMainWindow.Menu.DeMinimize", "Open the player")});
    AppendSeparator(menu);
    AppendItem(menu, {kCloseMenu, LocalText("CMainWindow.Menu.CloseMenu", "Never mind")});
  }
}

}  // namespace

HMENU BuildMainMenu(const MainMenuState& state, MenuFor target) {
  return BuildPopupMenu("TrackPopupMenuFailed", "ERROR: unable to display popup menu",
                        [&](HMENU menu) { AddMenuItems(menu, state, target); });
}

CStr TodaysDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FormatDate(now, false);
}

}  // namespace mainwindow

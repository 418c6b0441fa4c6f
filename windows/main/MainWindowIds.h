// The numbers the main window's menus, buttons and tray icon share: command
// ids of menu items, button indices (which are also control ids), the menu
// kinds and the tray icon's message and pictures.
#pragma once

#include <windows.h>

namespace mainwindow {

// Menu commands.
enum Command : UINT {
  kPlaybackMenu = 1000,
  kPlay = 1001,
  kStop = 1002,
  kPause = 1003,
  kResume = 1004,
  kLoop = 1005,
  kShuffle = 1006,
  kNextFile = 1007,
  kPreviousFile = 1008,
  kVolumeMenu = 1009,
  kVolumeFirst = 1010,  // 0 %; 1020 is 100 %
  kVolumeLast = 1020,
  kHelp = 1021,
  kViewerMenu = 1030,
  kViewerNormalMenu = 1031,  // the normal and small main window's viewer
  kViewerNormalDeactivate = 1032,
  kViewerNormalPlayers = 1033,
  kViewerNormalVisualizers = 1034,
  kViewerNormalPlayersAndVisualizers = 1035,
  kViewerNormalDeactivateAllowMovies = 1036,
  kViewerMiniMenu = 1040,  // the mini main window's viewer
  kViewerMiniDeactivate = 1041,
  kViewerMiniPlayers = 1042,
  kViewerMiniVisualizers = 1043,
  kViewerMiniPlayersAndVisualizers = 1044,
  kViewerMiniDeactivateAllowMovies = 1045,
  kDisplayModeMenu = 1050,
  kPlayerDisplayModeMenu = 1051,
  kPlayerDisplayNormal = 1052,
  kPlayerDisplayFullScreen = 1053,
  kVisualizerDisplayModeMenu = 1054,
  kVisualizerDisplayNormal = 1055,
  kVisualizerDisplayFullScreen = 1056,
  kFullScreenMode = 1070,
  kQuickPlay = 1071,
  kOpenWindowMenu = 1075,
  kPlayListWindow = 1076,
  kFileBrowser = 1077,
  kOptionsWindow = 1078,
  kSkinBrowser = 1079,
  kLogWindow = 1080,
  kTogglePlayerOverride = 1100,  // no item: a trigger's command
  kExit = 1101,
  kRestore = 1102,
  kCloseMenu = 1103,
  kInternetMenu = 1110,
  kWebPageFirst = 1111,  // web page 0; 1120 is web page 9
  kWebPageLast = 1120,
  kMainWindowMenu = 1130,
  kNormalMode = 1131,
  kSmallMode = 1132,
  kMiniMode = 1133,
  kOnTopNormalSmall = 1134,
  kOnTopMini = 1135,
  kWhatsThisFirst = 1140,  // + introduction page index
  kGoToMenu = 1200,
  kGoToGroupFirst = 1201,  // the groups of 25 entries, in order
  kGoToFirst = 5000,       // + file entry number
  kGoToLast = 0xFFFF,      // commands travel in 16 bits
};

// Buttons by index; the index is the control id.
enum Button : int {
  kButtonPlay = 0,
  kButtonStop = 1,
  kButtonPause = 2,
  kButtonNext = 3,
  kButtonPrevious = 4,
  kButtonLoop = 5,
  kButtonShuffle = 6,
  kButtonPlayList = 7,
  kButtonOptions = 8,
  kButtonHelp = 9,
  kButtonMinimize = 10,
  kButtonSmall = 11,
  kButtonExit = 12,
  kButtonMenu = 13,
  kButtonInternet = 14,
  kButtonSkinBrowser = 15,
  kButtonMini = 16,
  kButtonBurn = 17,
  kButtonQuickPlay = 18,
  kButtonCount = 19,
};

// Other controls.
constexpr int kProgressBar = 100;
constexpr int kVolumeBar = 101;
constexpr int kTimeFieldFirst = 120;  // Time1; Time5 is 124
constexpr int kTimeFieldLast = 124;
constexpr int kInfoField = 150;

// The control each quick-introduction page points at, in page order
// (-1: none); a right click on a control offers "What's this?" for its page.
constexpr int kIntroPageControls[25] = {-1, 13, 0,  1, 2, 3,  4,  5,  6,  101, 100, 150, 120,
                                        17, 7,  18, 9, 8, 14, 15, 16, 10, 11,  12,  -1};

// What the menu on show is; a "Go to..." command counts only from kMainMenu.
enum MenuKind : int {
  kMainMenuKind = 0,  // the main menu or the tray menu
  kInternetMenuKind = 1,
  kWhatsThisMenuKind = 2,
};

// The main windows of the user interface, by index.
enum MainWindowIndex : int {
  kPlayListWindowIndex = 1,
  kFileBrowserIndex = 2,
  kSkinBrowserIndex = 3,
  kOptionsWindowIndex = 4,
};

// The tray icon: its message to the main window (lParam the mouse message)
// and its pictures among the program's icon resources.
constexpr UINT kTrayMessage = 1124;
constexpr WORD kTrayIconNormal = 135;
constexpr WORD kTrayIconHover = 136;
constexpr WORD kTrayIconMenu = 137;

}  // namespace mainwindow

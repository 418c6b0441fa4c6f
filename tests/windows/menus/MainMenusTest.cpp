// The main, tray, Internet and "What's this?" menus item by item, in the
// text form the reviewer's menu snapshots use.
#include <gtest/gtest.h>
#include <twlwin/testing_desktop.h>

#include <algorithm>
#include <functional>
#include <string>

#include "PlayListFixture.h"
#include "app/hooks/SnapshotTexts.h"
#include "foundation/errors/ThreadErrorState.h"
#include "windows/main/MainMenus.h"

using namespace mainwindow;

namespace {

// The menu's text form; the menu is destroyed.
std::string Taken(HMENU menu) {
  EXPECT_NE(menu, nullptr) << GetThreadErrorText().c_str();
  std::string text = DescribeMenuItems(menu);
  DestroyMenu(menu);
  return text;
}

std::string Built(const MainMenuState& state, MenuFor target) { return Taken(BuildMainMenu(state, target)); }

// The lines of `text` from the one that starts with `first` (after the
// indent) up to the next line of the same or less indent.
std::string Section(const std::string& text, const std::string& first) {
  const size_t start = text.find(first);
  if (start == std::string::npos) return "(no " + first + ")";
  const size_t lineStart = text.rfind('\n', start) == std::string::npos ? 0 : text.rfind('\n', start) + 1;
  const size_t indent = start - lineStart;
  size_t end = text.find('\n', start) + 1;
  while (end < text.size()) {
    const size_t next = text.find_first_not_of(' ', end);
    if (next - end <= indent) break;
    end = text.find('\n', end) + 1;
  }
  return text.substr(start, end - start);
}

constexpr char kVolumeItems[] =
    "1010 - 0 %\n1011 - 10 %\n1012 - 20 %\n1013 - 30 %\n1014 - 40 %\n1015 - 50 %\n1016 - 60 %\n1017 - 70 %\n"
    "1018 - 80 %\n1019 - 90 %\n1020 - 100 %\n";

// A state whose playback items show the built-in triggers' default keys.
MainMenuState WithDefaultKeys() {
  MainMenuState state;
  const char* const keys[] = {"P", "S", "Pause", "Down", "Up", "Home", "End", "L", "R"};
  for (size_t id = 0; id < std::size(keys); ++id) state.triggerKeys[id] = keys[id];
  return state;
}

std::string Indented(const std::string& lines, int depth) {
  std::string out;
  size_t at = 0;
  while (at < lines.size()) {
    const size_t end = lines.find('\n', at);
    out += std::string(2 * depth, ' ') + lines.substr(at, end - at + 1);
    at = end + 1;
  }
  return out;
}

}  // namespace

TEST(MainMenus, MainMenuOfAStoppedPlayerWithoutFilesHasEveryItemInOrder) {
  MainMenuState state = WithDefaultKeys();
  state.date = "11 December 2026";
  const std::string expected =
      "1000 p Playback\n"
      "  1001 - Play\\t[P]\n"
      "  0 s\n"
      "  1005 - Loop\\t[L]\n"
      "  1006 - Shuffle\\t[R]\n"
      "  0 s\n"
      "  1009 p Change volume...\n" +
      Indented(kVolumeItems, 2) +
      "0 s\n"
      "1071 - QuickPlay...\\t[Alt+Q]\n"
      "1076 - Playlists...\\t[Alt+P]\n"
      "0 s\n"
      "1079 - Change skin...\\t[Alt+S]\n"
      "1078 - Change options...\\t[Alt+O]\n"
      "0 s\n"
      "1110 p Internet\n"
      "  1111 - Recommend Program to a Friend\n"
      "  1112 - Today's Special Offers - 11 December 2026\n"
      "  0 s\n"
      "  1113 - Velbrook Free Newsletter\n"
      "  1114 - Velbrook Homepage\n"
      "  1115 - Velbrook Products\n"
      "  0 s\n"
      "  1116 - Download Skins\n"
      "  1117 - Download Plugins\n"
      "  1118 - Download Add-Ons\n"
      "  0 s\n"
      "  1119 - Velbrook Support\n"
      "  1120 - Online Update\n"
      "0 s\n"
      "1130 p Main Window\n"
      "  1131 rc Normal size\n"
      "  1132 r Small\n"
      "  1133 r Mini\n"
      "  0 s\n"
      "  1134 - Always on top in normal / small mode\n"
      "  1135 - Always on top in mini mode\n"
      "0 s\n"
      "1075 p Open Window\n"
      "  1076 - PlayList manager\\t[Alt+P]\n"
      "  1077 - File browser\\t[Alt+F]\n"
      "  1078 - Options window\\t[Alt+O]\n"
      "  1079 - Skin browser\\t[Alt+S]\n"
      "  1080 - Log Window\\t[Alt+L]\n"
      "0 s\n"
      "1021 - Help!\\t[F1]\n"
      "0 s\n"
      "1101 - Exit\n";
  EXPECT_EQ(Built(state, MenuFor::kMainWindow), expected);
}

TEST(MainMenus, PlaybackItemsAndMarksFollowThePlayerAndTheWindow) {
  struct Case {
    const char* why;
    MainMenuState state;
    const char* playbackStart;  // the Playback submenu up to its first separator
    const char* marks;          // the flags of the items that can be marked
  };
  auto state = [](bool playing, bool paused, bool loop, bool shuffle, int mode, bool onTop, bool onTopMini) {
    MainMenuState s = WithDefaultKeys();
    s.playing = playing;
    s.paused = paused;
    s.loop = loop;
    s.shuffle = shuffle;
    s.mode = mode;
    s.onTopNormalSmall = onTop;
    s.onTopMini = onTopMini;
    return s;
  };
  const Case cases[] = {
      {"stopped: Play alone", state(false, false, false, false, 0, false, false), "1001 - Play\\t[P]\n",
       "1005 -|1006 -|1131 rc|1132 r|1133 r|1134 -|1135 -"},
      {"playing: Stop and Pause", state(true, false, true, false, 1, true, false), "1002 - Stop\\t[S]\n1003 - Pause\\t[Pause]\n",
       "1005 c|1006 -|1131 r|1132 rc|1133 r|1134 c|1135 -"},
      {"paused: Resume instead of Pause", state(true, true, false, true, 2, false, true),
       "1002 - Stop\\t[S]\n1004 - Resume\\t[Pause]\n", "1005 -|1006 c|1131 r|1132 r|1133 rc|1134 -|1135 c"},
  };
  for (const Case& c : cases) {
    const std::string menu = Built(c.state, MenuFor::kMainWindow);
    const size_t first = menu.find("1000 p Playback\n") + 16;
    std::string start;
    for (size_t at = first; menu.compare(at, 5, "  0 s") != 0; at = menu.find('\n', at) + 1)
      start += menu.substr(at + 2, menu.find('\n', at) - at - 1);
    EXPECT_EQ(start, c.playbackStart) << c.why;
    std::string marks;
    for (const char* id : {"1005 ", "1006 ", "1131 ", "1132 ", "1133 ", "1134 ", "1135 "}) {
      const size_t at = menu.find(id);
      marks += (marks.empty() ? "" : "|") + menu.substr(at, menu.find(' ', at + 5) - at);
    }
    EXPECT_EQ(marks, c.marks) << c.why;
  }
}

TEST(MainMenus, TrayMenuHasThePlaybackItemsOnTopAndEndsWithRestoreAndNeverMind) {
  // The user's keys, and a trigger without keys (empty brackets).
  MainMenuState state = WithDefaultKeys();
  state.triggerKeys[TRIGGER_STOP] = "Ctrl+Alt+S";
  state.triggerKeys[TRIGGER_PAUSE] = "";
  state.playing = true;
  const std::string expected =
      "1002 - Stop\\t[Ctrl+Alt+S]\n"
      "1003 - Pause\\t[]\n"
      "0 s\n"
      "1005 - Loop\\t[L]\n"
      "1006 - Shuffle\\t[R]\n"
      "0 s\n"
      "1009 p Change volume...\n" +
      Indented(kVolumeItems, 1) +
      "0 s\n"
      "1021 - Help!\\t[F1]\n"
      "0 s\n"
      "1101 - Exit\n"
      "0 s\n"
      "1102 - Open the player\n"
      "0 s\n"
      "1103 - Never mind\n";
  EXPECT_EQ(Built(state, MenuFor::kTray), expected);
}

TEST(MainMenus, FileEntriesBringNextPreviousAndGoToWithNamesTitlesAndTheCurrentMark) {
  PlayListFixture playList;
  CPlayListFileEntry* first = playList.AddFile("first.wav");
  playList.SetTitle(first, "  A Title \t");
  CPlayListFolderEntry* folder = playList.AddFolder("folder");
  playList.AddFile("inside1.wav", &folder->GetContents());
  playList.AddFile("inside2.wav", &folder->GetContents());
  playList.AddFile("last.wav");
  MainMenuState state = WithDefaultKeys();
  state.playList = &playList.PlayList();
  state.currentEntry = 2;
  CriticalSection lock;
  state.infoLock = &lock;
  const std::string menu = Built(state, MenuFor::kMainWindow);
  EXPECT_NE(menu.find("  1006 - Shuffle\\t[R]\n  0 s\n  1007 - Next file\\t[Down]\n  1008 - Previous file\\t[Up]\n"
                      "  1200 p Go to...\n"),
            std::string::npos)
      << menu;
  EXPECT_EQ(Section(menu, "1200 p Go to..."),
            "1200 p Go to...\n"
            "    5000 r (1) first.wav - A Title\n"
            "    5001 r (2) inside1.wav\n"
            "    5002 rc (3) inside2.wav\n"
            "    5003 r (4) last.wav\n");
}

TEST(MainMenus, GoToGroupsOf25OnlyWhenThereAreMore) {
  struct Case {
    int files;
    const char* groups;  // the group lines, or the first and last item when there are none
  };
  const Case cases[] = {
      {25, "5000 r (1) f1.wav|5024 r (25) f25.wav"},
      {26, "1201 p 1 - 25|1202 p 26 - 26"},
      {60, "1201 p 1 - 25|1202 p 26 - 50|1203 p 51 - 60"},
  };
  for (const Case& c : cases) {
    PlayListFixture playList;
    playList.AddFiles(c.files);
    MainMenuState state;
    state.playList = &playList.PlayList();
    const std::string goTo = Section(Built(state, MenuFor::kTray), "1200 p Go to...");
    std::string found;
    for (size_t at = goTo.find('\n') + 1; at < goTo.size(); at = goTo.find('\n', at) + 1) {
      const std::string line = goTo.substr(at, goTo.find('\n', at) - at);
      const bool group = line.compare(0, 4, "  12") == 0;
      const bool edge = line.find("(1) ") != std::string::npos || line.find(" (25) ") != std::string::npos;
      if (group || (c.files <= 25 && edge)) found += (found.empty() ? "" : "|") + line.substr(2);
    }
    EXPECT_EQ(found, c.groups) << c.files << " files";
  }
  // The items of a group stand in it: 51 to 60 under the third.
  PlayListFixture playList;
  playList.AddFiles(60);
  MainMenuState state;
  state.playList = &playList.PlayList();
  const std::string third = Section(Built(state, MenuFor::kMainWindow), "1203 p 51 - 60");
  EXPECT_EQ(std::count(third.begin(), third.end(), '\n'), 11);
  EXPECT_NE(third.find("      5050 r (51) f51.wav\n"), std::string::npos) << third;
  EXPECT_NE(third.find("      5059 r (60) f60.wav\n"), std::string::npos) << third;
}

TEST(MainMenus, GoToOffersNoIdAboveTheSixteenBitsOfACommand) {
  PlayListFixture playList;
  playList.AddFiles(60540);
  MainMenuState state;
  state.playList = &playList.PlayList();
  HMENU menu = BuildMainMenu(state, MenuFor::kTray);
  ASSERT_NE(menu, nullptr);
  char text[64] = "";
  EXPECT_GT(GetMenuStringA(menu, 0xFFFF, text, sizeof text, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, "(60536) f60536.wav");
  // The last group ends with the last item offered.
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof text;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 1201 + 60536 / 25, FALSE, &info));
  EXPECT_STREQ(text, "60526 - 60536");
  EXPECT_FALSE(GetMenuItemInfoA(menu, 1201 + 60536 / 25 + 1, FALSE, &info));
  DestroyMenu(menu);
}

TEST(MainMenus, InternetAndWhatsThisMenusStandAlone) {
  EXPECT_EQ(Section(Taken(BuildInternetMenu("1 May 2027")), "1112"), "1112 - Today's Special Offers - 1 May 2027\n");
  EXPECT_EQ(Taken(BuildWhatsThisMenu(1)), "1141 - What's this?\n");
  EXPECT_FALSE(TodaysDate().IsEmpty());
}

TEST(MainMenus, AFailedMenuGivesNoMenuAndSaysWhyInTheThreadError) {
  PlayListFixture playList;
  playList.AddFiles(30);
  MainMenuState state;
  state.playList = &playList.PlayList();
  auto mainMenu = [&] { return BuildMainMenu(state, MenuFor::kMainWindow); };
  auto trayMenu = [&] { return BuildMainMenu(state, MenuFor::kTray); };
  struct Case {
    const char* why;
    std::function<void()> fail;
    std::function<HMENU()> build;
    const char* error;
  };
  const Case cases[] = {
      {"no main menu", [] { TwlTestFailMenuCreation(0); }, mainMenu, "ERROR: unable to display popup menu"},
      {"no tray menu", [] { TwlTestFailMenuCreation(0); }, trayMenu, "ERROR: unable to display popup menu"},
      {"no Playback submenu", [] { TwlTestFailMenuCreation(1); }, mainMenu, "Menu error: Unable to create menu."},
      {"no group of Go to", [] { TwlTestFailMenuCreation(2); }, trayMenu, "Menu error: Unable to create menu."},
      {"first item refused", [] { TwlTestFailMenuInsertion(0); }, mainMenu,
       "Menu error: Unable to add menu item to popup menu"},
      {"a Go to item refused", [] { TwlTestFailMenuInsertion(20); }, trayMenu,
       "Menu error: Unable to add menu item to popup menu"},
      {"a late item refused", [] { TwlTestFailMenuInsertion(90); }, mainMenu,
       "Menu error: Unable to add menu item to popup menu"},
      {"no Internet menu", [] { TwlTestFailMenuCreation(0); }, [] { return BuildInternetMenu("x"); },
       "Error creating menu."},
      {"no What's this menu", [] { TwlTestFailMenuCreation(0); }, [] { return BuildWhatsThisMenu(0); },
       "Error creating menu."},
      {"What's this refused", [] { TwlTestFailMenuInsertion(0); }, [] { return BuildWhatsThisMenu(0); },
       "Menu error: Unable to add menu item to popup menu"},
  };
  for (const Case& c : cases) {
    SetThreadError(0, 0, nullptr);
    c.fail();
    EXPECT_EQ(c.build(), nullptr) << c.why;
    EXPECT_STREQ(GetThreadErrorState()->text, c.error) << c.why;
    TwlTestResetMenus();
    // Nothing is left failing or half-built: the same menu builds now.
    HMENU again = c.build();
    EXPECT_NE(again, nullptr) << c.why;
    DestroyMenu(again);
  }
}

TEST(MainMenus, IntroPagesAreFoundByControlWithTheTimeFieldsAsOne) {
  const int pages[] = {-1, 13, 0, 1, 2, 3, 4, 5, 6, 101, 100, 150, 120, 17};
  struct Case {
    int control;
    int page;
  };
  const Case cases[] = {{13, 1}, {0, 2}, {101, 9}, {150, 11}, {120, 12}, {124, 12}, {125, -1}, {18, -1}};
  for (const Case& c : cases) EXPECT_EQ(FindIntroPage(c.control, pages), c.page) << c.control;
}

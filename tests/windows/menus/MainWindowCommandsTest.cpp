// The command table of the main window's menus and its button actions,
// against a recording stand-in for what they act on.
#include <gtest/gtest.h>

#include <string>

#include "PlayListFixture.h"
#include "windows/main/MainMenus.h"
#include "windows/main/MainWindowCommands.h"
#include "windows/main/MainWindowIds.h"

using namespace mainwindow;

namespace {

class RecordingActions : public CMainWindowActions {
 public:
  std::string calls;
  bool paused = false;
  bool loop = false;
  bool shuffle = false;
  const CPlayListEntryHolder* playList = nullptr;

  void Play() override { Add("Play"); }
  void Stop() override { Add("Stop"); }
  void Pause() override { Add("Pause"); }
  void Resume() override { Add("Resume"); }
  void TogglePause() override {
    paused = !paused;
    Add("TogglePause");
  }
  bool IsPaused() override { return paused; }
  bool GetLoop() override { return loop; }
  void SetLoop(bool on) override {
    loop = on;
    Add(std::string("SetLoop ") + (on ? "on" : "off"));
  }
  bool GetShuffle() override { return shuffle; }
  void SetShuffle(bool on) override {
    shuffle = on;
    Add(std::string("SetShuffle ") + (on ? "on" : "off"));
  }
  void SelectNextFile() override { Add("Next"); }
  void SelectPreviousFile() override { Add("Previous"); }
  void SetVolume(int volume) override { Add("Volume " + std::to_string(volume)); }
  void SetCurrentEntry(INT number) override { Add("Entry " + std::to_string(number)); }
  const CPlayListEntryHolder* GetPlayList() override { return playList; }
  void ShowHelp() override { Add("Help"); }
  void ShowMainWindow(int index) override { Add("Window " + std::to_string(index)); }
  void ShowLogWindow() override { Add("LogWindow"); }
  void OpenWebPage(int index) override { Add("WebPage " + std::to_string(index)); }
  void SetMode(int mode) override { Add("Mode " + std::to_string(mode)); }
  void ToggleOnTop(int mode) override { Add("OnTop " + std::to_string(mode)); }
  void ToggleSmallMode() override { Add("ToggleSmall"); }
  void ToggleMiniMode() override { Add("ToggleMini"); }
  void MinimizeAll(bool toTray) override { Add(toTray ? "MinimizeToTray" : "Minimize"); }
  void RestoreAll() override { Add("RestoreAll"); }
  void Exit() override { Add("Exit"); }
  void ShowMainMenuAtCursor() override { Add("MainMenu"); }
  void ShowInternetMenuAtCursor() override { Add("InternetMenu"); }
  void SetButtonChecked(int button, bool checked) override {
    Add("Button " + std::to_string(button) + (checked ? " checked" : " unchecked"));
  }
  void SetViewerModeFor(int kind, int mode) override {
    Add("ViewerMode " + std::to_string(kind) + " " + std::to_string(mode));
  }
  void SetViewerOverrideFor(int kind, bool on) override {
    Add("ViewerOverride " + std::to_string(kind) + (on ? " on" : " off"));
  }
  void SetPlayerDisplayMode(int mode) override { Add("PlayerDisplay " + std::to_string(mode)); }
  void SetVisualizerDisplayMode(int mode) override { Add("VisualizerDisplay " + std::to_string(mode)); }
  void ToggleDisplayMode() override { Add("ToggleDisplay"); }
  bool IsPlayerOverrideOn() override { return playerOverride; }
  void SetPlayerOverride(bool on) override {
    playerOverride = on;
    Add(std::string("PlayerOverride ") + (on ? "on" : "off"));
  }
  bool playerOverride = true;

 private:
  void Add(const std::string& call) { calls += (calls.empty() ? "" : ", ") + call; }
};

}  // namespace

TEST(MainWindowCommands, EachMenuCommandRunsItsActionAndUnbuiltOnesNothing) {
  struct Case {
    UINT id;
    const char* calls;
  };
  const Case cases[] = {
      {1001, "Play"},
      {1002, "Stop"},
      {1003, "Pause"},
      {1004, "Resume"},
      {1005, "SetLoop on"},
      {1006, "SetShuffle on"},
      {1007, "Next"},
      {1008, "Previous"},
      {1021, "Help"},
      {1076, "Window 1"},
      {1077, "Window 2"},
      {1078, "Window 4"},
      {1079, "Window 3"},
      {1080, "LogWindow"},
      {1101, "Exit"},
      {1102, "RestoreAll"},
      {1111, "WebPage 0"},
      {1112, "WebPage 1"},
      {1120, "WebPage 9"},
      {1131, "Mode 0"},
      {1132, "Mode 1"},
      {1133, "Mode 2"},
      {1134, "OnTop 0"},
      {1135, "OnTop 2"},
      {1032, "ViewerOverride 0 off, ViewerMode 0 0"},
      {1033, "ViewerMode 0 1"},
      {1034, "ViewerOverride 0 off, ViewerMode 0 2"},
      {1035, "ViewerOverride 0 on, ViewerMode 0 2"},
      {1036, "ViewerOverride 0 on, ViewerMode 0 0"},
      {1041, "ViewerOverride 2 off, ViewerMode 2 0"},
      {1042, "ViewerMode 2 1"},
      {1043, "ViewerOverride 2 off, ViewerMode 2 2"},
      {1044, "ViewerOverride 2 on, ViewerMode 2 2"},
      {1045, "ViewerOverride 2 on, ViewerMode 2 0"},
      {1052, "PlayerDisplay 0"},
      {1053, "PlayerDisplay 1"},
      {1055, "VisualizerDisplay 0"},
      {1056, "VisualizerDisplay 1"},
      {1070, "ToggleDisplay"},
      {1100, "PlayerOverride off"},
      // Nothing: "Never mind", submenus, parts not built yet, unknown ids.
      {1103, ""},
      {1000, ""},
      {1009, ""},
      {1030, ""},
      {1031, ""},
      {1040, ""},
      {1050, ""},
      {1054, ""},
      {1071, ""},
      {1110, ""},
      {1121, ""},
      {1140, ""},
      {1141, ""},
      {1200, ""},
      {1201, ""},
      {4999, ""},
      {0, ""},
  };
  for (const Case& c : cases) {
    RecordingActions actions;
    RunMenuCommand(c.id, nullptr, kMainMenuKind, actions);
    EXPECT_EQ(actions.calls, c.calls) << c.id;
  }
}

TEST(MainWindowCommands, VolumeItemsSetTenStepsOf256) {
  std::string volumes;
  for (UINT id = 1010; id <= 1020; ++id) {
    RecordingActions actions;
    RunMenuCommand(id, nullptr, kMainMenuKind, actions);
    volumes += actions.calls + ";";
  }
  EXPECT_EQ(volumes,
            "Volume 0;Volume 25;Volume 51;Volume 76;Volume 102;Volume 128;Volume 153;Volume 179;Volume 204;"
            "Volume 230;Volume 256;");
}

TEST(MainWindowCommands, LoopAndShuffleToggleWhatTheyFind) {
  RecordingActions actions;
  actions.loop = true;
  RunMenuCommand(1005, nullptr, kMainMenuKind, actions);
  RunMenuCommand(1006, nullptr, kMainMenuKind, actions);
  RunMenuCommand(1006, nullptr, kMainMenuKind, actions);
  EXPECT_EQ(actions.calls, "SetLoop off, SetShuffle on, SetShuffle off");
}

TEST(MainWindowCommands, ButtonsRunTheirActionsAndToggleButtonsShowTheNewState) {
  struct Case {
    int button;
    const char* calls;
  };
  const Case cases[] = {
      {0, "Play"},
      {1, "Stop"},
      {2, "TogglePause, Button 2 checked"},
      {3, "Next"},
      {4, "Previous"},
      {5, "SetLoop on, Button 5 checked"},
      {6, "SetShuffle on, Button 6 checked"},
      {7, "Window 1"},
      {8, "Window 4"},
      {9, "Help"},
      {10, "MinimizeToTray"},
      {11, "ToggleSmall"},
      {12, "Exit"},
      {13, "MainMenu"},
      {14, "InternetMenu"},
      {15, "Window 3"},
      {16, "ToggleMini"},
      {17, ""},  // Burn, QuickPlay: not built yet
      {18, ""},
      {19, ""},
      {-1, ""},
  };
  for (const Case& c : cases) {
    RecordingActions actions;
    RunButtonAction(c.button, actions);
    EXPECT_EQ(actions.calls, c.calls) << c.button;
  }
  RecordingActions actions;
  RunButtonAction(2, actions);
  RunButtonAction(2, actions);
  EXPECT_EQ(actions.calls, "TogglePause, Button 2 checked, TogglePause, Button 2 unchecked");
}

class GoToCommand : public testing::Test {
 protected:
  void SetUp() override {
    m_PlayList.AddFile("a.wav");
    CPlayListFolderEntry* folder = m_PlayList.AddFolder("folder");
    m_PlayList.AddFile("b.wav", &folder->GetContents());
    m_PlayList.AddFile("c.wav");
    m_Actions.playList = &m_PlayList.PlayList();
    m_State.playList = &m_PlayList.PlayList();
    m_Menu = BuildMainMenu(m_State, MenuFor::kMainWindow);
    ASSERT_NE(m_Menu, nullptr);
  }
  void TearDown() override { DestroyMenu(m_Menu); }

  PlayListFixture m_PlayList;
  MainMenuState m_State;
  RecordingActions m_Actions;
  HMENU m_Menu = nullptr;
};

TEST_F(GoToCommand, MakesTheItemsEntryCurrentByItsNumberAmongTheFiles) {
  RunMenuCommand(5001, m_Menu, kMainMenuKind, m_Actions);
  EXPECT_EQ(m_Actions.calls, "Entry 1");
  // An entry put before it while the menu was open: the item's entry wins.
  m_PlayList.PlayList().Insert(new CPlayListFileEntry(m_PlayList.Files().Get("file:///new.wav"), 100), 0);
  m_PlayList.PlayList().Renumber();
  m_Actions.calls.clear();
  RunMenuCommand(5002, m_Menu, kMainMenuKind, m_Actions);
  EXPECT_EQ(m_Actions.calls, "Entry 3");
}

TEST_F(GoToCommand, DoesNothingWithoutItsMenuOrEntry) {
  struct Case {
    const char* why;
    UINT id;
    bool withMenu;
    int kind;
  };
  const Case cases[] = {
      {"no menu on show", 5000, false, kMainMenuKind},
      {"from the Internet menu", 5000, true, kInternetMenuKind},
      {"from a What's this menu", 5000, true, kWhatsThisMenuKind},
      {"beyond the file entries", 5003, true, kMainMenuKind},
      {"highest id", 0xFFFF, true, kMainMenuKind},
  };
  for (const Case& c : cases) {
    RunMenuCommand(c.id, c.withMenu ? m_Menu : nullptr, c.kind, m_Actions);
    EXPECT_EQ(m_Actions.calls, "") << c.why;
  }
}

TEST_F(GoToCommand, AnEntryRemovedWhileTheMenuWasOpenChangesNothing) {
  // "c.wav", the third file, goes; the playlist still has three files, so
  // only the item's own entry can tell that it is gone.
  m_PlayList.RemoveAt(2);
  m_PlayList.AddFile("d.wav");
  RunMenuCommand(5002, m_Menu, kMainMenuKind, m_Actions);
  EXPECT_EQ(m_Actions.calls, "");
  RunMenuCommand(5000, m_Menu, kMainMenuKind, m_Actions);
  EXPECT_EQ(m_Actions.calls, "Entry 0");
}

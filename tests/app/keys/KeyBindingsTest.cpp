// The built-in triggers as the start loads them from Keys.ini, the file's
// entries read, written and removed, and the commands the triggers run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/keys/BuiltInTriggers.h"
#include "app/ui/UserInterface.h"
#include "playback/playersystem/PlayerSystem.h"
#include "support/TestPaths.h"

namespace {

// "CATEGORY|NAME|VALUE" of every trigger of the user interface, by line.
std::string ListedBindings() {
  std::string listed;
  CTriggerManager& triggers = GetUserInterface().GetTriggerManager();
  for (int index = 0; CTrigger* trigger = triggers.GetTrigger(index); ++index) {
    listed += std::string(trigger->GetCategory().c_str()) + "|" + trigger->GetName().c_str() + "|" +
              trigger->FormatKeys().c_str() + "\n";
    trigger->Release();
  }
  return listed;
}

class KeyBindings : public ::testing::Test {
 protected:
  void TearDown() override { GetUserInterface().ReleaseKeyBindings(); }
  std::string Load(const std::string& keysIni) {
    folder = twltest::MakeTempDir("program") + "/";
    if (!keysIni.empty()) twltest::WriteFile(folder + "Keys.ini", keysIni);
    GetUserInterface().LoadKeyBindings(folder.c_str());
    return ListedBindings();
  }
  std::string folder;
};

constexpr char kDefaults[] =
    "Main|Play|P,#250\n"
    "Main|Stop|S,#178\n"
    "Main|Pause|Pause,#179\n"
    "Main|Next File|Down,#176\n"
    "Main|Previous File|Up,#177\n"
    "Main|First File|Home\n"
    "Main|Last File|End\n"
    "Main|Loop|L\n"
    "Main|Shuffle|R\n"
    "Main|Increase Volume|PageUp+@hold,#175+@hold\n"
    "Main|Decrease Volume|PageDown+@hold,#174+@hold\n"
    "Main|Seek Back|Left+@hold\n"
    "Main|Seek Ahead|Right+@hold\n"
    "Main|Fullscreen|Alt+Enter,Ctrl+Alt+Enter\n"
    "Main|Menu|Context\n"
    "Main|Exit|Alt+F4\n"
    "Main/Fullscreen|Fullscreen Leave|Space,Enter,Escape\n"
    "Main/Fullscreen|Fullscreen Deactivate|Alt+TAB,Ctrl+Escape,Alt+Escape,Ctrl+Alt+Escape,#91,#92\n";

}  // namespace

TEST_F(KeyBindings, WithoutKeysIniEveryBuiltInTriggerHasItsDefaults) {
  EXPECT_EQ(Load(""), kDefaults);
  CTriggerManager& triggers = GetUserInterface().GetTriggerManager();
  for (int id = 0; id < BUILT_IN_TRIGGER_COUNT; ++id) {
    CTrigger* trigger = triggers.GetTrigger(id);
    ASSERT_NE(trigger, nullptr);
    EXPECT_EQ(trigger->GetId(), id);
    EXPECT_EQ(trigger->IsEnabled(), id < TRIGGER_FULLSCREEN_LEAVE) << "the full-screen triggers start disabled";
    trigger->Release();
  }
  // Nothing is written: the defaults stay the program's.
  EXPECT_FALSE(std::filesystem::exists(folder + "Keys.ini"));
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_PLAY).c_str(), "P");
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_INCREASE_VOLUME).c_str(), "Page up");
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_FULLSCREEN_LEAVE).c_str(), "") << "not in Main";
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(99).c_str(), "");
}

TEST_F(KeyBindings, TheUsersEntriesReplaceTheDefaultsOfTriggersWhoseKeysAreNotFixed) {
  const std::string keysIni =
      "[Main]\r\nPlay=\r\nStop=Ctrl+S\r\nExit=Ctrl+Q\r\nPause=@partitioned,Ctrl+P\r\nloop=L,K\r\n"
      "Seek Back = Shift+Left+@hold , Return\r\n[main/fullscreen]\r\nFullscreen Leave=Q\r\n[Other]\r\nShuffle=X\r\n";
  const std::string listed = Load(keysIni);
  std::string expected = kDefaults;
  auto replace = [&](const std::string& from, const std::string& to) { expected.replace(expected.find(from), from.size(), to); };
  replace("Main|Play|P,#250\n", "Main|Play|\n");
  replace("Main|Stop|S,#178\n", "Main|Stop|Ctrl+S\n");
  replace("Main|Loop|L\n", "Main|Loop|L,K\n");
  // What was understood of a value with a token that is no key.
  replace("Main|Seek Back|Left+@hold\n", "Main|Seek Back|Shift+Left+@hold,#0\n");
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(twltest::ReadFile(folder + "Keys.ini"), keysIni) << "read only";
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_PLAY).c_str(), "") << "no keys";
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_STOP).c_str(), "Ctrl+S");
  EXPECT_STREQ(GetUserInterface().GetMainTriggerKeyText(TRIGGER_SEEK_BACK).c_str(), "Shift+Left");
}

TEST_F(KeyBindings, AValueIsCutAt1999Characters) {
  std::string value;
  for (int i = 0; i < 999; ++i) value += "A,";
  value += "BC";  // characters 1999 and 2000: only the B is read
  Load("[Main]\r\nPlay=" + value + "\r\n");
  CTrigger* play = GetUserInterface().GetTriggerManager().FindTrigger("Main", TRIGGER_PLAY);
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->GetHotkeyCount(), 1000);
  EXPECT_EQ(play->GetHotkey(999)->GetKey(), static_cast<DWORD>('B'));
  EXPECT_TRUE(play->LoadKeys(false, nullptr)) << "the cut value reads without a fault";
  play->Release();
}

TEST_F(KeyBindings, EntriesAreWrittenWithCrLfAndRemoved) {
  Load("[Main]\r\nStop=S\r\n");
  CTrigger* play = GetUserInterface().GetTriggerManager().FindTrigger("Main", TRIGGER_PLAY);
  ASSERT_NE(play, nullptr);
  play->ParseKeys("Ctrl+P,PageUp+@hold");
  play->SaveKeys();
  EXPECT_EQ(twltest::ReadFile(folder + "Keys.ini"), "[Main]\r\nStop=S\r\nPlay=Ctrl+P,PageUp+@hold\r\n");
  bool found = false;
  play->ParseKeys("Q");
  EXPECT_TRUE(play->LoadKeys(false, &found));
  EXPECT_TRUE(found);
  EXPECT_STREQ(play->FormatKeys().c_str(), "Ctrl+P,PageUp+@hold");
  play->AddRef();  // the reference DeleteKeysAndRelease gives up
  play->DeleteKeysAndRelease();
  EXPECT_EQ(twltest::ReadFile(folder + "Keys.ini"), "[Main]\r\nStop=S\r\n");
  // Absent: kept, or cleared when asked.
  EXPECT_FALSE(play->LoadKeys(false, &found));
  EXPECT_FALSE(found);
  EXPECT_EQ(play->GetHotkeyCount(), 2);
  EXPECT_TRUE(play->LoadKeys(true, &found));
  EXPECT_FALSE(found);
  EXPECT_EQ(play->GetHotkeyCount(), 0);
  // A closed database reads and writes nothing.
  GetUserInterface().GetTriggerDatabase().Close();
  play->ParseKeys("Q");
  play->SaveKeys();
  EXPECT_FALSE(play->LoadKeys(true, &found));
  EXPECT_STREQ(play->FormatKeys().c_str(), "Q");
  EXPECT_EQ(twltest::ReadFile(folder + "Keys.ini"), "[Main]\r\nStop=S\r\n");
  play->Release();
}

TEST_F(KeyBindings, BuiltInTriggersRunThePlayersCommands) {
  Load("[Main]\r\nLoop=Ctrl+L\r\n");
  CPlayerSystem& players = GetPlayerSystem();
  CTriggerManager& triggers = GetUserInterface().GetTriggerManager();
  const bool loop = players.GetLoop();
  triggers.FireKey('L', 0);
  EXPECT_EQ(players.GetLoop(), loop) << "L is no longer bound";
  triggers.FireKey('L', CHotkey::kCtrl);
  EXPECT_EQ(players.GetLoop(), !loop);
  const bool shuffle = players.GetShuffle();
  triggers.FireKey('R', 0);
  EXPECT_EQ(players.GetShuffle(), !shuffle);
  players.SetVolume(100);
  triggers.FireKey(VK_PRIOR, 0);
  triggers.FireKey(VK_PRIOR, CHotkey::kHold);
  EXPECT_EQ(players.GetVolume(), 150) << "a first press and a repeat";
  triggers.FireKey(VK_NEXT, CHotkey::kHold);
  EXPECT_EQ(players.GetVolume(), 125);
  // Space, Enter and Escape do nothing outside full screen; Exit ends the
  // message loop.
  MSG message{};
  for (DWORD key : {VK_SPACE, VK_RETURN, VK_ESCAPE}) triggers.FireKey(key, 0);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  triggers.FireKey(VK_F4, CHotkey::kAlt);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
  // The full-screen triggers act once full screen is shown.
  CTrigger* leave = triggers.FindTrigger("Main/Fullscreen", TRIGGER_FULLSCREEN_LEAVE);
  ASSERT_NE(leave, nullptr);
  EXPECT_FALSE(leave->Matches(VK_ESCAPE, 0));
  GetUserInterface().EnableFullscreenTriggers(true);
  EXPECT_TRUE(leave->Matches(VK_ESCAPE, 0));
  leave->Release();
}

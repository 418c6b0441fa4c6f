// Keys pressed in the main window: every key message reaches the user
// interface's key events with the modifiers held, and the bindings run
// their commands there (the Menu key opens the main menu at the window's
// centre, showing the user's keys beside its commands).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "app/keys/BuiltInTriggers.h"
#include "twlwin/testing_desktop.h"

namespace maintest {
namespace {

class KeyEventRecorder : public CKeyEventListener {
 public:
  explicit KeyEventRecorder(std::vector<std::string>& events) : m_Events(events) {}
  void OnKeyEvent(DWORD key, DWORD flags) override {
    if (key != VK_CONTROL && key != VK_MENU && key != VK_SHIFT)
      m_Events.push_back(std::to_string(key) + "/" + std::to_string(flags));
  }

 private:
  std::vector<std::string>& m_Events;
};

class MainWindowKeysTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Make();
    ui().SetMainWindow(0, &window);
    SetForegroundWindow(window.GetWindowHandle());
    SetFocus(window.GetWindowHandle());
  }
  void TearDown() override {
    ui().ExitKeyEvents();
    ui().ReleaseKeyBindings();
    ui().SetMainWindow(0, nullptr);
    TwlTestSetMenuScript(nullptr, nullptr);
    MainWindowTest::TearDown();
  }
  // Presses the keys in order and releases them in the reverse order.
  static void Press(std::initializer_list<UINT> keys) {
    for (UINT key : keys) ASSERT_TRUE(TwlTestKey(key, TRUE)) << key;
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) ASSERT_TRUE(TwlTestKey(*key, FALSE)) << *key;
    TwlTestPumpMessages();
  }
};

TEST_F(MainWindowKeysTest, EveryKeyMessageBecomesAKeyEventWithTheModifiersHeld) {
  std::vector<std::string> events;
  auto* recorder = new KeyEventRecorder(events);
  ui().GetKeyEventManager().AddListener(recorder);
  recorder->Release();
  Press({'P'});
  Press({VK_CONTROL, 'P'});
  Press({VK_MENU, VK_F4});  // system keys
  Press({VK_SHIFT, VK_CONTROL, VK_HOME});
  // A held key repeats its key-down.
  ASSERT_TRUE(TwlTestKey(VK_PRIOR, TRUE));
  ASSERT_TRUE(TwlTestKey(VK_PRIOR, TRUE));
  ASSERT_TRUE(TwlTestKey(VK_PRIOR, FALSE));
  TwlTestPumpMessages();
  const std::vector<std::string> expected = {
      "80/1",  "80/2",              // down; up (previous state down)
      "80/5",  "80/6",              // with Ctrl
      "115/9", "115/10",            // with Alt
      "36/21", "36/22",             // with Ctrl and Shift
      "33/1",  "33/3",  "33/2",     // down, repeat, up
  };
  EXPECT_EQ(events, expected);
}

TEST_F(MainWindowKeysTest, TheMenuKeyOpensTheMainMenuAtTheCentreWithTheUsersKeys) {
  const std::string folder = twltest::MakeTempDir("program") + "/";
  twltest::WriteFile(folder + "Keys.ini", "[Main]\r\nPlay=Ctrl+P\r\nLoop=\r\n");
  ui().LoadKeyBindings(folder.c_str());
  ui().InitKeyEvents();
  window.SetPosition(100, 80);
  const int tracks = TwlTestMenuTrackCount();
  Press({VK_APPS});
  ASSERT_EQ(TwlTestMenuTrackCount(), tracks + 1);
  TWL_MENU_TRACK track{};
  char menu[8192] = "";
  ASSERT_TRUE(TwlTestGetMenuTrack(tracks, &track, menu, sizeof menu));
  EXPECT_EQ(track.owner, window.GetWindowHandle());
  EXPECT_EQ(track.flags, static_cast<UINT>(TPM_RIGHTBUTTON));
  EXPECT_EQ(track.at.x, 100 + window.GetWidth() / 2);
  EXPECT_EQ(track.at.y, 80 + window.GetHeight() / 2);
  const std::string text = menu;
  EXPECT_NE(text.find("1001 Play\t[Ctrl+P]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("1005 Loop\t[]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("1006 Shuffle\t[R]\n"), std::string::npos) << text;
  // Keys no trigger holds run nothing; Alt+F4 ends the message loop.
  Press({'P'});
  EXPECT_EQ(TwlTestMenuTrackCount(), tracks + 1);
  MSG quit{};
  Press({VK_MENU, VK_F4});
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace maintest

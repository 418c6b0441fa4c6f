// The user-interface options as the registry holds them (seeded with
// sqlite3, as another program or an old version could have left them),
// written back by the setters, and the question and notice around the
// start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxMessageBox.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/testing_user.h"

namespace {

// A fresh settings key with a marker value, so that sqlite3 finds the key.
class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetSystem().SetInstance(GetModuleHandleA(nullptr));
    GetSystem().InitDirectories();
    RegDeleteKeyA(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExA(key, "Seed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    TwlTestResetMessageBoxes();
    if (!ui().GetMessageWindowHandle()) ui().InitDisplay();
  }
  void TearDown() override {
    ui().ExitDisplay();
    TwlTestResetMessageBoxes();
    SetQuitting(false);
  }

  // Stores a value's raw bytes (hex) and type beside the marker.
  static void Seed(const std::string& name, DWORD type, const std::string& hex) {
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string sql = "insert or replace into reg_values(key, name, folded, type, data) select key, '" + name +
                            "', '" + folded + "', " + std::to_string(type) + ", x'" + hex +
                            "' from reg_values where name = 'Seed';";
    ASSERT_EQ(twltest::RunCommand("sqlite3 '" + std::string(std::getenv("TWL_REGISTRY")) + "' \"" + sql + "\""), 0);
  }
  static std::string HexOf(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) hex += std::string{digits[c >> 4], digits[c & 15]};
    return hex + "00";
  }
  // The stored DWORD; -1 when missing.
  static long long Stored(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
      return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
  }
  static std::string StoredText(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(GetSystem().GetSettingsRoot(), GetSystem().GetSettingsPath(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
      return "";
    char text[1024] = "";
    DWORD size = sizeof text, type = 0;
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return text;
  }
  static std::string Skins() { return GetSystem().GetSkinsFolder().c_str(); }
  static CUserInterface& ui() { return GetUserInterface(); }

  twltest::RecordingLogFront log;
};

}  // namespace

TEST_F(OptionsTest, StoredSkinNamesMeanWhatTheirFormSays) {
  struct Case {
    const char* why;
    const char* stored;  // null: no value
    std::string expected;
  } cases[] = {
      {"a bare file name lies in the Skins folder", "Blue.s4u", Skins() + "Blue.s4u"},
      {"a relative path lies below the Skins folder", "Sub\\Blue.s4u", Skins() + "Sub\\Blue.s4u"},
      {"a drive-letter path is kept", "D:\\Skins\\Blue.s4u", "D:\\Skins\\Blue.s4u"},
      {"a network path is kept", "\\\\server\\Blue.s4u", "\\\\server\\Blue.s4u"},
      {"the built-in skin", "<default>", "<default>"},
      {"an empty name is kept", "", ""},
      {"no value: the built-in skin", nullptr, "<default>"},
  };
  for (const Case& c : cases) {
    RegDeleteValueA(HKEY_CURRENT_USER, "");
    if (c.stored) Seed("Skin", REG_SZ, HexOf(c.stored));
    else Seed("Skin", REG_DWORD, "01000000");
    ui().LoadOptions();
    EXPECT_EQ(std::string(ui().GetSkinName().c_str()), c.expected) << c.why;
  }
}

TEST_F(OptionsTest, OddValuesReadAsTheirDefaults) {
  Seed("Mode", REG_DWORD, "07000000");
  Seed("PrevMode", REG_DWORD, "01000000");
  Seed("WindowDocking", REG_DWORD, "0100000000000000");  // 8 bytes: not a DWORD
  Seed("TooltipsEnabled", REG_DWORD, "00000000");
  Seed("MiniMainWindowOnTop", REG_DWORD, "05000000");  // any non-zero value is on
  Seed("UpdateNotification", REG_SZ, HexOf("0"));      // wrong type
  ui().LoadOptions();
  EXPECT_EQ(ui().GetMode(), 0) << "mode 7 is normal";
  EXPECT_EQ(ui().GetPrevMode(), 1);
  EXPECT_FALSE(ui().IsWindowDockingOn()) << "an 8-byte value keeps the default";
  EXPECT_FALSE(ui().AreTooltipsEnabled());
  EXPECT_TRUE(ui().IsOnTop(2));
  EXPECT_FALSE(ui().IsOnTop(0));
  EXPECT_TRUE(ui().IsUpdateNotificationOn());
  EXPECT_TRUE(ui().IsWindowAnimationOn());
}

TEST_F(OptionsTest, ASkinInTheSkinsFolderIsSavedRelativeWhateverTheCase) {
  std::string otherCase = Skins();
  for (char& c : otherCase) c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c)
                                                                                                 : std::toupper(c));
  ui().SetSkinName((otherCase + "Blue.s4u").c_str());
  ui().SaveSkinOption();
  EXPECT_EQ(StoredText("Skin"), "Blue.s4u");
  ui().SetSkinName("/elsewhere/Red.s4u");
  ui().SaveSkinOption();
  EXPECT_EQ(StoredText("Skin"), "/elsewhere/Red.s4u");
  ui().SetSkinName("<default>");
}

TEST_F(OptionsTest, ModeTogglesReturnWhereTheyCameFromAndAreStored) {
  ui().LoadOptions();
  ui().SetMode(1);
  ui().ToggleMiniMode();
  EXPECT_EQ(ui().GetMode(), 2);
  ui().ToggleMiniMode();
  EXPECT_EQ(ui().GetMode(), 1) << "mini and back from small gives small";
  EXPECT_EQ(Stored("Mode"), 1);
  EXPECT_EQ(Stored("PrevMode"), 2);
  ui().ToggleSmallMode();
  EXPECT_EQ(ui().GetMode(), 0);
  ui().ToggleMiniMode();
  ui().ToggleSmallMode();
  EXPECT_EQ(ui().GetMode(), 0) << "small mode's toggle leaves mini for normal";
  ui().ToggleOnTop(2);
  EXPECT_EQ(Stored("MiniMainWindowOnTop"), 0);
  EXPECT_EQ(Stored("MainWindowOnTop"), 0);
}

TEST_F(OptionsTest, AnimationOffForTheHardwareIsToldOnceAndTheChoiceKept) {
  Seed("WindowAnimation", REG_DWORD, "01000000");
  ui().LoadOptions();
  ui().DecideWindowAnimation(false);
  EXPECT_FALSE(ui().IsWindowAnimationOn());
  ui().SetWindowAnimation(false, true);
  ui().ShowStartupNotices();
  ASSERT_EQ(TwlTestMessageBoxCount(), 1);
  char caption[128] = "";
  UINT type = 0;
  TwlTestGetMessageBox(0, nullptr, 0, caption, sizeof caption, &type, nullptr);
  EXPECT_STREQ(caption, "Window animation disabled");
  EXPECT_EQ(type & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_EQ(Stored("UserInformedAboutAnimationIncompatibility"), 1);
  EXPECT_EQ(Stored("WindowAnimation"), 1) << "the user's choice survives";

  // The next start on the same hardware says nothing.
  ui().LoadOptions();
  ui().DecideWindowAnimation(false);
  ui().ShowStartupNotices();
  EXPECT_EQ(TwlTestMessageBoxCount(), 1);

  // Hardware that can animate forgets the notice, for a later change.
  ui().LoadOptions();
  ui().DecideWindowAnimation(true);
  EXPECT_TRUE(ui().IsWindowAnimationOn());
  EXPECT_EQ(Stored("UserInformedAboutAnimationIncompatibility"), 0);
}

TEST_F(OptionsTest, TheFirstStartQuestionKeepsOrTurnsOffTheUpdateCheck) {
  struct Case {
    const char* why;
    const char* stored;  // hex of the stored DWORD; null: none
    int scripted;        // button number; 0: none
    int boxes;
    long long expected;
  } cases[] = {
      {"the first button keeps it", nullptr, 1, 1, -1},
      {"the default button keeps it", nullptr, 0, 1, -1},
      {"the second button turns it off", nullptr, 2, 1, 0},
      {"off already: nothing asked", "00000000", 1, 0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.stored) Seed("UpdateNotification", REG_DWORD, c.stored);
    if (c.scripted) TwlTestPushMessageBoxAnswer(c.scripted);
    ui().LoadOptions();
    ui().AskUpdateCheck();
    EXPECT_EQ(TwlTestMessageBoxCount(), c.boxes) << c.why << log.Text();
    EXPECT_EQ(Stored("UpdateNotification"), c.expected) << c.why;
  }
  char caption[128] = "";
  SetUp();
  ui().LoadOptions();
  ui().AskUpdateCheck();
  TwlTestGetMessageBox(0, nullptr, 0, caption, sizeof caption, nullptr, nullptr);
  EXPECT_STREQ(caption, "Automatically check for updates?");
}

TEST_F(OptionsTest, AQuitDuringTheQuestionEndsTheStartAndLeavesTheAnswerOpen) {
  CSystem system;
  system.SetInstance(GetModuleHandleA(nullptr));
  system.InitDirectories();
  system.ExtractVersion();
  system.ReadFirstStart();
  ASSERT_TRUE(system.IsFirstStart());
  // As PostQuitToMainWindow does: a posted WM_QUIT, taken in turn.
  PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
  system.Init();
  EXPECT_TRUE(IsQuitting());
  EXPECT_EQ(TwlTestMessageBoxCount(), 1) << "the question was up";
  EXPECT_EQ(Stored("FirstStart"), -1) << "the start did not complete";
  EXPECT_EQ(Stored("UpdateNotification"), -1) << "nobody answered";
  system.Exit();
}

// Without a display the skinned box cannot be made; the answer still comes,
// from the system's box with the same type.
TEST(SkinnedMessageBox, WithoutADisplayTheBoxStillAnswers) {
  TwlTestResetMessageBoxes();
  GetUserInterface().ExitDisplay();
  EXPECT_EQ(AuxMessageBox(nullptr, "Go on?", "Question", MB_YESNO | MB_DEFBUTTON2), IDNO);
  ASSERT_EQ(TwlTestMessageBoxCount(), 1);
  UINT type = 0;
  TwlTestGetMessageBox(0, nullptr, 0, nullptr, 0, &type, nullptr);
  EXPECT_EQ(type, MB_YESNO | MB_DEFBUTTON2);
  TwlTestResetMessageBoxes();
}

// The key names the menus show beside their commands, and opening a web
// page from a menu.
#include <gtest/gtest.h>
#include <twlwin/testing_desktop.h>

#include "app/ui/UserInterface.h"
#include "foundation/kernel/Localizer.h"
#include "support/RecordingLogFront.h"

TEST(KeyNames, OwnNamesFirstThenTheKeyboards) {
  struct Case {
    UINT key;
    const char* name;
  };
  const Case cases[] = {
      {'A', "A"},
      {'Z', "Z"},
      {'0', "0"},
      {'9', "9"},
      {112, "F1"},
      {135, "F24"},
      {96, "Num0"},
      {103, "Num7"},
      {8, "Backspace"},
      {9, "TAB"},
      {13, "Enter"},
      {16, "Shift"},
      {17, "Ctrl"},
      {18, "Alt"},
      {27, "Escape"},
      {32, "Spacebar"},
      {33, "Page up"},
      {34, "Page down"},
      {37, "Left"},
      {40, "Down"},
      {46, "Delete"},
      {93, "Context key"},
      // Not in the program's table: the keyboard's name, or none.
      {0, ""},
      {0xFF, ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(CUserInterface::GetKeyName(c.key).c_str(), c.name) << c.key;
  // A key only the keyboard names gives the keyboard's name.
  const CStr system = CUserInterface::GetSystemKeyName(VK_MULTIPLY, false);
  EXPECT_FALSE(system.IsEmpty());
  EXPECT_EQ(CUserInterface::GetKeyName(VK_MULTIPLY), system);
}

TEST(KeyNames, LocalisedTextsFillTheirDigit) {
  GetLocalizer().AddString("KeyName.Alt", "Wahl");
  GetLocalizer().AddString("KeyName.Fx", "Funktion %DIGIT%");
  GetLocalizer().AddString("KeyName.NumPadDigit", "Block %DIGIT%");
  EXPECT_STREQ(CUserInterface::GetKeyName(18).c_str(), "Wahl");
  EXPECT_STREQ(CUserInterface::GetKeyName(116).c_str(), "Funktion 5");
  EXPECT_STREQ(CUserInterface::GetKeyName(105).c_str(), "Block 9");
  // The localizer is the process's: the English texts go back for the tests
  // that run after this one in the same process.
  GetLocalizer().AddString("KeyName.Alt", "Alt");
  GetLocalizer().AddString("KeyName.Fx", "F%DIGIT%");
  GetLocalizer().AddString("KeyName.NumPadDigit", "Num%DIGIT%");
}

TEST(WebBrowser, OpensThePageOrLogsWhyNot) {
  twltest::RecordingLogFront log;
  TwlTestRecordShellLaunches(TRUE);
  EXPECT_TRUE(CUserInterface::StartWebBrowser("https://example.org/a"));
  TWL_SHELL_LAUNCH launch{};
  ASSERT_EQ(TwlTestShellLaunchCount(), 1);
  ASSERT_TRUE(TwlTestGetShellLaunch(0, &launch));
  EXPECT_STREQ(launch.call, "ShellExecute");
  EXPECT_STREQ(launch.verb, "open");
  EXPECT_STREQ(launch.target, "https://example.org/a");
  EXPECT_TRUE(log.Entries().empty());

  TwlTestPushShellResult(SE_ERR_NOASSOC);
  EXPECT_FALSE(CUserInterface::StartWebBrowser("https://example.org/b"));
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Entries()[0].category, 0x100u);
  EXPECT_EQ(log.Entries()[0].text,
            "Error starting web browser. Please make sure that you have a web browser (like Internet Explorer or "
            "Opera) installed.\n");
}

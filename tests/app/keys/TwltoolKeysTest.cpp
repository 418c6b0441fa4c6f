// `twltool hotkey` and `twltool keys` as a reviewer runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

struct KeysToolRun {
  int exitCode = -1;
  std::string out;
};

KeysToolRun RunTwltool(const std::string& arguments) {
  KeysToolRun run;
  const int status =
      twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' " + arguments + " 2>/dev/null", &run.out);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The line of `text` that starts with `start`, without its line end.
std::string LineOf(const std::string& text, const std::string& start) {
  const size_t at = text.find("\n" + start);
  if (at == std::string::npos) return text.starts_with(start) ? text.substr(0, text.find('\n')) : "(none)";
  return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

}  // namespace

TEST(TwltoolKeys, HotkeyPrintsValidityKeyModifiersAndBothTexts) {
  const KeysToolRun run = RunTwltool(
      "hotkey ctrl+alt+return Ctrl+Alt+Enter Ctrl+P+Q PageUp+@hold @hold F24 F25 F0 Num7 NUM7 '#186' NumSep Alt+F4 "
      "Space");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "ctrl+alt+return\t0 0 3\tCtrl+Alt+#0\tCtrl+Alt+\n"
            "Ctrl+Alt+Enter\t1 13 3\tCtrl+Alt+Enter\tCtrl+Alt+Enter\n"
            "Ctrl+P+Q\t1 80 1\tCtrl+P\tCtrl+P\n"
            "PageUp+@hold\t1 33 8\tPageUp+@hold\tPage up\n"
            "@hold\t1 0 8\t#0+@hold\t\n"
            "F24\t1 135 0\tF24\tF24\n"
            "F25\t0 0 0\t#0\t\n"
            "F0\t0 0 0\t#0\t\n"
            "Num7\t1 103 0\tNum7\tNum7\n"
            "NUM7\t1 103 0\tNum7\tNum7\n"
            "#186\t1 186 0\t#186\t;\n"
            "NumSep\t1 108 0\t#108\t\n"
            "Alt+F4\t1 115 2\tAlt+F4\tAlt+F4\n"
            "Space\t1 32 0\tSpace\tSpacebar\n");
  EXPECT_EQ(RunTwltool("hotkey").exitCode, 1);
}

TEST(TwltoolKeys, KeysListsTheBindingsAndWhatAKeyWouldRun) {
  const std::string folder = twltest::MakeTempDir("program");
  const std::string fires =
      " --fire P --fire Ctrl+S --fire PageUp+@hold --fire Left+@hold --fire Space --fire Escape --fire Alt+Enter";
  const KeysToolRun defaults = RunTwltool("keys --program-folder '" + folder + "'" + fires);
  ASSERT_EQ(defaults.exitCode, 0);
  EXPECT_TRUE(defaults.out.starts_with("trigger Main\tPlay\tP,#250\ntrigger Main\tStop\tS,#178\n")) << defaults.out;
  EXPECT_EQ(LineOf(defaults.out, "trigger Main\tIncrease Volume"),
            "trigger Main\tIncrease Volume\tPageUp+@hold,#175+@hold");
  EXPECT_EQ(LineOf(defaults.out, "trigger Main/Fullscreen\tFullscreen Deactivate"),
            "trigger Main/Fullscreen\tFullscreen Deactivate\tAlt+TAB,Ctrl+Escape,Alt+Escape,Ctrl+Alt+Escape,#91,#92");
  const size_t fire = defaults.out.find("fire ");
  EXPECT_EQ(defaults.out.substr(fire),
            "fire P: Play\n"
            "fire Ctrl+S:\n"
            "fire PageUp+@hold: Increase Volume\n"
            "fire Left+@hold: Seek Back\n"
            "fire Space:\n"
            "fire Escape:\n"
            "fire Alt+Enter: Fullscreen\n");
  int triggers = 0;
  for (size_t at = defaults.out.find("trigger "); at != std::string::npos; at = defaults.out.find("\ntrigger ", at + 1))
    ++triggers;
  EXPECT_EQ(triggers, 18);

  const std::string keysIni = "[Main]\r\nPlay=\r\nStop=Ctrl+S\r\nExit=Ctrl+Q\r\nPause=@partitioned,Ctrl+P\r\nloop=L,K\r\n";
  twltest::WriteFile(folder + "/Keys.ini", keysIni);
  const KeysToolRun user = RunTwltool("keys --program-folder '" + folder + "'" + fires + " --fire K --fire Ctrl+Q");
  ASSERT_EQ(user.exitCode, 0);
  EXPECT_EQ(LineOf(user.out, "trigger Main\tPlay"), "trigger Main\tPlay\t");
  EXPECT_EQ(LineOf(user.out, "trigger Main\tStop"), "trigger Main\tStop\tCtrl+S");
  EXPECT_EQ(LineOf(user.out, "trigger Main\tExit"), "trigger Main\tExit\tAlt+F4");
  EXPECT_EQ(LineOf(user.out, "trigger Main\tPause"), "trigger Main\tPause\tPause,#179");
  EXPECT_EQ(LineOf(user.out, "trigger Main\tLoop"), "trigger Main\tLoop\tL,K");
  EXPECT_EQ(LineOf(user.out, "fire P:"), "fire P:");
  EXPECT_EQ(LineOf(user.out, "fire Ctrl+S:"), "fire Ctrl+S: Stop");
  EXPECT_EQ(LineOf(user.out, "fire K:"), "fire K: Loop");
  EXPECT_EQ(LineOf(user.out, "fire Ctrl+Q:"), "fire Ctrl+Q:");
  EXPECT_EQ(twltest::ReadFile(folder + "/Keys.ini"), keysIni) << "the file is only read";

  for (const char* bad : {"keys --fire", "keys --fire Return", "keys --program-folder", "keys --all"})
    EXPECT_EQ(RunTwltool(bad).exitCode, 1) << bad;
}

// The help files of a program folder with and without the old help file,
// the compiled help and a program for it (the shell's launches recorded),
// the topic pages, the maker's web pages, and the text the build puts
// beside the program for a desktop that cannot open compiled help.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/ui/HelpFiles.h"
#include "app/ui/UserInterface.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/testing_user.h"

namespace {

struct Launch {
  std::string call;
  std::string target;
};

std::vector<Launch> Launches() {
  std::vector<Launch> launches;
  for (int index = 0; index < TwlTestShellLaunchCount(); ++index) {
    TWL_SHELL_LAUNCH launch{};
    TwlTestGetShellLaunch(index, &launch);
    launches.push_back({launch.call, launch.target});
  }
  return launches;
}

}  // namespace

TEST(Help, OpensWhatTheFolderHoldsAndFallsBackToTheText) {
  enum { kNone = 0, kOld = 1, kCompiled = 2 };
  struct Case {
    const char* why;
    int files;
    int topic;
    std::vector<INT_PTR> shellResults;
    bool opened;
    std::vector<std::string> calls;  // call and file name after the folder
    const char* logged;              // start of the entry; null: nothing
  } cases[] = {
      {"the old help file first", kOld | kCompiled, 0, {}, true, {"WinHelp DURoruv.hlp"}, nullptr},
      {"the compiled help through its program", kCompiled, 0, {}, true, {"ShellExecute DURoruv.chm"}, nullptr},
      {"a topic opens its page", kCompiled, 1, {}, true, {"HtmlHelp DURoruv.chm::/playlistfolders.htm"}, nullptr},
      {"no program for compiled help: the text about it",
       kCompiled,
       0,
       {SE_ERR_NOASSOC},
       false,
       {"ShellExecute DURoruv.chm", "ShellExecute NoHTMLHelp.txt"},
       nullptr},
      {"an incomplete association too", kCompiled, 0, {SE_ERR_ASSOCINCOMPLETE}, false,
       {"ShellExecute DURoruv.chm", "ShellExecute NoHTMLHelp.txt"}, nullptr},
      {"the text missing as well",
       kCompiled,
       0,
       {SE_ERR_NOASSOC, SE_ERR_NOASSOC},
       false,
       {"ShellExecute DURoruv.chm", "ShellExecute NoHTMLHelp.txt"},
       "Error displaying information file about HTML Help."},
      {"no help at all", kNone, 0, {}, false, {"ShellExecute DURoruv.chm"}, "Error displaying help."},
  };
  for (const Case& c : cases) {
    const std::string folder = twltest::MakeTempDir("help") + "/";
    if (c.files & kOld) twltest::WriteFile(folder + "DURoruv.hlp", "old help");
    if (c.files & kCompiled) twltest::WriteFile(folder + "DURoruv.chm", "compiled help");
    twltest::WriteFile(folder + "NoHTMLHelp.txt", "text");
    TwlTestResetShellLaunches();
    TwlTestRecordShellLaunches(TRUE);
    for (INT_PTR result : c.shellResults) TwlTestPushShellResult(result);
    twltest::RecordingLogFront log;
    EXPECT_EQ(OpenHelpFile(folder.c_str(), nullptr, nullptr, c.topic), c.opened) << c.why;
    std::vector<std::string> calls;
    for (const Launch& launch : Launches())
      calls.push_back(launch.call + " " +
                      (launch.target.rfind(folder, 0) == 0 ? launch.target.substr(folder.size()) : launch.target));
    EXPECT_EQ(calls, c.calls) << c.why;
    if (c.logged) {
      ASSERT_EQ(log.Entries().size(), 1u) << c.why;
      EXPECT_EQ(log.Entries()[0].category, 0x100u);
      EXPECT_EQ(log.Text().rfind(c.logged, 0), 0u) << log.Text();
    } else {
      EXPECT_EQ(log.Text(), "") << c.why;
    }
  }
  TwlTestResetShellLaunches();
}

TEST(Help, TheBuildPutsTheCompiledHelpNoticeBesideTheProgram) {
  const std::string text = twltest::ReadFile(twltest::ProgramPath("NoHTMLHelp.txt"));
  EXPECT_NE(text.find(".chm"), std::string::npos);
}

TEST(WebPages, TenPagesOnTheMakersSite) {
  const char* const paths[] = {
      "/internet/friend/0014.htm",       "/internet/advertising/0014.htm",  "/internet/newsletter/0014.htm",
      "/internet/homepage/0014.htm",     "/internet/products/0014.htm",     "/internet/download/0014/skins",
      "/internet/download/0014/plugins", "/internet/download/0014/add-ons", "/internet/support/0014.htm",
      "/internet/update/0014.htm",
  };
  const std::string host = "http://www.velbrook.example";
  for (int index = 0; index < CUserInterface::kWebPageCount; ++index)
    EXPECT_EQ(std::string(CUserInterface::GetWebPageUrl(index).c_str()), host + paths[index]) << index;
  EXPECT_EQ(std::string(CUserInterface::GetWebPageUrl(-1).c_str()), "");
  EXPECT_EQ(std::string(CUserInterface::GetWebPageUrl(10).c_str()), "");
}

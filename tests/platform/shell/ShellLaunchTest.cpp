// Opening files, pages and help: recorded without a desktop (the tests run
// with TWL_HEADLESS), opened through xdg-open on one, where a file type
// with no program answers SE_ERR_NOASSOC.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <twlwin/testing_desktop.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/TestPaths.h"

namespace {

INT_PTR Open(const char* operation, const std::string& file, const char* directory = nullptr) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, operation, file.c_str(), nullptr, directory, SW_SHOWNORMAL));
}

TWL_SHELL_LAUNCH Launch(int index) {
  TWL_SHELL_LAUNCH launch{};
  EXPECT_TRUE(TwlTestGetShellLaunch(index, &launch));
  return launch;
}

}  // namespace

TEST(ShellLaunch, WithoutADesktopCallsAreRecordedWithTheirAnswers) {
  TwlTestResetShellLaunches();
  std::string folder = twltest::MakeTempDir("help");
  twltest::WriteFile(folder + "/Help.chm", "chm");
  twltest::WriteFile(folder + "/NoHTMLHelp.txt", "text");
  const struct {
    const char* behaviour;
    const char* operation;
    std::string file;
    const char* directory;
    INT_PTR pushed;  // 0: none
    bool answersSuccess;
    INT_PTR error;
  } cases[] = {
      {"a web page", "open", "https://example.org/products", nullptr, 0, true, 0},
      {"a file by its full path", "open", folder + "/Help.chm", folder.c_str(), 0, true, 0},
      {"a file in the folder given", nullptr, "NoHTMLHelp.txt", folder.c_str(), 0, true, 0},
      {"a missing file", "open", folder + "/Missing.chm", nullptr, 0, false, SE_ERR_FNF},
      {"an operation other than open", "print", folder + "/Help.chm", nullptr, 0, false, SE_ERR_NOASSOC},
      {"an injected answer", "open", folder + "/Help.chm", nullptr, SE_ERR_NOASSOC, false, SE_ERR_NOASSOC},
      {"an injected incomplete association", "open", folder + "/Help.chm", nullptr, SE_ERR_ASSOCINCOMPLETE, false,
       SE_ERR_ASSOCINCOMPLETE},
  };
  int index = 0;
  for (const auto& c : cases) {
    if (c.pushed) TwlTestPushShellResult(c.pushed);
    INT_PTR result = Open(c.operation, c.file, c.directory);
    EXPECT_EQ(result > 32, c.answersSuccess) << c.behaviour;
    if (!c.answersSuccess) {
      EXPECT_EQ(result, c.error) << c.behaviour;
    }
    TWL_SHELL_LAUNCH launch = Launch(index++);
    EXPECT_STREQ(launch.call, "ShellExecute") << c.behaviour;
    EXPECT_EQ(std::string(launch.target), c.file) << c.behaviour;
    EXPECT_EQ(launch.result, result) << c.behaviour;
    EXPECT_FALSE(launch.opened) << c.behaviour;
  }
  EXPECT_EQ(TwlTestShellLaunchCount(), index);
}

TEST(ShellLaunch, HelpCallsOpenExistingHelpFilesOnly) {
  TwlTestResetShellLaunches();
  std::string folder = twltest::MakeTempDir("help");
  twltest::WriteFile(folder + "/Guide.hlp", "hlp");
  twltest::WriteFile(folder + "/Guide.chm", "chm");
  EXPECT_TRUE(WinHelpA(nullptr, (folder + "/Guide.hlp").c_str(), HELP_FINDER, 0));
  EXPECT_FALSE(WinHelpA(nullptr, (folder + "/Other.hlp").c_str(), HELP_FINDER, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(WinHelpA(nullptr, nullptr, HELP_QUIT, 0));

  std::string topic = folder + "/Guide.chm::/playlistfolders.htm";
  EXPECT_EQ(HtmlHelpA(GetDesktopWindow(), topic.c_str(), HH_DISPLAY_TOPIC, 0), GetDesktopWindow());
  EXPECT_EQ(HtmlHelpA(nullptr, (folder + "/None.chm").c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
  TwlTestPushShellResult(SE_ERR_NOASSOC);
  EXPECT_EQ(HtmlHelpA(nullptr, topic.c_str(), HH_DISPLAY_TOPIC, 0), nullptr) << "no viewer";

  ASSERT_EQ(TwlTestShellLaunchCount(), 6);
  TWL_SHELL_LAUNCH finder = Launch(0);
  EXPECT_STREQ(finder.call, "WinHelp");
  EXPECT_EQ(std::string(finder.verb), std::to_string(HELP_FINDER));
  EXPECT_EQ(finder.result, 1);
  TWL_SHELL_LAUNCH html = Launch(3);
  EXPECT_STREQ(html.call, "HtmlHelp");
  EXPECT_EQ(std::string(html.target), topic);
  EXPECT_EQ(html.result, 1);
  EXPECT_EQ(Launch(5).result, 0);
}

namespace {

// A desktop whose xdg-open and xdg-mime are scripts that write down what
// they were asked; files ending in .chm have no program.
struct FakeDesktop {
  FakeDesktop() {
    bin = twltest::MakeTempDir("bin");
    log = bin + "/opened";
    twltest::WriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log + "'\n");
    twltest::WriteFile(bin + "/xdg-mime",
                       "#!/bin/sh\n"
                       "case \"$2:$3\" in\n"
                       "  filetype:*.chm) echo application/vnd.ms-htmlhelp ;;\n"
                       "  filetype:*) echo text/plain ;;\n"
                       "  default:text/plain) echo editor.desktop ;;\n"
                       "esac\n");
    chmod((bin + "/xdg-open").c_str(), 0755);
    chmod((bin + "/xdg-mime").c_str(), 0755);
    setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
    setenv("DISPLAY", ":97", 1);
    unsetenv("TWL_HEADLESS");
    TwlTestResetShellLaunches();
  }
  // What xdg-open was asked, once `lines` requests have arrived.
  std::string Opened(size_t lines) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string text;
    while (std::chrono::steady_clock::now() < deadline) {
      if (access(log.c_str(), R_OK) == 0) text = twltest::ReadFile(log);
      if (static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return text;
  }
  std::string bin, log;
};

}  // namespace

TEST(ShellLaunch, OnADesktopOpensThroughXdgOpenWhenATypeHasAProgram) {
  FakeDesktop desktop;
  std::string folder = twltest::MakeTempDir("docs");
  twltest::WriteFile(folder + "/read me.txt", "text");
  twltest::WriteFile(folder + "/Help.chm", "chm");
  EXPECT_GT(Open("open", folder + "/read me.txt"), 32);
  EXPECT_EQ(Open("open", folder + "/Help.chm"), SE_ERR_NOASSOC) << "no program for the type";
  EXPECT_GT(Open(nullptr, "https://example.org/a b"), 32);
  EXPECT_TRUE(WinHelpA(nullptr, (folder + "/read me.txt").c_str(), HELP_CONTENTS, 0));
  EXPECT_EQ(desktop.Opened(3),
            folder + "/read me.txt\nhttps://example.org/a b\n" + folder + "/read me.txt\n");
  EXPECT_TRUE(Launch(0).opened);
  EXPECT_FALSE(Launch(1).opened);

  TwlTestRecordShellLaunches(TRUE);
  EXPECT_GT(Open("open", folder + "/read me.txt"), 32);
  EXPECT_FALSE(Launch(4).opened) << "a test may ask for recording on a desktop too";
}

TEST(ShellLaunch, OnADesktopWithoutXdgOpenNothingIsAssociated) {
  FakeDesktop desktop;
  unlink((desktop.bin + "/xdg-open").c_str());
  setenv("PATH", desktop.bin.c_str(), 1);
  EXPECT_EQ(Open("open", "https://example.org/"), SE_ERR_NOASSOC);
}

// The second start phase and the shut-down on their own: the systems come
// up in order (seen through -z timing), the desktop gets its record, and
// Exit copes with a system that never came up.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/core/System.h"
#include "foundation/kernel/Error.h"
#include "support/TestPaths.h"

namespace {

std::vector<std::string> PerformanceLabels(const std::string& log) {
  std::vector<std::string> labels;
  const std::string mark = "PERFORMANCE: ";
  for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
    const size_t end = log.find(" = ", at);
    labels.push_back(log.substr(at + mark.size(), end - at - mark.size()));
  }
  return labels;
}

}  // namespace

TEST(SystemInit, StepsRunInOrderAndTheDesktopGetsItsRecord) {
  CSystem system;
  system.SetInstance(GetModuleHandleA(nullptr));
  system.InitDirectories();
  system.ExtractVersion();
  const std::string log = twltest::MakeTempDir("init") + "/Log.txt";
  system.GetLogFile().SetFileName(log.c_str());
  SetLogFront(&system);
  system.SetTimingFlag(true);
  system.Init();

  const std::vector<std::string> expected = {"retrieve system info", "init plugin API",   "init icon manager",
                                             "init folder info database", "load options", "load plugins",
                                             "init data system", "complete start initialization"};
  const std::string text = twltest::ReadFile(log);
  EXPECT_EQ(PerformanceLabels(text), expected) << text;
  EXPECT_NE(text.find("complete start initialization = "), std::string::npos);
  EXPECT_NE(text.find("-------- START INITIALIZATIONS DONE --------\r\n\r\n"), std::string::npos);

  CFolderInfoDataBase* folders = system.GetFolderInfoDataBase();
  ASSERT_NE(folders, nullptr);
  FolderInfoRecord* desktop = folders->Find("virtual://desktop");
  ASSERT_NE(desktop, nullptr);
  ASSERT_TRUE(desktop->displayText.has_value());
  EXPECT_EQ(*desktop->displayText, "Desktop");
  // Icons 109 and 108 come first; the desktop's is the third image.
  EXPECT_EQ(desktop->iconIndex, 2);
  EXPECT_EQ(desktop->openIconIndex, 2);
  EXPECT_NE(system.GetFileInfoDataBase(), nullptr);

  system.Exit();
  EXPECT_EQ(system.GetFolderInfoDataBase(), nullptr);
  EXPECT_EQ(system.GetFileInfoDataBase(), nullptr);
  EXPECT_EQ(GetLogFront(), nullptr) << "the logs are closed";
  EXPECT_FALSE(system.GetLogFile().HasFileName());
}

TEST(SystemExit, SafeWithoutAStartAndTwice) {
  CSystem system;
  system.Exit();
  system.Exit();
  EXPECT_TRUE(system.GetLogFileName().IsEmpty());
  EXPECT_EQ(system.GetPlugInManager().GetCount(), 0);
}

// Without the program's icons 109 and 108 the start cannot go on.
TEST(SystemInit, MissingProgramIconsEndTheStart) {
  CSystem system;
  system.InitDirectories();  // no module: no program icons
  std::string caption;
  std::string text;
  try {
    system.Init();
  } catch (CError* error) {
    caption = error->GetCaption().c_str();
    text = error->GetText().c_str();
    DisposeError(error);
  }
  EXPECT_EQ(caption, "Icon error");
  EXPECT_EQ(text, "Error loading essential icon.");
  system.Exit();
}

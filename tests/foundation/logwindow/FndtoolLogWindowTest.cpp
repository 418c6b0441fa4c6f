// fndtool logwindow: the log window of a headless session, saved in both
// faces as PNG files for reviewers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

bool IsPng(const std::string& bytes) { return bytes.size() > 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }

TEST(FndtoolLogWindow, SavesBothFacesAsPng) {
  const std::string folder = twltest::MakeTempDir("png");
  std::string output;
  const int status = twltest::RunCommand("'" + twltest::ProgramPath("fndtool") + "' logwindow '" + folder + "'", &output);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << output;
  EXPECT_EQ(output, folder + "/logwindow-simple.png\n" + folder + "/logwindow-advanced.png\n");
  EXPECT_TRUE(IsPng(twltest::ReadFile(folder + "/logwindow-simple.png")));
  EXPECT_TRUE(IsPng(twltest::ReadFile(folder + "/logwindow-advanced.png")));
}

TEST(FndtoolLogWindow, FolderThatCannotBeWrittenFails) {
  const std::string command = "'" + twltest::ProgramPath("fndtool") + "' logwindow /nonexistent/folder 2>/dev/null";
  const int status = twltest::RunCommand(command);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace

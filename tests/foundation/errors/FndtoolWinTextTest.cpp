#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <utility>

#include "support/TestPaths.h"

TEST(FndtoolWinText, PrintsTheTextOfACode) {
  const std::string fndtool = "'" + twltest::ProgramPath("fndtool") + "'";
  for (const auto& [code, text] :
       {std::pair<std::string, std::string>{"183", "Cannot create a file when that file already exists. 183\n"},
        {"-1", "An unknown error occurred.\n"},
        {"0x5", "Access is denied. 5\n"}}) {
    std::string output;
    const int status = twltest::RunCommand(fndtool + " wintext " + code, &output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << code;
    EXPECT_EQ(output, text) << code;
  }
  const int status = twltest::RunCommand(fndtool + " wintext nonsense 2>/dev/null");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

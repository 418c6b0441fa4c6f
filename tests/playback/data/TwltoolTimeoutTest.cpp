#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

// Runs `twltool timeout ARGS` in a process of its own; the output, and the
// exit code in `exitCode`.
std::string Timeout(const std::string& args, int* exitCode) {
  std::string output;
  const int status =
      twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' timeout " + args + " 2>/dev/null", &output);
  *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

TEST(TwltoolTimeout, AStoredTimeOutIsWhatTheNextProcessPrints) {
  int exitCode = -1;
  EXPECT_EQ(Timeout("", &exitCode), "30000\n");
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(Timeout("45000", &exitCode), "45000\n");
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(Timeout("", &exitCode), "45000\n");
  EXPECT_EQ(exitCode, 0);
}

TEST(TwltoolTimeout, RefusesWhatIsNotOneThirtyTwoBitCount) {
  for (const char* args : {"-5", "4294967296", "12ms", "1 2"}) {
    SCOPED_TRACE(args);
    int exitCode = -1;
    EXPECT_EQ(Timeout(args, &exitCode), "");
    EXPECT_EQ(exitCode, 1);
  }
  int exitCode = -1;
  EXPECT_EQ(Timeout("", &exitCode), "30000\n");
}

}  // namespace

// The kilnar program as it is started: without a command line it ends at
// once; with one it says that its dialog is not there yet.
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"

namespace {

int RunKilnar(const std::string& arguments, std::string* error) {
  const std::string errorFile = twltest::SandboxDir() + "/kilnar.err";
  const int status = twltest::RunCommand(
      "'" + twltest::ProgramPath("kilnar") + "'" + arguments + " 2>'" + errorFile + "'", nullptr);
  *error = twltest::ReadFile(errorFile);
  return status;
}

TEST(KilnarProgramTest, EmptyCommandLineEndsAtOnceAndAnyOtherSaysTheDialogIsMissing) {
  std::string error;
  EXPECT_EQ(RunKilnar("", &error), 0);
  EXPECT_EQ(error, "");
  EXPECT_EQ(RunKilnar(" -n '\"Rock\"' -p '\"/tmp/x.p4u\"'", &error), 1 << 8);
  EXPECT_EQ(error, "kilnar: the burn dialog is not built yet\n");
}

}  // namespace

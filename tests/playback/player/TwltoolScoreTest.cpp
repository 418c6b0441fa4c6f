#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string Score(const std::string& input, int* exitCode) {
  const std::string path = twltest::MakeTempDir("score") + "/answers.txt";
  twltest::WriteFile(path, input);
  std::string output;
  const int status =
      twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' score < '" + path + "' 2>/dev/null", &output);
  *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

TEST(TwltoolScore, PrintsOrderValuesAndTheCandidateOrder) {
  int exitCode = -1;
  const std::string output = Score(
      "0 1 0 0 0 0 0 192\n"         // Screevo
      "0 1 1 0 0 0 0 192\n"         // Pictolan
      "0 0 1 0 1 0 0 255\n"         // cannot play: no candidate
      "\n"                          // blank lines give no answer
      "0 1 0 0 0 0 0 192\r\n"       // the same as the first: after it
      "0 2 1 0 0 0 0 4294967295\n", // any word ranks
      &exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(output,
            "0x00021A08\n"
            "0x00021208\n"
            "0x00220218\n"
            "0x00021A08\n"
            "0x00020219\n"
            "order 4 1 0 3\n");
}

TEST(TwltoolScore, RefusesWhatIsNotEightWords) {
  for (const char* input : {"0 1 0 0 0 0 0\n", "0 1 0 0 0 0 0 1 2\n", "0 1 0 0 0 0 0 -1\n", "0 1 0 0 0 0 0 4294967296\n",
                            "0 1 0 0 0 0 0 0x10\n"}) {
    int exitCode = -1;
    EXPECT_EQ(Score(input, &exitCode), "") << input;
    EXPECT_EQ(exitCode, 1) << input;
  }
  int exitCode = -1;
  EXPECT_EQ(Score("", &exitCode), "order\n");
  EXPECT_EQ(exitCode, 0);
}

}  // namespace

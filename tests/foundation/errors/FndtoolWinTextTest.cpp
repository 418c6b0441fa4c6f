#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "support/TestPaths.h"

namespace {

// The program folder is build/bin beside the tests' folder build/tests when
// the environment does not name it.
std::string Fndtool() {
  if (const char* folder = std::getenv("TWL_PROGRAM_DIR")) return std::string(folder) + "/fndtool";
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "fndtool";
  std::string path(self, static_cast<size_t>(length));
  return path.substr(0, path.rfind('/')) + "/../bin/fndtool";
}

}  // namespace

TEST(FndtoolWinText, PrintsTheTextOfACode) {
  const std::string folder = twltest::MakeTempDir("wintext");
  const std::string out = folder + "/out.txt";
  for (const auto& [code, text] : {std::pair<std::string, std::string>{"183", "Cannot create a file when that file already exists. 183\n"},
                                   {"-1", "An unknown error occurred.\n"},
                                   {"0x5", "Access is denied. 5\n"}}) {
    const int status = std::system(("'" + Fndtool() + "' wintext " + code + " > '" + out + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << code;
    EXPECT_EQ(twltest::ReadFile(out), text) << code;
  }
  const int status = std::system(("'" + Fndtool() + "' wintext nonsense 2>/dev/null").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

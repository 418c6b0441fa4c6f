// fndtool cat opens its URL through the file system with the open flags
// given, so that the emulators those flags ask for are stacked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "PipeStream.h"
#include "support/TestPaths.h"

namespace {

struct CatRun {
  int exitCode;
  std::string out;
  std::string err;
};

CatRun Cat(const std::string& arguments) {
  const std::string dir = twltest::MakeTempDir("cat");
  const std::string command =
      "'" + twltest::ProgramPath("fndtool") + "' cat " + arguments + " >" + dir + "/out 2>" + dir + "/err";
  const int status = twltest::RunCommand(command);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, twltest::ReadFile(dir + "/out"), twltest::ReadFile(dir + "/err")};
}

}  // namespace

TEST(FndtoolCatFlags, EveryStackGivesTheSameBytes) {
  const std::string path = twltest::MakeTempDir("files") + "/data.bin";
  const std::string bytes = streamtest::PatternBytes(300000);
  twltest::WriteFile(path, bytes);
  // Plain, buffered, length and buffered, flowing and buffered, the ini
  // reader's flags, and the same with a file:// URL.
  for (const char* flags : {"0x100001", "0x100101", "0x100109", "0x100501", "0x140009", "0X1"}) {
    const CatRun run = Cat(std::string("--flags ") + flags + " '" + path + "'");
    EXPECT_EQ(run.exitCode, 0) << flags << ": " << run.err;
    EXPECT_TRUE(run.out == bytes) << flags << ": " << run.out.size() << " bytes";
  }
  const CatRun url = Cat("--flags 0x100501 'file://" + path + "'");
  EXPECT_TRUE(url.out == bytes);
}

TEST(FndtoolCatFlags, BadArgumentsAreRefused) {
  struct Row {
    std::string arguments;
    std::string message;
  };
  const Row rows[] = {
      {"--flags zz /x", "fndtool: --flags takes a hex number (0x...)\n"},
      {"--flags 0x /x", "fndtool: --flags takes a hex number (0x...)\n"},
      {"--flags 0x1g /x", "fndtool: --flags takes a hex number (0x...)\n"},
      {"--flags 0x123456789 /x", "fndtool: --flags takes a hex number (0x...)\n"},
      {"--flags", "fndtool: --flags takes a hex number (0x...)\n"},
      {"--flags 0x1", "fndtool: cat takes one URL\n"},
      {"--flags 0x1 /a /b", "fndtool: cat takes one URL\n"},
      {"--flags 0x1 gopher://host/a",
       "fndtool: The protocol is not supported. (file path: 'gopher://host/a')\n"},
  };
  for (const Row& row : rows) {
    const CatRun run = Cat(row.arguments);
    EXPECT_EQ(run.exitCode, 1) << row.arguments;
    EXPECT_EQ(run.err, row.message) << row.arguments;
    EXPECT_TRUE(run.out.empty()) << row.arguments;
  }
}

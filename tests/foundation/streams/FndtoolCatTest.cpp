// fndtool cat: the bytes of a stream on stdout, errors as their text.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

struct CatRun {
  int exitCode;
  std::string out;
  std::string err;
};

CatRun Cat(const std::string& url) {
  const std::string dir = twltest::MakeTempDir("cat");
  const std::string command =
      "'" + twltest::ProgramPath("fndtool") + "' cat '" + url + "' >" + dir + "/out 2>" + dir + "/err";
  const int status = twltest::RunCommand(command);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, twltest::ReadFile(dir + "/out"), twltest::ReadFile(dir + "/err")};
}

}  // namespace

TEST(FndtoolCat, WritesTheBytes) {
  const std::string dir = twltest::MakeTempDir("files");
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
  twltest::WriteFile(dir + "/data.bin", bytes);
  twltest::WriteFile(dir + "/empty.bin", "");
  twltest::WriteFile(dir + "/exact.bin", std::string(65536, 'e'));
  struct Row {
    std::string url;
    std::string expected;
  };
  const Row rows[] = {
      {dir + "/data.bin", bytes},
      {"file://" + dir + "/data.bin", bytes},
      {dir + "/empty.bin", ""},
      {dir + "/exact.bin", std::string(65536, 'e')},
  };
  for (const Row& row : rows) {
    const CatRun run = Cat(row.url);
    EXPECT_EQ(run.exitCode, 0) << row.url << ": " << run.err;
    EXPECT_TRUE(run.out == row.expected) << row.url << ": " << run.out.size() << " bytes";
  }
}

TEST(FndtoolCat, ReportsStreamErrors) {
  const std::string dir = twltest::MakeTempDir("bad");
  struct Row {
    std::string url;
    std::string message;
  };
  const Row rows[] = {
      {dir + "/missing.bin", "fndtool: The file was not found. (file path: '" + dir + "/missing.bin')\n"},
      {"http://example.org/a.mp3", "fndtool: The protocol is not supported. (file path: 'http://example.org/a.mp3')\n"},
      {dir, "fndtool: The access has been denied. (file path: '" + dir + "')\n"},
  };
  for (const Row& row : rows) {
    const CatRun run = Cat(row.url);
    EXPECT_EQ(run.exitCode, 1) << row.url;
    EXPECT_EQ(run.err, row.message);
    EXPECT_TRUE(run.out.empty()) << row.url;
  }
}

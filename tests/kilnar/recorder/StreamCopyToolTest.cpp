// kilnartool stream-copy: files of every size class copied through the
// engine's streams come out equal (cmp) and of exactly their size, also
// over longer files, with progress that rises to 100 and no further.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"

namespace {

using kilnartest::FileSize;
using kilnartest::Quoted;
using kilnartest::RunKilnartool;

std::vector<int> ProgressLines(const std::string& output) {
  std::vector<int> percents;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("progress ", 0) == 0) percents.push_back(std::stoi(line.substr(9)));
  return percents;
}

TEST(StreamCopyToolTest, CopiesAreEqualAndExactlyAsLong) {
  const size_t sizes[] = {0, 100, 32768, 32769, 5u << 20};
  const std::string folder = twltest::MakeTempDir("copy");
  for (size_t size : sizes) {
    const std::string source = folder + "/src" + std::to_string(size);
    const std::string target = folder + "/dst" + std::to_string(size);
    ASSERT_EQ(twltest::RunCommand("head -c " + std::to_string(size) + " /dev/urandom > " + Quoted(source)), 0);
    std::string output;
    ASSERT_EQ(RunKilnartool("stream-copy " + Quoted(source) + " " + Quoted(target), &output), 0) << size;
    EXPECT_NE(output.find("copied " + std::to_string(size) + " bytes\n"), std::string::npos) << output;
    EXPECT_EQ(twltest::RunCommand("cmp " + Quoted(source) + " " + Quoted(target)), 0) << size;
    EXPECT_EQ(FileSize(target), static_cast<long long>(size));
  }
}

TEST(StreamCopyToolTest, ShortCopyOverALongFileLeavesOnlyTheCopy) {
  const std::string folder = twltest::MakeTempDir("copy");
  twltest::WriteFile(folder + "/src", kilnartest::PatternBytes(100));
  twltest::WriteFile(folder + "/dst", std::string(100000, 'o'));
  std::string output;
  ASSERT_EQ(RunKilnartool("stream-copy " + Quoted(folder + "/src") + " " + Quoted(folder + "/dst"), &output), 0);
  EXPECT_EQ(FileSize(folder + "/dst"), 100);
  EXPECT_EQ(twltest::RunCommand("cmp " + Quoted(folder + "/src") + " " + Quoted(folder + "/dst")), 0);
}

TEST(StreamCopyToolTest, ProgressAgainstHalfTheSizeRisesToHundredAndStops) {
  const std::string folder = twltest::MakeTempDir("copy");
  twltest::WriteFile(folder + "/src", kilnartest::PatternBytes(10000));
  std::string output;
  ASSERT_EQ(RunKilnartool("stream-copy " + Quoted(folder + "/src") + " " + Quoted(folder + "/dst") +
                              " --chunk 300 --total 5000",
                          &output),
            0);
  const std::vector<int> percents = ProgressLines(output);
  ASSERT_FALSE(percents.empty());
  for (size_t i = 1; i < percents.size(); ++i) EXPECT_GT(percents[i], percents[i - 1]) << output;
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(percents.front(), 6);  // 300 of 5000
  EXPECT_EQ(FileSize(folder + "/dst"), 10000);
}

TEST(StreamCopyToolTest, MissingSourceAndBadArgumentsFailWithAText) {
  const std::string folder = twltest::MakeTempDir("copy");
  struct Row {
    const char* why;
    std::string arguments;
  };
  const Row rows[] = {
      {"missing source", "stream-copy " + Quoted(folder + "/none") + " " + Quoted(folder + "/dst")},
      {"chunk of 0", "stream-copy " + Quoted(folder + "/none") + " x --chunk 0"},
      {"total beyond 32 bits", "stream-copy a b --total 4294967296"},
      {"one file only", "stream-copy a"},
  };
  for (const auto& row : rows) {
    std::string output, error;
    EXPECT_NE(RunKilnartool(row.arguments, &output, "", &error), 0) << row.why;
    EXPECT_EQ(error.rfind("kilnartool: ", 0), 0u) << row.why << ": " << error;
  }
}

}  // namespace

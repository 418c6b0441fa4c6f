// twltool hostcat and diskfile: a file read and made as a plug-in would,
// through the host API.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/TestPaths.h"

namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Twltool(const std::string& arguments) {
  const std::string dir = twltest::MakeTempDir("run");
  ToolRun run;
  run.status = twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' " + arguments + " >'" + dir +
                                   "/out' 2>'" + dir + "/err'");
  run.out = twltest::ReadFile(dir + "/out");
  run.err = twltest::ReadFile(dir + "/err");
  return run;
}

std::string RandomFile(const std::string& dir, int bytes) {
  const std::string path = dir + "/random.bin";
  EXPECT_EQ(twltest::RunCommand("head -c " + std::to_string(bytes) + " /dev/urandom > '" + path + "'"), 0);
  return path;
}

TEST(TwltoolHostCat, ReadsTheWholeStreamInChunksAndTellsFlagsAndLength) {
  const std::string path = RandomFile(twltest::MakeTempDir("cat"), 1000003);
  const ToolRun run = Twltool("hostcat --chunk 4097 'file://" + path + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, twltest::ReadFile(path));
  EXPECT_EQ(run.err, "flags 0x0000000D length 1000003\n");

  const ToolRun shared = Twltool("hostcat --flags 0x200001 '" + path + "'");
  EXPECT_EQ(shared.err, "flags 0x0020000D length 1000003\n") << "denied writing shows in plug-in form";
}

TEST(TwltoolHostCat, SeeksAnywhereInALargeSparseFile) {
  const std::string path = twltest::MakeTempDir("sparse") + "/sparse.bin";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "needle", 6, 4294967290ll), 6);  // across the 4 GiB line
  close(fd);
  const ToolRun run = Twltool("hostcat --seek 4294967290 --count 6 '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "needle");
  EXPECT_EQ(run.err, "flags 0x0000000D length 4294967296\n");
}

TEST(TwltoolHostCat, FailuresAreReportedWithTheHostsText) {
  const std::string missing = twltest::SandboxDir() + "/missing.bin";
  const ToolRun run = Twltool("hostcat '" + missing + "'");
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.err, "twltool: The file was not found. (file path: '" + missing + "')\n");
  EXPECT_NE(Twltool("hostcat --chunk 0 x").status, 0);
  EXPECT_NE(Twltool("hostcat --seek").status, 0);
}

TEST(TwltoolDiskFile, GivesLocalFilesByPathAndOtherwiseATemporaryCopyThatGoesAtRelease) {
  const std::string dir = twltest::MakeTempDir("disk");
  const std::string path = RandomFile(dir, 100000);
  const std::string tmp = std::getenv("TMPDIR");
  struct Row {
    std::string options;
    bool temporary;
  };
  const Row rows[] = {
      {"", false},
      {"--thread", false},
      {"--flags 1 --suffix .mp3", true},
      {"--thread --flags 1 --suffix .mp3", true},
      {"--flags 1 --prefix '" + dir + "' --suffix .BIN", false},  // the file's own name fits
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const ToolRun made = Twltool("diskfile " + row.options + " 'file://" + path + "'");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, twltest::ReadFile(path)) << "the bytes of the file";
    if (row.temporary) {
      ASSERT_TRUE(made.err.starts_with("name " + tmp + "/")) << made.err;
      EXPECT_TRUE(made.err.ends_with(".mp3 temporary 1\n")) << made.err;
      const std::string copy = made.err.substr(5, made.err.size() - 5 - std::string(" temporary 1\n").size());
      EXPECT_FALSE(std::filesystem::exists(copy));
    } else {
      EXPECT_EQ(made.err, "name " + path + " temporary 0\n");
    }
    EXPECT_TRUE(std::filesystem::exists(path));
  }
  EXPECT_TRUE(std::filesystem::is_empty(tmp) ||
              std::none_of(std::filesystem::directory_iterator(tmp), std::filesystem::directory_iterator(),
                           [](const auto& entry) { return entry.path().extension() == ".mp3"; }));
}

TEST(TwltoolDiskFile, AFailedCopyIsReported) {
  const ToolRun run =
      Twltool("diskfile --thread --flags 1 --suffix .mp3 'file://" + twltest::SandboxDir() + "/missing.wav'");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("The file was not found."), std::string::npos) << run.err;
}

}  // namespace

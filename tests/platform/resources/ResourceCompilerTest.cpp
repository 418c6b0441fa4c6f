// The build's resource compiler refuses lists and files the layer could not
// use, naming the line, and writes nothing then.
#include <sys/wait.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TestPaths.h"

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;
  bool wroteSource = false;
};

Outcome Compile(const std::string& list, const std::vector<std::pair<std::string, std::string>>& files = {}) {
  std::string folder = twltest::MakeTempDir("rescomp");
  twltest::WriteFile(folder + "/list.rlist", list);
  for (const auto& [name, bytes] : files) twltest::WriteFile(folder + "/" + name, bytes);
  Outcome run;
  int status = twltest::RunCommand(std::string(TWL_RESCOMP) + " '" + folder + "/list.rlist' '" + folder +
                                       "/out.cpp' '" + folder + "/out.d' 2>&1",
                                   &run.output);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.wroteSource = std::filesystem::exists(folder + "/out.cpp");
  return run;
}

std::string Icon() {
  return twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/two-sizes.ico");
}

TEST(ResourceCompiler, AcceptsAGoodList) {
  Outcome run = Compile("# comment\nICON 1 a.ico\nRAWDATA 134 \"1.75 build 64\"\nSTRING 7 \"x\\ty\"\nVERSION 1 \"1.0\"\n",
                    {{"a.ico", Icon()}});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(run.wroteSource);
}

TEST(ResourceCompiler, RefusesWhatTheLayerCouldNotUse) {
  std::string bmp = twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/arrow.bmp");
  std::string cursor = twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/hotspot.cur");
  const struct {
    const char* behaviour;
    std::string list;
    std::vector<std::pair<std::string, std::string>> files;
    const char* message;
  } cases[] = {
      {"a missing file", "RAWDATA 1 nowhere.bin\n", {}, "list.rlist:1: cannot read"},
      {"too few words", "\nICON 1\n", {}, "list.rlist:2: expected TYPE NAME SOURCE"},
      {"a broken quote", "RAWDATA 1 \"open\n", {}, "quote not closed"},
      {"a bad type", "ICON-ISH 1 \"x\"\n", {}, "bad resource type"},
      {"a name out of range", "RAWDATA 70000 \"x\"\n", {}, "bad resource name"},
      {"a named string", "STRING Title \"x\"\n", {}, "strings are named by numbers"},
      {"the same resource twice", "RAWDATA 1 \"x\"\nrawdata 1 \"y\"\n", {}, "list.rlist:2: the same type"},
      {"a cursor listed as an icon", "ICON 1 c.cur\n", {{"c.cur", cursor}}, "a cursor file listed as an icon"},
      {"a bitmap cut short", "BITMAP 1 b.bmp\n", {{"b.bmp", bmp.substr(0, bmp.size() - 40)}}, "rows cut short"},
      {"a bitmap from text", "BITMAP 1 \"BM\"\n", {}, "a bitmap comes from a .bmp file"},
      {"an icon that is none", "ICON 1 i.ico\n", {{"i.ico", "GIF89a"}}, "not a usable icon"},
      {"a version with five parts", "VERSION 1 \"1.2.3.4.5\"\n", {}, "not a version"},
      {"a version part past 16 bits", "VERSION 1 \"1.65536\"\n", {}, "not a version"},
      {"a version with a word", "VERSION 1 \"1.75 build 64\"\n", {}, "not a version"},
      {"an empty version part", "VERSION 1 \"1..2\"\n", {}, "not a version"},
      {"a version from a file", "VERSION 1 v.txt\n", {{"v.txt", "1.0"}}, "a version is a quoted text"},
  };
  for (const auto& c : cases) {
    Outcome run = Compile(c.list, c.files);
    EXPECT_EQ(run.exitCode, 1) << c.behaviour;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.behaviour << ": " << run.output;
    EXPECT_FALSE(run.wroteSource) << c.behaviour;
  }
}

}  // namespace

// twltool identify: files added to the playlist are identified in the
// background by the test plug-in's identifiers and by Screevo's.
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

twltest::ToolRun RunIdentifyTool(const std::string& arguments) {
  return twltest::RunTool("twltool", "identify " + arguments);
}

TEST(TwltoolIdentify, TheLaterIdentifierWithTheHigherPriorityGivesTheText) {
  const std::string path = twltest::MakeTempDir("file") + "/sample.bin";
  twltest::WriteFile(path, std::string(4321, 'z'));
  const twltest::ToolRun run = RunIdentifyTool("--plugins '" TWL_IDENTIFY_PLUGIN_DIR "' '" + path + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, path + "\tsecond\t200\t100\n");
  EXPECT_NE(run.err.find("-------- initializing file identifiers --------"), std::string::npos) << run.err;
}

TEST(TwltoolIdentify, ScreevoKnowsItsSoundFilesAndLeavesOthersAlone) {
  const std::string dir = twltest::MakeTempDir("sounds");
  const std::string wave = dir + "/tone.wav";
  ASSERT_EQ(twltest::RunCommand("sox -n -r 8000 -c 1 '" + wave + "' synth 0.2 sine 440"), 0) << "sox is needed";
  const std::string other = dir + "/x.xyz";
  twltest::WriteFile(other, "not a sound\n");
  const twltest::ToolRun run =
      RunIdentifyTool("--plugins '" + twltest::ProgramPath("PlugIns") + "' '" + wave + "' '" + other + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, wave + "\t\t64\t64\n" + other + "\t\t0\t0\n");
}

TEST(TwltoolIdentify, WithoutAPlugInFolderNothingRuns) {
  const twltest::ToolRun run = RunIdentifyTool("a.wav");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
}

}  // namespace

// Plug-ins' visualizers are loaded, one of them is current as the stored
// choice says, and the current one is fed what is played: twltool
// visualizers with the TestStreams fixtures of both interface versions.
#include <gtest/gtest.h>

#include <string>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

const std::string kPlugIns = TWL_TEST_STREAMS_DIR;
const std::string kListed = "visualizer 0 TestStreams<vis>\nvisualizer 1 TestStreams1\n";

void StoreCurrentVisualizer(const char* key) {
  HKEY settings = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &settings));
  EXPECT_TRUE(SetRegistryString(settings, "CurrentVisualizer", key));
  RegCloseKey(settings);
}

TEST(TwltoolVisualizers, BothVersionsAreListedAndTheStoredChoiceIsMatchedWithoutCase) {
  struct Row {
    const char* stored;  // null: nothing stored
    const char* current;
  };
  for (const Row& row : {Row{nullptr, "current 0 TestStreams<vis>\n"}, Row{"teststreams<VIS>", "current 0 TestStreams<vis>\n"},
                         Row{"TESTSTREAMS1", "current 1 TestStreams1\n"}}) {
    SCOPED_TRACE(row.stored ? row.stored : "nothing stored");
    if (row.stored) StoreCurrentVisualizer(row.stored);
    const twltest::ToolRun run = twltest::RunTool("twltool", "visualizers '" + kPlugIns + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("-------- initializing visualizers --------\n"
                           "initializing 'Test visualizer'...done\n"
                           "initializing 'Test visualizer'...done\n" +
                           kListed + row.current),
              std::string::npos)
        << run.out;
  }
}

TEST(TwltoolVisualizers, TheCurrentVisualizerIsFedEveryByteOnceInOrderBetweenPrepareAndUnprepare) {
  const std::string dir = twltest::MakeTempDir("feed");
  const std::string tone = dir + "/tone.wav";
  const std::string dump = dir + "/dump.bin";
  ASSERT_EQ(twltest::RunCommand("sox -n -r 22050 -c 2 -b 16 '" + tone + "' synth 0.73 sine 440 2>&1"), 0);
  for (const char* stored : {"TestStreams<vis>", "TestStreams1"}) {
    SCOPED_TRACE(stored);
    StoreCurrentVisualizer(stored);
    std::remove(dump.c_str());
    const twltest::ToolRun run = twltest::RunTool("twltool", "visualizers --feed '" + tone + "' '" + kPlugIns + "'",
                                                  "TWL_TEST_VISUALIZER_DUMP='" + dump + "' ");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.ends_with("TestVisualizer: prepare\nTestVisualizer: stop\nTestVisualizer: unprepare\n"))
        << run.out;
    std::string verdict;
    EXPECT_EQ(twltest::RunCommand("python3 -c \"import sys, wave\n"
                                  "w = wave.open(sys.argv[1], 'rb'); pcm = w.readframes(w.getnframes())\n"
                                  "fed = open(sys.argv[2], 'rb').read()\n"
                                  "print(len(pcm) > 0, fed == pcm)\" '" +
                                      tone + "' '" + dump + "'",
                                  &verdict),
              0);
    EXPECT_EQ(verdict, "True True\n") << "the dump holds the tone's samples once, whole and in order";
  }
}

TEST(TwltoolVisualizers, AFolderWithoutVisualizersHasNoCurrentOneAndABadSoundIsRefused) {
  const twltest::ToolRun empty = twltest::RunTool("twltool", "visualizers '" + twltest::MakeTempDir("empty") + "'");
  ASSERT_EQ(empty.exitCode, 0) << empty.err;
  EXPECT_TRUE(empty.out.ends_with("current -1 -\n")) << empty.out;

  const std::string bad = twltest::MakeTempDir("bad") + "/bad.wav";
  twltest::WriteFile(bad, "RIFF\x04\x00\x00\x00WAVE");
  const twltest::ToolRun refused = twltest::RunTool("twltool", "visualizers --feed '" + bad + "' '" + kPlugIns + "'");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "") << "nothing is loaded for a sound that cannot be fed";
}

}  // namespace

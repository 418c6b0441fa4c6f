// The viewer window system as the player runs it, through twltool viewer
// and twltool play: its settings as the registry database holds them, the
// choice and preparation of providers from the fixture plug-ins, the
// events of stand-in users, and a visualizer prepared and fed while a file
// plays.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

const std::string kViewers = TWL_TEST_VIEWER_DIR;

void StoreViewerDWord(const char* name, DWORD value) {
  HKEY settings = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &settings));
  EXPECT_TRUE(SetRegistryDWord(settings, name, value));
  RegCloseKey(settings);
}

void StoreViewerText(const char* name, const char* text) {
  HKEY settings = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &settings));
  EXPECT_TRUE(SetRegistryString(settings, name, text));
  RegCloseKey(settings);
}

// A value of the settings key as the database file holds it, read with
// the sqlite3 shell: a DWORD as its number, a text without its ending
// zero, "-" when missing.
std::string StoredValue(const char* name) {
  const char* registry = std::getenv("TWL_REGISTRY");
  if (!registry) return "no registry";
  std::string out;
  twltest::RunCommand("sqlite3 '" + std::string(registry) + "' \"select type || ' ' || hex(data) from registry where name = '" +
                          name + "'\"",
                      &out);
  if (out.empty()) return "-";
  const bool isDWord = out.starts_with("4 ");
  std::string bytes;
  for (size_t at = out.find(' ') + 1; at + 1 < out.size() && out[at] != '\n'; at += 2)
    bytes.push_back(static_cast<char>(std::stoi(out.substr(at, 2), nullptr, 16)));
  if (isDWord) {
    unsigned long value = 0;
    for (size_t index = bytes.size(); index-- > 0;) value = value * 256 + static_cast<unsigned char>(bytes[index]);
    return std::to_string(value);
  }
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return bytes;
}

twltest::ToolRun RunViewer(const std::string& arguments) {
  return twltest::RunTool("twltool", "viewer " + arguments);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The lines printed after the state line that follows `after`.
std::string LinesAfter(const std::string& out, const std::string& after) {
  const size_t at = out.find(after);
  return at == std::string::npos ? "" : out.substr(at + after.size());
}

TEST(TwltoolViewer, StoredModesAreReadSoundlyAndWrittenBackAsTheUserChoseThem) {
  StoreViewerDWord("ControlWindowMode", 7);
  StoreViewerDWord("PlayerDisplayMode", 5);
  twltest::ToolRun run = RunViewer("");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "state 2 2 1 ")) << run.out;
  EXPECT_EQ(StoredValue("ControlWindowMode"), "2") << "any other number reads as 2";
  EXPECT_EQ(StoredValue("PlayerDisplayMode"), "0") << "only 1 means full screen";
  EXPECT_EQ(StoredValue("MiniControlWindowMode"), "0");
  EXPECT_EQ(StoredValue("PlayerModeOverride"), "1");
  EXPECT_EQ(StoredValue("CurrentControlWindowProvider"), "") << "no providers: an empty key is written";

  run = RunViewer("mode 1 suspend");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "state 3 1 1 ")) << run.out;
  EXPECT_EQ(StoredValue("ControlWindowMode"), "1") << "the remembered mode, never 3";

  StoreViewerDWord("ControlWindowMode", 2);
  run = RunViewer("kind 2 mode 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "state 0 0 1 ")) << "the mini main window's default mode is 0\n" << run.out;
  EXPECT_EQ(StoredValue("MiniControlWindowMode"), "1");
  EXPECT_EQ(StoredValue("ControlWindowMode"), "2") << "the normal settings stay";
}

TEST(TwltoolViewer, TheStoredProviderIsFoundWithoutCaseAndAnUnknownOneFallsBackToTheFirst) {
  StoreViewerText("CurrentControlWindowProvider", "testviewer1");
  twltest::ToolRun run = RunViewer("--plugins '" + kViewers + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "TestViewer1: prepare\n")) << run.out;
  EXPECT_FALSE(Contains(run.out, "TestViewer: prepare\n")) << run.out;
  EXPECT_TRUE(run.out.ends_with("TestViewer1: unprepare\n")) << run.out;
  EXPECT_EQ(StoredValue("CurrentControlWindowProvider"), "testviewer1") << "a key that matched is not rewritten";

  StoreViewerText("CurrentControlWindowProvider", "nope");
  run = RunViewer("--plugins '" + kViewers + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Unable to find selected viewer window provider 'nope'.\nTestViewer: prepare\n"))
      << run.out;
  EXPECT_TRUE(run.out.ends_with("TestViewer: unprepare\n")) << run.out;
  EXPECT_EQ(StoredValue("CurrentControlWindowProvider"), "TestViewer<prov>");
}

TEST(TwltoolViewer, AProviderWithAnEmptySlotIsRefusedAndTheViewerRunsWithout) {
  const twltest::ToolRun run = RunViewer("--plugins '" + std::string(TWL_BROKEN_VIEWER_DIR) + "' mode 1");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "initializing 'Test viewer provider'...")) << run.out;
  EXPECT_TRUE(Contains(run.out, "VIEWERPROVIDER_CloseWindow")) << "the missing slot is named\n" << run.out;
  EXPECT_FALSE(Contains(run.out, "prepare")) << run.out;
  EXPECT_TRUE(Contains(run.out, "state 1 1 1 ")) << run.out;
  EXPECT_EQ(StoredValue("CurrentControlWindowProvider"), "");
}

TEST(TwltoolViewer, UsersHearOfEveryChangeAndRepeatsChangeNothing) {
  struct Row {
    const char* commands;
    const char* after;  // the state line before the lines checked
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"mode 0", "event 2 0 1 0\nstate 2 2 1 2\n", "event 2 0 0 0\nevent 1 200 0 0\nstate 0 0 1 3\n",
       "the visualizer loses the viewer, the player hears it is held elsewhere"},
      {"mode 0 mode 2", "state 0 0 1 3\n", "event 2 0 1 0\nevent 1 200 0 0\nstate 2 2 1 4\n",
       "the visualizer gains it back"},
      {"mode 0 mode 2 mode 2", "state 2 2 1 4\n", "state 2 2 1 4\n", "a second mode 2 gives nothing"},
      {"suspend suspend resume", "state 2 2 1 2\n",
       "event 2 0 0 0\nstate 3 2 1 3\nstate 3 2 1 3\nevent 2 0 1 0\nevent 1 200 0 0\nstate 2 2 1 4\n",
       "suspended twice, one resume returns to 2"},
      {"resume", "state 2 2 1 2\n", "state 2 2 1 2\nevent 2 0 0 0\n", "resume without suspend changes nothing"},
      {"disable 2 enable 2", "state 2 2 1 2\n", "event 2 0 0 0\nstate 2 2 1 4\nevent 2 0 1 0\nstate 2 2 1 4\n",
       "disabling the current user tells it, enabling tells it again"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    StoreViewerDWord("ControlWindowMode", 2);  // each row starts from the default
    const twltest::ToolRun run = RunViewer(row.commands);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(LinesAfter(run.out, row.after).starts_with(row.expected)) << run.out;
  }
}

TEST(TwltoolViewer, ABadCommandIsRefusedBeforeAnythingStarts) {
  for (const char* arguments : {"mode", "mode x", "fly 1", "--plugins"}) {
    SCOPED_TRACE(arguments);
    const twltest::ToolRun run = RunViewer(arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
  }
}

// The test WAV player asks its sound buffer to feed the visualizers, so
// TestStreams' visualizer gets the tone while it plays, once the viewer
// shows visualizers.
TEST(TwltoolPlayViewer, TheShownVisualizerIsPreparedAndFedWhatPlaysAndNothingWhileTheViewerIsOff) {
  const std::string dir = twltest::MakeTempDir("playviewer");
  const std::string plugIns = dir + "/PlugIns";
  const std::string tone = dir + "/tone.wav";
  const std::string dump = dir + "/dump.bin";
  ASSERT_EQ(twltest::RunCommand("mkdir -p '" + plugIns + "' && cp '" + std::string(TWL_WAV_PLAYER_DIR) +
                                "'/*.dll '" + std::string(TWL_TEST_STREAMS_DIR) + "/TestStreams.dll' '" + plugIns +
                                "/'"),
            0);
  ASSERT_EQ(twltest::RunCommand("sox -n -r 22050 -c 2 -b 16 '" + tone + "' synth 0.4 sine 440 2>&1"), 0);
  const std::string prefix = "TWL_SOUND_SINK=null TWL_TEST_VISUALIZER_DUMP='" + dump + "' ";
  twltest::ToolRun run = twltest::RunTool("twltool", "play --plugins '" + plugIns + "' '" + tone + "'", prefix);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const size_t prepared = run.out.find("TestVisualizer: prepare\n");
  const size_t finished = run.out.find("FINISHED");
  ASSERT_NE(prepared, std::string::npos) << run.out;
  EXPECT_LT(prepared, finished) << "prepared while the tone plays\n" << run.out;
  EXPECT_TRUE(run.out.ends_with("TestVisualizer: unprepare\n")) << run.out;
  std::string verdict;
  EXPECT_EQ(twltest::RunCommand("python3 -c \"import sys, wave\n"
                                "w = wave.open(sys.argv[1], 'rb'); pcm = w.readframes(w.getnframes())\n"
                                "fed = open(sys.argv[2], 'rb').read(); at = fed.find(pcm)\n"
                                "print(len(pcm) > 0, at >= 0, fed.count(pcm), set(fed[:at] + fed[at + len(pcm):]) <= {0})\" '" +
                                    tone + "' '" + dump + "'",
                                &verdict),
            0);
  EXPECT_EQ(verdict, "True True 1 True\n") << "the tone's PCM once, whole and in order, silence around it";

  StoreViewerDWord("ControlWindowMode", 0);
  std::remove(dump.c_str());
  run = twltest::RunTool("twltool", "play --plugins '" + plugIns + "' '" + tone + "'", prefix);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(Contains(run.out, "TestVisualizer: prepare")) << run.out;
  EXPECT_NE(twltest::RunCommand("test -s '" + dump + "'"), 0) << "nothing is fed";
}

}  // namespace

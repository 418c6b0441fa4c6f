// `twltool soundbuffer` and `twltool volumetable` end to end: sox makes the
// tone, the tool writes it through a sound buffer into the WAV sink, and
// python3 and soxi check what was played.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>

#include "SoundBufferFixture.h"

using namespace soundtest;

namespace {

using soundtest::Twltool;

bool Succeeded(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

std::string RunOk(const std::string& commandLine) {
  std::string output;
  const int status = twltest::RunCommand(commandLine, &output);
  EXPECT_TRUE(Succeeded(status)) << commandLine << "\n" << output;
  return output;
}

TEST(TwltoolSoundBuffer, WritesAToneInFourKibBlocksAndDrainsItWholeIntoTheWavSink) {
  const std::string folder = twltest::MakeTempDir("tone");
  const std::string tone = SoxTone(folder, "tone.wav", "2", "1000");
  const std::string capture = folder + "/capture.wav";
  EXPECT_EQ(RunOk("TWL_SOUND_SINK=wav:" + Quote(capture) + " " + Twltool() + " soundbuffer --block 4096 --drain " +
                  Quote(tone)),
            "44100 Hz, 16 bit, 2 channels, 352800 bytes in 87 blocks\n");
  const std::string found = CheckCapture({tone}, capture);
  EXPECT_EQ(found.rfind("offset ", 0), 0u) << found;
  EXPECT_EQ(RunOk("soxi -r " + Quote(capture)), "44100\n");
  EXPECT_EQ(RunOk("soxi -c " + Quote(capture)), "2\n");
  EXPECT_EQ(RunOk("soxi -b " + Quote(capture)), "16\n");
}

TEST(TwltoolSoundBuffer, RefusesBadArgumentsAndLevelsWithTheReason) {
  const std::string folder = twltest::MakeTempDir("arguments");
  const std::string tone = SoxTone(folder, "tone.wav", "0.01", "1000");
  const struct {
    std::string arguments;
    const char* reason;
  } rows[] = {
      {"", "soundbuffer takes options and one file"},
      {"--block 0 " + Quote(tone), "a block is 1 to 1048576 bytes"},
      {"--block 4097 " + Quote(tone), "no whole number of frames"},
      {"--volume 257 " + Quote(tone), "SetVolume failed: DirectSound error: An invalid parameter"},
      {"--volume -1 " + Quote(tone), "SetVolume failed: DirectSound error: An invalid parameter"},
      {"--pan -257 " + Quote(tone), "SetPan failed: DirectSound error: An invalid parameter"},
      {"--volume loud " + Quote(tone), "not a level: 'loud'"},
      {Quote(folder + "/missing.wav"), "cannot read"},
  };
  for (const auto& row : rows) {
    std::string output;
    const int status =
        twltest::RunCommand("TWL_SOUND_SINK=null " + Twltool() + " soundbuffer " + row.arguments + " 2>&1", &output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << row.arguments;
    EXPECT_NE(output.find(row.reason), std::string::npos) << row.arguments << ": " << output;
  }
}

TEST(TwltoolVolumeTable, PrintsEveryLevelWithItsAttenuation) {
  std::istringstream lines(RunOk(Twltool() + " volumetable"));
  std::vector<long> values;
  int level = 0;
  long value = 0;
  while (lines >> level >> value) {
    EXPECT_EQ(level, static_cast<int>(values.size()));
    values.push_back(value);
  }
  ASSERT_EQ(values.size(), 257u);
  EXPECT_EQ(values[0], -10000);
  EXPECT_EQ(values[1], -8000);
  EXPECT_EQ(values[3], -6415);
  EXPECT_EQ(values[100], -1356);
  EXPECT_EQ(values[192], -415);
  EXPECT_EQ(values[255], -5);
  EXPECT_EQ(values[256], 0);
}

}  // namespace

// `twltool play --plugins DIR` with the test WAV player: the player system
// finds the plug-in's player, plays the playlist through it into a WAV
// sink, moves on when each file has finished and exits at the end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "PlayedInOrder.h"
#include "SoundBufferFixture.h"
#include "support/TestPaths.h"

namespace {

TEST(TwltoolPlayWav, APlaylistOfTwoSoxFilesPlaysIntoTheSinkInOrderEachOnce) {
  const std::string folder = twltest::MakeTempDir("playwav");
  std::string rawA, rawB;
  const std::string a = soundtest::SoxTone(folder, "a.wav", "0.6", "440", &rawA);
  const std::string b = soundtest::SoxTone(folder, "b.wav", "0.4", "660", &rawB);
  const std::string capturePath = folder + "/cap.wav";
  std::string output;
  const int status = twltest::RunCommand("TWL_SOUND_SINK='wav:" + capturePath + "' '" +
                                             twltest::ProgramPath("twltool") + "' play --plugins '" +
                                             TWL_WAV_PLAYER_DIR + "' '" + a + "' '" + b + "' 2>&1",
                                         &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  const std::string expectedLog = "playing 'file://" + a + "'FINISHED\nplaying 'file://" + b + "'FINISHED\n";
  EXPECT_NE(output.find(expectedLog), std::string::npos) << output;
  EXPECT_NE(output.find("initializing 'Test WAV player'...done"), std::string::npos) << output;

  soundtest::ExpectPlayedInOrder(capturePath, {rawA, rawB});
  const std::string quoted = "'" + capturePath + "'";
  EXPECT_EQ(twltest::RunCommand("soxi -r " + quoted + " && soxi -c " + quoted + " && soxi -b " + quoted, &output), 0);
  EXPECT_EQ(output, "44100\n2\n16\n");
}

}  // namespace

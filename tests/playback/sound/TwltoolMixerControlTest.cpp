// `twltool mixer control` end to end: the host's volume control of the
// speakers line driven as the current player drives it, with the line set
// and moved by another program meanwhile.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "SoundBufferFixture.h"

namespace {

using soundtest::Twltool;

TEST(TwltoolMixerControl, LevelsUserMovesAndRestoreOnTheSpeakersLine) {
  const struct {
    std::string arguments;
    std::string expected;
    const char* why;
  } rows[] = {
      {"--line 40000 4 128",
       "line 40000\nlevel 128: line 20000, GetVolume 128\nrestored: line 40000, GetVolume 256\n"
       "released: 0 references left\n",
       "half the level halves the line; restoring puts 40000 back"},
      {"--line 40000 4 256",
       "line 40000\nlevel 256: line 40000, GetVolume 256\nrestored: line 40000, GetVolume 256\n"
       "released: 0 references left\n",
       "full level leaves the line as it was"},
      {"--line 40000 --user 30000 4 128",
       "line 40000\nlevel 128: line 20000, GetVolume 128\nuser: line 30000\nrestored: line 60000, GetVolume 256\n"
       "released: 0 references left\n",
       "the user's 30000 at half the level stands for 60000"},
      {"--user 40000 4 64",
       "line 65535\nlevel 64: line 16383, GetVolume 64\nuser: line 40000\nrestored: line 65535, GetVolume 256\n"
       "released: 0 references left\n",
       "160000 is held at the line's maximum"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::string output;
    const int status =
        twltest::RunCommand("TWL_SOUND_SINK=null " + Twltool() + " mixer control " + row.arguments, &output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(output, row.expected);
  }
}

TEST(TwltoolMixerControl, ALineNoDeviceHasIsRefused) {
  const struct {
    std::string arguments;
    const char* reason;
  } rows[] = {
      {"5 128", "mixer: no volume control: the specified mixer control is unavailable"},
      {"4", "mixer: mixer control [--line VALUE] [--user VALUE] TYPE LEVEL"},
      {"--line 70000 4 128", "mixer: the line cannot take 70000"},
  };
  for (const auto& row : rows) {
    std::string output;
    const int status =
        twltest::RunCommand("TWL_SOUND_SINK=null " + Twltool() + " mixer control " + row.arguments + " 2>&1", &output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << row.arguments;
    EXPECT_NE(output.find(row.reason), std::string::npos) << row.arguments << ": " << output;
  }
}

}  // namespace

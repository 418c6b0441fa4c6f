// `twltool play` with the program's plug-ins: Screevo plays a playlist of
// an Ogg Vorbis file, a text file named like one and a WAV file into the
// WAV-file sink, moving on when each ends.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "PlayedInOrder.h"
#include "ScreevoHost.h"

namespace {

using screevotest::Quote;

TEST(TwltoolScreevo, APlaylistPlaysToItsEndAndAFileThatIsNoSoundIsSkippedWithTheGraphsText) {
  const std::string folder = twltest::MakeTempDir("screevo play");
  std::string decoded;
  std::string raw;
  const std::string ogg = screevotest::OggTone(folder, "tone \xC3\xA4.ogg", 40, &decoded);
  const std::string text = folder + "/x.ogg";
  twltest::WriteFile(text, "not a sound\n");
  const std::string wav = screevotest::SoxTone(folder, "tone.wav", "1", "440", &raw);
  const std::string capture = folder + "/capture.wav";
  std::string output;
  const int status = twltest::RunCommand("TWL_SOUND_SINK=" + Quote("wav:" + capture) + " " +
                                             Quote(twltest::ProgramPath("twltool")) + " play --plugins " +
                                             Quote(TWL_PLUGINS_DIR) + " " + Quote(ogg) + " " + Quote(text) + " " +
                                             Quote(wav) + " 2>&1",
                                         &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("initializing 'Screevo (DirectShow multimedia files)'...done"), std::string::npos) << output;
  EXPECT_NE(output.find("playing 'file://" + ogg + "'FINISHED\n"), std::string::npos) << output;
  EXPECT_NE(output.find("playing 'file://" + text + "'Unable to play 'file://" + text +
                        "'.\nReported errors:\nScreevo (DirectShow multimedia files) - DirectShow error: "),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("playing 'file://" + wav + "'FINISHED\n"), std::string::npos) << output;
  soundtest::ExpectPlayedInOrder(capture, {decoded, raw});
}

}  // namespace

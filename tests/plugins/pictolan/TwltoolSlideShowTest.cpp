// `twltool play` with Pictolan alone: a playlist of pictures is a slide
// show; files no type reads are refused with Pictolan's reason and the
// next file plays.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(TwltoolSlideShow, PicturesPlayInOrderAndUnreadableOnesAreRefusedWithTheReason) {
  const std::string folder = twltest::MakeTempDir("pictolan play");
  const std::string plugIns = folder + "/plugins";
  ASSERT_EQ(twltest::RunCommand("mkdir " + Quoted(plugIns) + " && cp " + Quoted(TWL_PICTOLAN_PATH) + " " +
                                Quoted(plugIns) + " && cd " + Quoted(folder) +
                                " && convert -size 40x30 xc:red a.jpg && convert -size 40x30 xc:blue b.png"
                                " && cp b.png d.gif"),
            0);
  twltest::WriteFile(folder + "/x.jpg", "not a picture\n");
  const std::string missing = folder + "/missing.png";
  std::string output;
  const int status = twltest::RunCommand("cd " + Quoted(folder) + " && TWL_SOUND_SINK=null " +
                                             Quoted(twltest::ProgramPath("twltool")) + " play --plugins " +
                                             Quoted(plugIns) + " d.gif x.jpg " + Quoted(missing) + " b.png 2>&1",
                                         &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  const std::string refused = "Reported errors:\nVelbrook Pictolan Add-On - unsupported file format\n";
  const size_t gif = output.find("playing 'file://d.gif'Unable to play 'file://d.gif'.\n" + refused);
  const size_t text = output.find("playing 'file://x.jpg'Unable to play 'file://x.jpg'.\n" + refused);
  const size_t gone = output.find("playing 'file://" + missing + "'Unable to play 'file://" + missing +
                                  "'.\nReported errors:\nVelbrook Pictolan Add-On - The file was not found.");
  const size_t png = output.find("playing 'file://b.png'FINISHED\n");
  ASSERT_NE(gif, std::string::npos) << output;
  ASSERT_NE(text, std::string::npos) << output;
  ASSERT_NE(gone, std::string::npos) << output;
  ASSERT_NE(png, std::string::npos) << output;
  EXPECT_TRUE(gif < text && text < gone && gone < png) << output;
}

}  // namespace

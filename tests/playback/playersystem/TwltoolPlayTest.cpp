#include <gtest/gtest.h>
#include <sys/wait.h>

#include <set>
#include <sstream>
#include <string>

#include "support/TestPaths.h"

namespace {

int RunPlay(const std::string& arguments, std::string* output) {
  const int status =
      twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' play " + arguments + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// With loop on, a long list that nothing plays is still tried only once
// around, file after file, without running out of stack.
TEST(TwltoolPlay, AHundredThousandUnplayablePathsAreTriedOnceEach) {
  const std::string list = twltest::MakeTempDir("play") + "/list.txt";
  constexpr int kCount = 100000;
  std::string lines;
  for (int i = 0; i < kCount; ++i) lines += "/none/f" + std::to_string(i) + ".xyz\n";
  twltest::WriteFile(list, lines);
  std::string output;
  ASSERT_EQ(RunPlay("--loop --list '" + list + "'", &output), 0);
  std::set<std::string> tried;
  int attempts = 0;
  for (size_t at = output.find("playing '"); at != std::string::npos; at = output.find("playing '", at + 1)) {
    const size_t end = output.find('\'', at + 9);
    tried.insert(output.substr(at + 9, end - at - 9));
    ++attempts;
  }
  EXPECT_EQ(attempts, kCount);
  EXPECT_EQ(tried.size(), static_cast<size_t>(kCount));
  EXPECT_EQ(tried.count("file:///none/f99999.xyz"), 1u);
}

TEST(TwltoolPlay, TextsBecomeEntriesAsDroppedFilesDo) {
  std::string output;
  ASSERT_EQ(RunPlay("/m/a.mp3 'http://host/b.ogg' '/m/list.m3u<' /m/folder/ /m/list.m3u", &output), 0);
  EXPECT_EQ(output,
            "-------- initializing full-screen support --------\n"
            "-------- initializing viewer window provider --------\n"
            "-------- initializing visualizers --------\n"
            "-------- initializing players --------\n"
            "playing 'file:///m/a.mp3'"
            "Can't play 'file:///m/a.mp3'. No player plugins available for this file type.\n"
            "playing 'http://host/b.ogg'"
            "Can't play 'http://host/b.ogg'. No player plugins available for this file type.\n"
            "playing 'file:///m/list.m3u'"
            "Can't play 'file:///m/list.m3u'. No player plugins available for this file type.\n")
      << "the folder and the playlist shown as a folder hold no files yet";
}

// The program folder keeps the playlist of the last run: given files, the
// file is not read but overwritten at exit; without them it is loaded.
TEST(TwltoolPlay, TheLastPlaylistIsSavedAtExitAndPlayedByTheNextRunWithoutFiles) {
  const std::string folder = twltest::MakeTempDir("program");
  std::string output;
  ASSERT_EQ(RunPlay("--program-folder '" + folder + "' --loop /x/a.wav /x/b.wav", &output), 0);
  EXPECT_EQ(output.find("loading last playlist"), std::string::npos) << output;
  EXPECT_TRUE(output.ends_with("saving last playlist...done\n")) << output;

  std::string listing;
  ASSERT_EQ(twltest::RunCommand("python3 '" + twltest::SourceDir() + "/tests/playback/playlistfile/p4u_file.py' list '" +
                                    folder + "/LastPlayList.p4u'",
                                &listing),
            0);
  EXPECT_EQ(listing, "loop 1 shuffle 0\nfile file:///x/a.wav\nfile file:///x/b.wav\n");

  ASSERT_EQ(RunPlay("--program-folder '" + folder + "'", &output), 0);
  EXPECT_NE(output.find("-------- initializing players --------\nloading last playlist...done\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find("playing 'file:///x/a.wav'"), std::string::npos) << output;
  EXPECT_NE(output.find("playing 'file:///x/b.wav'"), std::string::npos) << output;

  ASSERT_EQ(RunPlay("--program-folder '" + twltest::MakeTempDir("empty") + "'", &output), 0);
  EXPECT_NE(output.find("loading last playlist...file doesn't exist\n"), std::string::npos) << output;
}

TEST(TwltoolPlay, BadArgumentsFail) {
  std::string output;
  EXPECT_EQ(RunPlay("--list", &output), 1);
  EXPECT_EQ(RunPlay("--list /none/such/list.txt", &output), 1);
  EXPECT_EQ(RunPlay("--program-folder", &output), 1);
  EXPECT_EQ(RunPlay("", &output), 0) << "an empty playlist plays nothing";
}

}  // namespace

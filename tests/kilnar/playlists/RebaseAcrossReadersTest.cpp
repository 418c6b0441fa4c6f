// A CD playlist of the burner ("<VAR>\" entries) copied with its files to
// another folder: the burner's and the player's readers both move the
// entries onto the files; the burner's keeps an entry whose file is not
// there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PlaylistFixtures.h"

namespace {

using kilnartest::Quoted;
using playlistfixtures::Field;
using playlistfixtures::Kilnartool;
using playlistfixtures::Script;

class RebaseAcrossReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = twltest::MakeTempDir("cd");
    playlistfixtures::MakeMedia(folder + "/Rock/one.mp3");
    playlistfixtures::MakeMedia(folder + "/two.mp3");
    list = folder + "/CDPLAYLIST.P4U";
    Script("native " + Quoted(list) + " '<VAR>\\CDPLAYLIST.P4U' 'f:80:<VAR>\\Rock\\one.mp3' 'f:100:<VAR>\\two.mp3' "
           "'f:100:<VAR>\\missing.mp3'");
  }
  std::string folder;
  std::string list;
};

TEST_F(RebaseAcrossReaders, TheBurnersReaderMovesOnlyEntriesWhoseFilesAreThere) {
  std::string output;
  ASSERT_EQ(Kilnartool("p4u read " + Quoted(list), &output), 0) << output;
  EXPECT_EQ(Field(output, "base"), std::vector<std::string>{"<VAR>\\CDPLAYLIST.P4U"});
  EXPECT_EQ(Field(output, "file"), (std::vector<std::string>{"80 0 " + folder + "/Rock\\one.mp3",
                                                             "100 0 " + folder + "/two.mp3",
                                                             "100 0 <VAR>\\missing.mp3"}));
}

TEST_F(RebaseAcrossReaders, ThePlayersReaderFindsTheSameFiles) {
  std::string output;
  ASSERT_EQ(twltest::RunCommand(Quoted(twltest::ProgramPath("twltool")) + " playlist read " + Quoted(list), &output), 0)
      << output;
  const std::vector<std::string> files = Field(output, "file");
  ASSERT_EQ(files.size(), 3u) << output;
  EXPECT_EQ(files[0], "80 file://" + folder + "/Rock\\one.mp3");
  EXPECT_EQ(files[1], "100 file://" + folder + "/two.mp3");
}

TEST_F(RebaseAcrossReaders, APlaylistReadInTheFolderItNamesStaysAsItIs) {
  const std::string own = folder + "/own.p4u";
  Script("native " + Quoted(own) + " " + Quoted(folder + "\\OWN.P4U") + " 'f:100:" + folder + "\\x\\gone.mp3'");
  std::string output;
  ASSERT_EQ(Kilnartool("p4u read " + Quoted(own), &output), 0) << output;
  EXPECT_EQ(Field(output, "file"), std::vector<std::string>{"100 0 " + folder + "\\x\\gone.mp3"});
}

}  // namespace

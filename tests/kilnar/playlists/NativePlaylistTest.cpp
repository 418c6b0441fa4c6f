// The burner's native playlist reader and writer: the format's example
// byte for byte, entries it passes over, the player's newer files, and
// damaged files that must neither crash nor allocate what they claim.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kilnar/app/playlists/NativePlaylist.h"
#include "kilnar/app/playlists/PlaylistCodes.h"
#include "PlaylistFixtures.h"

namespace {

using kilnartest::FileSize;
using kilnartest::Quoted;
using playlistfixtures::Field;
using playlistfixtures::Kilnartool;
using playlistfixtures::Script;

TEST(NativePlaylistTest, TheFormatsExampleIs118BytesWithSizeField90) {
  const std::string out = twltest::SandboxDir() + "/example.p4u";
  std::string output;
  // Base of 8 bytes and URLs of 10 and 20, their zeros counted.
  ASSERT_EQ(Kilnartool("p4u write " + Quoted(out) + " '<VAR>\\a' 123456789 1234567890123456789", &output), 0);
  EXPECT_EQ(output, "result 0\n");
  EXPECT_EQ(FileSize(out), 118);
  EXPECT_EQ(Script("parse " + Quoted(out)),
            "size 90\nbase <VAR>\\a\nfile 100 0 123456789\nfile 100 0 1234567890123456789\n");
}

TEST(NativePlaylistTest, AnEntryOfAnotherKindIsPassedOverAndTheOthersKeepTheirOrder) {
  const std::string file = twltest::SandboxDir() + "/kinds.p4u";
  Script("native " + Quoted(file) + " /m/list.p4u f:40:/m/a.mp3 k2 d:3:/m/folder f:100:/m/b.mp3");
  NativePlaylist playlist;
  ASSERT_EQ(playlist.Load(file), kPlaylistOk);
  ASSERT_EQ(playlist.GetCount(), 3);
  EXPECT_EQ(playlist.GetEntry(0).GetUrl(), "/m/a.mp3");
  EXPECT_EQ(playlist.GetEntry(0).volume, 40);
  EXPECT_EQ(playlist.GetEntry(1).kind, NativePlaylistEntry::kKindFolder);
  EXPECT_EQ(playlist.GetEntry(1).folderFlags, 3u);
  EXPECT_EQ(playlist.GetEntry(2).GetUrl(), "/m/b.mp3");
}

TEST(NativePlaylistTest, ThePlayersNewerFileReadsWholeItsTitlesPassedOver) {
  const std::string folder = twltest::MakeTempDir("player");
  const std::string file = folder + "/player.p4u";
  playlistfixtures::MakeMedia(folder + "/one.wav");
  playlistfixtures::MakeMedia(folder + "/two.wav");
  std::string output;
  ASSERT_EQ(twltest::RunCommand(Quoted(twltest::ProgramPath("twltool")) + " playlist write " + Quoted(file) + " " +
                                    Quoted(folder + "/one.wav") + " " + Quoted(folder + "/two.wav"),
                                &output),
            0)
      << output;
  ASSERT_EQ(Kilnartool("p4u read " + Quoted(file), &output), 0) << output;
  EXPECT_EQ(Field(output, "result"), std::vector<std::string>{"0"});
  EXPECT_EQ(Field(output, "file"),
            (std::vector<std::string>{"100 0 file://" + folder + "/one.wav", "100 0 file://" + folder + "/two.wav"}));
}

// Each damaged file, read by kilnartool under an allocation limit far below
// what the file claims: the code, and the entries read before the fault.
TEST(NativePlaylistTest, DamagedFilesGiveTheirCodeAndKeepTheEntriesBeforeTheFault) {
  const std::string folder = twltest::MakeTempDir("hostile");
  Script("hostile " + Quoted(folder));
  const struct {
    const char* file;
    const char* result;
    size_t kept;
    const char* base;
  } cases[] = {
      {"short-head", "11", 0, ""},
      {"other-magic", "20", 0, ""},
      {"minimum-0x10001", "21", 0, ""},
      {"size-field-11", "22", 0, ""},
      {"cut-in-entry", "11", 1, "/m/list.p4u"},
      {"count-huge", "11", 1, "/m/list.p4u"},
      {"url-length-huge", "22", 1, "/m/list.p4u"},
      {"file-size-below-url", "22", 1, "/m/list.p4u"},
      {"folder-size-below-url", "22", 1, "/m/list.p4u"},
      {"entry-size-huge", "11", 1, "/m/list.p4u"},
      {"kind2-size-huge", "11", 1, "/m/list.p4u"},
      {"url-length-0", "22", 0, "/m/list.p4u"},
      {"url-without-zero", "22", 0, "/m/list.p4u"},
      {"base-length-huge", "11", 0, ""},
      // No base: read whole, nothing re-based.
      {"base-length-0", "0", 1, ""},
      {"base-without-zero", "0", 1, ""},
  };
  for (const auto& c : cases) {
    std::string output;
    std::string error;
    const int exit = Kilnartool("p4u read " + Quoted(folder + "/" + c.file + ".p4u"), &output, &error,
                                "ASAN_OPTIONS=max_allocation_size_mb=1:allocator_may_return_null=0 ");
    EXPECT_EQ(exit, std::string(c.result) == "0" ? 0 : 1) << c.file << "\n" << error;
    EXPECT_EQ(Field(output, "result"), std::vector<std::string>{c.result}) << c.file;
    EXPECT_EQ(Field(output, "file").size(), c.kept) << c.file;
    EXPECT_EQ(output.find("base " + std::string(c.base) + "\n") != std::string::npos, true) << c.file << output;
  }
}

TEST(NativePlaylistTest, InsertAppendsAtMinusOneAndAtTheCountAndRefusesBeyond) {
  NativePlaylist playlist;
  auto entry = [](const char* url) {
    auto made = std::make_unique<NativePlaylistEntry>();
    made->SetUrl(url);
    return made;
  };
  EXPECT_EQ(playlist.Insert(entry("a"), -1), kPlaylistOk);
  EXPECT_EQ(playlist.Insert(entry("b"), 1), kPlaylistOk);
  EXPECT_EQ(playlist.Insert(entry("c"), 0), kPlaylistOk);
  EXPECT_EQ(playlist.Insert(entry("x"), 4), kPlaylistBadPosition);
  EXPECT_EQ(playlist.Insert(entry("x"), -2), kPlaylistBadPosition);
  ASSERT_EQ(playlist.GetCount(), 3);
  EXPECT_EQ(playlist.GetEntry(0).GetUrl(), "c");
  EXPECT_EQ(playlist.GetEntry(2).GetUrl(), "b");
  EXPECT_EQ(playlist.GetCapacity(), 50);
  for (int i = 0; i < 48; ++i) playlist.Insert(entry("n"), -1);
  EXPECT_EQ(playlist.GetCapacity(), 100);
}

TEST(NativePlaylistTest, AnEntryWithoutUrlIsNotWritten) {
  NativePlaylist playlist;
  playlist.Insert(std::make_unique<NativePlaylistEntry>(), -1);
  EXPECT_EQ(playlist.Save(twltest::SandboxDir() + "/none.p4u", "base"), kPlaylistEntryWithoutUrl);
  EXPECT_EQ(playlist.Save(twltest::SandboxDir() + "/no/such/folder/x.p4u", "base"), kPlaylistCannotOpen);
}

}  // namespace

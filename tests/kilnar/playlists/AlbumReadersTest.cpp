// Every kind of playlist the burner accepts, read by `kilnartool album`:
// which entries become tracks and files, and what is passed over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PlaylistFixtures.h"

namespace {

using kilnartest::Quoted;
using playlistfixtures::Field;
using playlistfixtures::Kilnartool;
using playlistfixtures::MakeMedia;
using playlistfixtures::Script;

struct Album {
  std::string className;
  std::vector<std::string> tracks;
  std::vector<std::string> files;  // the paths, without CD names
  std::string size;
};

// `place` runs kilnartool in another current folder ("cd X && ").
Album ReadAlbum(const std::string& playlist, const std::string& place = "") {
  std::string output;
  std::string error;
  EXPECT_EQ(Kilnartool("album " + Quoted(playlist), &output, &error, place), 0) << error;
  Album album;
  const auto classes = Field(output, "class");
  album.className = classes.empty() ? "" : classes[0];
  album.tracks = Field(output, "track");
  for (const std::string& file : Field(output, "file")) album.files.push_back(file.substr(0, file.find('\t')));
  const auto sizes = Field(output, "size");
  album.size = sizes.empty() ? "" : sizes[0];
  EXPECT_EQ(Field(output, "tracks"), std::vector<std::string>{std::to_string(album.tracks.size())});
  EXPECT_EQ(Field(output, "files"), std::vector<std::string>{std::to_string(album.files.size())});
  return album;
}

class AlbumReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = twltest::MakeTempDir("music");
    a = MakeMedia(folder + "/a.mp3", 1000);
    b = MakeMedia(folder + "/sub/b.mp3", 2000);
    cda = MakeMedia(folder + "/Track01.Cda", 10);
    twltest::WriteFile(folder + "/empty.mp3", "");
  }
  std::string folder;
  std::string a;
  std::string b;
  std::string cda;
};

TEST_F(AlbumReaders, M3uLinesByTheirForm) {
  const std::string list = folder + "/list.M3u";
  twltest::WriteFile(list,
                     "#EXTM3U\r\n"
                     "#EXTINF:1,a.mp3\r\n"
                     "a.mp3\r\n"                // relative, CR LF
                     "sub\\b.mp3\r\n"           // relative with a backslash
                     + a + "\r\n" +             // absolute: the first line's text again
                     "\\" + b.substr(1) + "\n"  // rooted with a backslash
                     "Track01.cda\n"
                     "Track01.CDA\n"
                     "Track01.Cda\n"            // mixed case: a file name
                     "nothing.mp3\n"
                     "empty.mp3\n"
                     "\n"
                     "sub\n");                  // no extension, a folder
  const Album album = ReadAlbum(list);
  EXPECT_EQ(album.className, "M3uPlaylist");
  EXPECT_EQ(album.tracks, (std::vector<std::string>{folder + "/a.mp3", folder + "/sub\\b.mp3", a, "\\" + b.substr(1),
                                                    folder + "/Track01.Cda"}));
  // Each text once: the same file written differently counts twice.
  EXPECT_EQ(album.files, (std::vector<std::string>{folder + "/a.mp3", folder + "/sub\\b.mp3", "\\" + b.substr(1),
                                                   folder + "/Track01.Cda"}));
  EXPECT_EQ(album.size, std::to_string(1000 + 2000 + 2000 + 10));
}

TEST_F(AlbumReaders, PlsValuesAbsoluteOrRelative) {
  const std::string list = folder + "/list.pls";
  twltest::WriteFile(list, "[Playlist]\r\nFile1=a.mp3\r\nfile2=" + b + "\r\nFile3=C:\\x.mp3\r\nFile4=empty.mp3\r\n"
                           "Title1=ignored\r\nNUMBEROFENTRIES=4\r\nVersion=2\r\n");
  const Album album = ReadAlbum(list);
  EXPECT_EQ(album.className, "PlsPlaylist");
  EXPECT_EQ(album.tracks, (std::vector<std::string>{folder + "/a.mp3", b}));
}

TEST_F(AlbumReaders, PlsWithoutNumberOfEntriesIsEmpty) {
  const std::string list = folder + "/list.pls";
  twltest::WriteFile(list, "[playlist]\r\nFile1=a.mp3\r\nVersion=2\r\n");
  EXPECT_TRUE(ReadAlbum(list).tracks.empty());
}

// On Linux the value "d:/a.mp3" is a path relative to the current folder.
TEST_F(AlbumReaders, AsxTakesTheSourceAfterAnAudioMediaType) {
  MakeMedia(folder + "/d:/early.mp3");
  MakeMedia(folder + "/d:/a.mp3");
  MakeMedia(folder + "/d:/late.mp3");
  const std::string list = folder + "/list.ASX";
  twltest::WriteFile(list,
                     "<ASX version = \"3.0\">\r\n"
                     "  <Param Name = \"SourceURL\" Value = \"d:/early.mp3\" />\r\n"  // before a MediaType
                     "  <Param Name = \"MediaType\" Value = \"audio\" />\r\n"
                     "  <Param Name = \"Comment\" Value = \"x\" />\r\n"
                     "  <Param Name = \"SourceURL\" Value = \"d:/a.mp3\" />\r\n"
                     "  <Param Name = \"MediaType\" Value = \"audio\" />\r\n"
                     "  <Param Name = \"SourceURL\" Value = \"no colon\" />\r\n"
                     "  <Param Name = \"SourceURL\" Value = \"d:/late.mp3\" />\r\n"  // the flag was used
                     "</ASX>\r\n");
  const Album album = ReadAlbum(list, "cd " + Quoted(folder) + " && ");
  EXPECT_EQ(album.className, "AsxPlaylist");
  EXPECT_EQ(album.tracks, std::vector<std::string>{"d:/a.mp3"});
}

TEST_F(AlbumReaders, McdArchivesFromThePythonWriter) {
  const struct {
    const char* behaviour;
    std::string command;
    size_t tracks;
  } cases[] = {
      {"two paths", "mcd {} " + Quoted(a) + " " + Quoted(b) + " /m/missing.mp3", 2},
      {"strings stored as UTF-16", "mcd-wide {} " + Quoted(a), 1},
      {"another class: empty", "mcd-unknown {}", 0},
      {"16 documents nested: read", "mcd-nested {} 16", 0},
      {"40 documents nested: empty", "mcd-nested {} 40", 0},
  };
  int number = 0;
  for (const auto& c : cases) {
    const std::string list = folder + "/list" + std::to_string(++number) + ".MCD";
    std::string command = c.command;
    command.replace(command.find("{}"), 2, Quoted(list));
    Script(command);
    const Album album = ReadAlbum(list);
    EXPECT_EQ(album.className, "McdPlaylist") << c.behaviour;
    EXPECT_EQ(album.tracks.size(), c.tracks) << c.behaviour;
  }
  const std::string cut = folder + "/cut.mcd";
  Script("mcd " + Quoted(cut) + " " + Quoted(a) + " " + Quoted(b));
  const std::string bytes = twltest::ReadFile(cut);
  twltest::WriteFile(cut, bytes.substr(0, bytes.size() - 3));
  EXPECT_TRUE(ReadAlbum(cut).tracks.empty()) << "a cut archive";
}

TEST_F(AlbumReaders, P4uFileEntriesOnlyEachFileOnce) {
  const std::string list = folder + "/list.p4u";
  Script("native " + Quoted(list) + " " + Quoted(list) + " f:100:" + Quoted("file://" + a) + " d:1:" + Quoted(folder) +
         " f:50:" + Quoted(a) + " f:100:" + Quoted("FILE://" + a) + " f:100:" + Quoted(folder + "/empty.mp3") +
         " f:100:" + Quoted(folder + "/missing.mp3") + " f:100:http://host/a.mp3 f:100:" + Quoted(b));
  const Album album = ReadAlbum(list);
  EXPECT_EQ(album.className, "P4uPlaylist");
  EXPECT_EQ(album.tracks, (std::vector<std::string>{a, a, a, b}));
  EXPECT_EQ(album.files, (std::vector<std::string>{a, b}));
  EXPECT_EQ(album.tracks.size() - album.files.size(), 2u);
}

TEST_F(AlbumReaders, UnreadableOrUnknownPlaylistsGiveEmptyAlbums) {
  const struct {
    const char* path;
    const char* className;
  } cases[] = {
      {"/no/such/list.m3u", "M3uPlaylist"},
      {"/no/such/list.pls", "PlsPlaylist"},
      {"/no/such/list.asx", "AsxPlaylist"},
      {"/no/such/list.mcd", "McdPlaylist"},
      {"/no/such/list.wpl", "P4uPlaylist"},
      {"/no/such/list.txt", "none"},
  };
  for (const auto& c : cases) {
    const Album album = ReadAlbum(c.path);
    EXPECT_EQ(album.className, c.className) << c.path;
    EXPECT_TRUE(album.tracks.empty()) << c.path;
  }
  const std::string notNative = folder + "/text.apl";
  twltest::WriteFile(notNative, a + "\n");
  EXPECT_TRUE(ReadAlbum(notNative).tracks.empty());
}

}  // namespace

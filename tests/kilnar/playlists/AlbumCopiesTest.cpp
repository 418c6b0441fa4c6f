// The copies of the playlist the burner writes for the CD: their exact
// lines and entries, their transliterated names, the names of files that
// would meet on the CD, and a private folder that no user file is in.
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "kilnar/app/playlists/CdContent.h"
#include "kilnar/app/playlists/M3uPlaylist.h"
#include "kilnar/app/playlists/P4uPlaylist.h"
#include "PlaylistFixtures.h"

namespace {

using kilnartest::Quoted;
using playlistfixtures::Field;
using playlistfixtures::Kilnartool;
using playlistfixtures::MakeMedia;
using playlistfixtures::Script;

class AlbumCopies : public ::testing::Test {
 protected:
  void SetUp() override { folder = twltest::MakeTempDir("copies"); }

  // Runs `album --copy-to`; the copy's bytes.
  std::string CopyOf(const std::string& playlist, const std::string& name, std::string* output) {
    const std::string copy = folder + "/copy-" + std::to_string(++copies);
    EXPECT_EQ(Kilnartool("album --name " + Quoted(name) + " --copy-to " + Quoted(copy) + " " + Quoted(playlist), output),
              0)
        << *output;
    EXPECT_EQ(Field(*output, "removed"), std::vector<std::string>{"1"});
    return twltest::ReadFile(copy);
  }

  std::string folder;
  int copies = 0;
};

TEST_F(AlbumCopies, ThePlsCopyOfTwoFilesIsFiveLines) {
  MakeMedia(folder + "/One.mp3");
  MakeMedia(folder + "/Two.ogg");
  const std::string list = folder + "/list.pls";
  twltest::WriteFile(list, "[playlist]\nNumberOfEntries=2\nFile1=One.mp3\nFile2=" + folder + "/Two.ogg\n");
  std::string output;
  EXPECT_EQ(CopyOf(list, "Best", &output),
            "[playlist]\r\nFile1=One.mp3\r\nFile2=Two.ogg\r\nNumberOfEntries=2\r\nVersion=2\r\n");
  EXPECT_EQ(Field(output, "copy"), std::vector<std::string>{"Best.PLS"});
}

TEST_F(AlbumCopies, TheP4uCopyNamesTheFilesBesideItAndKeepsTheirVolumes) {
  const std::string a = MakeMedia(folder + "/in/Ärger.mp3");
  const std::string b = MakeMedia(folder + "/in/b.mp3");
  const std::string list = folder + "/list.p4u";
  Script("native " + Quoted(list) + " " + Quoted(list) + " d:2:" + Quoted(folder) + " f:70:" + Quoted("file://" + a) +
         " f:100:" + Quoted(folder + "/missing.mp3") + " f:30:" + Quoted(b) + " f:55:" + Quoted(a));
  std::string output;
  const std::string bytes = CopyOf(list, "Müller", &output);
  EXPECT_EQ(Field(output, "copy"), std::vector<std::string>{"Mueller.P4U"});
  const std::string copy = folder + "/copy-1";
  EXPECT_EQ(Script("parse " + Quoted(copy)),
            "size " + std::to_string(bytes.size() - 28) +
                "\nbase <VAR>\\Müller.P4U\nfile 70 0 <VAR>\\Aerger.mp3\nfile 30 0 <VAR>\\b.mp3\n"
                "file 55 0 <VAR>\\Aerger.mp3\n");
}

TEST_F(AlbumCopies, TheM3uCopyIsTransliteratedLineByLine) {
  MakeMedia(folder + "/Öl und Süß.mp3");
  const std::string list = folder + "/list.m3u";
  twltest::WriteFile(list, "Öl und Süß.mp3\nÖl und Süß.mp3\n");
  std::string output;
  EXPECT_EQ(CopyOf(list, "Grüße", &output), "Oel und Suess.mp3\r\nOel und Suess.mp3\r\n");
  EXPECT_EQ(Field(output, "copy"), std::vector<std::string>{"Gruesse.M3U"});
}

// Files that would meet under one name in the album's folder: each gets a
// name of its own, the same in the file lines and in the copy.
TEST_F(AlbumCopies, FilesOfOneCdNameAreNumbered) {
  MakeMedia(folder + "/x/a.mp3");
  MakeMedia(folder + "/y/a.mp3");
  MakeMedia(folder + "/y/A.MP3");
  MakeMedia(folder + "/y/Müller.mp3");
  MakeMedia(folder + "/y/Mueller.mp3");
  MakeMedia(folder + "/y/list.m3u");  // the copy's own name
  const std::string list = folder + "/list.m3u";
  twltest::WriteFile(list, "x/a.mp3\ny/a.mp3\ny/A.MP3\ny/Müller.mp3\ny/Mueller.mp3\ny/list.m3u\n");
  std::string output;
  const std::string copy = CopyOf(list, "list", &output);
  EXPECT_EQ(Field(output, "file"), (std::vector<std::string>{
                                       folder + "/x/a.mp3\ta.mp3", folder + "/y/a.mp3\ta(2).mp3",
                                       folder + "/y/A.MP3\tA(3).MP3", folder + "/y/Müller.mp3\tMueller.mp3",
                                       folder + "/y/Mueller.mp3\tMueller(2).mp3", folder + "/y/list.m3u\tlist(2).m3u"}));
  EXPECT_EQ(copy, "a.mp3\r\na(2).mp3\r\nA(3).MP3\r\nMueller.mp3\r\nMueller(2).mp3\r\nlist(2).m3u\r\n");
}

TEST_F(AlbumCopies, AFileOfTheCopysNameInTheTemporaryFolderStaysUntouched) {
  MakeMedia(folder + "/a.mp3");
  const std::string list = folder + "/Rock.m3u";
  twltest::WriteFile(list, "a.mp3\n");
  const std::string users = twltest::SandboxDir() + "/Rock.M3U";
  twltest::WriteFile(users, "the user's own");
  std::string output;
  EXPECT_EQ(CopyOf(list, "Rock", &output), "a.mp3\r\n");
  EXPECT_EQ(twltest::ReadFile(users), "the user's own");
  // Nothing of the album's is left in the temporary folder.
  std::vector<std::string> left;
  if (DIR* dir = opendir(twltest::SandboxDir().c_str())) {
    while (dirent* entry = readdir(dir))
      if (std::string(entry->d_name).rfind("kilnar-", 0) == 0) left.push_back(entry->d_name);
    closedir(dir);
  }
  EXPECT_TRUE(left.empty());
}

TEST_F(AlbumCopies, ACopyThatCannotBeMadeMakesSaveFalse) {
  MakeMedia(folder + "/a.mp3");
  const std::string list = folder + "/Rock.m3u";
  twltest::WriteFile(list, "a.mp3\n");
  M3uPlaylist album(list);
  EXPECT_FALSE(album.Save()) << "no output folder";
  album.SetOutputFolder(folder + "/no/such/folder");
  EXPECT_FALSE(album.Save());
  EXPECT_TRUE(album.GetOutputPath().empty());
  // A file of the copy's name in the output folder is never written over.
  album.SetOutputFolder(folder);
  twltest::WriteFile(folder + "/Rock.M3U", "mine");
  EXPECT_FALSE(album.Save());
  EXPECT_EQ(twltest::ReadFile(folder + "/Rock.M3U"), "mine");
}

TEST_F(AlbumCopies, SeventyThousandEntriesOfAFewFiles) {
  std::string specs;
  for (int i = 0; i < 5; ++i) MakeMedia(folder + "/f" + std::to_string(i) + ".mp3");
  const std::string list = folder + "/big.p4u";
  std::string script = "import struct,sys\n"
                       "def e(u):\n"
                       "  r=u.encode()+b'\\0'\n"
                       "  rest=struct.pack('<III',0,0,len(r))+r+struct.pack('<I',100)\n"
                       "  return struct.pack('<I',len(rest))+rest\n"
                       "body=b''.join(e('" + folder + "/f%d.mp3' % (i % 7)) for i in range(70000))\n"
                       "base=b'x\\0'\n"
                       "open(sys.argv[1],'wb').write(b'Ostrell PlayList'+struct.pack('<IIIIII',0x10000,0x10000,"
                       "12+len(base)+len(body),0,70000,len(base))+base+body)\n";
  twltest::WriteFile(folder + "/big.py", script);
  ASSERT_EQ(twltest::RunCommand("python3 " + Quoted(folder + "/big.py") + " " + Quoted(list)), 0);
  P4uPlaylist album(list);
  EXPECT_EQ(album.GetLoadResult(), 0);
  EXPECT_EQ(album.GetAllCount(), 50000);  // five of every seven exist
  EXPECT_EQ(album.GetUniqueCount(), 5);
  EXPECT_EQ(album.GetCdName(4), "f4.mp3");
}

}  // namespace

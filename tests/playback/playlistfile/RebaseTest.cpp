// Entries that move along with a playlist file saved in one folder and
// loaded from another.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "foundation/kernel/Error.h"
#include "playlistformat/PathRebasing.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "PlayListScript.h"
#include "support/TestPaths.h"

namespace {

using namespace rebasing;
using playlisttest::Python;

bool EverythingExists(const std::string&, bool) { return true; }
bool NothingExists(const std::string&, bool) { return false; }

TEST(Rebasing, PathsCompareWithoutSchemeCaseOrSlashDirection) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"file://D:/Music/Lists/", "FILE://d:\\music\\LISTS\\", true},
      {"/home/u/Lists/", "file:///home/u/lists/", true},
      {"file:///home/u/Lists/", "file:///home/u/Lists", false},
      {"file:///home/u/Lists/", "file:///home/v/Lists/", false},
      {"http://host/a/", "HTTP://HOST/A/", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSamePath(c.a, c.b), c.same) << c.a << " " << c.b;
}

TEST(Rebasing, TheCommonTailEndsAtASeparatorOfTheStoredFolder) {
  const struct {
    const char* stored;
    const char* current;
    size_t length;
  } cases[] = {
      {"file://E:\\Music\\Lists\\", "file://D:\\Backup\\Music\\Lists\\", 13},  // the separator before Music to the end
      {"file:///E/Music/Lists/", "file:///tmp/x/D/Backup/Music/Lists/", 13},
      {"file:///Lists/", "file:///a/b/Lists/", 7},    // stored used up: all of it
      {"file:///b/Lists/", "file:///Lists/", 7},      // current used up first: all of it
      {"file:///a/one/", "file:///a/two/", 1},        // only the last separator
      {"file:///a/xone", "file:///a/two", 0},         // no separator passed
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetCommonPathTailLength(c.stored, c.current), c.length) << c.stored << " " << c.current;
}

TEST(Rebasing, EntriesNearTheOldPlaceFollowTheFile) {
  const std::string stored = "file://E:\\Music\\Lists\\";
  const std::string backup = "file://D:\\Backup\\Music\\Lists\\";  // common tail: Music and Lists
  const std::string shorter = "file://D:\\Backup\\Lists\\";        // common tail: Lists
  const struct {
    const char* behaviour;
    const std::string& current;
    const char* url;
    ExistenceCheck exists;
    const char* result;
  } cases[] = {
      {"a sibling folder", backup, "file://E:\\Music\\Songs\\a.mp3", &EverythingExists,
       "file://D:\\Backup\\Music\\Songs\\a.mp3"},
      {"the same folder, other case and slashes", backup, "file://e:/music/lists/b.mp3", &EverythingExists,
       "file://D:\\Backup\\Music\\Lists\\b.mp3"},
      {"missing at both places: the new one", backup, "file://E:\\Music\\Songs\\a.mp3", &NothingExists,
       "file://D:\\Backup\\Music\\Songs\\a.mp3"},
      {"the whole drive moved under the tail", backup, "file://E:\\Other\\c.mp3", &EverythingExists,
       "file://D:\\Backup\\Other\\c.mp3"},
      {"another drive", backup, "file://F:\\x.mp3", &EverythingExists, "file://F:\\x.mp3"},
      {"a network URL", backup, "http://host/E:\\Music\\a.mp3", &EverythingExists,
       "http://host/E:\\Music\\a.mp3"},
      {"inside a shorter tail", shorter, "file://E:\\Music\\Songs\\a.mp3", &EverythingExists,
       "file://D:\\Backup\\Songs\\a.mp3"},
      {"outside a shorter tail", shorter, "file://E:\\Other\\c.mp3", &EverythingExists,
       "file://E:\\Other\\c.mp3"},
  };
  for (const auto& c : cases) {
    const size_t tail = GetCommonPathTailLength(stored, c.current);
    EXPECT_EQ(RebaseEntryURL(c.url, false, stored, c.current, tail, c.exists), c.result) << c.behaviour;
  }
}

TEST(Rebasing, AnExistingOldEntryStaysWhenTheNewPlaceLacksIt) {
  auto onlyOld = [](const std::string& url, bool) { return url.find("E:") != std::string::npos; };
  const std::string stored = "file://E:\\Music\\Lists\\";
  const std::string current = "file://D:\\Backup\\Music\\Lists\\";
  EXPECT_EQ(RebaseEntryURL("file://E:\\Music\\Songs\\a.mp3", false, stored, current,
                           GetCommonPathTailLength(stored, current), onlyOld),
            "file://E:\\Music\\Songs\\a.mp3");
}


std::string LoadedUrls(const std::string& path, CPlayList& list) {
  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  try {
    list.Load(path.c_str(), files, folders);
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    return "error " + text;
  }
  std::string urls;
  for (INT i = 0; i < list.GetCount(); ++i) urls += std::string(list.GetEntry(i)->GetURL()) + "\n";
  return urls;
}

// Saved at /E/Music/Lists/, copied with its songs under a backup folder.
TEST(Rebasing, APlaylistCopiedWithItsSongsStillNamesThem) {
  const std::string root = twltest::MakeTempDir("moved");
  const std::string music = root + "/D/Backup/Music";
  std::filesystem::create_directories(music + "/Lists");
  std::filesystem::create_directories(music + "/Songs");
  std::filesystem::create_directories(music + "/Albums");
  twltest::WriteFile(music + "/Songs/a.mp3", "");
  const std::string path = music + "/Lists/my.p4u";
  Python("entries '" + path +
         "' file:///E/Music/Lists/my.p4u file:///E/Music/Songs/a.mp3 file:///F/x.mp3 http://host/b.mp3 "
         "file:///E/Music/Songs/missing.mp3 folder:file:///E/Music/Albums");
  CPlayList list;
  EXPECT_EQ(LoadedUrls(path, list), "file://" + music + "/Songs/a.mp3\n" +
                                        "file:///F/x.mp3\n"
                                        "http://host/b.mp3\n" +
                                        "file://" + music + "/Songs/missing.mp3\n" +  // missing at both places
                                        "file://" + music + "/Albums\n");
  EXPECT_EQ(list.GetName(), "my");
  EXPECT_EQ(list.GetStoredURL(), "file:///E/Music/Lists/my.p4u");
}

TEST(Rebasing, LoadedFromItsOwnFolderNothingMoves) {
  const std::string root = twltest::MakeTempDir("own");
  std::filesystem::create_directories(root + "/Own/Lists");
  std::filesystem::create_directories(root + "/Own/Songs");
  twltest::WriteFile(root + "/Own/Songs/a.mp3", "");
  Python("entries '" + root + "/Own/Lists/Mine.p4u' 'FILE://" + root + "/own/LISTS/mine.p4u' 'file://" + root +
         "/Own/Songs/a.mp3' file:///elsewhere/b.mp3");
  CPlayList list;
  EXPECT_EQ(LoadedUrls(root + "\\Own\\Lists\\Mine.p4u", list),
            "file://" + root + "/Own/Songs/a.mp3\nfile:///elsewhere/b.mp3\n");
  EXPECT_EQ(list.GetName(), "Mine") << "the name is the loaded file's title";
}

}  // namespace

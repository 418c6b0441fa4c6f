// The native playlist file against files that python3's struct builds:
// what the reader takes, what it refuses and how, and the bytes the
// writer makes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <set>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "PlayListScript.h"
#include "support/TestPaths.h"

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

using playlisttest::Python;

// What a load ended with: "ok", "stream N", or the error's text.
std::string Outcome(const std::function<void()>& load) {
  try {
    load();
    return "ok";
  } catch (CError* error) {
    std::unique_ptr<CError, void (*)(CError*)> owned(error, &DisposeError);
    if (auto* stream = dynamic_cast<CStreamError*>(error)) return "stream " + std::to_string(stream->GetCode());
    return error->GetCaption().c_str() + std::string(": ") + error->GetText().c_str();
  }
}

class PlayListFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures = twltest::MakeTempDir("fixtures");
    Python("fixtures " + Quote(fixtures));
  }
  std::string Load(const std::string& name) {
    return Outcome([&] { list.Load((fixtures + "/" + name + ".p4u").c_str(), files, folders); });
  }
  CPlayListFileEntry* FileAt(INT index) {
    CPlayListEntry* entry = list.GetEntry(index);
    return entry && !entry->IsFolder() ? static_cast<CPlayListFileEntry*>(entry) : nullptr;
  }

  std::string fixtures;
  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  CPlayList list;
};

const char kCorrupted[] = "PlayList Error: The file is not a valid playlist";

TEST_F(PlayListFileTest, ReadTable) {
  const struct {
    const char* file;
    const char* outcome;
    INT entries;  // loaded (also after a failure)
  } cases[] = {
      {"kind7-between-files", "ok", 2},
      {"url-length-1", "stream 14", 0},
      {"url-length-beyond-entry", "stream 14", 0},
      {"title-without-nul", "stream 14", 0},
      {"title-length-0", "stream 14", 0},
      {"volume-250", "ok", 1},
      {"old-writer-ignores-title", "ok", 1},
      {"priorities-0-0", "ok", 1},
      {"titled", "ok", 2},
      {"writer-1.76-minimum-1.00", "ok", 1},
      {"size-0xFFFFFFF0", "stream 14", 0},
      {"location-length-huge", "stream 14", 0},
      {"size-and-location-huge", "stream 14", 0},
      {"entry-size-huge", "stream 14", 0},
      {"entry-count-huge", "stream 14", 1},
      {"truncated-entry", "stream 14", 0},  // its size field claims more than the file holds
      {"short-header", "stream 8", 0},
      {"wrong-magic", kCorrupted, 0},
      {"location-without-nul", "stream 14", 0},
      {"location-length-0", "stream 14", 0},
      {"folders", "ok", 3},
      {"empty", "ok", 0},
      {"url-text-empty", "stream 14", 1},
      {"url-inner-nul", "ok", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Load(c.file), c.outcome);
    EXPECT_EQ(list.GetCount(), c.entries);
  }
}

TEST_F(PlayListFileTest, EntriesCarryWhatTheFileSays) {
  ASSERT_EQ(Load("kind7-between-files"), "ok");
  EXPECT_STREQ(list.GetEntry(0)->GetURL(), "file:///m/a.mp3");
  EXPECT_STREQ(list.GetEntry(1)->GetURL(), "file:///m/b.mp3");
  EXPECT_EQ(list.GetCounts()[1], 2) << "renumbered";

  // What follows a NUL inside a URL is not part of it, so the entry saves
  // as it loaded.
  ASSERT_EQ(Load("url-inner-nul"), "ok");
  EXPECT_STREQ(list.GetEntry(0)->GetURL(), "file:///m/a.mp3");
  EXPECT_STREQ(list.GetEntry(1)->GetURL(), "file:///m/F");

  ASSERT_EQ(Load("volume-250"), "ok");
  EXPECT_EQ(FileAt(0)->GetVolume(), 100);

  ASSERT_EQ(Load("titled"), "ok");
  FileInfoRecord* a = files.Get("file:///m/a.mp3");
  EXPECT_FALSE(a->typeText.has_value()) << "a priority above 255 counts as 0, which leaves the title alone";
  EXPECT_EQ(a->thirdValue, 183000);
  EXPECT_EQ(a->thirdValuePriority, 200);
  EXPECT_EQ(FileAt(1)->GetVolume(), 40);

  ASSERT_EQ(Load("folders"), "ok");
  EXPECT_TRUE(list.GetLoop());
  EXPECT_TRUE(list.GetShuffle());
  const struct {
    bool pending;
    bool recursive;
  } flags[] = {{true, false}, {true, true}, {false, false}};
  for (INT i = 0; i < 3; ++i) {
    auto* folder = static_cast<CPlayListFolderEntry*>(list.GetEntry(i));
    ASSERT_TRUE(folder->IsFolder());
    EXPECT_EQ(folder->IsExpandPending(), flags[i].pending) << i;
    EXPECT_EQ(folder->IsExpandRecursive(), flags[i].recursive) << i << ": recursive only with pending";
  }
}

TEST_F(PlayListFileTest, TitlesOfOldWritersAndZeroPrioritiesLeaveTheRecordAlone) {
  for (const char* name : {"old-writer-ignores-title", "priorities-0-0"}) {
    SCOPED_TRACE(name);
    CFileInfoDataBase fresh;
    ASSERT_EQ(Outcome([&] { list.Load((fixtures + "/" + name + ".p4u").c_str(), fresh, folders); }), "ok");
    FileInfoRecord* record = fresh.Get("file:///m/a.mp3");
    EXPECT_FALSE(record->typeText.has_value());
    EXPECT_EQ(record->thirdValue, -1);
    EXPECT_EQ(record->thirdValuePriority, 0);
  }
}

TEST_F(PlayListFileTest, ANewerMinimumVersionNamesBothVersions) {
  EXPECT_EQ(Load("minimum-1.76"),
            "PlayList Error: The PlayList was created for a newer version of Velbrook Tunewell and cannot be read by "
            "this version (this version: 1.75, minimum version required: 1.76");
}

// A named pipe whose writer never writes, or a device that never ends, is
// refused before a byte is read: reading it would never end.
TEST_F(PlayListFileTest, APipeOrADeviceIsRefusedUnread) {
  const std::string pipe = fixtures + "/pipe.p4u";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int writer = open(pipe.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  EXPECT_EQ(Load("pipe"), "stream 5");
  EXPECT_EQ(Outcome([&] { list.Load(("file://" + pipe).c_str(), files, folders); }), "stream 5");
  EXPECT_EQ(Outcome([&] { list.Load("/dev/zero", files, folders); }), "stream 5");
  close(writer);
}

// A stream that cannot tell its length: lengths are still only as good as
// the bytes that come, and the huge ones cost no huge allocation.
TEST_F(PlayListFileTest, AStreamOfUnknownLengthEndsWithoutAllocatingTheClaims) {
  for (const char* name : {"size-and-location-huge", "truncated-entry"}) {
    SCOPED_TRACE(name);
    const std::string bytes = twltest::ReadFile(fixtures + "/" + name + ".p4u");
    auto* block = new BYTE[bytes.size()];
    std::memcpy(block, bytes.data(), bytes.size());
    CMemoryStream stream;
    stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead, 0, false);
    ASSERT_EQ(stream.GetCapabilities() & kStreamLengthKnown, 0u);
    EXPECT_EQ(Outcome([&] { list.Read(stream, files, folders); }), "stream 8");
  }
}

TEST_F(PlayListFileTest, AnEmptyPlaylistIsTheBytesPythonBuildsAndKeepsItsSwitches) {
  const std::string dir = twltest::MakeTempDir("empty");
  for (int flags = 0; flags < 4; ++flags) {
    SCOPED_TRACE(flags);
    const std::string ours = dir + "/ours" + std::to_string(flags) + ".p4u";
    const std::string theirs = dir + "/theirs" + std::to_string(flags) + ".p4u";
    CPlayList empty;
    empty.SetLoop(flags & 1);
    empty.SetShuffle(flags & 2);
    empty.Save(ours.c_str(), files);
    Python("empty " + Quote(theirs) + " " + Quote("file://" + ours) + " " + std::to_string(flags));
    const std::string bytes = twltest::ReadFile(ours);
    EXPECT_EQ(bytes, twltest::ReadFile(theirs));
    EXPECT_EQ(bytes.size(), 28 + ours.size() + 8 + 12) << "size field = location length + 12";

    CPlayList read;
    read.SetLoop(!(flags & 1));
    ASSERT_EQ(Outcome([&] { read.Load(ours.c_str(), files, folders); }), "ok");
    EXPECT_EQ(read.GetLoop(), (flags & 1) != 0);
    EXPECT_EQ(read.GetShuffle(), (flags & 2) != 0);
    EXPECT_EQ(read.GetCount(), 0);
  }
}

TEST_F(PlayListFileTest, ATitledFileEntryIsTheBytesPythonBuilds) {
  const std::string dir = twltest::MakeTempDir("titled");
  const std::string ours = dir + "/ours.p4u";
  const std::string theirs = dir + "/theirs.p4u";
  files.UpdateFileInfo("file:///m/Song.mp3", "A Title", 180, 0, 0, 215000, 193);
  CPlayList single;
  single.Insert(new CPlayListFileEntry(files.Get("file:///m/Song.mp3"), 75), -1);
  single.Renumber();
  single.Save(ours.c_str(), files);
  Python("titled " + Quote(theirs) + " " + Quote("file://" + ours) + " file:///m/Song.mp3 75 193 215000 180 " +
         Quote("A Title"));
  EXPECT_EQ(twltest::ReadFile(ours), twltest::ReadFile(theirs));
  EXPECT_EQ(Python("parse " + Quote(ours)).substr(0, 21), "1 file:///m/Song.mp3 ");
}

TEST_F(PlayListFileTest, SavedPlaylistsLoadAsTheyWere) {
  const std::string dir = twltest::MakeTempDir("round");
  files.UpdateFileInfo("file:///m/a.mp3", "Alpha", 10, 0, 0, 1000, 20);
  CPlayList source;
  source.Insert(new CPlayListFileEntry(files.Get("file:///m/a.mp3"), 30), -1);
  auto* folder = new CPlayListFolderEntry(folders.Get("playlist:///m/list.m3u"));
  folder->SetExpandPending(true);
  folder->SetExpandRecursive(true);
  folder->GetContents().Insert(new CPlayListFileEntry(files.Get("file:///m/inner.mp3"), 100), -1);
  source.Insert(folder, -1);
  source.Insert(new CPlayListFileEntry(files.Get("file:///m/untitled.mp3"), 0), -1);
  source.Renumber();
  const std::string path = dir + "/Best of.p4u";
  source.Save(path.c_str(), files);
  EXPECT_EQ(source.GetName(), "Best of");
  EXPECT_EQ(source.GetURL(), CStr(("file://" + path).c_str()));

  CFileInfoDataBase fresh;
  CPlayList read;
  ASSERT_EQ(Outcome([&] { read.Load(path.c_str(), fresh, folders); }), "ok");
  ASSERT_EQ(read.GetCount(), 3);
  EXPECT_EQ(read.GetCounts()[1], 2) << "folder contents are not stored";
  EXPECT_STREQ(read.GetEntry(1)->GetURL(), "playlist:///m/list.m3u");
  EXPECT_TRUE(static_cast<CPlayListFolderEntry*>(read.GetEntry(1))->IsExpandRecursive());
  EXPECT_EQ(static_cast<CPlayListFileEntry*>(read.GetEntry(2))->GetVolume(), 0);
  EXPECT_EQ(fresh.Get("file:///m/a.mp3")->typeText, "Alpha");
  EXPECT_EQ(fresh.Get("file:///m/a.mp3")->thirdValue, 1000);
  EXPECT_EQ(fresh.Get("file:///m/untitled.mp3")->thirdValuePriority, 0);
  EXPECT_EQ(read.GetStoredURL(), CStr(("file://" + path).c_str()));
  EXPECT_EQ(read.GetName(), "Best of");
}

// Saves a playlist of some 30 KiB to `path` while the process may not
// write more than 4 KiB into any file: what the save ends with.
std::string SaveBeyondFourKiB(const std::string& path) {
  const rlimit limit{4096, 4096};
  setrlimit(RLIMIT_FSIZE, &limit);
  CFileInfoDataBase files;
  CPlayList big;
  for (int i = 0; i < 500; ++i) {
    const std::string url = "file:///music/a rather long folder name/track " + std::to_string(i) + ".mp3";
    big.Insert(new CPlayListFileEntry(files.Get(url.c_str()), 100), -1);
  }
  big.Renumber();
  return Outcome([&] { big.Save(path.c_str(), files); });
}

// The old file stays whole when writing the new one fails.
TWLTEST_CHILD(SaveBeyondTheFileSizeLimit) {
  signal(SIGXFSZ, SIG_IGN);
  return SaveBeyondFourKiB(args.at(0)) == "ok" ? 2 : 0;
}

TEST_F(PlayListFileTest, AFailedSaveKeepsTheOldFile) {
  const std::string dir = twltest::MakeTempDir("save");
  const std::string path = dir + "/LastPlayList.p4u";
  CPlayList old;
  old.Insert(new CPlayListFileEntry(files.Get("file:///m/kept.mp3"), 100), -1);
  old.Renumber();
  old.Save(path.c_str(), files);
  const std::string before = twltest::ReadFile(path);

  const int status = twltest::WaitChild(twltest::SpawnChild("SaveBeyondTheFileSizeLimit", {path}));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported its failure";
  EXPECT_EQ(twltest::ReadFile(path), before);
  int leftovers = 0;
  for (const auto& item : std::filesystem::directory_iterator(dir)) leftovers += item.path().filename() != "LastPlayList.p4u";
  EXPECT_EQ(leftovers, 0) << "the temporary file is removed";
}

// A save killed midway, here by the file size limit's signal while it
// writes: its temporary stays beside the playlist.
TWLTEST_CHILD(SaveKilledMidway) {
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  SaveBeyondFourKiB(args.at(0));
  return 2;  // not killed
}

// Only the saved playlist's own numbered temporaries are stale.
TEST_F(PlayListFileTest, ASaveRemovesTheTemporariesOfKilledSaves) {
  const std::string dir = twltest::MakeTempDir("killed");
  const std::string path = dir + "/LastPlayList.p4u";
  for (int kill = 0; kill < 3; ++kill) {
    const int status = twltest::WaitChild(twltest::SpawnChild("SaveKilledMidway", {path}));
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  }
  ASSERT_TRUE(std::filesystem::exists(path + ".0.tmp"));
  twltest::WriteFile(path + ".17.tmp", "left by an older save");
  const char* const kept[] = {"LastPlayList.p4u.x.tmp", "LastPlayList.p4u.1.tmp.old", "Other.p4u.0.tmp",
                              "LastPlayList.p4u.tmp"};
  for (const char* name : kept) twltest::WriteFile(dir + "/" + name, "not ours");

  CPlayList list;
  list.Insert(new CPlayListFileEntry(files.Get("file:///m/kept.mp3"), 100), -1);
  list.Renumber();
  ASSERT_EQ(Outcome([&] { list.Save(path.c_str(), files); }), "ok");
  std::set<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(dir)) names.insert(item.path().filename());
  std::set<std::string> expected(std::begin(kept), std::end(kept));
  expected.insert("LastPlayList.p4u");
  EXPECT_EQ(names, expected);
  EXPECT_EQ(Python("parse " + Quote(path)).substr(0, 21), "1 file:///m/kept.mp3 ");
}

// Saving into an existing file: through a symbolic link the file it names
// is updated and the link stays; the file keeps its permissions.
TEST_F(PlayListFileTest, ASaveUpdatesTheFileALinkNamesAndKeepsItsMode) {
  const std::string dir = twltest::MakeTempDir("linked");
  std::filesystem::create_directory(dir + "/lists");
  const std::string real = dir + "/lists/real.p4u";
  const std::string link = dir + "/link.p4u";
  CPlayList old;
  old.Save(real.c_str(), files);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink("lists/real.p4u", link);

  CPlayList list;
  list.Insert(new CPlayListFileEntry(files.Get("file:///m/new.mp3"), 100), -1);
  list.Renumber();
  ASSERT_EQ(Outcome([&] { list.Save(link.c_str(), files); }), "ok");
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays a link";
  EXPECT_EQ(std::filesystem::read_symlink(link), "lists/real.p4u");
  EXPECT_EQ(Python("parse " + Quote(real)).substr(0, 20), "1 file:///m/new.mp3 ") << "the named file is updated";
  struct stat info {};
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Python("location " + Quote(real)), "file://" + link + "\n") << "the location is the path saved to";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir + "/lists"), {}), 1) << "no temporary is left";
}

// A relative path is stored as the absolute location it names.
TEST_F(PlayListFileTest, ARelativePathIsStoredAsItsAbsoluteLocation) {
  const std::string dir = twltest::MakeTempDir("relative");
  std::filesystem::create_directory(dir + "/lists");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  CPlayList list;
  ASSERT_EQ(Outcome([&] { list.Save("lists/real.p4u", files); }), "ok");
  const std::string absolute = "file://" + dir + "/lists/real.p4u";
  EXPECT_EQ(Python("location " + Quote(dir + "/lists/real.p4u")), absolute + "\n");
  EXPECT_EQ(list.GetURL(), CStr(absolute.c_str()));
  CPlayList read;
  ASSERT_EQ(Outcome([&] { read.Load("lists/real.p4u", files, folders); }), "ok");
  EXPECT_EQ(read.GetStoredURL(), CStr(absolute.c_str()));
}

}  // namespace

// Editing the current playlist: entries made from texts, and insertions,
// removals, moves, expansions and replacements that keep the play order,
// the current entry and the file identification consistent.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "PlayerSystemFixture.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"

namespace playertest {
namespace {

// A folder content enumeration that is busy until told otherwise.
class BusyEnumeration : public CPlayerFolderEnumeration {
 public:
  bool IsIdle() override { return idle; }
  void AddFolderEntry(CPlayListFolderEntry* entry) override { added.push_back(entry); }
  void RemoveFolderEntry(CPlayListFolderEntry* entry, bool) override { withdrawn.push_back(entry); }
  bool idle = false;
  std::vector<CPlayListFolderEntry*> added;
  std::vector<CPlayListFolderEntry*> withdrawn;
};

class EditingTest : public PlayerSystemTest {
 protected:
  // A folder entry holding files "/m/NAME/FILE.mp3".
  CPlayListFolderEntry* MakeFolder(const std::string& name, const std::vector<std::string>& fileNames) {
    auto* folder = new CPlayListFolderEntry(folders.Get(("file:///m/" + name).c_str()));
    for (const auto& file : fileNames)
      folder->GetContents().Insert(
          new CPlayListFileEntry(files.Get(("file:///m/" + name + "/" + file + ".mp3").c_str()), 100), -1);
    return folder;
  }
  std::string CurrentUrl() {
    CPlayListFileEntry* entry = system.GetCurrentEntry();
    return entry ? entry->GetURL() : "";
  }
  // Empty when the play order, position and current entry agree with the
  // tree; else what is wrong.
  std::string CheckConsistency() {
    const CPlayOrder& order = system.GetPlayOrder();
    const INT files = system.GetPlayList().GetCounts()[1];
    if (order.GetCount() != files) return "order holds " + std::to_string(order.GetCount()) + " of " + std::to_string(files);
    std::vector<DWORD> sorted = order.GetFiles();
    std::sort(sorted.begin(), sorted.end());
    for (INT i = 0; i < files; ++i)
      if (sorted[static_cast<size_t>(i)] != static_cast<DWORD>(i)) return "not a permutation";
    if (!system.GetShuffle())
      for (INT i = 0; i < files; ++i)
        if (order.GetFile(i) != i) return "not the identity without shuffle";
    const INT position = system.GetPlayPosition();
    const INT current = system.GetCurrentEntryNumber();
    if ((position < 0) != (current < 0)) return "position and entry disagree about having one";
    if (position >= 0 && order.GetFile(position) != current) return "the position names another file";
    return "";
  }

  BusyEnumeration enumeration;
};

TEST_F(EditingTest, TextsBecomeEntries) {
  const char* texts[] = {"/home/u/Music/", "/l/a.m3u", "/l/a.m3u<", "http://host/a.mp3", "", "file:///l/B.PLS",
                         "relative/x.wpl", "C:/x.mp3", "/", "/l/song.flac", "/l/Deep\\"};
  const struct {
    bool folder;
    const char* url;
  } expected[] = {
      {true, "file:///home/u/Music"}, {true, "playlist:///l/a.m3u"}, {false, "file:///l/a.m3u"},
      {false, "http://host/a.mp3"},   {true, "playlist:///l/B.PLS"}, {true, "playlist://relative/x.wpl"},
      {false, "file://C:/x.mp3"},     {false, "file:///"},           {false, "file:///l/song.flac"},
      {true, "file:///l/Deep"},
  };
  const INT count = static_cast<INT>(std::size(texts));
  std::vector<CPlayListEntry*> made(std::size(texts), reinterpret_cast<CPlayListEntry*>(1));
  EXPECT_EQ(system.AddUrls(nullptr, -1, texts, count, made.data()), 0);
  ASSERT_EQ(system.GetPlayList().GetCount(), static_cast<INT>(std::size(expected)));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].url);
    CPlayListEntry* entry = system.GetPlayList().GetEntry(static_cast<INT>(i));
    EXPECT_EQ(entry->IsFolder(), expected[i].folder);
    EXPECT_STREQ(entry->GetURL(), expected[i].url);
    EXPECT_EQ(made[i], entry);
    if (!entry->IsFolder()) {
      EXPECT_EQ(static_cast<CPlayListFileEntry*>(entry)->GetVolume(), 100);
    }
  }
  EXPECT_EQ(made.back(), nullptr) << "the skipped text's place at the end";
  EXPECT_EQ(system.AddUrls(nullptr, 0, texts + 3, 1), 0);
  EXPECT_STREQ(system.GetPlayList().GetEntry(0)->GetURL(), "http://host/a.mp3");
  EXPECT_EQ(system.AddUrls(nullptr, -1, texts + 4, 1), -1) << "nothing to add";
}

TEST_F(EditingTest, TheFirstInsertionSelectsAFileAndPlaysOnlyWhenAsked) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a", "b"});
  EXPECT_EQ(CurrentUrl(), UrlOf("a"));
  EXPECT_TRUE(player->played.empty());
  EXPECT_EQ(identifier.added.size(), 2u);

  system.RemoveAllEntries();
  system.SetFolderEnumeration(&enumeration);
  EXPECT_TRUE(system.StartPlayback()) << "the folders are still being listed";
  EXPECT_TRUE(system.IsPlayPending());
  AddFiles({"c"});
  EXPECT_EQ(player->played, std::vector<std::string>{UrlOf("c")});
  EXPECT_FALSE(system.IsPlayPending());

  system.RemoveAllEntries();
  EXPECT_TRUE(system.StartPlayback());
  enumeration.idle = true;
  auto* folder = MakeFolder("F", {});
  system.InsertEntries(nullptr, -1, reinterpret_cast<CPlayListEntry* const*>(&folder), 1);
  system.OnFolderEnumerationDone(folder);
  EXPECT_FALSE(system.IsPlayPending()) << "the listings ended without a file";
  system.SetFolderEnumeration(nullptr);
}

TEST_F(EditingTest, RemovingThePlayingEntryGoesOnWithTheNext) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a", "b", "c", "d"});
  system.SetCurrentEntry(1);
  ASSERT_TRUE(system.Play(true));
  CPlayListEntry* b = system.GetPlayList().GetEntry(1);
  system.RemoveEntries(&b, 1);
  EXPECT_EQ(CurrentUrl(), UrlOf("c"));
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(player->played.back(), UrlOf("c"));
  EXPECT_EQ(CheckConsistency(), "");

  // The last of the order: the one before.
  system.SetCurrentEntry(2);
  CPlayListEntry* d = system.GetPlayList().GetEntry(2);
  system.RemoveEntries(&d, 1);
  EXPECT_EQ(CurrentUrl(), UrlOf("c"));
  EXPECT_EQ(player->played.back(), UrlOf("c"));

  // The current one together with the next: passed over.
  system.AddUrls(nullptr, -1, std::vector<const char*>{"/m/e.mp3", "/m/f.mp3"}.data(), 2);
  system.SetCurrentEntry(0);
  CPlayListEntry* both[] = {system.GetPlayList().GetEntry(0), system.GetPlayList().GetEntry(1)};
  system.RemoveEntries(both, 2);
  EXPECT_EQ(CurrentUrl(), UrlOf("e"));

  // Everything: no current entry, stopped.
  std::vector<CPlayListEntry*> all;
  for (INT i = 0; i < system.GetPlayList().GetCount(); ++i) all.push_back(system.GetPlayList().GetEntry(i));
  system.RemoveEntries(all.data(), static_cast<INT>(all.size()));
  EXPECT_EQ(system.GetCurrentEntryNumber(), -1);
  EXPECT_FALSE(system.IsPlaying());
  EXPECT_EQ(identifier.added.size(), identifier.removed.size()) << "every record withdrawn";
}

TEST_F(EditingTest, MovingAFolderBehindALaterFileKeepsTheCurrentEntry) {
  for (bool shuffle : {false, true}) {
    SCOPED_TRACE(shuffle ? "shuffled" : "in order");
    system.RemoveAllEntries();
    system.SetShuffle(shuffle);
    AddFiles({"a"});
    CPlayListEntry* folder = MakeFolder("F", {"x", "y", "z"});
    system.InsertEntries(nullptr, -1, &folder, 1);
    AddFiles({"b", "c"});
    for (const std::string& name : {std::string("F/y"), std::string("b"), std::string("a")}) {
      SCOPED_TRACE(name);
      const std::string url = UrlOf(name);
      INT file = 0;
      while (system.GetPlayList().FindEntry(1, file)->GetURL() != url) ++file;
      system.SetCurrentEntry(file);
      system.MoveEntry(nullptr, 1, 3);  // the folder goes behind b
      EXPECT_EQ(CurrentUrl(), url);
      EXPECT_EQ(CheckConsistency(), "");
      system.MoveEntry(nullptr, 2, 1);  // and back
      EXPECT_EQ(CurrentUrl(), url);
      EXPECT_EQ(CheckConsistency(), "");
    }
  }
}

TEST_F(EditingTest, MoveEntriesPutsTheListedEntriesInOrderBeforeTheTarget) {
  const struct {
    std::vector<INT> indices;
    INT target;
    const char* result;
  } cases[] = {
      {{0, 2}, 5, "b d e a c "},
      {{4, 1}, 0, "e b a c d "},
      {{3, 0}, 2, "b d a c e "},
      {{1}, 1, "a b c d e "},
  };
  for (const auto& c : cases) {
    system.RemoveAllEntries();
    AddFiles({"a", "b", "c", "d", "e"});
    system.MoveEntries(nullptr, c.indices.data(), static_cast<INT>(c.indices.size()), c.target);
    std::string names;
    for (INT i = 0; i < system.GetPlayList().GetCount(); ++i) {
      const std::string url = system.GetPlayList().GetEntry(i)->GetURL();
      names += url.substr(10, url.size() - 14) + " ";
    }
    EXPECT_EQ(names, c.result) << c.target;
    EXPECT_EQ(CheckConsistency(), "");
  }
}

// Random edits from a seed: after each one the play order is a permutation
// of the files (the identity without shuffle), the position names the
// current entry, and the current entry still names its file unless it was
// removed.
TEST_F(EditingTest, RandomEditsKeepTheOrderAndTheCurrentEntry) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    CRandom15 dice(seed);
    system.RemoveAllEntries();
    system.SetShuffle(seed % 2 == 0);
    int made = 0;
    for (int step = 0; step < 60; ++step) {
      CPlayList& list = system.GetPlayList();
      const std::string before = CurrentUrl();
      bool currentMayGo = false;
      const int action = dice.Next() % 6;
      if (action <= 1 || list.GetCount() == 0) {
        std::vector<std::string> paths;
        for (int n = dice.Next() % 4; n >= 0; --n) paths.push_back("/m/r" + std::to_string(made++) + ".mp3");
        std::vector<const char*> texts;
        for (const auto& path : paths) texts.push_back(path.c_str());
        system.AddUrls(nullptr, dice.Next() % (list.GetCount() + 1), texts.data(), static_cast<INT>(texts.size()));
      } else if (action == 2) {
        CPlayListEntry* folder = MakeFolder("D" + std::to_string(made++), {"1", "2", "3"});
        system.InsertEntries(nullptr, dice.Next() % (list.GetCount() + 1), &folder, 1);
      } else if (action == 3) {
        std::vector<CPlayListEntry*> doomed;
        for (INT i = 0; i < list.GetCount(); ++i)
          if (dice.Next() % 4 == 0) doomed.push_back(list.GetEntry(i));
        currentMayGo = true;
        system.RemoveEntries(doomed.data(), static_cast<INT>(doomed.size()));
      } else if (action == 4) {
        system.MoveEntry(nullptr, dice.Next() % list.GetCount(), dice.Next() % (list.GetCount() + 1));
      } else {
        const INT index = dice.Next() % list.GetCount();
        if (list.GetEntry(index)->IsFolder())
          system.ExpandFolderEntry(static_cast<CPlayListFolderEntry*>(list.GetEntry(index)), dice.Next() % 2, true);
      }
      ASSERT_EQ(CheckConsistency(), "") << "step " << step << " action " << action;
      if (!currentMayGo && !before.empty()) {
        ASSERT_EQ(CurrentUrl(), before) << "step " << step << " action " << action;
      }
    }
  }
  EXPECT_EQ(identifier.added.size() - identifier.removed.size(),
            static_cast<size_t>(system.GetPlayList().GetCounts()[1]));
}

TEST_F(EditingTest, ExpandingAFolderThatIsStillListedWaitsForItsListing) {
  system.SetFolderEnumeration(&enumeration);
  AddFiles({"a"});
  CPlayListFolderEntry* folder = MakeFolder("F", {"x", "y"});
  system.InsertEntries(nullptr, -1, reinterpret_cast<CPlayListEntry* const*>(&folder), 1);
  EXPECT_EQ(enumeration.added, std::vector<CPlayListFolderEntry*>{folder});
  folder->AddRunningEnumeration();
  system.ExpandFolderEntry(folder, true, false);
  EXPECT_EQ(system.GetPlayList().GetCount(), 2) << "nothing visible changes";
  EXPECT_TRUE(folder->IsExpandPending());
  folder->RemoveRunningEnumeration();
  system.OnFolderEnumerationDone(folder);
  ASSERT_EQ(system.GetPlayList().GetCount(), 3);
  EXPECT_STREQ(system.GetPlayList().GetEntry(2)->GetURL(), "file:///m/F/y.mp3");
  EXPECT_EQ(CheckConsistency(), "");
  system.SetFolderEnumeration(nullptr);
}

TEST_F(EditingTest, ALoadedPlaylistReplacesTheCurrentOneWithItsSwitches) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"old"});
  ASSERT_TRUE(system.Play(true));
  CPlayList loaded;
  for (int i = 0; i < 6; ++i)
    loaded.Insert(new CPlayListFileEntry(files.Get(("file:///n/" + std::to_string(i)).c_str()), 100), -1);
  loaded.Renumber();
  loaded.SetShuffle(true);
  loaded.SetLoop(true);
  system.SetPlayList(loaded);
  EXPECT_TRUE(system.GetShuffle());
  EXPECT_TRUE(system.GetLoop());
  EXPECT_EQ(system.GetPlayPosition(), 0);
  EXPECT_EQ(CheckConsistency(), "");
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(player->played.back(), CurrentUrl()) << "playback restarts in the new playlist";
  EXPECT_EQ(identifier.removed.size(), 1u);
  EXPECT_EQ(identifier.added.size(), 7u);

  system.SetShuffle(false);
  system.UpdatePlayListFlags();
  EXPECT_FALSE(system.GetPlayList().GetShuffle());
}

TEST_F(EditingTest, TheCurrentEntrysVolumeReachesThePlayingPlayer) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a", "b"});
  ASSERT_TRUE(system.Play(true));
  auto* other = static_cast<CPlayListFileEntry*>(system.GetPlayList().GetEntry(1));
  system.SetEntryVolume(other, 10);
  EXPECT_TRUE(player->volumes.empty()) << "not the current entry";
  auto* current = static_cast<CPlayListFileEntry*>(system.GetPlayList().GetEntry(0));
  system.SetEntryVolume(current, 50);
  EXPECT_EQ(system.GetEffectiveVolume(), 128);
  EXPECT_EQ(player->volumes, std::vector<int>{128});
}

TEST_F(EditingTest, FlatteningMovesEveryFileToTheFrontInDisplayOrder) {
  CPlayList source;
  source.Insert(new CPlayListFileEntry(files.Get("file:///a"), 100), -1);
  CPlayListEntry* folder = MakeFolder("F", {"x", "y"});
  source.Insert(folder, -1);
  source.Insert(new CPlayListFileEntry(files.Get("file:///b"), 100), -1);
  source.Renumber();
  CPlayList target;
  target.Insert(new CPlayListFileEntry(files.Get("file:///t"), 100), -1);
  target.Renumber();
  CPlayerSystem::FlattenEntries(target, source);
  std::string urls;
  for (INT i = 0; i < target.GetCount(); ++i) urls += std::string(target.GetEntry(i)->GetURL()) + " ";
  EXPECT_EQ(urls, "file:///a file:///m/F/x.mp3 file:///m/F/y.mp3 file:///b file:///t ");
  EXPECT_EQ(source.GetCount(), 1) << "the emptied folder stays";
  EXPECT_EQ(source.GetCounts()[1], 0);
}

}  // namespace
}  // namespace playertest

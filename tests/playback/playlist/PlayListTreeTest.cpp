#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "PlayListTrees.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFolderEntry.h"

namespace {

constexpr int kFile = CPlayListEntryHolder::COLUMN_FILE_NUMBER;
constexpr int kEntry = CPlayListEntryHolder::COLUMN_ENTRY_NUMBER;

TEST(PlayListTree, RenumberGivesEveryEntryItsPositions) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b G{} c} d");
  list.Renumber();
  EXPECT_EQ(Numbers(list), "a(0,0) F(1,1) b(1,2) G(2,3) c(2,4) d(3,5)");
  EXPECT_EQ(list.GetCounts(), (std::array<INT, 3>{3, 4, 6}));
  EXPECT_EQ(FolderAt(list, 1)->GetContents().GetCounts(), (std::array<INT, 3>{3, 2, 3}));
  EXPECT_EQ(CheckInvariants(list), "");
}

TEST(PlayListTree, FindEntry) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b G{} c} d");
  list.Renumber();
  const struct {
    const char* behaviour;
    int column;
    INT number;
    const char* found;
  } cases[] = {
      {"a file number inside a folder", kFile, 2, "c"},
      {"an entry number names the empty folder itself", kEntry, 3, "G"},
      {"a file number beyond the last file", kFile, 4, "null"},
      {"a folder's file number gives its first file", kFile, 1, "b"},
      {"an entry number names a folder itself", kEntry, 1, "F"},
      {"the first entry", kEntry, 0, "a"},
      {"the last file", kFile, 3, "d"},
      {"an entry number beyond the tree", kEntry, 6, "null"},
      {"a negative number", kFile, -1, "null"},
      {"an unknown column", 3, 0, "null"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameOf(list.FindEntry(c.column, c.number)), c.found) << c.behaviour;

  CPlayList empty;
  empty.Renumber();
  EXPECT_EQ(empty.GetCounts(), (std::array<INT, 3>{0, 0, 0}));
  EXPECT_EQ(empty.FindEntry(kFile, 0), nullptr);

  CPlayList onlyEmptyFolders;
  builder.Fill(onlyEmptyFolders, "E{} H{}");
  onlyEmptyFolders.Renumber();
  EXPECT_EQ(onlyEmptyFolders.FindEntry(kFile, 0), nullptr) << "folders without files hold no file number";
  EXPECT_EQ(NameOf(onlyEmptyFolders.FindEntry(kEntry, 1)), "H");
}

TEST(PlayListTree, Move) {
  const struct {
    const char* behaviour;
    INT from;
    INT to;
    const char* after;
  } cases[] = {
      {"forward lands before the entry that stood at `to`", 0, 3, "b c a d"},
      {"backward", 3, 0, "d a b c"},
      {"to the count moves to the end", 1, 4, "a c d b"},
      {"to the next index changes nothing", 1, 2, "a b c d"},
      {"from equal to to changes nothing", 2, 2, "a b c d"},
      {"a from outside the list changes nothing", 4, 0, "a b c d"},
      {"a to outside the list changes nothing", 0, 5, "a b c d"},
      {"a negative index changes nothing", -1, 2, "a b c d"},
  };
  for (const auto& c : cases) {
    TreeBuilder builder;
    CPlayList list;
    builder.Fill(list, "a b c d");
    list.Renumber();
    list.Move(c.from, c.to);
    EXPECT_EQ(Describe(list), c.after) << c.behaviour;
    EXPECT_EQ(CheckInvariants(list), "") << c.behaviour << ": Move renumbers";
  }
}

TEST(PlayListTree, MoveInsideAFolderNumbersFromTheFolder) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b c}");
  list.Renumber();
  FolderAt(list, 1)->GetContents().Move(1, 0);
  EXPECT_EQ(Numbers(list), "a(0,0) F(1,1) c(1,2) b(2,3)");
}

TEST(PlayListTree, Expand) {
  const struct {
    const char* behaviour;
    const char* tree;
    bool recursive;
    const char* after;
  } cases[] = {
      {"the contents take the folder's place", "a F{b G{} c} d", false, "a b G{} c d"},
      {"recursively nested folders go too", "a F{b G{} c} d", true, "a b c d"},
      {"depth first", "F{b G{c H{d} e} f} g", true, "b c d e f g"},
      {"an empty folder just goes", "a F{} d", false, "a d"},
      {"the first entry", "F{b c} d", false, "b c d"},
      {"nested folders keep their contents", "F{G{x}}", false, "G{x}"},
  };
  for (const auto& c : cases) {
    TreeBuilder builder;
    CPlayList list;
    builder.Fill(list, c.tree);
    list.Renumber();
    CPlayListFolderEntry* folder = nullptr;
    for (INT i = 0; i < list.GetCount() && !folder; ++i)
      if (NameOf(list.GetEntry(i)) == "F") folder = FolderAt(list, i);
    ASSERT_NE(folder, nullptr) << c.behaviour;
    EXPECT_TRUE(folder->Expand(c.recursive)) << c.behaviour;
    EXPECT_EQ(Describe(list), c.after) << c.behaviour;
    EXPECT_EQ(CheckInvariants(list), "") << c.behaviour << ": the list is renumbered";
  }
}

TEST(PlayListTree, ExpandNeedsTheEntryToBeInItsList) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b} c");
  list.Renumber();

  CPlayListFolderEntry loose;
  EXPECT_FALSE(loose.Expand(false)) << "in no list";

  auto* folder = FolderAt(list, 1);
  list.Remove(1, false);  // the entry keeps its stale holder and index
  list.Renumber();
  EXPECT_FALSE(folder->Expand(false)) << "removed from its list";
  EXPECT_EQ(Describe(list), "a c");
  delete folder;
}

TEST(PlayListTree, ExpandInsideAFolderRenumbersThatFolder) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b G{c d} e}");
  list.Renumber();
  CPlayListEntryHolder& contents = FolderAt(list, 1)->GetContents();
  ASSERT_TRUE(FolderAt(contents, 1)->Expand(false));
  EXPECT_EQ(Numbers(contents), "b(1,2) c(2,3) d(3,4) e(4,5)");
  list.Renumber();
  EXPECT_EQ(CheckInvariants(list), "");
}

TEST(PlayListTree, InsertAndRemoveAtTheEdges) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a b");
  list.Insert(builder.NewFile("x"), 7);
  list.Insert(builder.NewFile("y"), -3);
  list.Insert(builder.NewFile("z"), 0);
  list.Insert(nullptr, 0);
  EXPECT_EQ(Describe(list), "z a b x y") << "indices beyond the end or negative append";
  EXPECT_EQ(list.Remove(5, true), 5) << "an index outside the list removes nothing";
  EXPECT_EQ(list.Remove(-1, true), 5);
  CPlayListEntry* a = list.GetEntry(1);
  EXPECT_EQ(list.Remove(1, false), 4);
  EXPECT_EQ(a->GetHolder(), &list) << "a removed entry keeps its holder";
  delete a;
  list.Renumber();
  EXPECT_EQ(CheckInvariants(list), "");
}

// Random trees changed by random moves, expansions and insertions keep
// the invariants after Renumber, and FindEntry finds every entry by its
// numbers.
TEST(PlayListTree, RandomChangesKeepTheInvariants) {
  std::mt19937 random(20240607);
  auto pick = [&random](int n) { return static_cast<INT>(std::uniform_int_distribution<int>(0, n - 1)(random)); };
  int names = 0;

  for (int round = 0; round < 60; ++round) {
    TreeBuilder builder;
    CPlayList list;
    // Every holder of the tree, collected afresh after each change.
    std::vector<CPlayListEntryHolder*> holders;
    std::function<void(CPlayListEntryHolder&)> collect = [&](CPlayListEntryHolder& holder) {
      holders.push_back(&holder);
      for (INT i = 0; i < holder.GetCount(); ++i)
        if (holder.GetEntry(i)->IsFolder()) collect(FolderAt(holder, i)->GetContents());
    };
    auto insertRandom = [&] {
      holders.clear();
      collect(list);
      CPlayListEntryHolder* target = holders[static_cast<size_t>(pick(static_cast<int>(holders.size())))];
      const std::string name = "n" + std::to_string(names++);
      CPlayListEntry* entry = pick(3) == 0 ? builder.NewFolder(name) : builder.NewFile(name);
      target->Insert(entry, pick(target->GetCount() + 2) - 1);
    };
    for (int i = 0; i < 30; ++i) insertRandom();
    list.Renumber();
    ASSERT_EQ(CheckInvariants(list), "") << "round " << round << ": " << Describe(list);

    for (int step = 0; step < 40; ++step) {
      holders.clear();
      collect(list);
      CPlayListEntryHolder* holder = holders[static_cast<size_t>(pick(static_cast<int>(holders.size())))];
      const int action = pick(3);
      if (action == 0) {
        insertRandom();
      } else if (action == 1 && holder->GetCount() > 0) {
        holder->Move(pick(holder->GetCount()), pick(holder->GetCount() + 1));
      } else if (holder->GetCount() > 0) {
        const INT index = pick(holder->GetCount());
        if (holder->GetEntry(index)->IsFolder()) FolderAt(*holder, index)->Expand(pick(2) == 1);
      }
      list.Renumber();
      ASSERT_EQ(CheckInvariants(list), "") << "round " << round << " step " << step << ": " << Describe(list);
    }

    holders.clear();
    collect(list);
    for (CPlayListEntryHolder* holder : holders)
      for (INT i = 0; i < holder->GetCount(); ++i) {
        const CPlayListEntry* entry = holder->GetEntry(i);
        EXPECT_EQ(list.FindEntry(kEntry, entry->GetEntryNumber()), entry);
        if (!entry->IsFolder()) {
          EXPECT_EQ(list.FindEntry(kFile, entry->GetFileNumber()), entry);
        }
      }
    EXPECT_EQ(list.FindEntry(kFile, list.GetCounts()[1]), nullptr);
    EXPECT_EQ(list.FindEntry(kEntry, list.GetCounts()[2]), nullptr);
  }
}

}  // namespace

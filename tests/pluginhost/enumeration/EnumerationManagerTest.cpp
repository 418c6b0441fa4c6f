// One listing over several providers as the file browser polls it: the
// order the merged lists take, the duplicate test, raw lists, deliveries
// to the enumerators, done contexts and their reopening, and the cursor a
// batch gives its reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "EnumerationDoubles.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/enumeration/FileObjectNames.h"

namespace {

using enumtest::Answer;
using enumtest::FakeListing;
using enumtest::FakeUrl;
using enumtest::GroupItem;
using List = CFileObjectEnumerationManager::List;
constexpr List kFiles = CFileObjectEnumerationManager::kFiles;
constexpr List kFolders = CFileObjectEnumerationManager::kFolders;
constexpr List kItems = CFileObjectEnumerationManager::kItems;

struct Add {
  const char* name;
  DWORD flags;
  const char* displayText = nullptr;
};

TEST(EnumerationOrder, EachPollPlacesFilesInTheListingsOrder) {
  const struct {
    const char* behaviour;
    std::vector<Add> adds;
    std::vector<std::string> sorted;
  } rows[] = {
      {"a trailing entry added before plain ones sorts after them",
       {{"z", FILEOBJECT_TRAILING}, {"b", 0}, {"a", 0}},
       {"a", "b", "z"}},
      {"NOCASE on either entry puts a.mp3 first", {{"B.mp3", 0}, {"a.mp3", FILEOBJECT_NOCASE}}, {"a.mp3", "B.mp3"}},
      {"without NOCASE bytes order, B.mp3 first", {{"a.mp3", 0}, {"B.mp3", 0}}, {"B.mp3", "a.mp3"}},
      {"grouped entries come after plain and before trailing ones",
       {{"t", FILEOBJECT_TRAILING}, {"g", FILEOBJECT_GROUPED}, {"p", 0}},
       {"p", "g", "t"}},
      {"an entry with both bits is a trailing one",
       {{"x", FILEOBJECT_GROUPED | FILEOBJECT_TRAILING}, {"y", FILEOBJECT_GROUPED}},
       {"y", "x"}},
      {"trailing entries keep their arrival order",
       {{"b", FILEOBJECT_TRAILING}, {"a", FILEOBJECT_TRAILING}},
       {"b", "a"}},
      {"a name that is a prefix of another comes first", {{"ab", 0}, {"a", 0}}, {"a", "ab"}},
      {"SORTBYTEXT orders by the display text", {{"a", FILEOBJECT_SORTBYTEXT, "zz"}, {"b", 0}}, {"b", "a"}},
      {"UTF-8 bytes sort above ASCII", {{"\xc3\xa9t\xc3\xa9", 0}, {"zebra", 0}}, {"zebra", "\xc3\xa9t\xc3\xa9"}},
  };
  for (const auto& row : rows) {
    FakeListing listing;
    listing.Start();
    for (const Add& add : row.adds)
      ASSERT_TRUE(listing.Context().AddFile(FakeUrl(add.name).c_str(), add.displayText, 0, add.flags));
    listing.manager.MergeResults();
    EXPECT_EQ(listing.Sorted(kFiles), row.sorted) << row.behaviour;
  }
}

TEST(EnumerationOrder, InsertingEachPollsNewEntriesAtTheirIndexRebuildsTheSortedOrder) {
  std::mt19937 random(59);
  const std::string letters = "aAbBzZ _.\xc3\xa4";
  FakeListing listing(2);
  listing.Start();
  std::vector<std::string> rebuilt;
  std::vector<std::string> all;
  for (int poll = 0; poll < 12; ++poll) {
    for (int i = 0; i < 40; ++i) {
      std::string name;
      for (size_t length = 1 + random() % 6; name.size() < length;) name += letters[random() % letters.size()];
      all.push_back(name);
      const DWORD flags = poll % 3 == 2 ? FILEOBJECT_NOCASE : 0;
      listing.Context(random() % 2).AddFile(FakeUrl(name).c_str(), nullptr, 0, flags);
    }
    listing.manager.MergeResults();
    for (const FileObjectEntry* entry = listing.manager.GetNew(kFiles); entry; entry = entry->next) {
      ASSERT_GE(entry->sortedIndex, 0);
      ASSERT_LE(static_cast<size_t>(entry->sortedIndex), rebuilt.size());
      rebuilt.insert(rebuilt.begin() + entry->sortedIndex, FakeListing::NameOf(*entry));
    }
  }
  EXPECT_EQ(rebuilt, listing.Sorted(kFiles));
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  EXPECT_EQ(rebuilt.size(), all.size()) << "every name once";
}

TEST(EnumerationMerge, DuplicatesKeepTheEntryMergedFirstAndTheLastAddsRecord) {
  FakeListing listing(2);
  listing.Start();
  ASSERT_TRUE(listing.Context(0).AddFile(FakeUrl("song").c_str(), "one", 3, 0));
  ASSERT_TRUE(listing.Context(1).AddFile(FakeUrl("song").c_str(), "two", 4, FILEOBJECT_NOCASE));
  listing.manager.MergeResults();
  const FileObjectEntry* only = listing.manager.GetHead(kFiles);
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(only->next, nullptr);
  EXPECT_EQ(only->providerIndex, 0);
  EXPECT_EQ(only->info->flags, FILEOBJECT_NOCASE);
  EXPECT_EQ(*only->info->displayText, "two");
  EXPECT_EQ(only->info->iconIndex, 4);

  // The first file of this poll is a duplicate: the new files begin with
  // the first that survived.
  listing.Context(0).AddFile(FakeUrl("song").c_str(), nullptr, 0, 0);
  listing.Context(0).AddFile(FakeUrl("next").c_str(), nullptr, 0, 0);
  listing.manager.MergeResults();
  ASSERT_NE(listing.manager.GetNew(kFiles), nullptr);
  EXPECT_EQ(FakeListing::NameOf(*listing.manager.GetNew(kFiles)), "next");
  listing.Context(1).AddFile(FakeUrl("next").c_str(), nullptr, 0, 0);
  listing.manager.MergeResults();
  EXPECT_EQ(listing.manager.GetNew(kFiles), nullptr) << "a poll of duplicates only brings nothing new";
}

TEST(EnumerationMerge, RawListsKeepBareUrlsOnceInArrivalOrderWithoutPositions) {
  FakeListing listing(2);
  listing.Start(FOE_RAWFILES | FOE_RAWFOLDERS);
  listing.Context(0).AddFile(FakeUrl("b").c_str(), nullptr, 0, 0);
  listing.Context(0).AddFile(FakeUrl("a").c_str(), nullptr, 0, 0);
  listing.Context(1).AddFile(FakeUrl("b").c_str(), nullptr, 0, 0);
  listing.Context(1).AddFolder(FakeUrl("d").c_str(), nullptr, 0, 0, 0);
  listing.manager.MergeResults();
  EXPECT_EQ(listing.Arrival(kFiles), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(listing.Arrival(kFolders), std::vector<std::string>{"d"});
  EXPECT_EQ(listing.manager.GetSortedHead(kFiles), nullptr);
  for (const FileObjectEntry* entry = listing.manager.GetHead(kFiles); entry; entry = entry->next) {
    EXPECT_EQ(entry->sortedIndex, -1);
    EXPECT_EQ(entry->info, nullptr) << "no record for a raw entry";
  }
  EXPECT_EQ(listing.files.Find(FakeUrl("a").c_str()), nullptr);
}

TEST(EnumerationMerge, ControlItemsAloneAreMergedButNotDelivered) {
  FakeListing listing(2);
  listing.Start();
  auto* first = new GroupItem("Connect", 1);
  auto* same = new GroupItem("Connect too", 1);
  auto* other = new GroupItem("Add server", 2);
  listing.Context(0).AddControlItem(first);
  listing.Context(1).AddControlItem(same);
  listing.Context(1).AddControlItem(other);
  for (GroupItem* item : {first, same, other}) item->Release();
  listing.manager.MergeResults();
  EXPECT_EQ(listing.providers[0]->deliveries + listing.providers[1]->deliveries, 0);
  ASSERT_NE(listing.manager.GetNew(kItems), nullptr);
  EXPECT_EQ(listing.Arrival(kItems), (std::vector<std::string>{"Connect", "Add server"}));
  EXPECT_EQ(listing.Sorted(kItems), (std::vector<std::string>{"Add server", "Connect"}));
}

TEST(EnumerationMerge, AUrlNoProviderRecognisesEndsAtTheFirstPoll) {
  FakeListing listing(2, Answer::kNone);
  listing.Start();
  EXPECT_FALSE(listing.manager.IsDone());
  listing.manager.MergeResults();
  EXPECT_TRUE(listing.manager.IsDone());
  EXPECT_EQ(listing.manager.GetHead(kFiles), nullptr);
}

TEST(EnumerationMerge, AProviderThatThrowsContributesNothing) {
  FakeListing listing;
  listing.providers.push_back(std::make_unique<enumtest::FakeProvider>(Answer::kThrow));
  listing.Start();
  listing.Context(0).AddFile(FakeUrl("a").c_str(), nullptr, 0, 0);
  listing.Context(0).SetDone();
  listing.manager.MergeResults();
  EXPECT_EQ(listing.Arrival(kFiles), std::vector<std::string>{"a"});
  listing.manager.MergeResults();
  EXPECT_TRUE(listing.manager.IsDone());
}

TEST(EnumerationContext, AnAddAfterDoneIsRefusedUnlessTheContextIsReopenedDuringADelivery) {
  FakeListing listing;
  listing.providers[0]->onResults = [&](CFileObjectEnumeration&, bool allFinished) {
    EXPECT_TRUE(allFinished);
    if (listing.providers[0]->deliveries > 1) return;  // derives from the first batch only
    CFileObjectEnumerationContext& context = listing.Context();
    if (!context.Reopen()) return;
    EXPECT_TRUE(context.AddFolder(FakeUrl("derived").c_str(), "derived", 5, 6, 11));
    context.SetDone();
  };
  listing.Start();
  CFileObjectEnumerationContext& context = listing.Context();
  ASSERT_TRUE(context.AddFile(FakeUrl("list.m3u").c_str(), nullptr, 0, 0));
  context.SetDone();

  EXPECT_FALSE(context.AddFile(FakeUrl("late").c_str(), nullptr, 0, 0));
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(MISC_ERROR_ACCESS_DENIED));
  auto* item = new GroupItem("late item", 1);
  EXPECT_FALSE(context.AddControlItem(item));
  EXPECT_EQ(item->GetReferenceCount(), 1) << "a refused item keeps no reference";
  item->Release();
  EXPECT_FALSE(context.Reopen()) << "no delivery runs";

  listing.manager.MergeResults();  // delivers the file; the enumerator adds a folder
  EXPECT_EQ(listing.providers[0]->deliveries, 1);
  EXPECT_FALSE(listing.manager.IsDone());
  listing.manager.MergeResults();  // merges the folder and delivers it
  EXPECT_EQ(listing.Arrival(kFolders), std::vector<std::string>{"derived"});
  EXPECT_EQ(listing.providers[0]->deliveries, 2);
  listing.manager.MergeResults();
  EXPECT_TRUE(listing.manager.IsDone());
  EXPECT_EQ(listing.providers[0]->aborts, 1) << "the enumerator ends with the listing";
  EXPECT_EQ(listing.Arrival(kFiles), std::vector<std::string>{"list.m3u"}) << "the results stay";
}

TEST(EnumerationResults, ABatchWalksItsNewEntriesAndSelectGoesBack) {
  FakeListing listing;
  std::vector<std::vector<std::string>> reads;
  listing.providers[0]->onResults = [&](CFileObjectEnumeration& results, bool) {
    std::vector<std::string> read;
    while (FileObjectEntry* folder = results.GetNextFolder()) read.push_back(FakeListing::NameOf(*folder));
    EXPECT_EQ(results.GetNextFolder(), nullptr);
    EXPECT_TRUE(results.SelectFolders(2));
    read.push_back("|" + FakeListing::NameOf(*results.GetNextFolder()));
    EXPECT_TRUE(results.SelectFolders(1));
    read.push_back("|" + FakeListing::NameOf(*results.GetNextFolder()));
    EXPECT_FALSE(results.SelectFolders(3));
    EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(MISC_ERROR_INVALID_PARAM));
    reads.push_back(read);
  };
  listing.Start();
  listing.Context().AddFolder(FakeUrl("a").c_str(), nullptr, 0, 0, 0);
  listing.Context().AddFolder(FakeUrl("b").c_str(), nullptr, 0, 0, 0);
  listing.manager.MergeResults();
  listing.Context().AddFolder(FakeUrl("d").c_str(), nullptr, 0, 0, 0);
  listing.Context().AddFolder(FakeUrl("c").c_str(), nullptr, 0, 0, 0);
  listing.manager.MergeResults();
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0], (std::vector<std::string>{"a", "b", "|a", "|a"}));
  EXPECT_EQ(reads[1], (std::vector<std::string>{"c", "d", "|c", "|a"})) << "each poll's chain comes sorted";
}

TEST(EnumerationManager, CopyResultsTakesTheOtherListingOverInItsSortedOrder) {
  FakeListing listing;
  listing.Start();
  listing.Context().AddFile(FakeUrl("b").c_str(), nullptr, 0, 0);
  listing.Context().AddFile(FakeUrl("a").c_str(), nullptr, 0, 0);
  listing.manager.MergeResults();

  CFileObjectEnumerationManager taker;
  taker.Start({}, "fake://folder", nullptr, FOE_FILES, listing.files, listing.folders, nullptr);
  taker.CopyResults(listing.manager);
  EXPECT_EQ(listing.manager.GetHead(kFiles), nullptr);
  listing.Context().AddFile(FakeUrl("c").c_str(), nullptr, 0, 0);
  listing.Context().AddFile(FakeUrl("a").c_str(), nullptr, 0, 0);
  taker.MergeResults();
  std::vector<std::string> arrival;
  for (const FileObjectEntry* entry = taker.GetHead(kFiles); entry; entry = entry->next)
    arrival.push_back(FakeListing::NameOf(*entry));
  EXPECT_EQ(arrival, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(listing.providers[0]->deliveries, 2) << "the taken-over enumerator hears the new batch";
  taker.Clear();
  EXPECT_EQ(listing.providers[0]->aborts, 1);
}

TEST(EnumerationManager, HostEntriesCarryTheirOwnOrderValue) {
  FakeListing listing;
  listing.Start();
  FileInfoRecord* cached = listing.files.Get(FakeUrl("cached").c_str());
  ASSERT_TRUE(listing.manager.AddFileWithData(cached, 7));
  listing.manager.MergeResults();
  const FileObjectEntry* entry = listing.manager.GetHead(kFiles);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->order, 7);
  EXPECT_EQ(entry->providerIndex, -1);
}

}  // namespace

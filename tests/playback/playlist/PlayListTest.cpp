#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PlayListTrees.h"
#include "foundation/kernel/ClassManager.h"
#include "playback/playlist/FileTitle.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"

namespace {

TEST(PlayList, ClonedFolderIsIndependent) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b G{x} c} d");
  list.Renumber();
  CPlayListFolderEntry* source = FolderAt(list, 1);
  source->SetExpandPending(true);
  source->SetExpandRecursive(true);
  source->AddRunningEnumeration();
  source->AddRunningEnumeration();

  std::unique_ptr<CPlayListEntry> made(source->Clone());
  ASSERT_TRUE(made->IsFolder());
  auto* clone = static_cast<CPlayListFolderEntry*>(made.get());
  EXPECT_EQ(clone->GetRunningEnumerations(), 0) << "the source has 2";
  EXPECT_TRUE(clone->IsExpandPending());
  EXPECT_TRUE(clone->IsExpandRecursive());
  EXPECT_EQ(clone->GetHolder(), nullptr);
  EXPECT_EQ(clone->GetInfo(), source->GetInfo());
  EXPECT_EQ(clone->GetFileNumber(), 1);
  EXPECT_EQ(clone->GetEntryNumber(), 1);
  EXPECT_EQ(clone->GetContents().GetCounts(), source->GetContents().GetCounts());
  EXPECT_EQ(Describe(clone->GetContents()), "b G{x} c");
  EXPECT_EQ(clone->GetContents().GetEntry(0)->GetHolder(), &clone->GetContents());
  EXPECT_EQ(clone->GetContents().GetOwner(), clone);

  clone->GetContents().Insert(builder.NewFile("new"), 0);
  FolderAt(clone->GetContents(), 2)->GetContents().Remove(0, true);
  EXPECT_EQ(Describe(clone->GetContents()), "new b G{} c");
  EXPECT_EQ(Describe(list), "a F{b G{x} c} d") << "the source is untouched";
}

TEST(PlayList, ClonedFileEntryKeepsVolumeAndPositions) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a b");
  list.Renumber();
  auto* source = static_cast<CPlayListFileEntry*>(list.GetEntry(1));
  source->SetVolume(40);
  std::unique_ptr<CPlayListEntry> made(source->Clone());
  auto* clone = static_cast<CPlayListFileEntry*>(made.get());
  EXPECT_FALSE(clone->IsFolder());
  EXPECT_EQ(clone->GetVolume(), 40);
  EXPECT_EQ(clone->GetFileInfo(), source->GetFileInfo());
  EXPECT_EQ(clone->GetIndex(), 1);
  EXPECT_EQ(clone->GetHolder(), nullptr);
}

TEST(PlayList, VolumeStaysAPercentage) {
  CPlayListFileEntry entry(nullptr, 250);
  EXPECT_EQ(entry.GetVolume(), 100);
  entry.SetVolume(-4);
  EXPECT_EQ(entry.GetVolume(), 0);
  EXPECT_EQ(CPlayListFileEntry().GetVolume(), 100);
  EXPECT_STREQ(entry.GetURL(), "") << "an entry without a record has no URL";
}

TEST(PlayList, AssignCopiesEverything) {
  TreeBuilder builder;
  CPlayList source;
  builder.Fill(source, "a F{b} c");
  source.Renumber();
  source.SetURL("file:///home/u/x.p4u");
  source.SetStoredURL("file://D:/x.p4u");
  source.SetLoop(true);
  source.SetShuffle(true);
  source.UpdateName();

  CPlayList target;
  builder.Fill(target, "old ones");
  target.Assign(source);
  EXPECT_EQ(Describe(target), "a F{b} c");
  EXPECT_EQ(target.GetCounts(), source.GetCounts());
  EXPECT_EQ(target.GetEntry(0)->GetHolder(), &target);
  EXPECT_NE(target.GetEntry(0), source.GetEntry(0));
  EXPECT_STREQ(target.GetURL(), "file:///home/u/x.p4u");
  EXPECT_STREQ(target.GetStoredURL(), "file://D:/x.p4u");
  EXPECT_TRUE(target.GetLoop());
  EXPECT_TRUE(target.GetShuffle());
  EXPECT_STREQ(target.GetName(), "x");
}

// A list given the contents of one of its own folders: the folder is
// deleted with the old entries, so it must be copied before.
TEST(PlayList, AssignFromOwnFolderKeepsTheCopy) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b G{c}} d");
  list.Renumber();
  CPlayListEntryHolder& inner = FolderAt(list, 1)->GetContents();
  list.CPlayListEntryHolder::Assign(inner);
  EXPECT_EQ(Describe(list), "b G{c}");
  list.Renumber();
  EXPECT_EQ(CheckInvariants(list), "");

  list.CPlayListEntryHolder::Assign(list);
  EXPECT_EQ(Describe(list), "b G{c}") << "a list assigned to itself stays";
  list.Assign(list);
  EXPECT_EQ(Describe(list), "b G{c}");
}

TEST(PlayList, ResetKeepsTheUrls) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "a F{b}");
  list.Renumber();
  list.SetURL("file:///home/u/Music/Best of.p4u");
  list.SetStoredURL("file:///old/Best of.p4u");
  list.SetLoop(true);
  list.SetShuffle(true);
  list.UpdateName();
  list.Reset();
  EXPECT_STREQ(list.GetURL(), "file:///home/u/Music/Best of.p4u");
  EXPECT_STREQ(list.GetStoredURL(), "file:///old/Best of.p4u");
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCounts(), (std::array<INT, 3>{0, 0, 0}));
  EXPECT_STREQ(list.GetName(), "");
  EXPECT_FALSE(list.GetLoop());
  EXPECT_FALSE(list.GetShuffle());
}

TEST(PlayList, FileTitle) {
  const struct {
    const char* behaviour;
    const char* url;
    const char* title;
  } cases[] = {
      {"a local file", "file:///home/u/Music/Best of.p4u", "Best of"},
      {"a drive path", "file://D:/Music/Best of.p4u", "Best of"},
      {"backslashes separate too", "file://D:\\Music\\Mix.m3u", "Mix"},
      {"only the last extension goes", "file:///a/live.2024.p4u", "live.2024"},
      {"no extension", "file:///a/Mix", "Mix"},
      {"a dot in a folder name only", "file:///a.b/Mix", "Mix"},
      {"no separator at all", "Mix.pls", "Mix"},
      {"a trailing slash leaves nothing", "file:///a/", ""},
      {"the empty URL", "", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(GetFileTitle(c.url), c.title) << c.behaviour;
  EXPECT_STREQ(GetFileTitle(nullptr), "");

  CPlayList list;
  list.SetURL("file:///home/u/Music/Best of.p4u");
  list.UpdateName();
  EXPECT_STREQ(list.GetName(), "Best of");
}

TEST(PlayList, RunningEnumerationsOfNestedFolders) {
  TreeBuilder builder;
  CPlayList list;
  builder.Fill(list, "F{a G{b H{}}}");
  CPlayListFolderEntry* f = FolderAt(list, 0);
  CPlayListFolderEntry* g = FolderAt(f->GetContents(), 1);
  CPlayListFolderEntry* h = FolderAt(g->GetContents(), 1);

  f->AddRunningEnumeration();
  EXPECT_FALSE(f->HasRunningEnumerations()) << "the entry's own count is not looked at";
  h->AddRunningEnumeration();
  EXPECT_TRUE(f->HasRunningEnumerations()) << "two levels down";
  EXPECT_TRUE(g->HasRunningEnumerations());
  EXPECT_FALSE(h->HasRunningEnumerations());
  h->RemoveRunningEnumeration();
  h->RemoveRunningEnumeration();
  EXPECT_EQ(h->GetRunningEnumerations(), 0) << "never below 0";
  EXPECT_FALSE(f->HasRunningEnumerations());
}

TEST(PlayList, ClassesRegisterTheirBases) {
  const struct {
    const char* name;
    const char* base;
    bool creatable;
  } cases[] = {
      {"CPlayListEntry", "CTypedObject", false},
      {"CPlayListFileEntry", "CPlayListEntry", true},
      {"CPlayListFolderEntry", "CPlayListEntry", true},
      {"CPlayListEntryHolder", "CTypedObject", true},
      {"CPlayList", "CTypedObject", true},
  };
  // Keeps the classes' files linked into the test program.
  const CClassRecord* linked[] = {&CPlayListEntry::ClassRecord, &CPlayListFileEntry::ClassRecord,
                                  &CPlayListFolderEntry::ClassRecord, &CPlayListEntryHolder::ClassRecord,
                                  &CPlayList::ClassRecord};
  for (const auto& c : cases) {
    const CClassRecord* record = GetClassManager().FindClass(c.name);
    ASSERT_NE(record, nullptr) << c.name;
    const CClassRecord* base = GetClassManager().FindClass(c.base);
    ASSERT_NE(base, nullptr) << c.base;
    EXPECT_TRUE(record->IsDerivedFrom(base)) << c.name;
    EXPECT_EQ(record->create != nullptr, c.creatable) << c.name;
  }
  EXPECT_EQ(linked[4], GetClassManager().FindClass("CPlayList"));
  EXPECT_FALSE(CPlayList::ClassRecord.IsDerivedFrom(&CPlayListEntryHolder::ClassRecord))
      << "a playlist registers on CTypedObject";

  std::unique_ptr<CTypedObject> file(CPlayListFileEntry::ClassRecord.create());
  ASSERT_TRUE(IsKindOf<CPlayListFileEntry>(file.get()));
  EXPECT_EQ(static_cast<CPlayListFileEntry*>(file.get())->GetVolume(), 100);
  EXPECT_EQ(static_cast<CPlayListFileEntry*>(file.get())->GetInfo(), nullptr);
  std::unique_ptr<CTypedObject> folder(CPlayListFolderEntry::ClassRecord.create());
  EXPECT_EQ(static_cast<CPlayListFolderEntry*>(folder.get())->GetContents().GetCount(), 0);
}

}  // namespace

// The enumeration system around the listings: the notices providers send
// from any thread, the host API slots through which plug-ins list and read
// (handles refused once stale), and the plug-in wrappers' refusals.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "EnumerationDoubles.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/enumeration/EnumerationHandles.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/enumeration/PlugInFileObjectEnumeratorProvider.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "support/RecordingLogFront.h"

namespace {

using enumtest::FakeListing;
using enumtest::FakeUrl;

class RefreshRecorder : public FolderRefreshTarget {
 public:
  void RefreshFolder(const char* url) override { refreshed.emplace_back(url); }
  std::vector<std::string> refreshed;
};

class ChangeRecorder : public FileObjectListener {
 public:
  void OnFileObjectChanged(FileObjectInfoRecord*, DWORD changes) override { bits |= changes; }
  DWORD bits = 0;
};

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class NoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.Init(nullptr);
    system.SetFolderRefreshTarget(&browser);
  }
  void TearDown() override { system.Exit(); }

  twltest::RecordingLogFront log;
  RefreshRecorder browser;
  CFileObjectEnumerationSystem system;
};

TEST_F(NoticeTest, ARefreshOfAFolderNeverListedOnlyAsksTheBrowser) {
  ASSERT_TRUE(system.PostFolderRefresh("virtual://never"));
  PumpMessages();
  EXPECT_EQ(browser.refreshed, std::vector<std::string>{"virtual://never"});
  EXPECT_EQ(GetFolderInfoDataBase().Find("virtual://never"), nullptr) << "no record is made";
}

TEST_F(NoticeTest, ARefreshForgetsTheFoldersCachedListing) {
  FolderInfoRecord* folder = GetFolderInfoDataBase().Get("file:///music/");
  folder->cacheFlags = FOLDERCACHE_FILES_COMPLETE | FOLDERCACHE_FOLDERS_COMPLETE;
  folder->cachedFiles.push_back({GetFileInfoDataBase().Get("file:///music/a.ogg"), 0});
  // Sent from another thread, as a plug-in's listing thread does.
  std::thread([this] { system.PostFolderRefresh("file:///music/"); }).join();
  PumpMessages();
  EXPECT_EQ(folder->cacheFlags, 0);
  EXPECT_TRUE(folder->cachedFiles.empty());
  EXPECT_EQ(browser.refreshed, std::vector<std::string>{"file:///music/"});
}

TEST_F(NoticeTest, InfoUpdatesChangeExistingRecordsOnly) {
  FileInfoRecord* file = GetFileInfoDataBase().Get("file:///a.ogg");
  FolderInfoRecord* folder = GetFolderInfoDataBase().Get("ftp://host/");
  ChangeRecorder fileChanges, folderChanges;
  AddFileObjectListener(file, &fileChanges);
  AddFileObjectListener(folder, &folderChanges);
  ASSERT_TRUE(system.PostFileInfoUpdate("file:///a.ogg", "A song", 9));
  ASSERT_TRUE(system.PostFolderInfoUpdate("ftp://host/", nullptr, -1, 12));
  ASSERT_TRUE(system.PostFileInfoUpdate("file:///missing.ogg", "x", 1));
  PumpMessages();
  EXPECT_EQ(*file->displayText, "A song");
  EXPECT_EQ(file->iconIndex, 9);
  EXPECT_EQ(fileChanges.bits, static_cast<DWORD>(FILEOBJECT_CHANGED_DISPLAYTEXT | FILEOBJECT_CHANGED_ICON));
  EXPECT_EQ(folder->openIconIndex, 12);
  EXPECT_EQ(folderChanges.bits, static_cast<DWORD>(FILEOBJECT_CHANGED_OPENICON));
  EXPECT_EQ(GetFileInfoDataBase().Find("file:///missing.ogg"), nullptr);
  RemoveFileObjectListener(file, &fileChanges);
  RemoveFileObjectListener(folder, &folderChanges);
}

// The sanitizer's leak check is what proves these: nothing a notice
// carries is left behind.
TEST_F(NoticeTest, NoticesThatCannotBeHandledAreFreed) {
  ASSERT_TRUE(system.PostFileInfoUpdate("file:///queued.ogg", "queued", 1));
  ASSERT_TRUE(system.PostFolderRefresh("file:///queued/"));
  system.Exit();  // with both still queued
  EXPECT_FALSE(system.PostFolderRefresh("file:///gone/"));
  EXPECT_FALSE(system.PostFolderInfoUpdate("file:///gone/", "gone", 1, 2));
  EXPECT_TRUE(browser.refreshed.empty());
}

TEST(EnumerationSlots, ProvidersListAndReadThroughTheHostApi) {
  InitHostApi();
  const HostApiTable& host = *GetHostApiTable();
  FakeListing listing;
  std::vector<std::string> read;
  HOST_FILEENUM kept = nullptr;
  listing.providers[0]->onResults = [&](CFileObjectEnumeration& results, bool) {
    // Handed out as the plug-in wrapper does; the test reads as a plug-in.
    results.SetOwner(&listing);
    kept = GetHandedOutFileEnums().Add(&results);
    HostFileObjectInfo info{};
    info.mask = 0xFF;
    while (host.HOST_FileEnumGetFile(kept, &info)) {
      EXPECT_EQ(info.mask, 0xFu) << "files answer the four file fields";
      read.push_back(std::string(info.url) + " " + info.displayText + " " + std::to_string(info.flags));
      host.HOST_FreeFileInfo(&info);
      EXPECT_EQ(info.url, nullptr);
      info.mask = 0xFF;
    }
    EXPECT_EQ(info.mask, 0u);
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_NONE)) << "the end is no error";
    EXPECT_TRUE(host.HOST_FileEnumSelect(kept, 1));
    EXPECT_FALSE(host.HOST_FileEnumSelect(kept, 0));
  };
  listing.Start();
  const HOST_ENUMCONTEXT context = listing.Context().GetHandle();
  ASSERT_TRUE(host.HOST_EnumAddFile(context, FakeUrl("b.ogg").c_str(), nullptr, 4, FILEOBJECT_NOCASE));
  ASSERT_TRUE(host.HOST_EnumAddFile(context, FakeUrl("a.ogg").c_str(), "Song A", 4, 0));
  EXPECT_FALSE(host.HOST_EnumAddFile(context, nullptr, nullptr, 0, 0));
  EXPECT_FALSE(host.HOST_EnumAddControlItem(context, 1, "not a plug-in's context", -1, 0))
      << "only plug-in providers' contexts take plug-in items";
  ASSERT_TRUE(host.HOST_EnumSetDone(context));
  EXPECT_FALSE(host.HOST_EnumCheckState(context)) << "no delivery runs";
  listing.manager.MergeResults();
  EXPECT_EQ(read, (std::vector<std::string>{FakeUrl("a.ogg") + " Song A 0", FakeUrl("b.ogg") + " b.ogg 2"}));

  ASSERT_TRUE(host.HOST_FileEnumRelease(kept));
  EXPECT_FALSE(host.HOST_FileEnumRelease(kept)) << "a released batch is refused";
  listing.manager.Clear();
  EXPECT_FALSE(host.HOST_EnumAddFile(context, FakeUrl("c.ogg").c_str(), nullptr, 0, 0))
      << "the context of a cleared listing is refused";
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(MISC_ERROR_INVALID_PARAM));
  EXPECT_FALSE(host.HOST_EnumSetDone(reinterpret_cast<HOST_ENUMCONTEXT>(0x1234)));
  ExitHostApi();
}

TEST(EnumerationSlots, MatchWildcardFollowsTheEdgeCases) {
  const struct {
    const char* text;
    const char* pattern;
    BOOL caseSensitive;
    BOOL matches;
  } rows[] = {
      {"a", "a*", FALSE, TRUE},   {"", "*b", FALSE, FALSE},    {"", "?", FALSE, FALSE},
      {"abc", "A?C", FALSE, TRUE}, {"abc", "A?C", TRUE, FALSE}, {nullptr, nullptr, FALSE, TRUE},
      {nullptr, "*", FALSE, TRUE},
  };
  InitHostApi();
  for (const auto& row : rows)
    EXPECT_EQ(GetHostApiTable()->HOST_MatchWildcard(row.text, row.pattern, row.caseSensitive), row.matches)
        << (row.text ? row.text : "(null)") << " ~ " << (row.pattern ? row.pattern : "(null)");
  ExitHostApi();
}

// A table without the slots the host calls blindly is refused at init.
char* TestName() { return GetHostApiTable()->HOST_AllocString("broken"); }
void TestVersion(PlugInVersionInfo* info) { *info = {0x10000, 0x10000}; }
BOOL TestEnumerate(HOST_ENUMCONTEXT, const char*, const char*, DWORD, HWND, PLUGIN_ENUMERATION* handle) {
  *handle = 0;
  return TRUE;
}
BOOL TestOnResults(PLUGIN_ENUMERATION, HOST_FILEENUM, BOOL) { return TRUE; }
void TestRelease(PLUGIN_ENUMERATION) {}
int g_Executed = 0;
int g_Freed = 0;
void TestExecute(PLUGIN_ITEMDATA, DWORD, DWORD, HWND) { ++g_Executed; }
BOOL TestEqual(PLUGIN_ITEMDATA, PLUGIN_ITEMDATA) { return TRUE; }
void TestFree(PLUGIN_ITEMDATA) { ++g_Freed; }

FileObjectEnumeratorProviderInterface MakeTable() {
  FileObjectEnumeratorProviderInterface table{};
  table.head.OBJECT_GetVersion = &TestVersion;
  table.head.OBJECT_GetName = &TestName;
  table.head.OBJECT_GetDescription = &TestName;
  table.FILEENUMPROVIDER_EnumerateFolder = &TestEnumerate;
  table.FILEENUMERATOR_OnResults = &TestOnResults;
  table.FILEENUMERATOR_Release = &TestRelease;
  table.CONTROLITEM_Execute = &TestExecute;
  table.CONTROLITEM_IsEqual = &TestEqual;
  table.CONTROLITEM_Free = &TestFree;
  return table;
}

TEST(PlugInEnumeratorProvider, InitRefusesATableWithoutTheSlotsTheHostCallsBlindly) {
  InitHostApi();
  const struct {
    const char* missing;
    void (*clear)(FileObjectEnumeratorProviderInterface&);
  } rows[] = {
      {"FILEENUMPROVIDER_EnumerateFolder", [](auto& t) { t.FILEENUMPROVIDER_EnumerateFolder = nullptr; }},
      {"FILEENUMERATOR_OnResults", [](auto& t) { t.FILEENUMERATOR_OnResults = nullptr; }},
      {"FILEENUMERATOR_Release", [](auto& t) { t.FILEENUMERATOR_Release = nullptr; }},
  };
  for (const auto& row : rows) {
    FileObjectEnumeratorProviderInterface table = MakeTable();
    row.clear(table);
    CPlugInFileObjectEnumeratorProvider provider;
    EXPECT_FALSE(provider.Init(&table, "broken", "Broken.dll")) << row.missing;
    const std::string reason = GetThreadErrorText().c_str();
    EXPECT_NE(reason.find(row.missing), std::string::npos) << reason;
  }
  const FileObjectEnumeratorProviderInterface whole = MakeTable();
  CPlugInFileObjectEnumeratorProvider provider;
  EXPECT_TRUE(provider.Init(&whole, "whole", "Whole.dll"));
  ExitHostApi();
}

TEST(PlugInControlItems, ItemsOfDifferentTablesAreNeverEqualAndEmptyDataIsNeverPassedOn) {
  const FileObjectEnumeratorProviderInterface one = MakeTable();
  const FileObjectEnumeratorProviderInterface two = MakeTable();
  g_Executed = g_Freed = 0;
  {
    CPlugInFileBrowserControlItem a(&one, 0, 1, "item", 0, -1);
    CPlugInFileBrowserControlItem same(&one, 0, 2, "item", 0, -1);
    CPlugInFileBrowserControlItem other(&two, 0, 1, "item", 0, -1);
    EXPECT_TRUE(a.IsEqual(&same)) << "the plug-in decides within its table";
    EXPECT_FALSE(a.IsEqual(&other));
    a.Execute(CONTROLITEM_ACTIVATED, 0, nullptr);
    EXPECT_EQ(g_Executed, 1);
    CPlugInFileBrowserControlItem empty(&one, 0, 0, "empty", 0, -1);
    empty.Execute(CONTROLITEM_ACTIVATED, 0, nullptr);
    EXPECT_EQ(g_Executed, 1);
  }
  EXPECT_EQ(g_Freed, 3) << "every item with data, none without";
}

}  // namespace

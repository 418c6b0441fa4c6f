// Plug-in identifiers in the identifier system: the test plug-in's two
// identifiers, plug-ins that arrive while the worker runs, identifiers
// refused or taken at init, and slot 66, through which they report.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "pluginhost/identifiers/PlugInFileIdentifier.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "pluginhost/plugins/PlugInRegistry.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

namespace {

constexpr DWORD kWaitLimit = 120000;

// The fixtures' trace, pointed at a fresh file for the test's life.
class IdentifyTrace {
 public:
  IdentifyTrace() : m_Path(twltest::MakeTempDir("trace") + "/trace.txt") {
    setenv("TWL_FIXTURE_TRACE", m_Path.c_str(), 1);
  }
  ~IdentifyTrace() { unsetenv("TWL_FIXTURE_TRACE"); }
  int Count(const std::string& line) const {
    std::ifstream file(m_Path);
    int count = 0;
    for (std::string read; std::getline(file, read);) count += read == line;
    return count;
  }

 private:
  std::string m_Path;
};

std::string FileOfSize(size_t bytes) {
  const std::string path = twltest::MakeTempDir("file") + "/data.bin";
  twltest::WriteFile(path, std::string(bytes, 'x'));
  return "file://" + path;
}

TEST(PlugInFileIdentifiers, TheSecondIsAskedAfterTheFirstCompletedAndTheHigherPriorityWins) {
  IdentifyTrace trace;
  twltest::RecordingLogFront log;
  CPlugInLoader loader;
  loader.LoadPlugIns(TWL_IDENTIFY_PLUGIN_DIR);
  CFileIdentifierSystem system;
  CFileInfoDataBase& files = GetFileInfoDataBase();
  system.Init(&loader.GetManager(), files);
  ASSERT_EQ(system.GetIdentifierCount(), 2);
  EXPECT_TRUE(system.GetIdentifier(0)->IsKindOf(&CPlugInFileIdentifier2::ClassRecord));
  PlugInRegistryEntry entry;
  ASSERT_TRUE(GetPlugInRegistry().Lookup(system.GetIdentifier(1)->GetHandle(), entry));
  EXPECT_EQ(entry.kind, PLUGIN_REGISTRY_FILEIDENTIFIER);

  const std::string url = FileOfSize(70001);  // more than one read of the fixture
  system.AddFileObject(files.Get(url.c_str()));
  ASSERT_TRUE(system.WaitUntilIdle(kWaitLimit));
  {
    CriticalSectionLock lock(files.GetLock());
    const FileInfoRecord* record = files.Get(url.c_str());
    EXPECT_EQ(*record->typeText, "second");
    EXPECT_EQ(record->typeTextPriority, 200);
    EXPECT_EQ(record->typeIcon, 7);
    EXPECT_EQ(record->typeIconPriority, 100);
  }
  EXPECT_EQ(trace.Count("TestIdentify: Identify first " + url), 1);
  EXPECT_EQ(trace.Count("TestIdentify: Identify second " + url), 1);
  system.Exit();
  EXPECT_EQ(trace.Count("TestIdentify: OBJECT_Exit first"), 1);
  loader.UnloadPlugIns();
}

TEST(PlugInFileIdentifiers, IdentifiersOfPlugInsLoadedAfterStartAreMadeOnceAndUsedFromTheNextPass) {
  IdentifyTrace trace;
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("plugins");
  CPlugInLoader loader;
  loader.LoadPlugIns(folder.c_str());
  CFileIdentifierSystem system;
  system.Init(&loader.GetManager(), GetFileInfoDataBase());
  EXPECT_EQ(system.GetIdentifierCount(), 0);

  for (const char* name : {"Early.dll", "Late.dll"})
    std::filesystem::copy_file(std::string(TWL_IDENTIFY_PLUGIN_DIR) + "/TestIdentify.dll", folder + "/" + name);
  CPlugInManager& manager = loader.GetManager();
  manager.ScanFolder(folder.c_str(), true);
  ASSERT_EQ(manager.GetCount(), 2);
  system.InitNewPlugIns(manager, 0);
  EXPECT_EQ(trace.Count("TestIdentify: OBJECT_Init first"), 2) << "once for each plug-in";
  EXPECT_EQ(trace.Count("TestIdentify: OBJECT_Init second"), 2);

  const std::string url = FileOfSize(10);
  system.AddFileObject(GetFileInfoDataBase().Get(url.c_str()));
  ASSERT_TRUE(system.WaitUntilIdle(kWaitLimit));
  EXPECT_EQ(system.GetIdentifierCount(), 4);
  EXPECT_EQ(trace.Count("TestIdentify: Identify first " + url), 2);
  EXPECT_EQ(trace.Count("TestIdentify: Identify second " + url), 2);
  EXPECT_EQ(trace.Count("TestIdentify: OBJECT_Init first"), 2) << "and never again";
  system.Exit();
  loader.UnloadPlugIns();
}

BOOL IdentifyNothing(const char*) { return TRUE; }
void VersionOne(PlugInVersionInfo* info) { *info = {0x10000, 0x10000}; }
char* NameOfStub() { return GetHostApiTable()->HOST_AllocString("stub"); }

// A version-1 identifier needs only its identify slot; one without it
// would crash the worker and is refused at init instead.
TEST(PlugInFileIdentifiers, OnlyTheIdentifySlotIsRequired) {
  twltest::RecordingLogFront log;
  FileIdentifierInterface bare{};
  bare.head.OBJECT_GetVersion = &VersionOne;
  bare.head.OBJECT_GetName = &NameOfStub;
  bare.head.OBJECT_GetDescription = &NameOfStub;
  bare.FILEIDENTIFIER_Identify = &IdentifyNothing;
  CPlugInFileIdentifier taken;
  ASSERT_TRUE(taken.Init(&bare, "stub", "Stub")) << GetThreadErrorText().c_str();
  EXPECT_TRUE(taken.Identify("file:///a"));
  EXPECT_EQ(taken.GetImageIndex(), -1);
  EXPECT_FALSE(taken.HasConfigure());
  EXPECT_TRUE(taken.RestoreSurfaces());
  taken.BeginSkinChange();
  taken.EndSkinChange();
  taken.Unload();

  FileIdentifierInterface withoutIdentify = bare;
  withoutIdentify.FILEIDENTIFIER_Identify = nullptr;
  FileIdentifierInterface2 withoutIdentify2{};
  for (bool version2 : {false, true}) {
    SCOPED_TRACE(version2 ? "version 2" : "version 1");
    SetThreadError(0, 0, nullptr);
    CPlugInFileIdentifier refused;
    CPlugInFileIdentifier2 refused2;
    const bool initialized = version2 ? refused2.Init(&withoutIdentify2, 1, "stub", "Stub<stub>", "Stub")
                                      : refused.Init(&withoutIdentify, "stub", "Stub");
    EXPECT_FALSE(initialized);
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    EXPECT_NE(std::string(GetThreadErrorText().c_str()).find("FILEIDENTIFIER_Identify"), std::string::npos);
    EXPECT_FALSE(version2 ? refused2.Identify("file:///a") : refused.Identify("file:///a")) << "refused, not followed";
  }
}

class RecordingListener : public FileObjectListener {
 public:
  void OnFileObjectChanged(FileObjectInfoRecord*, DWORD changes) override { seen.push_back(changes); }
  std::vector<DWORD> seen;
};

TEST(SetFileInfoSlot, ReportsReachTheRecordClampedAndACallerIsRequired) {
  const HostApiTable& host = *GetHostApiTable();
  CFileInfoDataBase& files = GetFileInfoDataBase();
  int caller = 0;
  SetThreadError(0, 0, nullptr);
  EXPECT_FALSE(host.HOST_SetFileInfo("file:///slot", "text", 10, 1, 10, -1, 0, nullptr));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
  EXPECT_FALSE(host.HOST_SetFileInfo(nullptr, "text", 10, 1, 10, -1, 0, &caller));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
  EXPECT_EQ(files.Find("file:///slot"), nullptr) << "nothing made for a refused report";

  RecordingListener listener;
  {
    CriticalSectionLock lock(files.GetLock());
    AddFileObjectListener(files.Get("file:///slot"), &listener);
  }
  EXPECT_TRUE(host.HOST_SetFileInfo("file:///slot", "Wave", 0xFFFFFFFFu, -5, 300, 9, 0, &caller));
  CriticalSectionLock lock(files.GetLock());
  const FileInfoRecord* record = files.Get("file:///slot");
  EXPECT_EQ(*record->typeText, "Wave");
  EXPECT_EQ(record->typeTextPriority, 255) << "a huge priority is the top one";
  EXPECT_EQ(record->typeIcon, 0) << "a negative icon is none";
  EXPECT_EQ(record->typeIconPriority, 255);
  EXPECT_EQ(record->thirdValuePriority, 0) << "priority 0 reports nothing";
  ASSERT_FALSE(listener.seen.empty());
  DWORD changes = 0;
  for (DWORD seen : listener.seen) changes |= seen;
  EXPECT_EQ(changes, static_cast<DWORD>(FILEOBJECT_CHANGED_TYPETEXT | FILEOBJECT_CHANGED_TYPEICON));
  RemoveFileObjectListener(files.Get("file:///slot"), &listener);
}

}  // namespace

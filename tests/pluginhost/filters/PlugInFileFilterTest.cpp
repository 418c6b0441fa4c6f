// Plug-in filters as the filter system holds them: both interface
// versions from the test plug-ins, the collector that slot 110 fills only
// while a filter builds its descriptions, and filters refused at init.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/filters/PlugInFileFilter.h"
#include "pluginhost/handles/HandedOutFilterList.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "pluginhost/plugins/PlugInRegistry.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

namespace {

// The fixtures' trace, pointed at a fresh file for the test's life.
class FilterTrace {
 public:
  FilterTrace() : m_Path(twltest::MakeTempDir("trace") + "/trace.txt") {
    setenv("TWL_FIXTURE_TRACE", m_Path.c_str(), 1);
  }
  ~FilterTrace() { unsetenv("TWL_FIXTURE_TRACE"); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream file(m_Path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string m_Path;
};

class PlugInFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loader.LoadPlugIns(TWL_IDENTIFY_PLUGIN_DIR);
    system.Init(&loader.GetManager());
  }
  void TearDown() override {
    system.Exit();
    loader.UnloadPlugIns();
  }

  FilterTrace trace;
  twltest::RecordingLogFront log;
  CPlugInLoader loader;
  CFileFilterSystem system;
};

TEST_F(PlugInFilterTest, BothVersionsOfferTheirDescriptionsUnderTheirOwnHandles) {
  ASSERT_EQ(system.GetFilterCount(), 3);
  CFileFilter* second = system.GetFilter(1);
  CFileFilter* first = system.GetFilter(2);
  EXPECT_TRUE(second->IsKindOf(&CPlugInFileFilter2::ClassRecord));
  EXPECT_TRUE(first->IsKindOf(&CPlugInFileFilter::ClassRecord));
  EXPECT_EQ(second->GetHandle(), second) << "a version-2 handle is the wrapper";
  EXPECT_NE(first->GetHandle(), first) << "a version-1 handle is the plug-in's table";
  EXPECT_STREQ(second->GetName(), "Test filter");
  EXPECT_STREQ(first->GetName(), "Test filter 1");
  EXPECT_STREQ(first->GetDescription(), "marks test files");

  ASSERT_EQ(system.GetDescCount(), 5);
  const struct {
    INT index;
    const char* text;
    FILEFILTER_DESCRIPTION value;
    CFileFilter* filter;
  } rows[] = {
      {1, "Test A files (*.tsa)", 1, second},
      {2, "Test B files (*.tsb)", 2, second},
      {3, "Test A files (*.tsa)", 1, first},
      {4, "Test B files (*.tsb)", 2, first},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    const CFileFilterDesc* desc = system.GetDesc(row.index);
    EXPECT_STREQ(desc->GetName().c_str(), row.text);
    EXPECT_EQ(desc->GetValue(), row.value);
    EXPECT_EQ(desc->GetFilterHandle(), row.filter->GetHandle());
  }

  PlugInRegistryEntry entry;
  ASSERT_TRUE(GetPlugInRegistry().Lookup(second->GetHandle(), entry));
  EXPECT_EQ(entry.kind, PLUGIN_REGISTRY_FILEFILTER);
  EXPECT_STREQ(entry.key.c_str(), "TestIdentify<filter>");
}

TEST_F(PlugInFilterTest, AFilterWithoutAChosenDescriptionIsNotCalledAndChangesNothing) {
  const char* names[] = {"a.tsa", "FAIL.tsb"};
  DWORD results[] = {0, 9};
  CFileFilter* filter = system.GetFilter(1);
  EXPECT_TRUE(filter->FilterFiles(0, nullptr, 2, names, results));
  EXPECT_EQ(results[0], 0u);
  EXPECT_EQ(results[1], 9u);

  CFileFilterDesc* playLists = system.GetDesc(0);
  EXPECT_TRUE(system.FilterFiles(1, &playLists, 2, names, results));
  for (const auto& line : trace.Lines()) EXPECT_EQ(line.find("TestNames"), std::string::npos) << line;

  // The version-1 filter's second description alone: that filter, with its
  // own number for it.
  CFileFilterDesc* bFiles = system.GetDesc(4);
  results[1] = 0;
  EXPECT_FALSE(system.FilterFiles(1, &bFiles, 2, names, results));
  EXPECT_EQ(results[0], 0u);
  EXPECT_EQ(results[1], 1u);
  EXPECT_EQ(trace.Lines().back(), "TestIdentify1: FILEFILTER_TestNames 1");
}

TEST_F(PlugInFilterTest, NewPlugInsAddTheirFiltersAndTheListIsBuiltAgain) {
  const std::string folder = twltest::MakeTempDir("later");
  CPlugInLoader later;
  later.LoadPlugIns(folder.c_str());
  CFileFilterSystem fresh;
  fresh.Init(&later.GetManager());
  ASSERT_EQ(fresh.GetDescCount(), 1);
  std::filesystem::copy_file(std::string(TWL_IDENTIFY_PLUGIN_DIR) + "/TestIdentify1.dll", folder + "/Late.dll");
  const INT before = later.GetManager().GetCount();
  later.GetManager().ScanFolder(folder.c_str(), true);
  fresh.InitNewPlugIns(later.GetManager(), before);
  EXPECT_EQ(fresh.GetFilterCount(), 2);
  EXPECT_EQ(fresh.GetDescCount(), 3);
  bool header = false;
  for (const auto& entry : log.Entries())
    header |= entry.text == "-------- initializing new file filter(s) --------\n";
  EXPECT_TRUE(header);
  fresh.Exit();
  later.UnloadPlugIns();
}

// The description slot takes a collector only while its filter builds.
TEST_F(PlugInFilterTest, SlotOneHundredTenAddsOnlyToAHandedOutCollectorForACaller) {
  const HostApiTable& host = *GetHostApiTable();
  CFileFilterDescEnum collector;
  int caller = 0;
  {
    const CHandedOutFilterList handedOut(collector);
    const struct {
      const char* behaviour;
      HOST_FILEFILTERLIST list;
      const char* text;
      PLUGIN_HANDLE caller;
    } refused[] = {
        {"no filter handle", handedOut.GetHandle(), "Refused (*.r)", nullptr},
        {"no text", handedOut.GetHandle(), nullptr, &caller},
        {"a made-up collector", reinterpret_cast<HOST_FILEFILTERLIST>(&caller), "Refused (*.r)", &caller},
    };
    for (const auto& row : refused) {
      SCOPED_TRACE(row.behaviour);
      SetThreadError(0, 0, nullptr);
      EXPECT_FALSE(host.HOST_AddFileFilterPattern(row.list, row.text, 3, row.caller));
      EXPECT_EQ(host.HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_MISC));
      EXPECT_EQ(host.HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
    }
    EXPECT_EQ(collector.GetCount(), 0u) << "nothing was added";
    EXPECT_TRUE(host.HOST_AddFileFilterPattern(handedOut.GetHandle(), "Taken (*.t)", 3, &caller));
  }
  SetThreadError(0, 0, nullptr);
  EXPECT_EQ(collector.GetCount(), 1u);
  auto descs = collector.TakeAll();
  EXPECT_STREQ(descs[0]->GetName().c_str(), "Taken (*.t)");
  EXPECT_EQ(descs[0]->GetFilterHandle(), &caller);
}

// Filters whose own slots are empty would crash at first use: they are
// refused at init with a general error that names the missing function.
TEST(PlugInFileFilterInit, AnEmptyFilterSlotRefusesTheObject) {
  twltest::RecordingLogFront log;
  FileFilterInterface withoutTest{};
  withoutTest.FILEFILTER_BuildFilter = [](HOST_FILEFILTERLIST) -> BOOL { return TRUE; };
  FileFilterInterface withoutBuild{};
  withoutBuild.FILEFILTER_TestNames = [](int32_t, const FILEFILTER_DESCRIPTION*, int32_t, const char* const*,
                                         DWORD*) -> BOOL { return TRUE; };
  FileFilterInterface2 withoutTest2{};
  withoutTest2.FILEFILTER_BuildFilter = [](PLUGIN_CONTEXT, HOST_FILEFILTERLIST) -> BOOL { return TRUE; };
  const struct {
    const char* missing;
    bool version2;
    const void* table;
  } rows[] = {
      {"FILEFILTER_TestNames", false, &withoutTest},
      {"FILEFILTER_BuildFilter", false, &withoutBuild},
      {"FILEFILTER_TestNames", true, &withoutTest2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.missing);
    SetThreadError(0, 0, nullptr);
    bool initialized = true;
    if (row.version2) {
      CPlugInFileFilter2 filter;
      initialized = filter.Init(row.table, 5, "broken", "Brokenfilter", "Broken");
      const char* names[] = {"a.x"};
      DWORD result = 0;
      const FILEFILTER_DESCRIPTION value = 1;
      EXPECT_FALSE(filter.FilterFiles(1, &value, 1, names, &result)) << "refused, not followed";
    } else {
      CPlugInFileFilter filter;
      initialized = filter.Init(row.table, "broken", "Broken");
      CFileFilterDescEnum collector;
      EXPECT_FALSE(filter.EnumFilterDescs(collector));
    }
    EXPECT_FALSE(initialized);
  }
  SetThreadError(0, 0, nullptr);
  CPlugInFileFilter filter;
  EXPECT_FALSE(filter.Init(&withoutTest, "broken", "Broken"));
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
  EXPECT_NE(std::string(GetThreadErrorState()->text).find("FILEFILTER_TestNames"), std::string::npos);
  EXPECT_EQ(GetPlugInRegistry().GetCount(), 0) << "nothing of it was registered";
}

}  // namespace

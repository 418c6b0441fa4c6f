// The visualizer wrappers over in-process visualizer tables: version 1's
// own skin-change and restore slots, the answers of empty optional slots,
// the context of version 2, and init refusing a visualizer that lacks a
// function the visualizer system calls without looking, with its log line.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/visualizers/PlugInVisualizer.h"
#include "support/RecordingLogFront.h"

namespace {

std::vector<std::string> g_VisualizerCalls;
PLUGIN_CONTEXT g_SeenContext = 0;

void VisNote(const char* call) { g_VisualizerCalls.emplace_back(call); }

void VisVersion1(PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* VisDescription1() { return HostAllocString("pictures"); }
BOOL VisTrue1() { return TRUE; }
BOOL VisPause1() {
  VisNote("pause");
  return 3;
}
BOOL VisRestore1() {
  VisNote("restore");
  return FALSE;
}
void VisBegin1() { VisNote("begin"); }
void VisEnd1() { VisNote("end"); }
int32_t VisFeed1(const void*, DWORD bytes, DWORD time, DWORD, DWORD, DWORD) {
  return static_cast<int32_t>(bytes + time);
}

VisualizerInterface VisTable1() {
  VisualizerInterface table{};
  table.OBJECT_GetVersion = &VisVersion1;
  table.OBJECT_GetDescription = &VisDescription1;
  table.VISUALIZER_Pause = &VisPause1;
  table.VISUALIZER_Resume = &VisTrue1;
  table.VISUALIZER_Stop = &VisTrue1;
  table.VISUALIZER_BeginSkinChange = &VisBegin1;
  table.VISUALIZER_EndSkinChange = &VisEnd1;
  table.VISUALIZER_RestoreSurfaces = &VisRestore1;
  table.VISUALIZER_Feed = &VisFeed1;
  return table;
}

void VisVersion2(PLUGIN_CONTEXT, PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* VisDescription2(PLUGIN_CONTEXT) { return HostAllocString("pictures"); }
BOOL VisDone2(PLUGIN_CONTEXT context) {
  g_SeenContext = context;
  return TRUE;
}
BOOL VisPrepare2(PLUGIN_CONTEXT) { return 0; }
int32_t VisNotify2(PLUGIN_CONTEXT, DWORD code, DWORD value) {
  VisNote(("notify " + std::to_string(code) + " " + std::to_string(value)).c_str());
  return 0;
}
int32_t VisFeed2(PLUGIN_CONTEXT context, const void*, DWORD bytes, DWORD, DWORD frequency, DWORD, DWORD) {
  g_SeenContext = context;
  return static_cast<int32_t>(bytes + frequency);
}
int32_t VisViewer2(PLUGIN_CONTEXT, DWORD event, uintptr_t argument, uintptr_t) {
  return static_cast<int32_t>(event * 10 + argument);
}

VisualizerInterface2 VisTable2() {
  VisualizerInterface2 table{};
  table.head.OBJECT_GetVersion = &VisVersion2;
  table.head.OBJECT_GetDescription = &VisDescription2;
  table.VISUALIZER_Prepare = &VisPrepare2;
  table.VISUALIZER_Pause = &VisDone2;
  table.VISUALIZER_Resume = &VisDone2;
  table.VISUALIZER_Stop = &VisDone2;
  table.VISUALIZER_Notify = &VisNotify2;
  table.VISUALIZER_Feed = &VisFeed2;
  table.VISUALIZER_OnViewerEvent = &VisViewer2;
  return table;
}

class PlugInVisualizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_VisualizerCalls.clear();
    g_SeenContext = 0;
  }
};

TEST_F(PlugInVisualizerTest, VersionOneUsesItsOwnSkinAndRestoreSlotsAndDefaultsTheRest) {
  const VisualizerInterface table = VisTable1();
  CPlugInVisualizer visualizer;
  ASSERT_TRUE(visualizer.Init(&table, "Test visualizer", "TestStreams1")) << GetThreadErrorText().c_str();
  EXPECT_TRUE(visualizer.Prepare()) << "empty: true";
  EXPECT_TRUE(visualizer.Unprepare());
  EXPECT_TRUE(visualizer.Pause());
  visualizer.BeginSkinChange();
  visualizer.EndSkinChange();
  EXPECT_FALSE(visualizer.RestoreSurfaces());
  EXPECT_EQ(g_VisualizerCalls, (std::vector<std::string>{"pause", "begin", "end", "restore"}));
  visualizer.OnPlayerEvent(CVisualizer::PLAYER_EVENT_VOLUME_CHANGED, 0);  // version 1 has no slot: nothing
  EXPECT_EQ(visualizer.Feed(nullptr, 4096, 100, 44100, 16, 2), 4196);
  EXPECT_EQ(visualizer.OnViewerEvent(3, 4, 5), 1) << "empty: 1";
  EXPECT_TRUE(visualizer.SetDisplayMode(1));
  EXPECT_EQ(visualizer.GetImageIndex(), -1);
  EXPECT_FALSE(visualizer.HasConfigure());
  EXPECT_TRUE(visualizer.Configure(nullptr));
  EXPECT_FALSE(visualizer.HasInfo());
  EXPECT_TRUE(visualizer.ShowInfo(nullptr));
  EXPECT_STREQ(visualizer.GetKey(), "TestStreams1");
  EXPECT_STREQ(visualizer.GetPlugInName(), "TestStreams1");
  EXPECT_EQ(visualizer.GetHandle(), &table);
}

TEST_F(PlugInVisualizerTest, VersionTwoPassesItsContextAndItsResultsBack) {
  const VisualizerInterface2 table = VisTable2();
  CPlugInVisualizer2 visualizer;
  ASSERT_TRUE(visualizer.Init(&table, 0xABC, "Test visualizer", "TestStreams<vis>", "TestStreams"))
      << GetThreadErrorText().c_str();
  EXPECT_FALSE(visualizer.Prepare());
  EXPECT_TRUE(visualizer.Unprepare()) << "empty: true";
  EXPECT_TRUE(visualizer.Stop());
  EXPECT_EQ(g_SeenContext, 0xABCu);
  visualizer.OnPlayerEvent(CVisualizer::PLAYER_EVENT_ACTIVATION, 1);
  EXPECT_EQ(g_VisualizerCalls, std::vector<std::string>{"notify 4 1"});
  EXPECT_EQ(visualizer.Feed(nullptr, 10, 0, 22050, 8, 1), 22060);
  EXPECT_EQ(visualizer.OnViewerEvent(2, 7, 0), 27);
  EXPECT_TRUE(visualizer.RestoreSurfaces()) << "empty head slot: true";
  EXPECT_STREQ(visualizer.GetKey(), "TestStreams<vis>");
  EXPECT_STREQ(visualizer.GetPlugInName(), "TestStreams");
  EXPECT_EQ(visualizer.GetHandle(), static_cast<CConfigurableObject*>(&visualizer));
}

TEST_F(PlugInVisualizerTest, AVisualizerLackingAMandatoryFunctionIsRefusedAtInitAndLogged) {
  struct Case {
    const char* name;
    size_t offset;
  };
  const Case cases[] = {
      {"VISUALIZER_Feed", offsetof(VisualizerInterface2, VISUALIZER_Feed)},
      {"VISUALIZER_Pause", offsetof(VisualizerInterface2, VISUALIZER_Pause)},
      {"VISUALIZER_Resume", offsetof(VisualizerInterface2, VISUALIZER_Resume)},
      {"VISUALIZER_Stop", offsetof(VisualizerInterface2, VISUALIZER_Stop)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VisualizerInterface2 table = VisTable2();
    *reinterpret_cast<void**>(reinterpret_cast<char*>(&table) + c.offset) = nullptr;
    twltest::RecordingLogFront log;
    std::vector<std::unique_ptr<CVisualizer>> kept;
    auto keep = [&](CVisualizer* visualizer) { kept.emplace_back(visualizer); };
    discovery::InitWrapper<CPlugInVisualizer2>(
        GetDiscoveryTexts(PLUGINOBJ_VISUALIZER), keep,
        static_cast<const void*>(&table), PLUGIN_CONTEXT{1}, "Broken", "Broken<b>", "Broken");
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    const std::string logged = log.Text();
    EXPECT_NE(logged.find(c.name), std::string::npos) << logged;
    ASSERT_FALSE(log.Entries().empty());
    EXPECT_GE(log.Entries().back().category, 0x100u) << "logged as an error";
  }
  // Version 1: the same rule on its own table.
  VisualizerInterface table1 = VisTable1();
  table1.VISUALIZER_Feed = nullptr;
  CPlugInVisualizer visualizer;
  EXPECT_FALSE(visualizer.Init(&table1, "Broken", "Broken"));
}

}  // namespace

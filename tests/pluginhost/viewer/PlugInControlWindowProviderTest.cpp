// The viewer-provider wrappers over in-process provider tables: which slot
// each operation reaches in either version, the context of version 2, the
// answers passed back as they came or as 0 and 1, and init refusing a
// provider that leaves a slot empty the viewer system calls without
// looking.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/viewer/PlugInControlWindowProvider.h"
#include "support/RecordingLogFront.h"

namespace {

std::vector<std::string> g_ProviderCalls;
PLUGIN_CONTEXT g_ProviderContext = 0;
void* g_ProviderRequest = nullptr;

void ProvNote(const std::string& call) { g_ProviderCalls.push_back(call); }

void ProvVersion1(PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* ProvDescription1() { return HostAllocString("makes the viewer"); }
BOOL ProvRestore1() { return 9; }
BOOL ProvPrepare1() { return 5; }
BOOL ProvUnprepare1() { return FALSE; }
BOOL ProvCreate1(int32_t height, DWORD flags, void* request) {
  ProvNote("create " + std::to_string(height) + " " + std::to_string(flags));
  g_ProviderRequest = request;
  return 2;
}
BOOL ProvResize1(int32_t height, void*) {
  ProvNote("resize " + std::to_string(height));
  return TRUE;
}
BOOL ProvClose1() { return TRUE; }
BOOL ProvMoved1() { return 7; }
int32_t ProvActivation1() { return -12345; }
BOOL ProvBeginDraw1(void** target) {
  *target = &g_ProviderCalls;
  return TRUE;
}
int32_t ProvEndDraw1(const RECT* area) { return area ? area->right : 0x7FFF0001; }
BOOL ProvHandle1(uintptr_t argument) { return static_cast<BOOL>(argument); }
int32_t ProvRelease1() { return 0x55; }

ControlWindowProviderInterface ProvTable1() {
  ControlWindowProviderInterface table{};
  table.head.OBJECT_GetVersion = &ProvVersion1;
  table.head.OBJECT_GetDescription = &ProvDescription1;
  table.head.OBJECT_RestoreSurfaces = &ProvRestore1;
  table.VIEWERPROVIDER_Prepare = &ProvPrepare1;
  table.VIEWERPROVIDER_Unprepare = &ProvUnprepare1;
  table.VIEWERPROVIDER_CreateWindow = &ProvCreate1;
  table.VIEWERPROVIDER_ResizeWindow = &ProvResize1;
  table.VIEWERPROVIDER_CloseWindow = &ProvClose1;
  table.VIEWERPROVIDER_OnViewerMoved = &ProvMoved1;
  table.VIEWERPROVIDER_OnActivation = &ProvActivation1;
  table.VIEWERPROVIDER_BeginDraw = &ProvBeginDraw1;
  table.VIEWERPROVIDER_EndDraw = &ProvEndDraw1;
  table.VIEWERPROVIDER_GetWindowHandle = &ProvHandle1;
  table.VIEWERPROVIDER_ReleaseWindowHandle = &ProvRelease1;
  return table;
}

// Version 2: every call notes the context it got.
template <auto Function>
struct ProvWithContext;
template <class Result, class... Args, Result (*Function)(Args...)>
struct ProvWithContext<Function> {
  static Result Call(PLUGIN_CONTEXT context, Args... args) {
    g_ProviderContext = context;
    return Function(args...);
  }
};
template <auto Function>
constexpr auto kProvCall = &ProvWithContext<Function>::Call;

void ProvSkinBegin2(PLUGIN_CONTEXT) { ProvNote("begin skin"); }

ControlWindowProviderInterface2 ProvTable2() {
  ControlWindowProviderInterface2 table{};
  table.head.OBJECT_GetVersion = kProvCall<ProvVersion1>;
  table.head.OBJECT_GetDescription = kProvCall<ProvDescription1>;
  table.head.OBJECT_BeginSkinChange = &ProvSkinBegin2;
  table.head.OBJECT_RestoreSurfaces = kProvCall<ProvUnprepare1>;
  table.VIEWERPROVIDER_Prepare = kProvCall<ProvPrepare1>;
  table.VIEWERPROVIDER_Unprepare = kProvCall<ProvUnprepare1>;
  table.VIEWERPROVIDER_CreateWindow = kProvCall<ProvCreate1>;
  table.VIEWERPROVIDER_ResizeWindow = kProvCall<ProvResize1>;
  table.VIEWERPROVIDER_CloseWindow = kProvCall<ProvClose1>;
  table.VIEWERPROVIDER_OnViewerMoved = kProvCall<ProvMoved1>;
  table.VIEWERPROVIDER_OnActivation = kProvCall<ProvActivation1>;
  table.VIEWERPROVIDER_BeginDraw = kProvCall<ProvBeginDraw1>;
  table.VIEWERPROVIDER_EndDraw = kProvCall<ProvEndDraw1>;
  table.VIEWERPROVIDER_GetWindowHandle = kProvCall<ProvHandle1>;
  table.VIEWERPROVIDER_ReleaseWindowHandle = kProvCall<ProvRelease1>;
  return table;
}

// Runs every operation and checks what came back; both versions answer
// alike.
void ExpectProviderAnswers(CControlWindowProvider& provider) {
  EXPECT_TRUE(provider.Prepare()) << "5 comes back as true";
  EXPECT_FALSE(provider.Unprepare());
  int request = 0;
  EXPECT_TRUE(provider.CreateWindow(240, 1, &request));
  EXPECT_EQ(g_ProviderRequest, &request) << "the host's record is passed unchanged";
  EXPECT_TRUE(provider.ResizeWindow(300, &request));
  EXPECT_TRUE(provider.CloseWindow());
  EXPECT_TRUE(provider.OnViewerMoved());
  EXPECT_EQ(provider.OnActivation(), -12345) << "passed back unchanged";
  void* target = nullptr;
  EXPECT_TRUE(provider.BeginDraw(&target));
  EXPECT_EQ(target, &g_ProviderCalls);
  const RECT area{0, 0, 77, 10};
  EXPECT_EQ(provider.EndDraw(&area), 77);
  EXPECT_EQ(provider.EndDraw(nullptr), 0x7FFF0001) << "passed back unchanged";
  EXPECT_TRUE(provider.GetWindowHandle(42)) << "the argument reaches the plug-in";
  EXPECT_FALSE(provider.GetWindowHandle(0));
  EXPECT_EQ(provider.ReleaseWindowHandle(), 0x55);
  EXPECT_EQ(g_ProviderCalls, (std::vector<std::string>{"create 240 1", "resize 300"}));
}

class PlugInControlWindowProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ProviderCalls.clear();
    g_ProviderContext = 0;
    g_ProviderRequest = nullptr;
  }
};

TEST_F(PlugInControlWindowProviderTest, VersionOneReachesItsSlotsAndIsKnownByItsPlugInName) {
  const ControlWindowProviderInterface table = ProvTable1();
  CPlugInControlWindowProvider provider;
  ASSERT_TRUE(provider.Init(&table, "Test viewer provider", "TestViewer1")) << GetThreadErrorText().c_str();
  ExpectProviderAnswers(provider);
  EXPECT_TRUE(provider.RestoreSurfaces()) << "head slot 9, 9 comes back as true";
  provider.BeginSkinChange();  // empty head slots: nothing happens
  provider.EndSkinChange();
  EXPECT_FALSE(provider.HasConfigure());
  EXPECT_TRUE(provider.Configure(nullptr));
  EXPECT_FALSE(provider.HasInfo());
  EXPECT_EQ(provider.GetImageIndex(), -1);
  EXPECT_STREQ(provider.GetKey(), "TestViewer1");
  EXPECT_STREQ(provider.GetName(), "Test viewer provider");
  EXPECT_EQ(provider.GetHandle(), &table);
}

TEST_F(PlugInControlWindowProviderTest, VersionTwoPassesItsContextAndIsKnownByItsObjectKey) {
  const ControlWindowProviderInterface2 table = ProvTable2();
  CPlugInControlWindowProvider2 provider;
  ASSERT_TRUE(provider.Init(&table, 0x5A5A, "Test viewer provider", "TestViewer<prov>", "TestViewer"))
      << GetThreadErrorText().c_str();
  ExpectProviderAnswers(provider);
  EXPECT_EQ(g_ProviderContext, PLUGIN_CONTEXT{0x5A5A});
  EXPECT_FALSE(provider.RestoreSurfaces()) << "head slot 13";
  provider.BeginSkinChange();
  EXPECT_EQ(g_ProviderCalls.back(), "begin skin");
  EXPECT_STREQ(provider.GetKey(), "TestViewer<prov>");
  EXPECT_EQ(provider.GetHandle(), static_cast<CConfigurableObject*>(&provider));
}

// A provider with one empty slot would crash the host at its first use;
// init refuses it instead, naming the slot in the log as an error.
TEST_F(PlugInControlWindowProviderTest, AnEmptyProviderSlotOrRestoreSlotFailsInitAndIsLogged) {
  const size_t slots[] = {
      offsetof(ControlWindowProviderInterface2, head.OBJECT_RestoreSurfaces),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_Prepare),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_CreateWindow),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_CloseWindow),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_OnActivation),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_EndDraw),
      offsetof(ControlWindowProviderInterface2, VIEWERPROVIDER_ReleaseWindowHandle),
  };
  for (size_t offset : slots) {
    SCOPED_TRACE(offset / sizeof(void*));
    ControlWindowProviderInterface2 table = ProvTable2();
    *reinterpret_cast<void**>(reinterpret_cast<char*>(&table) + offset) = nullptr;
    twltest::RecordingLogFront log;
    std::vector<std::unique_ptr<CControlWindowProvider>> kept;
    auto keep = [&](CControlWindowProvider* provider) { kept.emplace_back(provider); };
    discovery::InitWrapper<CPlugInControlWindowProvider2>(GetDiscoveryTexts(PLUGINOBJ_CONTROLWINDOWPROVIDER), keep,
                                                          static_cast<const void*>(&table), PLUGIN_CONTEXT{1},
                                                          "Broken", "Broken<b>", "Broken");
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    ASSERT_FALSE(log.Entries().empty());
    EXPECT_GE(log.Entries().back().category, 0x100u) << "logged as an error";
  }
  ControlWindowProviderInterface table1 = ProvTable1();
  table1.head.OBJECT_RestoreSurfaces = nullptr;
  CPlugInControlWindowProvider provider;
  EXPECT_FALSE(provider.Init(&table1, "Broken", "Broken")) << "version 1 keeps its restore slot in the head too";
}

}  // namespace

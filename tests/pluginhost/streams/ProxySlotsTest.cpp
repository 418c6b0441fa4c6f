// The proxy and time-out slots: a provider registers its proxy type into
// the list it was handed and reads the user's choice back; a list that is
// not handed out and missing arguments are refused.
#include <gtest/gtest.h>

#include <tuple>

#include "StubbedTable.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/handles/HandedOutProxyList.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/streams/PlugInStreamProvider.h"

namespace {

const HostApiTable& Host() { return *GetHostApiTable(); }

PLUGIN_HANDLE g_ProxyCaller = nullptr;

void ProxyVersion(PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* ProxyDescription() { return HostAllocString("proxied"); }
BOOL ProxyCanOpen(const char*, DWORD, DWORD*) { return FALSE; }
PLUGIN_STREAM ProxyOpen(const char*, DWORD) { return 0; }
BOOL RegisterTestProxy(HOST_PROXYTYPELIST list) {
  return Host().HOST_RegisterProxyType(list, "tstream", "TEST", 3128, g_ProxyCaller);
}

StreamProviderInterface ProxyProviderTable() {
  StreamProviderInterface table = streamtest::StubbedTable<StreamProviderInterface>();
  table.head.OBJECT_GetVersion = &ProxyVersion;
  table.head.OBJECT_GetDescription = &ProxyDescription;
  table.STREAMPROVIDER_RegisterProxyTypes = &RegisterTestProxy;
  table.STREAMPROVIDER_CanOpen = &ProxyCanOpen;
  table.STREAMPROVIDER_Open = &ProxyOpen;
  return table;
}

bool IsInvalidParameter() {
  return GetThreadErrorState()->type == THREAD_ERROR_MISC && GetThreadErrorState()->code == MISC_ERROR_INVALID_PARAM;
}

TEST(ProxySlots, AProviderRegistersItsTypeAndReadsTheUsersChoiceBack) {
  const StreamProviderInterface table = ProxyProviderTable();
  CPlugInStreamProvider provider;
  ASSERT_TRUE(provider.Init(&table, "Test stream provider", "TestStreams")) << GetThreadErrorText().c_str();
  g_ProxyCaller = provider.GetHandle();
  CProxyDataBase& proxies = GetDataSystem().GetProxyDataBase();
  proxies.Clear();

  HostProxyInfo info{};
  ASSERT_TRUE(Host().HOST_GetProxy("tstream", &info, g_ProxyCaller));
  EXPECT_EQ(info.typeName, nullptr);
  EXPECT_EQ(info.host, nullptr);
  EXPECT_EQ(info.port, -1);
  EXPECT_EQ(info.option, FALSE);

  EXPECT_TRUE(provider.RegisterProxyTypes(proxies)) << GetThreadErrorText().c_str();
  CProxyInfo* registered = proxies.Find("tstream");
  ASSERT_NE(registered, nullptr);
  registered->Select(0, "proxy.example", CProxyInfo::kNoPort);
  ASSERT_TRUE(Host().HOST_GetProxy("tstream", &info, g_ProxyCaller));
  EXPECT_STREQ(info.typeName, "TEST");
  EXPECT_STREQ(info.host, "proxy.example");
  EXPECT_EQ(info.port, 3128) << "the type's default port stands in for none";
  Host().HOST_FreeProxyInfo(&info);
  EXPECT_EQ(info.typeName, nullptr);
  EXPECT_EQ(info.port, 0);

  EXPECT_EQ(Host().HOST_GetConnectionTimeout(g_ProxyCaller), GetDataSystem().GetDefaultConnectionTimeout());
  proxies.Clear();
}

TEST(ProxySlots, ListsNotHandedOutAndMissingArgumentsAreRefused) {
  CProxyDataBase proxies;
  int dummy = 0;
  PLUGIN_HANDLE caller = &dummy;
  SetThreadError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_RegisterProxyType(reinterpret_cast<HOST_PROXYTYPELIST>(&proxies), "p", "T", 1, caller))
      << "never handed out";
  EXPECT_TRUE(IsInvalidParameter());
  HOST_PROXYTYPELIST stale = nullptr;
  {
    CHandedOutProxyList list(proxies);
    stale = list.GetHandle();
    EXPECT_TRUE(Host().HOST_RegisterProxyType(stale, "p", "T", 1, caller));
    for (auto [protocol, type, who] : {std::tuple{"", "T", caller}, std::tuple{"p", "", caller},
                                       std::tuple{"p", "T", static_cast<PLUGIN_HANDLE>(nullptr)}}) {
      SetThreadError(0, 0, nullptr);
      EXPECT_FALSE(Host().HOST_RegisterProxyType(stale, protocol, type, 1, who));
      EXPECT_TRUE(IsInvalidParameter());
    }
  }
  EXPECT_FALSE(Host().HOST_RegisterProxyType(stale, "q", "T", 1, caller)) << "the call is over";
  ASSERT_NE(proxies.Find("p"), nullptr);
  EXPECT_EQ(proxies.Find("q"), nullptr);

  HostProxyInfo info{};
  EXPECT_FALSE(Host().HOST_GetProxy(nullptr, &info, caller));
  EXPECT_FALSE(Host().HOST_GetProxy("p", nullptr, caller));
  EXPECT_FALSE(Host().HOST_GetProxy("p", &info, nullptr));
  SetThreadError(0, 0, nullptr);
  EXPECT_EQ(Host().HOST_GetConnectionTimeout(nullptr), 0u);
  EXPECT_TRUE(IsInvalidParameter());
  Host().HOST_FreeProxyInfo(nullptr);
}

}  // namespace

// Host API slots of proxies and the connection time-out: plug-ins that
// open network connections register their proxy types while the host asks
// them to, and read the user's proxy for a protocol and the time-out.
#include "playback/data/DataSystem.h"
#include "playback/proxy/ProxyDataBase.h"
#include "pluginhost/handles/HandedOutProxyList.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {

BOOL HOST_RegisterProxyType(HOST_PROXYTYPELIST list, const char* protocol, const char* typeName, int32_t defaultPort,
                            PLUGIN_HANDLE caller) {
  if (!caller || !protocol || !*protocol || !typeName || !*typeName) return FailInvalidParameter();
  HandedOutProxyLists::Pin proxies = FindHandedOutProxyList(list);
  if (!proxies) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return proxies->RegisterProxyType(protocol, typeName, defaultPort) ? TRUE : FALSE; });
}

BOOL HOST_GetProxy(const char* protocol, HostProxyInfo* info, PLUGIN_HANDLE caller) {
  if (!protocol || !info || !caller) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    const ProxySetting setting = GetDataSystem().GetProxyDataBase().GetProxy(protocol);
    HostProxyInfo answer{nullptr, nullptr, -1, FALSE};
    if (setting.hasType) {
      answer.typeName = HostAllocString(setting.typeName.c_str());
      answer.host = HostAllocString(setting.server.c_str());
      if (!answer.typeName || !answer.host) {
        HostFree(answer.typeName);
        HostFree(answer.host);
        return static_cast<BOOL>(FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY));
      }
      answer.port = setting.port;
      answer.option = setting.option ? TRUE : FALSE;
    }
    *info = answer;
    return TRUE;
  });
}

void HOST_FreeProxyInfo(HostProxyInfo* info) {
  if (!info) return;
  HostFree(info->typeName);
  HostFree(info->host);
  *info = HostProxyInfo{nullptr, nullptr, 0, FALSE};
}

DWORD HOST_GetConnectionTimeout(PLUGIN_HANDLE caller) {
  if (!caller) {
    FailInvalidParameter();
    return 0;
  }
  return GetDataSystem().GetDefaultConnectionTimeout();
}

}  // namespace hostapi

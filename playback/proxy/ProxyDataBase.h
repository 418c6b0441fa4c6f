// CProxyDataBase: per protocol, the proxy types that plug-ins can use and
// the user's choice, as one list of CProxyInfo in registration order.
// Plug-ins register their types at every start; the user's settings are
// then loaded from their stored form ("ProxyData", see ProxyDataFormat.h):
//
//   info count; per info: protocol, selected type's name (empty: no proxy,
//   the info ends here), server, port (0xFFFFFFFF: none), option (0 or 1)
//
// Threading: every access to the infos and their types goes through the
// database's lock (re-entrant); a caller that works on several infos at
// once (the start-up, the options page) holds it around the whole work.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/proxy/ProxyInfo.h"

class CStream;

// What a plug-in learns about a protocol before it connects.
struct ProxySetting {
  bool hasType = false;  // false: no proxy (the texts are empty)
  CStr typeName;
  CStr server;
  // The user's port, else the type's default port; -1 without a proxy.
  LONG port = CProxyInfo::kNoPort;
  DWORD option = 0;
};

class CProxyDataBase : public CTypedObject {
  TWL_DECLARE_CLASS(CProxyDataBase)
 public:
  CProxyDataBase() = default;
  CProxyDataBase(const CProxyDataBase&) = delete;
  CProxyDataBase& operator=(const CProxyDataBase&) = delete;

  CriticalSection& GetLock() { return m_Lock; }

  // The info of the protocol (without case), or null.
  CProxyInfo* Find(const char* protocol);
  // The info of the protocol, added (no proxy, port -1, option on) when
  // there is none.
  CProxyInfo& GetOrAdd(const char* protocol);
  void Clear();
  DWORD GetCount();
  CProxyInfo* GetInfo(DWORD index);

  // A plug-in's registration: the protocol gets the type (added unless one
  // of that name is there) with `defaultPort` as its usual port. An empty
  // protocol or type name is refused with MiscError 1 (invalid parameter)
  // in the thread error.
  bool RegisterProxyType(const char* protocol, const char* typeName, LONG defaultPort);
  // The setting of the protocol: no proxy for a protocol nobody registered.
  ProxySetting GetProxy(const char* protocol);

  // Reads the stored settings into the infos of the protocols they name;
  // settings of protocols without an info are read and dropped. A fault
  // throws CStreamError 8 (or the stream's error); the settings read
  // before it stay.
  void Load(CStream& stream);
  void Save(CStream& stream);

 private:
  CriticalSection m_Lock;
  std::vector<std::unique_ptr<CProxyInfo>> m_Infos;
};

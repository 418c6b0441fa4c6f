// The proxy type list the host hands a plug-in object for one registration
// call (a stream provider's or a player's RegisterProxyTypes):
// HOST_RegisterProxyType accepts only a list handed out now, so a stale or
// made-up list is refused instead of followed.
//
// Threading: any thread.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/handles/HandedOutObjects.h"

class CProxyDataBase;

using HandedOutProxyLists = HandedOutObjects<CProxyDataBase, HOST_PROXYTYPELIST>;

// Hands the list out for the lifetime of this object; the list stays its
// owner's.
class CHandedOutProxyList {
 public:
  explicit CHandedOutProxyList(CProxyDataBase& list);
  ~CHandedOutProxyList();
  CHandedOutProxyList(const CHandedOutProxyList&) = delete;
  CHandedOutProxyList& operator=(const CHandedOutProxyList&) = delete;

  HOST_PROXYTYPELIST GetHandle() const { return m_Handle; }

 private:
  HOST_PROXYTYPELIST m_Handle;
};

// The list behind a handle handed out now, pinned; empty when refused.
HandedOutProxyLists::Pin FindHandedOutProxyList(HOST_PROXYTYPELIST handle);

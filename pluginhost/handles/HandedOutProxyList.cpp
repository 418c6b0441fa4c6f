#include "pluginhost/handles/HandedOutProxyList.h"

namespace {

HandedOutProxyLists& ProxyLists() {
  // The lists belong to their owners; ending a handle only refuses it.
  static auto* lists = new HandedOutProxyLists([](CProxyDataBase*) noexcept {});
  return *lists;
}

}  // namespace

CHandedOutProxyList::CHandedOutProxyList(CProxyDataBase& list) : m_Handle(ProxyLists().Add(&list)) {}

CHandedOutProxyList::~CHandedOutProxyList() { ProxyLists().Retire(m_Handle); }

HandedOutProxyLists::Pin FindHandedOutProxyList(HOST_PROXYTYPELIST handle) { return ProxyLists().Find(handle); }

// CPlugInStreamProvider and CPlugInStreamProvider2: a stream-provider object
// of a plug-in (kind 1) as one of the file system's stream providers, and
// as the data system's CPlugInStreamProviderBase. CPlugInStreamProvider
// speaks the first plug-in interface, CPlugInStreamProvider2 the second;
// both are TPlugInStreamProvider, written once over the version
// (PlugInObject.h). What they open becomes a CPlugInStream(2).
//
// Init refuses an object that lacks CanOpen, Open or any stream function:
// a provider the host cannot drive is refused when it is loaded, not at
// the first read of one of its streams.
//
// Threading: CanOpen and Open from any thread (the file system calls them
// outside its lock); the rest on the user-interface thread.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObject.h"
#include "pluginhost/streams/PlugInStream.h"
#include "pluginhost/streams/PlugInStreamProviderBase.h"

template <int Version>
class TPlugInStreamProvider
    : public TPlugInObject<CPlugInStreamProviderBase, StreamProviderTable<Version>, Version> {
 public:
  using Table = StreamProviderTable<Version>;

  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override;
  CStream* Open(const char* url, DWORD flags) override;
  void Exit() override { this->Unload(); }
  bool RestoreSurfaces() override { return this->Head().RestoreSurfaces(); }
  void BeginSkinChange() override { this->Head().BeginSkinChange(); }
  void EndSkinChange() override { this->Head().EndSkinChange(); }
  bool RegisterProxyTypes(CProxyDataBase& proxies) override;

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitProvider(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                    const char* plugInName);
};

extern template class TPlugInStreamProvider<1>;
extern template class TPlugInStreamProvider<2>;

class CPlugInStreamProvider : public TPlugInStreamProvider<1> {
  TWL_DECLARE_CLASS(CPlugInStreamProvider)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitProvider(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInStreamProvider2 : public TPlugInStreamProvider<2> {
  TWL_DECLARE_CLASS(CPlugInStreamProvider2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitProvider(table, context, name, key, plugInName);
  }
};

// CPlugInRegistry: which host wrapper, plug-in and kind every registered
// plug-in object handle belongs to, so that host API slots can learn who
// calls them. Wrappers register right before OBJECT_Init and unregister in
// their unload. One registry per process (GetPlugInRegistry).
//
// Threading: every operation takes the registry's lock, so any thread may
// use it; no other lock is taken while it is held.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

// Registry kinds: the first of these base classes that the wrapper's class
// derives from. They differ from PlugInObjectKind.
enum PlugInRegistryKind : INT {
  PLUGIN_REGISTRY_PLAYER = 0,
  PLUGIN_REGISTRY_VISUALIZER = 1,
  PLUGIN_REGISTRY_CONTROLWINDOWPROVIDER = 2,
  PLUGIN_REGISTRY_STREAMPROVIDER = 3,
  PLUGIN_REGISTRY_FILEIDENTIFIER = 4,
  PLUGIN_REGISTRY_FILEFILTER = 5,
  PLUGIN_REGISTRY_FILEOBJECTENUMERATORPROVIDER = 6,
  // A class derived from none of them.
  PLUGIN_REGISTRY_UNKNOWN = -1,
};

struct PlugInRegistryEntry {
  PLUGIN_HANDLE handle = nullptr;
  CStr name;
  CStr key;
  CStr plugInName;
  const CClassRecord* classRecord = nullptr;
  CTypedObject* wrapper = nullptr;
  INT kind = PLUGIN_REGISTRY_UNKNOWN;
};

class CPlugInRegistry : public CTypedObject {
  TWL_DECLARE_CLASS(CPlugInRegistry)
 public:
  CPlugInRegistry() = default;
  CPlugInRegistry(const CPlugInRegistry&) = delete;
  CPlugInRegistry& operator=(const CPlugInRegistry&) = delete;

  // A handle registered again keeps one entry, with the new values, moved
  // to the end. A null key counts as empty; a null plug-in name as the key.
  void Register(PLUGIN_HANDLE handle, const char* name, const char* key, const char* plugInName,
                const CClassRecord* classRecord, CTypedObject* wrapper);
  void Unregister(PLUGIN_HANDLE handle);
  // Copies the entry; false, with `entry` untouched, for an unknown handle.
  bool Lookup(PLUGIN_HANDLE handle, PlugInRegistryEntry& entry);
  // The entries in registration order (the latest registration last).
  INT GetCount();
  bool GetEntry(INT index, PlugInRegistryEntry& entry);

  // The registry kind of a wrapper class.
  static INT KindOf(const CClassRecord* classRecord);

 private:
  CriticalSection m_Lock;
  std::vector<PlugInRegistryEntry> m_Entries;
};

CPlugInRegistry& GetPlugInRegistry();

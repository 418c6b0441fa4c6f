// OstrellMain: the one main object of a plug-in built on this framework.
// A plug-in derives its main class from it and defines exactly one static
// instance; the framework's export and main table reach the plug-in
// through it, and every plug-in object reaches the host table through it,
// so it exists before any of them. It owns the plug-in objects: Init
// creates them (CreateObjects), Exit deletes them.
//
// Called on the host's user-interface thread only.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "plugins/pluginsdk/PointerList.h"

namespace pluginsdk {

class PlugInObject;

class OstrellMain {
 public:
  OstrellMain(DWORD requiredPlayerVersion, DWORD apiVersion);
  // Not virtual: the instance is static and never deleted through a base.
  ~OstrellMain();
  OstrellMain(const OstrellMain&) = delete;
  OstrellMain& operator=(const OstrellMain&) = delete;

  virtual const PlugInVersionInfo* GetVersionPair();
  // Makes the plug-in's objects and hands each to AddObject; false at the
  // first that fails. The base makes none.
  virtual bool CreateObjects();
  // Keeps the host table and the module, then creates the objects; when
  // that fails, deletes those made so far and leaves the error that made
  // it fail.
  virtual bool Init(const HostApiTable* host, HMODULE module);
  // Deletes every object.
  virtual bool Exit();
  // Main table slot 3, which the host never calls.
  virtual void Slot3(uintptr_t word);
  // The index-th object of a kind, in creation order.
  virtual bool FindObject(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context);

  // Takes the object in every case: a null one (its allocation failed)
  // sets MiscError 2; one that failed to construct, or that the list
  // cannot take, is deleted keeping the thread error that stood.
  bool AddObject(PlugInObject* object, bool constructed);

  const HostApiTable* GetHost() const { return m_Host; }
  HMODULE GetModule() const { return m_Module; }

  // The plug-in's main object, or null when it defines none.
  static OstrellMain* GetInstance();

 private:
  PlugInVersionInfo m_Version;
  const HostApiTable* m_Host = nullptr;
  HMODULE m_Module = nullptr;
  PointerList m_Objects{10};
};

// The main object's host table; null before PLUGIN_Init or without a main
// object.
const HostApiTable* GetMainHost();
// Sets a miscellaneous thread error through the main object's table.
void SetMainMiscError(DWORD code);

}  // namespace pluginsdk

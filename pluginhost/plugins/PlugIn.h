// CPlugIn: one loaded plug-in module with its main interface. The plug-in
// manager makes, loads, initialises and owns it; the host systems ask it
// for objects of their kinds.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CPlugIn : public CTypedObject {
  TWL_DECLARE_CLASS(CPlugIn)
 public:
  CPlugIn() = default;
  CPlugIn(const CPlugIn&) = delete;
  CPlugIn& operator=(const CPlugIn&) = delete;
  ~CPlugIn() override;

  // Loads the module at `path` and takes and checks its main interface,
  // logging progress and failure; on failure everything is unloaded again.
  bool Load(const char* path, const char* fileName);
  // Exit when initialised, then frees the module.
  void Unload();
  // PLUGIN_Init with the host API table and the module handle.
  bool Init();
  // Clears the initialised flag first, then PLUGIN_Exit.
  bool Exit();

  // Version 1: the object table of a kind, or null.
  const void* GetObject(DWORD kind);
  // Version 2: object `index` of a kind; false for a version-1 plug-in.
  bool EnumObjects(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context);

  const CStr& GetFileName() const { return m_FileName; }
  // The file name without its extension: the plug-in's name in keys, logs
  // and the registry.
  const CStr& GetName() const { return m_Name; }
  bool IsVersion2() const { return m_Version2; }
  bool IsInitialized() const { return m_Initialized; }
  const PlugInVersionInfo& GetVersion() const { return m_Version; }

 private:
  bool FailLoad(const CStr& text);
  bool TakeMainInterface();

  CStr m_FileName;
  CStr m_Name;
  HMODULE m_Module = nullptr;
  const PlugInMainInterface* m_MainInterface = nullptr;
  bool m_Initialized = false;
  bool m_Version2 = false;
  PlugInVersionInfo m_Version{0, 0};
};

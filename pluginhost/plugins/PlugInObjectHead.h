// CPlugInObjectHead: the part every host wrapper of a plug-in object has in
// common, kept as a member of the wrapper. It runs the common object init
// (version check, registration, OBJECT_Init, description), answers the
// CConfigurableObject operations from the head slots with their defaults,
// and unloads (OBJECT_Exit, unregistration) when asked or destroyed.
//
// A version-1 visualizer keeps its skin-change and restore slots elsewhere;
// its wrapper calls those itself.
//
// Threading: init and unload on the user-interface thread; the answers may
// be read from any thread once init has returned.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"

class CTypedObject;

class CPlugInObjectHead {
 public:
  explicit CPlugInObjectHead(CTypedObject& wrapper) : m_Wrapper(wrapper) {}
  CPlugInObjectHead(const CPlugInObjectHead&) = delete;
  CPlugInObjectHead& operator=(const CPlugInObjectHead&) = delete;
  ~CPlugInObjectHead() { Unload(); }

  // The common init of a version-1 object (table starts with a
  // PlugInObjectInterface) or a version-2 object (PlugInObjectInterface2).
  // False with the reason in the thread error; nothing is held then.
  bool Init(const void* table, const char* name, const char* plugInName);
  bool Init2(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName);
  // OBJECT_Exit when a table is held, unregistration, and the table is
  // forgotten.
  void Unload();

  bool IsLoaded() const { return m_Table != nullptr; }
  bool IsVersion2() const { return m_Version2; }
  const void* GetTable() const { return m_Table; }
  PLUGIN_CONTEXT GetContext() const { return m_Context; }
  const PlugInVersionInfo& GetVersion() const { return m_Version; }
  // Version 1: the plug-in's name; version 2: "plug-in name<object id>".
  const CStr& GetKey() const { return m_Key; }
  const CStr& GetPlugInName() const { return m_PlugInName; }

  // The CConfigurableObject operations as the head answers them.
  void* GetHandle() const;
  const char* GetName() const { return m_Name.c_str(); }
  const char* GetDescription() const { return m_Description.c_str(); }
  int GetImageIndex() const;
  bool HasConfigure() const;
  bool Configure(HWND owner) const;
  bool HasInfo() const;
  bool ShowInfo(HWND owner) const;
  void BeginSkinChange() const;
  void EndSkinChange() const;
  bool RestoreSurfaces() const;

 private:
  bool InitCommon(const char* name, const char* key, const char* plugInName);
  const PlugInObjectInterface* Head1() const { return static_cast<const PlugInObjectInterface*>(m_Table); }
  const PlugInObjectInterface2* Head2() const { return static_cast<const PlugInObjectInterface2*>(m_Table); }

  CTypedObject& m_Wrapper;
  const void* m_Table = nullptr;
  PLUGIN_CONTEXT m_Context = 0;
  bool m_Version2 = false;
  PlugInVersionInfo m_Version{0, 0};
  CStr m_Name;
  CStr m_Description;
  CStr m_Key;
  CStr m_PlugInName;
};

// Sets the thread error that tells which mandatory function a plug-in
// object lacks.
void SetMissingObjectFunctionError(const char* function);

// A slot a wrapper calls without looking, by its name.
struct MandatorySlot {
  const char* name;
  const void* slot;
};
// False with the missing-function error of the first empty slot (a null
// table lacks its first function).
bool HasMandatorySlots(const void* table, std::initializer_list<MandatorySlot> slots);
// Names a slot of *table; the table is not read when it is null.
#define TWL_MANDATORY_SLOT(table, slot) \
  MandatorySlot{#slot, (table) ? reinterpret_cast<const void*>((table)->slot) : nullptr}

// The answer of an operation on a wrapper whose object is gone: false with
// an invalid-parameter error, nothing followed.
bool FailUnloadedObject();

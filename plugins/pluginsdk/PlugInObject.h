// PlugInObject: the base of every object a plug-in on this framework
// offers. Its virtual operations are what the head of the object's
// version-2 table calls (ObjectTables); each kind base adds its own. The
// name, id and description are the object's own host copies; every text
// it hands to the host is a fresh copy the host frees.
//
// Made in the main object's CreateObjects and owned by it; called on the
// host's user-interface thread unless a kind says otherwise.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

class PlugInObject {
 public:
  // `constructed` is set only when all three texts were copied; none may
  // be null (an object without an id gives ""). Without a version pair
  // the main object's is taken.
  PlugInObject(bool& constructed, const char* name, const char* id, const char* description,
               const PlugInVersionInfo* version = nullptr);
  virtual ~PlugInObject();
  PlugInObject(const PlugInObject&) = delete;
  PlugInObject& operator=(const PlugInObject&) = delete;

  virtual PlugInObjectKind GetKind() const = 0;
  virtual const void* GetInterface() const = 0;
  // New host copies; null when the copy fails.
  virtual char* GetId();
  virtual char* GetName();
  virtual char* GetDescription();
  virtual int32_t GetIconIndex();
  virtual void GetVersion(PlugInVersionInfo* info);
  // Keeps the host's handle of the object and clears the icon; kinds
  // call it first and set their icon after it.
  virtual bool Init(PLUGIN_HANDLE caller);
  virtual bool Exit();
  virtual bool HasConfiguration();
  virtual bool Configure(HWND owner);
  virtual bool HasInfo();
  virtual bool ShowInfo(HWND owner);
  virtual void BeginSkinChange();
  virtual void EndSkinChange();
  virtual bool RestoreSurfaces();

  void SetIconIndex(int32_t index) { m_IconIndex = index; }
  // The text goes to the host's log with the category.
  void LogError(DWORD category, const char* text);

  const HostApiTable& Host() const { return *m_Host; }
  // What the host passed to Init: the caller argument of host functions.
  PLUGIN_HANDLE GetCaller() const { return m_Caller; }

 private:
  const HostApiTable* m_Host;
  char* m_Name;
  char* m_Id;
  char* m_Description;
  int32_t m_IconIndex = -1;
  PlugInVersionInfo m_Version;
  PLUGIN_HANDLE m_Caller = nullptr;
};

}  // namespace pluginsdk

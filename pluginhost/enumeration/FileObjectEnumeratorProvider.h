// CFileObjectEnumeratorProvider: a service that recognises folder URLs of
// its kind and starts a CFileObjectEnumerator for one of them. The built-in
// providers and the plug-ins' providers derive from it; the enumeration
// system asks every provider for every folder.
//
// Threading: every operation runs on the user-interface thread.
#pragma once

#include <windows.h>

#include "pluginhost/objects/ConfigurableObject.h"

class CFileObjectEnumerationContext;
class CFileObjectEnumerator;
class CFileObjectMenu;
class CProxyDataBase;

class CFileObjectEnumeratorProvider : public CConfigurableObject {
  TWL_DECLARE_CLASS(CFileObjectEnumeratorProvider)
 public:
  // Adds the provider's proxy types when the data system rebuilds them.
  virtual bool RegisterProxyTypes(CProxyDataBase& proxies) = 0;
  // Null when the URL is not of the provider's kind; otherwise a running
  // enumerator that fills `context` and sets it done when finished. May
  // throw an error object. `pattern` is a wildcard text or null.
  virtual CFileObjectEnumerator* CreateEnumerator(CFileObjectEnumerationContext& context, const char* url,
                                                  const char* pattern, DWORD flags, HWND owner) = 0;
  // Appends the provider's commands for the selected objects to the menu;
  // the answer is not read.
  virtual bool AddMenuItems(CFileObjectMenu& menu, INT fileCount, const char* const* files, INT folderCount,
                            const char* const* folders) = 0;
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
  // False is logged with the provider's name.
  virtual bool RestoreSurfaces() = 0;
};

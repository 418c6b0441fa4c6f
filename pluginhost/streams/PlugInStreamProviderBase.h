// CPlugInStreamProviderBase: a stream provider that stands for a stream-
// provider object of a plug-in (object kind 1). Besides opening URLs for
// the file system it answers the data system, which owns it: it exits
// (the plug-in object leaves the plug-in registry), names itself, restores
// its surfaces after the display was lost and registers its proxy types;
// the stream providers' options page shows and configures it, and the user
// interface tells it of skin changes. The wrappers of version-1 and
// version-2 objects derive from it.
//
// Threading: the file system calls CanOpen and Open from any thread; the
// data system calls the rest on the user-interface thread.
#pragma once

#include <windows.h>

#include "foundation/streams/StreamProvider.h"

class CProxyDataBase;

class CPlugInStreamProviderBase : public CStreamProvider {
  TWL_DECLARE_CLASS(CPlugInStreamProviderBase)
 public:
  virtual void Exit() = 0;
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  // Index into the host image list; -1 for none.
  virtual int GetImageIndex() = 0;
  virtual bool HasConfigure() = 0;
  virtual bool Configure(HWND parent) = 0;
  virtual bool HasInfo() = 0;
  virtual bool ShowInfo(HWND parent) = 0;
  // False with the reason in the thread error.
  virtual bool RestoreSurfaces() = 0;
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
  // The result is not used.
  virtual bool RegisterProxyTypes(CProxyDataBase& proxies) = 0;
  // The object's identity in the plug-in registry.
  virtual void* GetHandle() = 0;
};

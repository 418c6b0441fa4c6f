// CFileObjectEnumerationSystem: the program's file-object enumerator
// providers (the built-in ones first, then the plug-ins' in discovery
// order), the start of listings over all of them, and the channel that
// carries providers' notices (a folder's contents changed, a file's or a
// folder's display information changed) from any thread to the
// user-interface thread, where the information records are changed.
//
// Threading: Init, Exit, the provider list, StartEnumeration and the
// notices' handling run on the user-interface thread (the one that called
// Init); the Post functions may be called from any thread.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "display/MessageWindow.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/enumeration/FileObjectEnumerationContext.h"
#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"

class CFileObjectEnumerationManager;
class CFileObjectMenu;
class CPlugInManager;

// The file browser, told that a folder's contents changed (after the
// folder's cached listing was forgotten).
class FolderRefreshTarget {
 public:
  virtual void RefreshFolder(const char* url) = 0;

 protected:
  ~FolderRefreshTarget() = default;
};

// The messages of the system's window; their payloads are heap copies that
// the handler frees.
constexpr UINT kFolderRefreshMessage = 1224;
constexpr UINT kFileInfoUpdateMessage = 1225;
constexpr UINT kFolderInfoUpdateMessage = 1226;

class CFileObjectEnumerationSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectEnumerationSystem)
 public:
  CFileObjectEnumerationSystem() = default;
  CFileObjectEnumerationSystem(const CFileObjectEnumerationSystem&) = delete;
  CFileObjectEnumerationSystem& operator=(const CFileObjectEnumerationSystem&) = delete;
  ~CFileObjectEnumerationSystem() override { Exit(); }

  // Makes the message window, then takes the providers of every plug-in
  // of the manager (none when it is null).
  void Init(CPlugInManager* plugIns);
  void InitNewPlugIns(CPlugInManager& plugIns, INT first);
  void InitPlugIn(CPlugInManager& plugIns, INT index);
  // Deletes every provider and the window; every manager must be gone.
  void Exit();
  // Takes ownership; appended to the providers.
  void AddProvider(CFileObjectEnumeratorProvider* provider);
  INT GetProviderCount() const { return static_cast<INT>(m_Providers.size()); }
  CFileObjectEnumeratorProvider* GetProvider(INT index) const;

  // A listing of the URL over every provider with the program's two
  // information databases; the caller owns and polls the manager.
  CFileObjectEnumerationManager* StartEnumeration(const char* url, const char* pattern, DWORD flags, HWND owner);

  // Any thread: copies the arguments and posts them to the system's
  // window. False (nothing kept) when the window is gone.
  bool PostFolderRefresh(const char* url);
  bool PostFileInfoUpdate(const char* url, const char* displayText, INT iconIndex);
  bool PostFolderInfoUpdate(const char* url, const char* displayText, INT iconIndex, INT openIconIndex);

  // Lets every provider add its commands for the selection, in order.
  void PassFilesToProviders(CFileObjectMenu& menu, INT fileCount, const char* const* files, INT folderCount,
                            const char* const* folders);

  // Every provider adds its proxy types.
  void RegisterProxyTypes(CProxyDataBase& proxies);
  bool RestoreSurfaces();
  void BeginSkinChange();
  void EndSkinChange();

  // The file browser while it exists; null otherwise.
  void SetFolderRefreshTarget(FolderRefreshTarget* target) { m_RefreshTarget = target; }
  HWND GetWindowHandle() const { return m_Window.GetWindowHandle(); }

 private:
  static void OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam);
  void OnFolderRefresh(const char* url);
  void FreeQueuedNotices();

  std::vector<std::unique_ptr<CFileObjectEnumeratorProvider>> m_Providers;
  CMessageWindow m_Window;
  FolderIconIndices m_FolderIcons;
  FolderRefreshTarget* m_RefreshTarget = nullptr;
};

// The program's one enumeration system.
CFileObjectEnumerationSystem& GetFileObjectEnumerationSystem();

// CPlugInLoader: the program's plug-ins folder over time, for the program
// object and the tools alike. At start it sets up a change notification on
// the folder and loads every plug-in; while the program runs, a poll
// without waiting loads the plug-ins that appeared since (a file caught
// half-copied fails, is not kept and is tried again when its writer closes
// it); at the end it unloads them all, the last first. Plug-ins that
// disappear or change are not unloaded. When the folder itself goes away
// the watch ends, so a poll never spins on a notification that can no
// longer be re-armed; new plug-ins are then found at the next start.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <functional>

#include "foundation/kernel/Str.h"
#include "pluginhost/plugins/PlugInManager.h"

class CPlugInLoader {
 public:
  CPlugInLoader() = default;
  CPlugInLoader(const CPlugInLoader&) = delete;
  CPlugInLoader& operator=(const CPlugInLoader&) = delete;
  ~CPlugInLoader() { UnloadPlugIns(); }

  // The start-up scan. A notification that cannot be set up is logged as
  // a warning; then only this scan happens.
  void LoadPlugIns(const char* folder);
  // Scans again while the notification is signalled. When plug-ins were
  // added, `discover` runs with the index of the first new one (the host
  // systems find its objects) and the end is logged. True when plug-ins
  // were added.
  bool LoadNewPlugIns(const std::function<void(INT firstNew)>& discover);
  // Unloads the plug-ins from the last to the first, then closes the
  // notification.
  void UnloadPlugIns();

  CPlugInManager& GetManager() { return m_Manager; }
  bool IsWatching() const { return m_Notification != INVALID_HANDLE_VALUE; }

 private:
  CPlugInManager m_Manager;
  CStr m_Folder;
  HANDLE m_Notification = INVALID_HANDLE_VALUE;
};

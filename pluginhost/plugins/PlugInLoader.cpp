#include "pluginhost/plugins/PlugInLoader.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"

namespace {

constexpr DWORD kWarningCategory = 0x10000;

}  // namespace

void CPlugInLoader::LoadPlugIns(const char* folder) {
  if (m_Notification != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_Notification);
  m_Folder = folder;
  m_Notification = FindFirstChangeNotificationA(folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (m_Notification == INVALID_HANDLE_VALUE) {
    LogFormat(kWarningCategory, "%s\n",
              LocalText("CSystem.CannotSetupPluginChangeNotification",
                        "WARNING: Unable to set up plugin change notification. New plugins will only be detected at "
                        "program start.")
                  .c_str());
  }
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CSystem.LoadingPluginsHeader", "-------- loading plugins --------").c_str());
  m_Manager.ScanFolder(m_Folder, false);
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText("CSystem.LoadingPluginsFinished", "finished loading plugins").c_str());
}

bool CPlugInLoader::LoadNewPlugIns(const std::function<void(INT firstNew)>& discover) {
  if (m_Notification == INVALID_HANDLE_VALUE) return false;
  const INT firstNew = m_Manager.GetCount();
  while (WaitForSingleObject(m_Notification, 0) == WAIT_OBJECT_0) {
    m_Manager.ScanFolder(m_Folder, true);
    // A folder that is gone cannot be re-armed: stop watching it.
    if (!FindNextChangeNotification(m_Notification)) {
      FindCloseChangeNotification(m_Notification);
      m_Notification = INVALID_HANDLE_VALUE;
      break;
    }
  }
  if (m_Manager.GetCount() == firstNew) return false;
  if (discover) discover(firstNew);
  LogFormat(LOG_CATEGORY_INFO, "\n%s\n\n",
            LocalText("CSystem.LoadingNewPluginsFinished", "-------- finished loading new plugin(s) --------").c_str());
  return true;
}

void CPlugInLoader::UnloadPlugIns() {
  m_Manager.UnloadAll();
  if (m_Notification != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_Notification);
  m_Notification = INVALID_HANDLE_VALUE;
}

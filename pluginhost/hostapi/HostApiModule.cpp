#include "pluginhost/hostapi/HostApiModule.h"

#include "pluginhost/diskfile/DiskFileCallbackManager.h"

CThreadDiskFileCreatorCallbackManager& GetDiskFileCallbackManager() {
  static CThreadDiskFileCreatorCallbackManager manager;
  return manager;
}

void InitHostApi() { GetDiskFileCallbackManager().Init(); }

void ExitHostApi() { GetDiskFileCallbackManager().Exit(); }

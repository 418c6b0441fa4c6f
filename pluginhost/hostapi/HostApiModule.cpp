#include "pluginhost/hostapi/HostApiModule.h"

#include "playback/sound/SoundBuffer.h"
#include "pluginhost/diskfile/DiskFileCallbackManager.h"

CThreadDiskFileCreatorCallbackManager& GetDiskFileCallbackManager() {
  static CThreadDiskFileCreatorCallbackManager manager;
  return manager;
}

void InitHostApi() {
  CSoundBuffer::InitVolumeTable();
  GetDiskFileCallbackManager().Init();
}

void ExitHostApi() { GetDiskFileCallbackManager().Exit(); }

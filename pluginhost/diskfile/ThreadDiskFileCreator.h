// CThreadDiskFileCreator: makes the disk file for a URL (its own path, or a
// temporary copy) on a worker thread of its own and reports once, through
// the callback manager, on the user-interface thread: the callback gets the
// user value, the creator and whether the file is ready (on failure the
// worker's error is the thread error during the callback). Released before
// the worker is done, it stops the worker and reports nothing.
//
// Threading: Create, GetFileName and CleanUp from any one thread at a
// time. CleanUp waits for the worker and for a running callback of this
// creator, except inside that very callback, where it must not wait. No
// callback reaches a creator once its CleanUp has returned.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "playback/diskfile/DiskFileCreator.h"
#include "pluginhost/abi/PlugInAbi.h"

class CThreadDiskFileCreatorCallbackManager;

class CThreadDiskFileCreator : public CDiskFileCreator {
  TWL_DECLARE_CLASS(CThreadDiskFileCreator)
 public:
  CThreadDiskFileCreator() = default;
  CThreadDiskFileCreator(const CThreadDiskFileCreator&) = delete;
  CThreadDiskFileCreator& operator=(const CThreadDiskFileCreator&) = delete;
  ~CThreadDiskFileCreator() override { CleanUp(); }

  // Starts the worker; false with the reason in the thread error when an
  // event or the thread cannot be made.
  bool Create(const char* url, const char* prefix, const char* suffix, HOST_FileCreatorCallback callback,
              uintptr_t userValue, DWORD flags, PLUGIN_HANDLE owner, CThreadDiskFileCreatorCallbackManager* manager);
  void CleanUp() override;
  // Only once the file is ready (MiscError 5 before).
  bool GetFileName(char** fileName) override;

 private:
  friend class CThreadDiskFileCreatorCallbackManager;

  static unsigned WINAPI WorkerEntry(void* self);
  void Work();
  void StopWorker();
  void WaitUntilIdle();

  HANDLE m_Worker = nullptr;
  CStr m_FileName;  // written by the worker before it sets the done event
  bool m_Temporary = false;
  HANDLE m_StopEvent = nullptr;
  HANDLE m_DoneEvent = nullptr;
  // Null stays null: the copies keep whether a text was given.
  char* m_Url = nullptr;
  char* m_Prefix = nullptr;
  char* m_Suffix = nullptr;
  HOST_FileCreatorCallback m_Callback = nullptr;
  uintptr_t m_UserValue = 0;
  DWORD m_Flags = 0;
  PLUGIN_HANDLE m_Owner = nullptr;
  CThreadDiskFileCreatorCallbackManager* m_Manager = nullptr;
  // Signalled except while a callback for this creator runs.
  HANDLE m_IdleEvent = nullptr;
};

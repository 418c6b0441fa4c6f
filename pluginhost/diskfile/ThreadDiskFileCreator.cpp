#include "pluginhost/diskfile/ThreadDiskFileCreator.h"

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/diskfile/DiskFileCallbackManager.h"
#include "pluginhost/hostapi/HostSlots.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CThreadDiskFileCreator, CDiskFileCreator)

namespace {

void CloseAndClear(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

void FreeText(char*& text) {
  delete[] text;
  text = nullptr;
}

}  // namespace

bool CThreadDiskFileCreator::Create(const char* url, const char* prefix, const char* suffix,
                                    HOST_FileCreatorCallback callback, uintptr_t userValue, DWORD flags,
                                    PLUGIN_HANDLE owner, CThreadDiskFileCreatorCallbackManager* manager) {
  CleanUp();
  m_Url = DuplicateString(url);
  m_Prefix = DuplicateString(prefix);
  m_Suffix = DuplicateString(suffix);
  m_Callback = callback;
  m_UserValue = userValue;
  m_Flags = flags;
  m_Owner = owner;
  m_Manager = manager;
  if ((url && !m_Url) || (prefix && !m_Prefix) || (suffix && !m_Suffix)) {
    CleanUp();
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_OUT_OF_MEMORY, GetMiscErrorText(MISC_ERROR_OUT_OF_MEMORY));
    return false;
  }

  m_StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  m_IdleEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  m_DoneEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!m_StopEvent || !m_IdleEvent || !m_DoneEvent) {
    CleanUp();
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("CreateEventFailed.Text", "Error creating event object"));
    return false;
  }
  // The runtime's own thread start: the worker is not one of the counted
  // threads the program waits for at its end.
  m_Worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &WorkerEntry, this, 0, nullptr));
  if (!m_Worker) {
    CleanUp();
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("CreateThreadFailed.Text", "Error creating thread."));
    return false;
  }
  return true;
}

unsigned WINAPI CThreadDiskFileCreator::WorkerEntry(void* self) {
  static_cast<CThreadDiskFileCreator*>(self)->Work();
  return 0;
}

void CThreadDiskFileCreator::Work() {
  const bool made = CreateDiskFile(m_FileName, m_Temporary, m_Url, m_Prefix, m_Suffix, m_Flags, m_StopEvent, m_Owner);
  if (WaitForSingleObject(m_StopEvent, 0) == WAIT_OBJECT_0) return;  // released: nobody to tell
  HostSavedError* saved = nullptr;
  if (made) {
    SetEvent(m_DoneEvent);
  } else {
    saved = hostapi::HOST_SaveError();
  }
  m_Manager->Post(m_Callback, m_UserValue, made, saved, this);
}

bool CThreadDiskFileCreator::GetFileName(char** fileName) {
  if (!m_DoneEvent || WaitForSingleObject(m_DoneEvent, 0) != WAIT_OBJECT_0) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, GetMiscErrorText(MISC_ERROR_ACCESS_DENIED));
    return false;
  }
  return CopyDiskFileName(m_FileName, fileName);
}

// Stops the worker, drops its queued results and waits for it. A worker
// that had passed its stop check may have posted after the first cancel:
// the second one, after it has ended, drops that late result too.
void CThreadDiskFileCreator::StopWorker() {
  if (!m_Worker) return;
  SetEvent(m_StopEvent);
  if (m_Manager) m_Manager->Cancel(this);
  WaitForSingleObject(m_Worker, INFINITE);
  CloseAndClear(m_Worker);
  if (m_Manager) m_Manager->Cancel(this);
}

// Released from inside its own callback (on the delivery thread) a creator
// must not wait for that callback to end: it tells the manager instead.
void CThreadDiskFileCreator::WaitUntilIdle() {
  if (!m_IdleEvent) return;
  if (m_Manager && m_Manager->IsDeliveryThread()) {
    m_Manager->MarkReleasedInCallback(this);
  } else {
    WaitForSingleObject(m_IdleEvent, INFINITE);
  }
  CloseAndClear(m_IdleEvent);
}

void CThreadDiskFileCreator::CleanUp() {
  StopWorker();
  WaitUntilIdle();
  CloseAndClear(m_StopEvent);
  CloseAndClear(m_DoneEvent);
  FreeText(m_Url);
  FreeText(m_Prefix);
  FreeText(m_Suffix);
  ReleaseDiskFile(m_FileName, m_Temporary);
}

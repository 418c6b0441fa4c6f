#include "pluginhost/diskfile/DiskFileCallbackManager.h"

#include <algorithm>

#include "pluginhost/diskfile/ThreadDiskFileCreator.h"
#include "pluginhost/hostapi/HostSlots.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CThreadDiskFileCreatorCallbackManager, CTypedObject)

void CThreadDiskFileCreatorCallbackManager::Init() {
  m_DeliveryThread = GetCurrentThreadId();
  m_Window.Create(&OnMessage, this);
}

void CThreadDiskFileCreatorCallbackManager::Exit() {
  m_Window.Destroy();
  CriticalSectionLock lock(m_Lock);
  for (PendingResult& result : m_Pending) hostapi::HOST_FreeError(result.savedError);
  m_Pending.clear();
}

void CThreadDiskFileCreatorCallbackManager::Post(HOST_FileCreatorCallback callback, uintptr_t userValue, bool success,
                                                 HostSavedError* savedError, CThreadDiskFileCreator* creator) {
  CriticalSectionLock lock(m_Lock);
  m_Pending.push_back({callback, userValue, success, savedError, creator});
  PostMessageA(m_Window.GetWindowHandle(), kDeliverMessage, 0, 0);
}

void CThreadDiskFileCreatorCallbackManager::Cancel(CThreadDiskFileCreator* creator) {
  CriticalSectionLock lock(m_Lock);
  auto cancelled = std::stable_partition(m_Pending.begin(), m_Pending.end(),
                                         [creator](const PendingResult& r) { return r.creator != creator; });
  for (auto result = cancelled; result != m_Pending.end(); ++result) hostapi::HOST_FreeError(result->savedError);
  m_Pending.erase(cancelled, m_Pending.end());
}

void CThreadDiskFileCreatorCallbackManager::MarkReleasedInCallback(CThreadDiskFileCreator* creator) {
  if (m_DeliveryDepth > 0) m_Released.push_back(creator);
}

// Takes the first result and marks its creator busy, both under the lock,
// so that a release from another thread either cancels the result first or
// waits for its callback.
bool CThreadDiskFileCreatorCallbackManager::TakeFirst(PendingResult& result) {
  CriticalSectionLock lock(m_Lock);
  if (m_Pending.empty()) return false;
  result = m_Pending.front();
  m_Pending.pop_front();
  ResetEvent(result.creator->m_IdleEvent);
  // A creator with a queued result is alive: an earlier entry with its
  // address was a creator released before and since freed.
  std::erase(m_Released, result.creator);
  return true;
}

void CThreadDiskFileCreatorCallbackManager::Deliver() {
  ++m_DeliveryDepth;
  PendingResult result;
  while (TakeFirst(result)) {
    if (!result.success) hostapi::HOST_RestoreError(result.savedError);
    auto* handle = reinterpret_cast<HOST_FILECREATOR>(static_cast<CDiskFileCreator*>(result.creator));
    result.callback(result.userValue, handle, result.success ? TRUE : FALSE);
    // A creator released during its own callback is gone; any other is
    // idle again, whoever else was released meanwhile.
    const bool released = std::find(m_Released.begin(), m_Released.end(), result.creator) != m_Released.end();
    if (!released) SetEvent(result.creator->m_IdleEvent);
    hostapi::HOST_FreeError(result.savedError);
  }
  if (--m_DeliveryDepth == 0) m_Released.clear();
}

void CThreadDiskFileCreatorCallbackManager::OnMessage(void* self, UINT message, WPARAM, LPARAM) {
  if (message == kDeliverMessage) static_cast<CThreadDiskFileCreatorCallbackManager*>(self)->Deliver();
}

// CThreadDiskFileCreatorCallbackManager: carries the results of thread disk
// file creators from their workers to the user-interface thread. Workers
// post results; a hidden message window delivers them, one at a time and
// in posting order, by calling each creator's completion callback on the
// thread that initialised the manager (the delivery thread).
//
// Threading: Post and Cancel from any thread (the queue has its own lock,
// never held while a callback runs); Init, Exit and delivery on the
// delivery thread.
#pragma once

#include <windows.h>

#include <deque>
#include <vector>

#include "display/MessageWindow.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CThreadDiskFileCreator;

class CThreadDiskFileCreatorCallbackManager : public CTypedObject {
  TWL_DECLARE_CLASS(CThreadDiskFileCreatorCallbackManager)
 public:
  // The message that tells the window to deliver.
  static constexpr UINT kDeliverMessage = 1124;

  CThreadDiskFileCreatorCallbackManager() = default;
  CThreadDiskFileCreatorCallbackManager(const CThreadDiskFileCreatorCallbackManager&) = delete;
  CThreadDiskFileCreatorCallbackManager& operator=(const CThreadDiskFileCreatorCallbackManager&) = delete;
  ~CThreadDiskFileCreatorCallbackManager() override { Exit(); }

  // Makes the message window; the calling thread becomes the delivery
  // thread. Throws when the window cannot be made.
  void Init();
  // Destroys the window and drops every pending result.
  void Exit();

  // Queues a result (taking the saved error of a failure) and asks the
  // window to deliver it.
  void Post(HOST_FileCreatorCallback callback, uintptr_t userValue, bool success, HostSavedError* savedError,
            CThreadDiskFileCreator* creator);
  // Drops every queued result of the creator.
  void Cancel(CThreadDiskFileCreator* creator);
  // Delivers every queued result.
  void Deliver();

  bool IsDeliveryThread() const { return GetCurrentThreadId() == m_DeliveryThread; }
  // Called by a creator released on the delivery thread instead of waiting
  // for its callback: when that creator's callback is running (the release
  // comes from inside it), the manager no longer touches it afterwards.
  // Only that creator is spared; the others become idle as usual.
  void MarkReleasedInCallback(CThreadDiskFileCreator* creator);

 private:
  struct PendingResult {
    HOST_FileCreatorCallback callback;
    uintptr_t userValue;
    bool success;
    HostSavedError* savedError;
    CThreadDiskFileCreator* creator;
  };

  static void OnMessage(void* self, UINT message, WPARAM wParam, LPARAM lParam);
  bool TakeFirst(PendingResult& result);

  CriticalSection m_Lock;
  std::deque<PendingResult> m_Pending;  // guarded by the lock
  CMessageWindow m_Window;
  DWORD m_DeliveryThread = 0;
  // Delivery thread only: creators released while callbacks ran (a
  // callback may pump messages and deliver again, hence a depth and a
  // list rather than one mark).
  int m_DeliveryDepth = 0;
  std::vector<CThreadDiskFileCreator*> m_Released;
};

// CAsyncHostFinder: looks a host name (or a dotted IPv4 address, by
// address) up without blocking its owner. A thread of its own asks Winsock
// through a hidden window and sets the owner's event when the answer or a
// failure is there; a cancelled lookup sets nothing.
//
// Threads: Start, Cancel, GetResult and GetError belong to the owner's
// thread and take the lookup lock, then the state lock; the finder thread
// and its window take only the state lock, never while waiting for a
// message.
#pragma once

#include <winsock.h>

#include <memory>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CAsyncHostFinder : public CTypedObject {
  TWL_DECLARE_CLASS(CAsyncHostFinder)
 public:
  static constexpr UINT kDoneMessage = 0x8064;
  static constexpr UINT kCancelMessage = 0x8065;
  static constexpr int kAnswerSize = 1024;

  CAsyncHostFinder();
  CAsyncHostFinder(const CAsyncHostFinder&) = delete;
  CAsyncHostFinder& operator=(const CAsyncHostFinder&) = delete;
  ~CAsyncHostFinder() override;

  // Cancels the lookup before and returns once the new one is under way;
  // throws when it cannot start (the finder is idle then).
  void Start(const char* host, HANDLE notifyEvent);
  // Ends a running lookup and waits for its thread; forgets an error.
  void Cancel();
  // The host entry when found, else null; valid until the next Start.
  HOSTENT* GetResult();
  // A copy of the lookup's error for the caller, or null.
  CError* GetError();

  // The window's handling of the finder's messages.
  void OnMessage(UINT message, LPARAM lParam);

 private:
  static DWORD WINAPI FinderThread(LPVOID finder);
  void RunLookup();
  void SetErrorLocked(CError* error);
  void TellStarted();

  CStr m_Host;
  HANDLE m_NotifyEvent = nullptr;
  HANDLE m_Thread = nullptr;
  HWND m_Window = nullptr;
  HANDLE m_Request = nullptr;
  std::unique_ptr<char[]> m_Answer;
  HANDLE m_StartedEvent = nullptr;  // set once the thread has begun its lookup or failed to
  bool m_Found = false;
  CError* m_Error = nullptr;
  bool m_Started = false;
  bool m_StartFailed = false;  // the thread ended before its lookup began
  bool m_Cancelled = false;
  CriticalSection m_LookupLock;
  CriticalSection m_StateLock;
};

#include "plugins/netvarra/sockets/AsyncHostFinder.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "plugins/netvarra/sockets/MessageWindowClass.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CAsyncHostFinder, CTypedObject)

namespace {

constexpr const char* kWindowClass = "AsyncHostFinder window class";

CError* NewError(const char* captionKey, const char* caption, const char* textKey, const char* text) {
  CError* error = new CError(LocalText(captionKey, caption), LocalText(textKey, text));
  return error ? error : &GetOutOfMemoryError();
}

CError* FindHostError(int code) {
  CError* error = new CSocketError(code, LocalText("SocketError.FindHost", "Error resolving host name"));
  return error ? error : &GetOutOfMemoryError();
}

LRESULT CALLBACK FinderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* finder = reinterpret_cast<CAsyncHostFinder*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (finder &&
      (message == WM_QUIT || message == CAsyncHostFinder::kDoneMessage || message == CAsyncHostFinder::kCancelMessage))
    finder->OnMessage(message, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

CAsyncHostFinder::CAsyncHostFinder()
    : m_Answer(std::make_unique<char[]>(kAnswerSize)), m_StartedEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

CAsyncHostFinder::~CAsyncHostFinder() {
  Cancel();
  if (m_StartedEvent) CloseHandle(m_StartedEvent);
}

void CAsyncHostFinder::Start(const char* host, HANDLE notifyEvent) {
  CriticalSectionLock lookupLock(m_LookupLock);
  Cancel();
  try {
    if (!RegisterMessageWindowClass(kWindowClass, FinderWindowProc))
      ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                         LocalText("RegisterClassFailed.Text", "Error registering window class"));
    {
      CriticalSectionLock stateLock(m_StateLock);
      m_Host = host;
      m_NotifyEvent = notifyEvent;
      m_Found = m_Cancelled = m_Started = m_StartFailed = false;
    }
    if (m_StartedEvent) ResetEvent(m_StartedEvent);
    m_Thread = BeginThread(nullptr, 0, &CAsyncHostFinder::FinderThread, this, 0, nullptr);
    if (!m_Thread)
      ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                         LocalText("CreateThreadFailed.Text", "Unable to create thread"));
    for (;;) {
      CriticalSectionLock stateLock(m_StateLock);
      if (m_Started) {
        // A lookup that already failed is the owner's to take, through its
        // event; only a lookup that never began is thrown here.
        if (!m_StartFailed) return;
        // The thread could not begin the lookup and ends by itself.
        CError* error = m_Error;
        m_Error = nullptr;
        stateLock.Leave();
        WaitForSingleObject(m_Thread, INFINITE);
        CloseHandle(m_Thread);
        m_Thread = nullptr;
        m_Window = nullptr;
        throw error;
      }
      stateLock.Leave();
      // Waited on an event, not in sleeps: a sleep runs on the program's clock,
      // which a test may hold still.
      if (m_StartedEvent)
        WaitForSingleObject(m_StartedEvent, INFINITE);
      else
        SleepEx(5, FALSE);
    }
  } catch (CError*) {
    Cancel();
    throw;
  }
}

void CAsyncHostFinder::Cancel() {
  CriticalSectionLock lookupLock(m_LookupLock);
  if (m_Thread) {
    {
      CriticalSectionLock stateLock(m_StateLock);
      if (m_Window) PostMessageA(m_Window, kCancelMessage, 0, 0);
    }
    WaitForSingleObject(m_Thread, INFINITE);
    CloseHandle(m_Thread);
    m_Thread = nullptr;
  }
  CriticalSectionLock stateLock(m_StateLock);
  if (m_Error) DisposeError(m_Error);
  m_Error = nullptr;
  m_Found = false;
  m_NotifyEvent = nullptr;
  m_Cancelled = false;
}

HOSTENT* CAsyncHostFinder::GetResult() {
  CriticalSectionLock lookupLock(m_LookupLock);
  CriticalSectionLock stateLock(m_StateLock);
  return m_Found ? reinterpret_cast<HOSTENT*>(m_Answer.get()) : nullptr;
}

CError* CAsyncHostFinder::GetError() {
  CriticalSectionLock lookupLock(m_LookupLock);
  CriticalSectionLock stateLock(m_StateLock);
  return m_Error ? m_Error->Clone() : nullptr;
}

void CAsyncHostFinder::SetErrorLocked(CError* error) {
  if (m_Error) DisposeError(m_Error);
  m_Error = error;
}

void CAsyncHostFinder::OnMessage(UINT message, LPARAM lParam) {
  CriticalSectionLock stateLock(m_StateLock);
  if (message == kDoneMessage) {
    const int error = WSAGETASYNCERROR(lParam);
    if (error == 0)
      m_Found = true;
    else
      SetErrorLocked(FindHostError(error));
  } else if (message == kCancelMessage) {
    m_Cancelled = true;
  }
}

void CAsyncHostFinder::TellStarted() {
  if (m_StartedEvent) SetEvent(m_StartedEvent);
}

DWORD WINAPI CAsyncHostFinder::FinderThread(LPVOID finder) {
  static_cast<CAsyncHostFinder*>(finder)->RunLookup();
  return 0;
}

void CAsyncHostFinder::RunLookup() {
  {
    CriticalSectionLock stateLock(m_StateLock);
    m_Window = CreateMessageWindow(kWindowClass, "AsyncHostFinder message window", this);
    if (!m_Window) {
      SetErrorLocked(NewError("CreateWindowFailed.Caption", "Window error", "CreateWindowFailed.Text",
                              "Error creating window."));
      m_Started = m_StartFailed = true;
      TellStarted();
      return;
    }
    const ULONG address = inet_addr(m_Host.c_str());
    m_Request = address != INADDR_NONE
                    ? WSAAsyncGetHostByAddr(m_Window, kDoneMessage, reinterpret_cast<const char*>(&address), 4,
                                            AF_INET, m_Answer.get(), kAnswerSize)
                    : WSAAsyncGetHostByName(m_Window, kDoneMessage, m_Host.c_str(), m_Answer.get(), kAnswerSize);
    if (!m_Request) {
      SetErrorLocked(FindHostError(WSAGetLastError()));
      DestroyWindow(m_Window);
      m_Window = nullptr;
      m_Started = m_StartFailed = true;
      TellStarted();
      return;
    }
    m_Started = true;
    TellStarted();
  }
  bool tell = true;
  for (;;) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, m_Window, 0, 0);
    if (got != 0 && got != -1) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    CriticalSectionLock stateLock(m_StateLock);
    if ((got == 0 || got == -1) && !m_Error)
      SetErrorLocked(NewError("GetMessageFailed.Caption", "Window error", "GetMessageFailed.Text",
                              "Error in message loop"));
    if (m_Found || m_Error || m_Cancelled) {
      tell = got != 0 && !m_Cancelled;
      break;
    }
  }
  CriticalSectionLock stateLock(m_StateLock);
  SetWindowLongPtrA(m_Window, GWL_USERDATA, 0);
  WSACancelAsyncRequest(m_Request);
  DestroyWindow(m_Window);
  m_Window = nullptr;
  m_Request = nullptr;
  if (tell && m_NotifyEvent) SetEvent(m_NotifyEvent);
}

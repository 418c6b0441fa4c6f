#include "plugins/netvarra/sockets/SimpleSocket.h"

#include <algorithm>
#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "plugins/netvarra/sockets/MessageWindowClass.h"
#include "plugins/netvarra/sockets/ResolveHost.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSimpleSocket, CTypedObject)

namespace {

constexpr const char* kWindowClass = "34745 SimpleSocket message window class";

[[noreturn]] void ThrowSocketError(int code, const char* key, const char* defaultText) {
  ThrowError<CSocketError>(code, LocalText(key, defaultText));
}

LRESULT CALLBACK SocketWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* socket = reinterpret_cast<CSimpleSocket*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (socket && message == CSimpleSocket::kNoticeMessage) {
    const DWORD bits = WSAGETSELECTEVENT(lParam);
    // Exactly one event bit, of a known index.
    if (bits && !(bits & (bits - 1))) {
      const int index = __builtin_ctz(bits);
      if (index < 6) socket->OnNetworkEvent(index, WSAGETSELECTERROR(lParam));
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterSocketWindowClass() {
  if (!RegisterMessageWindowClass(kWindowClass, SocketWindowProc))
    ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                       LocalText("RegisterClassFailed.Text", "Unable to register window class"));
}

}  // namespace

CSimpleSocket::CSimpleSocket() = default;

CSimpleSocket::~CSimpleSocket() { CSimpleSocket::Close(); }

void CSimpleSocket::Create(int family, int type, int protocol) {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  try {
    RegisterSocketWindowClass();
    m_Family = family;
    m_Type = type;
    m_Protocol = protocol;
    m_Handle = socket(family, type, protocol);
    if (m_Handle == INVALID_SOCKET)
      ThrowSocketError(WSAGetLastError(), "SocketError.AsyncSelect", "unable to set up event handling");
    m_Open = true;
    StartMessageThread();
    SelectEvents();
  } catch (CError*) {
    Close();
    throw;
  }
}

void CSimpleSocket::Attach(SOCKET handle) {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  // Open at once: a failure below closes the handle it was given.
  m_Handle = handle;
  m_Open = true;
  try {
    RegisterSocketWindowClass();
    StartMessageThread();
    SelectEvents();
  } catch (CError*) {
    Close();
    throw;
  }
}

void CSimpleSocket::SelectEvents() {
  if (WSAAsyncSelect(m_Handle, m_Window, kNoticeMessage, kSelectedEvents) != 0)
    ThrowSocketError(WSAGetLastError(), "SocketError.AsyncSelect", "unable to set up event handling");
}

void CSimpleSocket::Close() {
  CriticalSectionLock socketLock(m_SocketLock);
  if (m_Thread) {
    {
      CriticalSectionLock eventLock(m_EventLock);
      if (m_Window) PostMessageA(m_Window, WM_QUIT, 0, 0);
    }
    WaitForSingleObject(m_Thread, INFINITE);
    CloseHandle(m_Thread);
    m_Thread = nullptr;
  }
  if (m_StartError) {
    DisposeError(m_StartError);
    m_StartError = nullptr;
  }
  if (m_Open) {
    m_Open = false;
    closesocket(m_Handle);
    m_Handle = INVALID_SOCKET;
  }
  CriticalSectionLock eventLock(m_EventLock);
  m_NotifyEvent = nullptr;
  m_NotifyMask = 0;
  m_Record = SocketEventRecord{};
}

void CSimpleSocket::Recreate() {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  Create(m_Family, m_Type, m_Protocol);
}

void CSimpleSocket::ConnectByName(const char* host, USHORT port) {
  CriticalSectionLock socketLock(m_SocketLock);
  try {
    HOSTENT* entry = ResolveHostBlocking(host ? host : "");
    // An answer without a four-byte address is as good as none.
    if (!entry || entry->h_length != 4 || !entry->h_addr_list || !entry->h_addr_list[0])
      ThrowError<CError>(LocalText("SocketError.Caption", "Socket error"),
                         LocalText("SocketError.FindHost", "Unable to resolve host name."));
    SOCKADDR_IN address{};
    address.sin_family = entry->h_addrtype;
    address.sin_port = htons(port);
    std::memcpy(&address.sin_addr, entry->h_addr_list[0], 4);
    Create(entry->h_addrtype, SOCK_STREAM, 0);
    Connect(reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
  } catch (CError*) {
    Close();
    throw;
  }
}

void CSimpleSocket::Connect(const SOCKADDR* address, int length) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  if (connect(m_Handle, address, length) == 0) {
    // Connected at once: the event the window would have brought. Through
    // the event's own handling, so that subclasses learn of it too.
    OnNetworkEvent(kSocketConnect, 0);
    return;
  }
  const int code = WSAGetLastError();
  if (code == WSAEWOULDBLOCK) return;
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Connect", "Unable to establish connection.");
}

void CSimpleSocket::Bind(const SOCKADDR* address, int length) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  if (bind(m_Handle, address, length) == 0) return;
  const int code = WSAGetLastError();
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Bind", "Unable to bind to local address.");
}

void CSimpleSocket::Listen(int backlog) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  if (listen(m_Handle, backlog) == 0) return;
  const int code = WSAGetLastError();
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Listen", "Unable to start listening for connections.");
}

bool CSimpleSocket::Accept(SOCKET* handle, SOCKADDR* address, int* length) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  // Off around the accept, so that the new socket inherits no selection.
  WSAAsyncSelect(m_Handle, nullptr, 0, 0);
  const SOCKET accepted = accept(m_Handle, address, length);
  const int code = accepted == INVALID_SOCKET ? WSAGetLastError() : 0;
  WSAAsyncSelect(m_Handle, m_Window, kNoticeMessage, kSelectedEvents);
  if (accepted != INVALID_SOCKET) {
    *handle = accepted;
    return true;
  }
  if (code == WSAEWOULDBLOCK) return false;
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Accept", "Unable to accept connection.");
}

DWORD CSimpleSocket::Receive(void* buffer, DWORD length, int flags) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  const int count = recv(m_Handle, static_cast<char*>(buffer), static_cast<int>(std::min<DWORD>(length, 0x7FFFFFFF)),
                         flags);
  if (count >= 0) return static_cast<DWORD>(count);
  const int code = WSAGetLastError();
  if (code == WSAEWOULDBLOCK) return 0;
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Read", "Error reading data from socket");
}

DWORD CSimpleSocket::Discard(DWORD count) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  char scratch[1024];
  DWORD done = 0;
  while (done < count) {
    const DWORD want = std::min<DWORD>(count - done, sizeof scratch);
    const DWORD got = CSimpleSocket::Receive(scratch, want, 0);
    done += got;
    if (got < want) break;
  }
  return done;
}

DWORD CSimpleSocket::Send(const void* buffer, DWORD length, int flags) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  const int count =
      send(m_Handle, static_cast<const char*>(buffer), static_cast<int>(std::min<DWORD>(length, 0x7FFFFFFF)), flags);
  if (count >= 0) return static_cast<DWORD>(count);
  const int code = WSAGetLastError();
  if (code == WSAEWOULDBLOCK) return 0;
  eventLock.Leave();
  ThrowSocketError(code, "SocketError.Write", "Unable to write data to socket.");
}

void CSimpleSocket::SetNotify(HANDLE event, DWORD mask) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  m_NotifyEvent = event;
  m_NotifyMask = mask;
  if (event && (m_Record.pending & mask)) SetEvent(event);
}

void CSimpleSocket::GetEvents(SocketEventRecord* record, bool keep) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  *record = m_Record;
  if (keep) return;
  m_Record.pending = 0;
  if (m_NotifyEvent) ResetEvent(m_NotifyEvent);
}

void CSimpleSocket::OnNetworkEvent(int index, int code) { RecordEvent(index, code); }

void CSimpleSocket::RecordEvent(int index, int code) {
  CriticalSectionLock eventLock(m_EventLock);
  const DWORD bit = 1u << index;
  m_Record.pending |= bit;
  m_Record.errors[index] = static_cast<DWORD>(code);
  if (m_NotifyEvent && (m_NotifyMask & bit)) SetEvent(m_NotifyEvent);
}

void CSimpleSocket::MarkReadable() {
  CriticalSectionLock eventLock(m_EventLock);
  const DWORD bit = 1u << kSocketRead;
  m_Record.pending |= bit;
  if (m_NotifyEvent && (m_NotifyMask & bit)) SetEvent(m_NotifyEvent);
}

bool CSimpleSocket::IsOpen() {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  return m_Open;
}

void CSimpleSocket::StartMessageThread() {
  {
    CriticalSectionLock eventLock(m_EventLock);
    m_ThreadStarted = false;
    m_StartError = nullptr;
  }
  m_Thread = BeginThread(nullptr, 0, &CSimpleSocket::MessageThread, this, 0, nullptr);
  if (!m_Thread)
    ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                       LocalText("CreateThreadFailed.Text", "Unable to create thread."));
  for (;;) {
    {
      CriticalSectionLock eventLock(m_EventLock);
      if (m_ThreadStarted) {
        CError* error = m_StartError;
        m_StartError = nullptr;
        if (error) {
          eventLock.Leave();
          throw error;
        }
        return;
      }
    }
    SleepEx(5, FALSE);
  }
}

DWORD WINAPI CSimpleSocket::MessageThread(LPVOID socket) {
  static_cast<CSimpleSocket*>(socket)->RunMessageLoop();
  return 0;
}

void CSimpleSocket::RunMessageLoop() {
  {
    CriticalSectionLock eventLock(m_EventLock);
    m_Window = CreateMessageWindow(kWindowClass, "SimpleSocket message window", this);
    if (!m_Window) {
      m_StartError = new CError("Windows error", "Unable to create window.");
      if (!m_StartError) m_StartError = &GetOutOfMemoryError();
    }
    m_ThreadStarted = true;
    if (!m_Window) return;
  }
  MSG msg;
  // -1 means the window is gone: no message can come for it any more.
  for (BOOL got; (got = GetMessageA(&msg, m_Window, 0, 0)) != 0 && got != -1;) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CriticalSectionLock eventLock(m_EventLock);
  SetWindowLongPtrA(m_Window, GWL_USERDATA, 0);
  DestroyWindow(m_Window);
  m_Window = nullptr;
}

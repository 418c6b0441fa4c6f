#include "plugins/netvarra/ftp/FTPClient.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Threads.h"
#include "plugins/netvarra/ftp/FTPError.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/sockets/EventFunctions.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CLASS(CFTPClient, CTypedObject)

namespace {

// The events whose failure ends the connection, in the order they are looked at.
constexpr int kCheckedEvents[] = {kSocketConnect, kSocketAccept, kSocketRead, kSocketWrite, kSocketClose};

void DeleteError(CError*& error) {
  if (error) DisposeError(error);
  error = nullptr;
}

}  // namespace

CFTPClient::CFTPClient() = default;

CFTPClient::~CFTPClient() { Close(); }

void CFTPClient::Connect(const SOCKADDR* address, int length) {
  CriticalSectionLock outer(m_OuterLock);
  Close();
  try {
    m_StopEvent = CreateManualResetEvent();
    m_SocketEvent = CreateManualResetEvent();
    m_LineEvent = CreateManualResetEvent();
    m_Socket.Create(AF_INET, SOCK_STREAM, 0);
    m_Socket.Connect(address, length);
    m_Socket.SetNotify(m_SocketEvent, CSimpleSocket::kSelectedEvents);
    m_Socket.SetLineEvent(m_LineEvent);
    // On loopback the greeting can arrive before the events are attached:
    // the thread's first pass looks at the socket whatever happened.
    SetEvent(m_SocketEvent);
    SetEvent(m_LineEvent);
    {
      CriticalSectionLock inner(m_InnerLock);
      if (m_NotifyEvent) ResetEventHandle(m_NotifyEvent);
      m_Collector.Clear();
    }
    m_Connected = true;
    m_Thread = BeginThread(nullptr, 0, &ClientThread, this, 0, nullptr);
    if (!m_Thread)
      ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                         LocalText("CreateThreadFailed.Text", "Unable to create thread."));
  } catch (...) {
    Close();
    throw;
  }
}

void CFTPClient::Close() {
  CriticalSectionLock outer(m_OuterLock);
  if (m_Thread) {
    SetEvent(m_StopEvent);
    WaitForSingleObject(m_Thread, INFINITE);
    CloseHandle(m_Thread);
    m_Thread = nullptr;
  }
  m_Socket.Close();
  m_Connected = false;
  CriticalSectionLock inner(m_InnerLock);
  if (m_NotifyEvent) ResetEventHandle(m_NotifyEvent);
  m_Collector.Clear();
  m_SkipLow = m_SkipHigh = -1;
  DeleteError(m_PendingError);
  CloseEvents({&m_StopEvent, &m_SocketEvent, &m_LineEvent});
}

void CFTPClient::SetNotifyEvent(HANDLE event) {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  m_NotifyEvent = event;
  if (event && (m_Collector.HasReply() || !m_Collector.OtherLines().empty() || m_PendingError)) SetEvent(event);
}

HANDLE CFTPClient::GetNotifyEvent() {
  CriticalSectionLock inner(m_InnerLock);
  return m_NotifyEvent;
}

void CFTPClient::SendCommand(const char* command) {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  m_Collector.DropReplies();
  const std::string line = std::string(command) + "\r\n";
  m_Socket.SendString(line.c_str(), 0);
}

void CFTPClient::ApplySkipRangeLocked() {
  if (m_SkipLow < 0 || !m_Collector.HasReply()) return;
  const int code = GetReplyCode(m_Collector.OldestReply().c_str());
  if (code >= m_SkipLow && code <= m_SkipHigh) m_Collector.DropOldestReply();
  m_SkipLow = m_SkipHigh = -1;
}

bool CFTPClient::ReadReply(std::string& reply) {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  ApplySkipRangeLocked();
  return m_Collector.TakeReply(reply);
}

bool CFTPClient::HasReply() {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  ApplySkipRangeLocked();
  return m_Collector.HasReply();
}

CError* CFTPClient::GetError() {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  return m_PendingError ? m_PendingError->Clone() : nullptr;
}

bool CFTPClient::SkipReply(int low, int high) {
  CriticalSectionLock outer(m_OuterLock);
  CriticalSectionLock inner(m_InnerLock);
  if (m_SkipLow >= 0) return false;
  m_SkipLow = low;
  m_SkipHigh = high;
  return true;
}

bool CFTPClient::GetLocalAddress(SOCKADDR_IN& address) {
  CriticalSectionLock outer(m_OuterLock);
  int length = sizeof(address);
  return m_Socket.IsOpen() &&
         getsockname(m_Socket.GetHandle(), reinterpret_cast<SOCKADDR*>(&address), &length) == 0 &&
         length == sizeof(address) && address.sin_family == AF_INET;
}

bool CFTPClient::GetPeerAddress(SOCKADDR_IN& address) {
  CriticalSectionLock outer(m_OuterLock);
  int length = sizeof(address);
  return m_Socket.IsOpen() &&
         getpeername(m_Socket.GetHandle(), reinterpret_cast<SOCKADDR*>(&address), &length) == 0 &&
         length == sizeof(address) && address.sin_family == AF_INET;
}

bool CFTPClient::IsConnected() {
  CriticalSectionLock outer(m_OuterLock);
  return m_Connected;
}

void CFTPClient::SetNotifyLocked() {
  if (m_NotifyEvent) SetEvent(m_NotifyEvent);
}

DWORD WINAPI CFTPClient::ClientThread(LPVOID client) {
  static_cast<CFTPClient*>(client)->RunLoop();
  return 0;
}

void CFTPClient::RunLoop() {
  const HANDLE events[] = {m_StopEvent, m_SocketEvent, m_LineEvent};
  try {
    while (true) {
      if (WaitForEvents(events, 3, false, INFINITE) == 0) return;
      if (IsEventSignalled(m_SocketEvent, 0)) HandleSocketEvents();
      if (IsEventSignalled(m_LineEvent, 0)) {
        ResetEventHandle(m_LineEvent);
        CollectLines();
      }
      CheckUnendedLine();
    }
  } catch (CError* error) {
    CriticalSectionLock inner(m_InnerLock);
    DeleteError(m_PendingError);
    m_PendingError = error;
    SetNotifyLocked();
  }
}

void CFTPClient::HandleSocketEvents() {
  ResetEventHandle(m_SocketEvent);
  SocketEventRecord record{};
  m_Socket.GetEvents(&record, false);
  for (int index : kCheckedEvents) {
    if ((record.pending & (1u << index)) && record.errors[index] != 0)
      ThrowError<CSocketError>(static_cast<int>(record.errors[index]), CStr());
  }
  // Lines that came with the close are still collected first: a server's
  // last reply often arrives together with its close.
  if (record.pending & (1u << kSocketClose)) {
    CollectLines();
    ThrowError<CError>(LocalText("FTPError.Caption", "FTP error"),
                       LocalText("FTPError.ControlSocketClosed",
                                 "Control connection has been unexpectedly closed by remote host"));
  }
}

void CFTPClient::CollectLines() {
  CStr line;
  while (m_Socket.ReadLine(line, 0)) {
    const std::string text(line.c_str(), line.GetLength());
    CriticalSectionLock inner(m_InnerLock);
    m_Collector.AddLine(text);
    SetNotifyLocked();
  }
}

// A server that sends without ever ending its line would otherwise fill
// memory: what waits without a line end may not be longer than a line.
void CFTPClient::CheckUnendedLine() {
  CFifoBuffer& fifo = m_Socket.LockFifo();
  const bool overlong = static_cast<unsigned long long>(fifo.GetBlocksInUse()) * CBufferedSocket::kBlockSize >
                        FTPReplyCollector::kMaxLineLength + 2 * CBufferedSocket::kBlockSize;
  std::string start;
  if (overlong) {
    start.resize(100);
    start.resize(fifo.Peek(start.data(), static_cast<DWORD>(start.size())));
  }
  m_Socket.UnlockFifo();
  if (overlong) ThrowOversizedReply(start);
}

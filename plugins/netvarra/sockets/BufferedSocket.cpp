#include "plugins/netvarra/sockets/BufferedSocket.h"

#include <algorithm>
#include <cstring>

#include "foundation/errors/LocalText.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBufferedSocket, CSimpleSocket)

namespace {

// What the network took: WSAEWOULDBLOCK is 0 bytes, any other failure is thrown.
DWORD SendSome(SOCKET handle, const BYTE* bytes, DWORD length, int flags) {
  const int count =
      send(handle, reinterpret_cast<const char*>(bytes), static_cast<int>(std::min<DWORD>(length, 0x7FFFFFFF)), flags);
  if (count >= 0) return static_cast<DWORD>(count);
  const int code = WSAGetLastError();
  if (code == WSAEWOULDBLOCK) return 0;
  ThrowError<CSocketError>(code, LocalText("SocketError.Write", "Unable to send data."));
}

}  // namespace

CBufferedSocket::CBufferedSocket() = default;

CBufferedSocket::~CBufferedSocket() { CBufferedSocket::Close(); }

void CBufferedSocket::Attach(SOCKET handle) { AttachBuffered(handle, kBlockSize, false); }

void CBufferedSocket::Create(int family, int type, int protocol) {
  CreateBuffered(family, type, protocol, kBlockSize);
}

void CBufferedSocket::ConnectByName(const char* host, USHORT port) { ConnectByNameBuffered(host, port, kBlockSize); }

void CBufferedSocket::AttachBuffered(SOCKET handle, DWORD blockSize, bool connected) {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  {
    CriticalSectionLock eventLock(m_EventLock);
    m_Fifo.SetBlockSize(blockSize);
  }
  CSimpleSocket::Attach(handle);
  CriticalSectionLock eventLock(m_EventLock);
  m_Connected = connected;
}

void CBufferedSocket::CreateBuffered(int family, int type, int protocol, DWORD blockSize) {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  {
    CriticalSectionLock eventLock(m_EventLock);
    m_Fifo.SetBlockSize(blockSize);
  }
  CSimpleSocket::Create(family, type, protocol);
}

void CBufferedSocket::ConnectByNameBuffered(const char* host, USHORT port, DWORD blockSize) {
  CriticalSectionLock socketLock(m_SocketLock);
  Close();
  {
    CriticalSectionLock eventLock(m_EventLock);
    m_Fifo.SetBlockSize(blockSize);
  }
  CSimpleSocket::ConnectByName(host, port);
}

void CBufferedSocket::Close() {
  CriticalSectionLock socketLock(m_SocketLock);
  CSimpleSocket::Close();
  CriticalSectionLock eventLock(m_EventLock);
  FreeSendQueue();
  m_Connected = false;
}

void CBufferedSocket::FreeSendQueue() {
  // One entry at a time: a long queue must not recurse through its links.
  while (m_First) m_First = std::move(m_First->next);
  m_Last = nullptr;
}

DWORD CBufferedSocket::Receive(void* buffer, DWORD length, int flags) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  return (flags & MSG_PEEK) ? m_Fifo.Peek(buffer, length) : m_Fifo.Read(buffer, length);
}

DWORD CBufferedSocket::Discard(DWORD count) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  return m_Fifo.Skip(count);
}

DWORD CBufferedSocket::Send(const void* buffer, DWORD length, int flags) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  SendOrQueueLocked(static_cast<const BYTE*>(buffer), length, flags);
  return length;
}

void CBufferedSocket::SendOrQueueLocked(const BYTE* bytes, DWORD length, int flags) {
  DWORD sent = 0;
  if (!m_First && m_Connected) sent = SendSome(GetHandle(), bytes, length, flags);
  if (sent == length) return;
  auto entry = std::make_unique<QueuedSend>();
  entry->bytes = std::make_unique<BYTE[]>(length - sent);
  std::memcpy(entry->bytes.get(), bytes + sent, length - sent);
  entry->count = length - sent;
  entry->flags = flags;
  QueuedSend* added = entry.get();
  if (m_Last)
    m_Last->next = std::move(entry);
  else
    m_First = std::move(entry);
  m_Last = added;
}

bool CBufferedSocket::FlushSendQueue() {
  CriticalSectionLock eventLock(m_EventLock);
  while (m_First) {
    QueuedSend& entry = *m_First;
    entry.sent += SendSome(GetHandle(), entry.bytes.get() + entry.sent, entry.count - entry.sent, entry.flags);
    if (entry.sent < entry.count) return false;
    m_First = std::move(entry.next);
    if (!m_First) m_Last = nullptr;
  }
  return true;
}

CFifoBuffer& CBufferedSocket::LockFifo() {
  m_EventLock.Enter();
  return m_Fifo;
}

void CBufferedSocket::UnlockFifo() { m_EventLock.Leave(); }

void CBufferedSocket::OnNetworkEvent(int index, int code) {
  bool record = true;
  switch (index) {
    case kSocketRead: record = OnRead(code); break;
    case kSocketWrite: record = OnWrite(code); break;
    case kSocketConnect: record = OnConnect(code); break;
    case kSocketClose: record = OnClose(code); break;
    default: break;
  }
  if (record) RecordEvent(index, code);
}

bool CBufferedSocket::OnConnect(int code) {
  if (code < 10000) {
    CriticalSectionLock eventLock(m_EventLock);
    m_Connected = true;
  }
  return true;
}

bool CBufferedSocket::OnRead(int code) {
  if (code >= 10000) return true;
  ReceiveIntoFifo();
  return false;
}

bool CBufferedSocket::OnWrite(int code) {
  CriticalSectionLock eventLock(m_EventLock);
  try {
    FlushSendQueue();
  } catch (CError* error) {
    RecordWriteFailure(error);
    return false;
  }
  return true;
}

bool CBufferedSocket::OnClose(int code) {
  if (code < 10000) OnRead(0);
  return true;
}

void CBufferedSocket::RecordWriteFailure(CError* error) {
  const int code = error->IsKindOf(&CSocketError::ClassRecord) ? static_cast<CSocketError*>(error)->GetCode() : 10045;
  DisposeError(error);
  RecordEvent(kSocketWrite, code);
}

// Drains the network into the FIFO: repeated, 1 ms apart, while the
// receive fills the whole free span, since more may be waiting.
void CBufferedSocket::ReceiveIntoFifo() {
  for (;;) {
    CriticalSectionLock eventLock(m_EventLock);
    BYTE* span;
    DWORD length;
    try {
      m_Fifo.GetWriteSpan(&span, &length);
    } catch (CError* error) {
      DisposeError(error);
      RecordEvent(kSocketRead, WSAENOBUFS);
      return;
    }
    const int got = recv(GetHandle(), reinterpret_cast<char*>(span), static_cast<int>(length), 0);
    const int code = got < 0 ? WSAGetLastError() : 0;
    if (got < 0 && code != WSAEWOULDBLOCK) {
      RecordEvent(kSocketRead, code);
      return;
    }
    const DWORD count = got > 0 ? static_cast<DWORD>(got) : 0;
    if (count) {
      const DWORD passed = FilterReceived(span, count);
      if (passed) {
        m_Fifo.Commit(passed);
        MarkReadable();
      }
      AfterReceiveStep();
    }
    if (count < length) return;
    eventLock.Leave();
    SleepEx(1, FALSE);
  }
}

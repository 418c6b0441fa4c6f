#include "plugins/netvarra/http/HTTPStream.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/http/HTTPErrors.h"
#include "plugins/netvarra/sockets/EventFunctions.h"
#include "plugins/netvarra/sockets/SocketError.h"
#include "plugins/netvarra/tcp/TCPSettings.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CHTTPStream, CFlowingStream)
TWL_IMPLEMENT_CREATABLE_CLASS(CHTTPStreamProvider, CStreamProvider)

namespace {

constexpr DWORD kHTTPCapabilities = kStreamRead | kStreamFlowing;
constexpr DWORD kScratchSize = 1024;
constexpr DWORD kNotifyMask = (1u << kSocketRead) | (1u << kSocketWrite) | (1u << kSocketConnect) | (1u << kSocketClose);

[[noreturn]] void ThrowStreamError(DWORD code, CStream& stream) { ThrowError<CStreamError>(code, stream); }

[[noreturn]] void ThrowEventError(int code, const char* key, const char* defaultText) {
  ThrowError<CSocketError>(code, LocalText(key, defaultText));
}

bool HasSchemePrefix(const char* url, const char* prefix) {
  return url && strncasecmp(url, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Provider

bool CHTTPStreamProvider::CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) {
  if (!HasSchemePrefix(url, "http://") || (flags & kStreamWrite)) return false;
  answer = StreamOpenAnswer{kHTTPCapabilities, 5000, 1000};
  return true;
}

CStream* CHTTPStreamProvider::Open(const char* url, DWORD flags) {
  return OpenEx(url, flags, nullptr, -1, false, 30000);
}

CStream* CHTTPStreamProvider::OpenEx(const char* url, DWORD flags, const char* proxyHost, int proxyPort,
                                     bool ignoreProxyForLocal, DWORD timeoutMs) {
  if ((flags & kStreamCreationMask) != kStreamOpenExistingToo || (flags & kStreamWrite)) return nullptr;
  const bool haveProxy = proxyHost && *proxyHost;
  if (!HasSchemePrefix(url, "http://") && !(haveProxy && HasSchemePrefix(url, "ftp://"))) return nullptr;
  auto* stream = new CHTTPStream;
  try {
    if (stream->Open(url, proxyHost, proxyPort, ignoreProxyForLocal, timeoutMs, true)) return stream;
  } catch (...) {
    delete stream;
    throw;
  }
  delete stream;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Opening and closing

CHTTPStream::CHTTPStream() = default;

CHTTPStream::~CHTTPStream() {
  m_DeleteOnClose = false;
  CloseTransfer();
}

bool CHTTPStream::Open(const char* url, const char* proxyHost, int proxyPort, bool ignoreProxyForLocal,
                       DWORD timeoutMs, bool deleteOnClose) {
  m_ProxyHost = proxyHost ? proxyHost : "";
  m_ProxyPort = proxyPort == -1 ? 8080 : proxyPort;
  m_IgnoreProxyForLocal = ignoreProxyForLocal;
  PreparedRequest request;
  if (!url || !PrepareRequest(url, !m_ProxyHost.empty(), request)) return false;

  m_DeleteOnClose = false;
  CloseTransfer();
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  try {
    m_Buffer.reset(new char[kReceiveBufferSize]);
    m_Fill = 0;
    m_StopEvent = CreateManualResetEvent();
    m_LookupEvent = CreateManualResetEvent();
    m_SocketEvent = CreateManualResetEvent();
    m_ReaderEvent = CreateManualResetEvent();
    m_URL = url;
    m_Timeout = timeoutMs;
    m_Request = request;
    m_Redirects = 0;
    m_ShutDown = false;
    ResetTransfer(ChooseRoute());
    m_Thread = BeginThread(nullptr, 0, &CHTTPStream::WorkerThread, this, 0, nullptr);
    if (!m_Thread)
      ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                         LocalText("CreateThreadFailed.Text", "Error creating thread"));
  } catch (...) {
    stateLock.Leave();
    operationLock.Leave();
    CloseTransfer();
    throw;
  }
  m_DeleteOnClose = deleteOnClose;
  return true;
}

bool CHTTPStream::ChooseRoute() {
  if (!m_ProxyHost.empty() && m_IgnoreProxyForLocal) return false;
  if (!m_ProxyHost.empty()) {
    m_ConnectHost = m_ProxyHost;
    m_ConnectPort = m_ProxyPort;
    m_RequestInUse = &m_Request.proxyRequest;
  } else {
    m_ConnectHost = m_Request.host;
    m_ConnectPort = m_Request.port;
    m_RequestInUse = &m_Request.directRequest;
  }
  return true;
}

void CHTTPStream::ResetTransfer(bool decided) {
  m_State = decided ? kLookingUp : kDecidingProxy;
  ++m_TransferNumber;
  m_Address = 0;
  m_Finder.Start(decided ? m_ConnectHost.c_str() : m_Request.host.c_str(), m_LookupEvent);
  m_Parser.Reset(m_URL);
  m_RequestSent = 0;
  m_Position = 0;
}

void CHTTPStream::CloseTransfer() {
  {
    CriticalSectionLock operationLock(m_OperationLock);
    if (m_Thread) {
      SetEvent(m_StopEvent);
      WaitForSingleObject(m_Thread, INFINITE);
      CloseHandle(m_Thread);
      m_Thread = nullptr;
    }
    m_Finder.Cancel();
    CriticalSectionLock stateLock(m_StateLock);
    CloseEvents({&m_StopEvent, &m_LookupEvent, &m_SocketEvent, &m_ReaderEvent});
    m_Buffer.reset();
    m_Fill = 0;
    m_State = kDecidingProxy;
    m_Socket.Close();
    ClearError();
  }
  if (m_DeleteOnClose) delete this;
}

void CHTTPStream::Close() { CloseTransfer(); }

void CHTTPStream::CloseNoThrow() { CloseTransfer(); }

void CHTTPStream::Shutdown() {
  CriticalSectionLock stateLock(m_StateLock);
  m_ShutDown = true;
  if (m_StopEvent) SetEvent(m_StopEvent);
  if (m_ReaderEvent) SetEvent(m_ReaderEvent);
}

// ---------------------------------------------------------------------------
// Simple operations

CStr& CHTTPStream::GetURL(CStr& url) {
  CriticalSectionLock stateLock(m_StateLock);
  url = m_URL;
  return url;
}

DWORD CHTTPStream::GetCapabilities() { return kHTTPCapabilities; }

void CHTTPStream::Write(const void*, DWORD) { ThrowStreamError(CStreamError::kNotPermitted, *this); }

void CHTTPStream::Flush() {}

LONGLONG CHTTPStream::Seek(LONGLONG, DWORD, HANDLE) { ThrowStreamError(CStreamError::kNotPermitted, *this); }

bool CHTTPStream::SeekWouldWait(LONGLONG, DWORD) {
  CriticalSectionLock stateLock(m_StateLock);
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown, *this);
  return true;
}

void CHTTPStream::Guard() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown, *this);
  ThrowPendingError();
}

LONGLONG CHTTPStream::GetPosition() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  return m_Position;
}

DWORD CHTTPStream::GetTransferRate() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  return kTransferRate;
}

bool CHTTPStream::SocketHasByte() {
  char byte;
  return m_Socket.IsOpen() && m_Socket.Receive(&byte, 1, MSG_PEEK) > 0;
}

LONGLONG CHTTPStream::GetLength(bool, HANDLE) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  const LONGLONG length = m_Parser.GetContentLength();
  if (length >= 0 || m_State != kEnded) return length;
  if (m_Parser.IsChunked() ? m_Parser.IsLastChunkSeen() : (!m_Fill && !SocketHasByte())) return m_Position;
  return -1;
}

bool CHTTPStream::IsAtEnd() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  if (m_State < kReadingBody) return false;
  const LONGLONG length = m_Parser.GetContentLength();
  if (length >= 0 && m_Position >= length) {
    if (m_State == kReadingBody) Advance();
    return true;
  }
  if (m_State == kReadingBody) return false;
  if (m_Fill) return false;
  return m_Parser.IsChunked() ? m_Parser.IsLastChunkSeen() : !SocketHasByte();
}

DWORD CHTTPStream::GetContentType(CStr& type) {
  CriticalSectionLock stateLock(m_StateLock);
  if (m_State != kReadingBody && m_State != kEnded) {
    type = "";
    return 2;
  }
  type = m_Parser.GetContentType().c_str();
  return type.IsEmpty() ? 1 : 0;
}

bool CHTTPStream::HasData() {
  CriticalSectionLock stateLock(m_StateLock);
  if (m_State != kReadingBody && m_State != kEnded) return false;
  return m_Fill > 0 || SocketHasByte();
}

// ---------------------------------------------------------------------------
// Reading the body

DWORD CHTTPStream::Read(void* buffer, DWORD size) { return TransferBody(static_cast<char*>(buffer), size, true, false); }

DWORD CHTTPStream::ReadSome(void* buffer, DWORD size) {
  return TransferBody(static_cast<char*>(buffer), size, false, false);
}

DWORD CHTTPStream::Skip(DWORD count) { return TransferBody(nullptr, count, true, true); }

DWORD CHTTPStream::SkipSome(DWORD count) { return TransferBody(nullptr, count, false, true); }

DWORD CHTTPStream::CutToLength(DWORD size) const {
  const LONGLONG length = m_Parser.GetContentLength();
  if (length < 0) return size;
  return static_cast<DWORD>(std::min<LONGLONG>(size, std::max<LONGLONG>(0, length - m_Position)));
}

bool CHTTPStream::IsBodyComplete() const {
  if (m_Parser.IsChunked()) return m_Parser.IsLastChunkSeen();
  const LONGLONG length = m_Parser.GetContentLength();
  return length >= 0 && m_Position >= length;
}

void CHTTPStream::EndBodyWhenComplete() {
  if (m_State == kReadingBody && IsBodyComplete()) Advance();
}

void CHTTPStream::WaitForWorker(CriticalSectionLock& stateLock, bool orSocket) {
  // In the body the socket's own notice wakes the reader as soon as it
  // wakes the worker, a thread switch earlier than the worker's signal.
  const HANDLE events[2] = {m_ReaderEvent, m_SocketEvent};
  const DWORD timeout = m_Timeout;
  stateLock.Leave();
  WaitForEvents(events, orSocket ? 2 : 1, false, timeout ? timeout : 1);
  stateLock.Enter();
  Guard();
}

DWORD CHTTPStream::TakeLeftovers(char* buffer, DWORD size, bool discard) {
  const DWORD take = std::min(size, m_Fill);
  if (!take) return 0;
  if (!discard) std::memcpy(buffer, m_Buffer.get(), take);
  std::memmove(m_Buffer.get(), m_Buffer.get() + take, m_Fill - take);
  m_Fill -= take;
  m_Position += take;
  return take;
}

DWORD CHTTPStream::TransferBody(char* buffer, DWORD size, bool waitForAll, bool discard) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  size = CutToLength(size);
  if (!size) {
    EndBodyWhenComplete();
    return 0;
  }
  if (m_State < kReadingBody && !waitForAll) return 0;
  while (m_State < kReadingBody) {
    ResetEvent(m_ReaderEvent);
    WaitForWorker(stateLock, false);
  }
  // Nothing past the length the header gave, also when it came meanwhile.
  size = CutToLength(size);

  char scratch[kScratchSize];
  DWORD delivered = TakeLeftovers(buffer, size, discard);
  for (bool first = true; delivered < size; first = false) {
    if (m_Parser.IsChunked() && m_Parser.IsLastChunkSeen()) break;
    if (!first && !waitForAll) break;
    Guard();
    ResetEvent(m_ReaderEvent);
    char* target = discard ? scratch : buffer + delivered;
    const DWORD want = discard ? std::min(size - delivered, kScratchSize) : size - delivered;
    const DWORD received = m_Socket.IsOpen() ? m_Socket.Receive(target, want, 0) : 0;
    const DWORD payload = static_cast<DWORD>(m_Parser.DecodeBody(target, received));
    delivered += payload;
    m_Position += payload;
    EndBodyWhenComplete();
    if (received) continue;
    if (m_State >= kEnded) {
      // The server closed the connection: a body it promised more of is lost.
      if (!IsBodyComplete() && (m_Parser.IsChunked() || m_Parser.GetContentLength() >= 0))
        ThrowStreamError(CStreamError::kConnectionLost, *this);
      break;
    }
    if (!waitForAll) break;
    WaitForWorker(stateLock, true);
  }
  EndBodyWhenComplete();
  return delivered;
}

// ---------------------------------------------------------------------------
// Worker thread

DWORD WINAPI CHTTPStream::WorkerThread(LPVOID stream) {
  static_cast<CHTTPStream*>(stream)->RunWorker();
  return 0;
}

void CHTTPStream::RunWorker() {
  HANDLE events[3];
  DWORD timeout;
  {
    CriticalSectionLock stateLock(m_StateLock);
    events[0] = m_StopEvent;
    events[1] = m_LookupEvent;
    events[2] = m_SocketEvent;
    timeout = m_Timeout;
  }
  try {
    for (;;) {
      if (WaitForEvents(events, 3, false, timeout) < 0) {
        OnTimeout();
        continue;
      }
      if (IsEventSignalled(events[0], 0)) return;
      if (IsEventSignalled(events[1], 0)) OnLookupDone();
      if (IsEventSignalled(events[2], 0)) OnSocketEvents();
      CriticalSectionLock stateLock(m_StateLock);
      if (m_State >= kEnded) return;
    }
  } catch (CError* error) {
    CriticalSectionLock stateLock(m_StateLock);
    SetError(*error);
    DisposeError(error);
    m_State = kFailed;
    m_Socket.Close();
    NotifyReader();
  } catch (const std::bad_alloc&) {
    CriticalSectionLock stateLock(m_StateLock);
    SetError(GetOutOfMemoryError());
    m_State = kFailed;
    m_Socket.Close();
    NotifyReader();
  }
}

void CHTTPStream::NotifyReader() {
  SignalEvent(kDataEventProperty);
  if (m_ReaderEvent) SetEvent(m_ReaderEvent);
}

void CHTTPStream::OnTimeout() {
  CriticalSectionLock stateLock(m_StateLock);
  // A reader that has not taken what waits is not a dead connection.
  if (m_State == kReadingBody && (m_Fill || SocketHasByte())) return;
  ThrowStreamError(m_State <= kConnecting ? CStreamError::kCanEstablishConnection : CStreamError::kDeadConnection,
                   *this);
}

void CHTTPStream::OnLookupDone() {
  CriticalSectionLock stateLock(m_StateLock);
  ResetEvent(m_LookupEvent);
  if (m_State != kDecidingProxy && m_State != kLookingUp) return;
  m_Address = 0;
  if (HOSTENT* entry = m_Finder.GetResult()) {
    if (entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list || !entry->h_addr_list[0])
      ThrowStreamError(CStreamError::kGenericOpen, *this);
    std::memcpy(&m_Address, entry->h_addr_list[0], 4);
  }
  Advance();
}

void CHTTPStream::OnSocketEvents() {
  CriticalSectionLock stateLock(m_StateLock);
  ResetEvent(m_SocketEvent);
  SocketEventRecord record{};
  m_Socket.GetEvents(&record, false);
  const unsigned transfer = m_TransferNumber;
  const auto isSet = [&](int index) { return (record.pending & (1u << index)) != 0; };
  const auto failed = [&](int index) { return record.errors[index] >= 10000; };
  if (isSet(kSocketConnect)) {
    if (failed(kSocketConnect))
      ThrowEventError(static_cast<int>(record.errors[kSocketConnect]), "SocketError.Connect", "Error connecting to host");
    if (m_State == kConnecting) Advance();
  }
  if (isSet(kSocketRead)) {
    if (failed(kSocketRead))
      ThrowEventError(static_cast<int>(record.errors[kSocketRead]), "SocketError.Read", "Socket read error");
    if (m_State == kReadingHead) ReceiveHead();
    else if (m_State == kReadingBody) NotifyReader();
  }
  // A redirect has closed the socket whose events these were.
  if (m_TransferNumber != transfer) return;
  if (isSet(kSocketWrite)) {
    if (failed(kSocketWrite))
      ThrowEventError(static_cast<int>(record.errors[kSocketWrite]), "SocketError.Write", "Socket write error");
    if (m_State == kSending) SendRequest();
  }
  if (isSet(kSocketClose)) {
    if (failed(kSocketClose))
      ThrowEventError(static_cast<int>(record.errors[kSocketClose]), "SocketError.Close",
                      "Connection has been closed unexpectedly");
    if (m_State == kReadingBody) Advance();
    else if (m_State >= kDecidingProxy && m_State <= kReadingHead)
      ThrowStreamError(CStreamError::kConnectionLost, *this);
  }
}

void CHTTPStream::Advance() {
  const int old = m_State++;
  switch (old) {
    case kDecidingProxy: DecideProxy(); break;
    case kLookingUp: ConnectSocket(); break;
    case kConnecting: SendRequest(); break;
    case kSending: ReceiveHead(); break;
    case kReadingBody: NotifyReader(); break;
    default: break;
  }
}

void CHTTPStream::DecideProxy() {
  if (m_Address && CTCPSettings::IsLocalAddress(m_Address)) {
    // Only the proxy can fetch another scheme.
    if (m_Request.notHTTP) ThrowStreamError(CStreamError::kGenericOpen, *this);
    m_ConnectHost = m_Request.host;
    m_ConnectPort = m_Request.port;
    m_RequestInUse = &m_Request.directRequest;
    Advance();
    return;
  }
  m_ConnectHost = m_ProxyHost;
  m_ConnectPort = m_ProxyPort;
  m_RequestInUse = &m_Request.proxyRequest;
  m_Address = 0;
  m_Finder.Start(m_ConnectHost.c_str(), m_LookupEvent);
}

void CHTTPStream::ConnectSocket() {
  if (!m_Address) {
    if (CError* error = m_Finder.GetError()) throw error;
    ThrowStreamError(CStreamError::kCanEstablishConnection, *this);
  }
  m_Socket.Create(AF_INET, SOCK_STREAM, 0);
  m_Socket.SetNotify(m_SocketEvent, kNotifyMask);
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<USHORT>(m_ConnectPort));
  address.sin_addr.S_un.S_addr = m_Address;
  m_Socket.Connect(reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
}

void CHTTPStream::SendRequest() {
  const std::string& request = *m_RequestInUse;
  while (m_RequestSent < request.size()) {
    const DWORD sent = m_Socket.Send(request.data() + m_RequestSent, static_cast<DWORD>(request.size() - m_RequestSent), 0);
    if (!sent) return;
    m_RequestSent += sent;
  }
  Advance();
}

void CHTTPStream::ReceiveHead() {
  while (m_State == kReadingHead) {
    const DWORD received = m_Socket.Receive(m_Buffer.get() + m_Fill, kReceiveBufferSize - m_Fill, 0);
    if (!received) return;
    m_Fill += received;
    const size_t used = m_Parser.ParseHead(m_Buffer.get(), m_Fill);
    std::memmove(m_Buffer.get(), m_Buffer.get() + used, m_Fill - used);
    m_Fill -= static_cast<DWORD>(used);
    if (!m_Parser.IsHeadDone()) continue;
    if (m_Parser.IsRedirect()) return FollowRedirect();
    // What came with the header is the body's start.
    m_Fill = static_cast<DWORD>(m_Parser.DecodeBody(m_Buffer.get(), m_Fill));
    Advance();
    NotifyReader();
    if (m_Parser.IsChunked() ? m_Parser.IsLastChunkSeen() : m_Parser.GetContentLength() == 0) Advance();
  }
}

void CHTTPStream::FollowRedirect() {
  if (++m_Redirects > kMaxRedirects) ThrowHTTPError(kTooManyRedirects);
  const std::string location = m_Parser.GetLocation();
  if (location.empty()) ThrowHTTPError(kRedirectNoLocation);
  PreparedRequest request;
  if (!PrepareRequest(location.c_str(), !m_ProxyHost.empty(), request)) ThrowHTTPError(kRedirectInvalidURL);
  m_Finder.Cancel();
  m_Socket.Close();
  ClearError();
  // The stop event stays as it is: a Shutdown meanwhile still ends the worker.
  ResetEvent(m_LookupEvent);
  ResetEvent(m_SocketEvent);
  m_Fill = 0;
  m_Request = request;
  ResetTransfer(ChooseRoute());
}

#include "plugins/netvarra/ftp/FTPStream.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/FTPConnection.h"
#include "plugins/netvarra/ftp/FTPConnectionManager.h"
#include "plugins/netvarra/ftp/FTPError.h"
#include "plugins/netvarra/ftp/FTPListLine.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/sockets/EventFunctions.h"
#include "plugins/netvarra/sockets/SocketError.h"
#include "plugins/netvarra/sockets/SocketStreamError.h"

TWL_IMPLEMENT_CLASS(CFTPStream, CFlowingStream)

namespace {

constexpr DWORD kFTPCapabilities = kStreamRead | kStreamFlowing;
constexpr DWORD kScratchSize = 16384;

[[noreturn]] void ThrowStreamError(DWORD code, CStream& stream) { ThrowError<CStreamError>(code, stream); }

// The parts of "ftp://host[:port]/[dir/]file"; false without a file name or
// with a port that is not a plain decimal number.
bool ParseFtpUrl(const char* url, std::string& host, int& port, std::string& directory, std::string& file) {
  if (!url || strncasecmp(url, "ftp://", 6) != 0) return false;
  const std::string rest(url + 6);
  const size_t slash = rest.find('/');
  if (slash == std::string::npos || slash == 0) return false;
  const std::string hostPart = rest.substr(0, slash);
  const size_t colon = hostPart.find(':');
  port = 21;
  host = hostPart;
  if (colon != std::string::npos) {
    host = hostPart.substr(0, colon);
    const std::string digits = hostPart.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    port = std::stoi(digits);
    if (port > 65535) return false;
  }
  const std::string path = rest.substr(slash + 1);
  const size_t last = path.rfind('/');
  directory = last == std::string::npos ? "" : path.substr(0, last);
  file = last == std::string::npos ? path : path.substr(last + 1);
  return !host.empty() && !file.empty();
}

}  // namespace

// ---------------------------------------------------------------------------
// Opening and closing

CFTPStream::CFTPStream() = default;

CFTPStream::~CFTPStream() {
  m_DeleteOnClose = false;
  CloseTransfer();
}

bool CFTPStream::Open(const char* url, const char* user, const char* password, bool passive,
                      CFTPConnectionManager* pool, DWORD timeoutMs, bool deleteOnClose) {
  m_DeleteOnClose = false;
  CloseTransfer();
  std::string host, directory, file;
  int port = 21;
  if (!ParseFtpUrl(url, host, port, directory, file) || !pool) return false;

  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  try {
    m_State = kLoggingIn;
    m_URL = url;
    m_User = user ? user : "";
    m_Password = password ? password : "";
    m_Passive = passive;
    m_ListFirst = passive;
    m_Timeout = timeoutMs;
    m_HostName = host;
    m_Port = port;
    m_Directory = directory;
    m_FileName = file;
    m_ShutDown = false;
    m_Opened = true;
    m_Size = -1;
    m_Position = 0;
    m_CommandPending = false;
    m_Listing.clear();
    m_LocalAddress = SOCKADDR_IN{};
    m_LocalAddress.sin_family = AF_INET;
    m_StopEvent = CreateManualResetEvent();
    m_ListenEvent = CreateManualResetEvent();
    m_DataEvent = CreateManualResetEvent();
    m_ListingEvent = CreateManualResetEvent();
    m_ReaderEvent = CreateManualResetEvent();
    m_Pool = pool;
    m_Connection = pool->GetConnection(host.c_str(), port, m_User.c_str(), m_Password.c_str());
    m_Client = &m_Connection->GetClient();
    m_ResolveEvent = m_Connection->GetResolveEvent();
    m_NotifyEvent = m_Connection->GetNotifyEvent();
    if (m_Connection->GetState() == CFTPConnection::kLoggedIn) SetEvent(m_NotifyEvent);
    m_Thread = BeginThread(nullptr, 0, &CFTPStream::WorkerThread, this, 0, nullptr);
    if (!m_Thread)
      ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                         LocalText("CreateThreadFailed.Text", "Unable to create thread"));
  } catch (CError* error) {
    stateLock.Leave();
    operationLock.Leave();
    CloseTransfer();
    if (error->IsKindOf(&CSocketError::ClassRecord)) {
      CStreamError* streamError = MakeSocketStreamError(static_cast<CSocketError*>(error)->GetCode(), m_URL);
      DisposeError(error);
      throw streamError;
    }
    throw;
  } catch (...) {
    stateLock.Leave();
    operationLock.Leave();
    CloseTransfer();
    throw;
  }
  m_DeleteOnClose = deleteOnClose;
  return true;
}

// A connection can serve the next user only when no reply is still owed to
// it, or when the one owed can be recognised and dropped.
bool CFTPStream::ReuseVerdict() {
  if (!m_Connection || !m_Client) return false;
  switch (m_State) {
    case kLoggingIn:
    case kFailed: return false;
    case kListing:
    case kRetrieving: {
      const int32_t transfer = m_Download.GetState();
      if (transfer == CFTPDownload::kIdle || transfer == CFTPDownload::kFinished) return true;
      // Broken off mid-transfer: the server owes a 426 for it.
      return transfer > CFTPDownload::kAccepting && m_Client->SkipReply(426, 426);
    }
    case kComplete: return true;
    default: return m_CommandPending && m_Client->SkipReply(0, 10000);
  }
}

void CFTPStream::CloseTransfer() {
  {
    CriticalSectionLock operationLock(m_OperationLock);
    if (m_Thread) {
      SetEvent(m_StopEvent);
      WaitForSingleObject(m_Thread, INFINITE);
      CloseHandle(m_Thread);
      m_Thread = nullptr;
    }
    CriticalSectionLock stateLock(m_StateLock);
    m_Opened = false;
    if (m_Connection) {
      // Close the data side first: a server sends its 426 once the data
      // connection is gone.
      const bool reusable = ReuseVerdict();
      m_Download.Close();
      m_ListenSocket.Close();
      m_ListingSocket.Close();
      m_DataSocket.Close();
      m_Pool->ReleaseConnection(m_Connection, reusable);
    }
    m_Connection = nullptr;
    m_Client = nullptr;
    m_ResolveEvent = m_NotifyEvent = nullptr;
    CloseEvents({&m_StopEvent, &m_ListenEvent, &m_DataEvent, &m_ListingEvent, &m_ReaderEvent});
    m_Download.Close();
    m_ListenSocket.Close();
    m_ListingSocket.Close();
    m_DataSocket.Close();
    m_CommandPending = false;
    m_Listing.clear();
    ClearError();
  }
  if (m_DeleteOnClose) delete this;
}

void CFTPStream::Close() { CloseTransfer(); }

void CFTPStream::CloseNoThrow() { CloseTransfer(); }

// Only the state lock: a reader waiting for data holds the operation lock.
void CFTPStream::Shutdown() {
  CriticalSectionLock stateLock(m_StateLock);
  m_ShutDown = true;
  if (m_StopEvent) SetEvent(m_StopEvent);
  if (m_ReaderEvent) SetEvent(m_ReaderEvent);
}

// ---------------------------------------------------------------------------
// Simple operations

CStr& CFTPStream::GetURL(CStr& url) {
  CriticalSectionLock stateLock(m_StateLock);
  url = m_URL;
  return url;
}

DWORD CFTPStream::GetCapabilities() { return kFTPCapabilities; }

void CFTPStream::Write(const void*, DWORD) { ThrowStreamError(CStreamError::kNotPermitted, *this); }

void CFTPStream::Flush() {
  CriticalSectionLock stateLock(m_StateLock);
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown, *this);
}

LONGLONG CFTPStream::Seek(LONGLONG, DWORD, HANDLE) { ThrowStreamError(CStreamError::kNotPermitted, *this); }

bool CFTPStream::SeekWouldWait(LONGLONG, DWORD) { ThrowStreamError(CStreamError::kNotPermitted, *this); }

void CFTPStream::Guard() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown, *this);
  ThrowPendingError();
}

int32_t CFTPStream::GetState() {
  CriticalSectionLock stateLock(m_StateLock);
  return m_State;
}

LONGLONG CFTPStream::GetPosition() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  return static_cast<LONGLONG>(m_Position);
}

DWORD CFTPStream::GetTransferRate() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  return kTransferRate;
}

// 1 when a byte waits, 0 when the server has closed and nothing is left,
// -1 when nothing waits yet.
int CFTPStream::PeekDataByte() {
  if (!m_DataSocket.IsOpen()) return 0;
  char byte;
  if (m_DataSocket.Receive(&byte, 1, MSG_PEEK) > 0) return 1;
  SocketEventRecord record{};
  m_DataSocket.GetEvents(&record, true);
  return (record.pending & (1u << kSocketClose)) ? 0 : -1;
}

LONGLONG CFTPStream::GetLength(bool, HANDLE) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  if (m_Size < 0 && m_State > kBinaryType && m_Download.GetState() > CFTPDownload::kData && PeekDataByte() == 0)
    m_Size = static_cast<int64_t>(m_Position);
  return m_Size;
}

bool CFTPStream::IsAtEnd() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  return m_State >= kComplete && PeekDataByte() == 0;
}

bool CFTPStream::HasData() {
  CriticalSectionLock stateLock(m_StateLock);
  return m_State >= kRetrieving && PeekDataByte() == 1;
}

// ---------------------------------------------------------------------------
// Reading

DWORD CFTPStream::Read(void* buffer, DWORD size) { return Transfer(static_cast<char*>(buffer), size, true, false); }

DWORD CFTPStream::ReadSome(void* buffer, DWORD size) {
  return Transfer(static_cast<char*>(buffer), size, false, false);
}

DWORD CFTPStream::Skip(DWORD count) { return Transfer(nullptr, count, true, true); }

DWORD CFTPStream::SkipSome(DWORD count) { return Transfer(nullptr, count, false, true); }

void CFTPStream::WaitForWorker(CriticalSectionLock& stateLock, bool orData) {
  // In the data phase the data socket's own notice wakes the reader as
  // soon as it wakes the worker, a thread switch earlier than the worker's
  // signal; the worker's signal still comes, so a notice the worker took
  // first is not lost.
  const HANDLE events[2] = {m_ReaderEvent, m_DataEvent};
  const DWORD timeout = m_Timeout;
  stateLock.Leave();
  WaitForEvents(events, orData ? 2 : 1, false, timeout ? timeout : 1);
  stateLock.Enter();
  Guard();
}

// Every pass looks at Shutdown, the worker's error and the state again, so
// a reader never waits for data that cannot come: once the transfer has
// ended and the socket is empty it gets what has arrived.
DWORD CFTPStream::Transfer(char* buffer, DWORD size, bool waitForAll, bool discard) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  Guard();
  if (!size) return 0;
  if (m_State < kRetrieving || m_Download.GetState() < CFTPDownload::kData) {
    if (!waitForAll) return 0;
    while (m_State < kRetrieving || (m_State == kRetrieving && m_Download.GetState() < CFTPDownload::kData)) {
      ResetEvent(m_ReaderEvent);
      if (m_State >= kRetrieving && m_Download.GetState() >= CFTPDownload::kData) break;
      WaitForWorker(stateLock, false);
    }
  }
  char scratch[kScratchSize];
  DWORD delivered = 0;
  for (bool first = true; delivered < size; first = false) {
    if (!first && !waitForAll) break;
    Guard();
    ResetEvent(m_ReaderEvent);
    char* target = discard ? scratch : buffer + delivered;
    const DWORD want = discard ? std::min(size - delivered, kScratchSize) : size - delivered;
    DWORD received = 0;
    try {
      received = m_DataSocket.IsOpen() ? m_DataSocket.Receive(target, want, 0) : 0;
    } catch (CError* error) {
      const int code = error->IsKindOf(&CSocketError::ClassRecord) ? static_cast<CSocketError*>(error)->GetCode() : 10054;
      DisposeError(error);
      throw MakeSocketStreamErrorForStream(code, *this);
    }
    delivered += received;
    m_Position += received;
    if (received) continue;
    if (m_State >= kComplete) break;
    if (!waitForAll) break;
    WaitForWorker(stateLock, true);
  }
  return delivered;
}

// ---------------------------------------------------------------------------
// Worker thread

DWORD WINAPI CFTPStream::WorkerThread(LPVOID stream) {
  static_cast<CFTPStream*>(stream)->RunWorker();
  return 0;
}

void CFTPStream::RunWorker() {
  HANDLE events[6];
  DWORD timeout;
  {
    CriticalSectionLock stateLock(m_StateLock);
    events[0] = m_StopEvent;
    events[1] = m_ListenEvent;
    events[2] = m_DataEvent;
    events[3] = m_ListingEvent;
    events[4] = m_ResolveEvent;
    events[5] = m_NotifyEvent;
    timeout = m_Timeout;
  }
  try {
    for (;;) {
      const int woken = WaitForEvents(events, 6, false, timeout ? timeout : 1);
      CriticalSectionLock stateLock(m_StateLock);
      if (woken < 0) {
        OnTimeout();
        continue;
      }
      if (IsEventSignalled(events[0], 0)) return;
      Cycle();
      if (m_State > kRetrieving) return;
    }
  } catch (CError* error) {
    Fail(error);
  } catch (const std::bad_alloc&) {
    Fail(GetOutOfMemoryError().Clone());
  }
}

void CFTPStream::Fail(CError* error) {
  CriticalSectionLock stateLock(m_StateLock);
  if (error->IsKindOf(&CFTPError::ClassRecord)) {
    auto* ftp = static_cast<CFTPError*>(error);
    const std::string reply = ftp->GetReply().c_str();
    const bool notFound = ftp->GetCode() == 550;
    DisposeError(error);
    try {
      if (notFound) ThrowStreamError(CStreamError::kFileNotFound, *this);
      ThrowUnexpectedReply(reply);
    } catch (CError* mapped) {
      error = mapped;
    }
  } else if (error->IsKindOf(&CSocketError::ClassRecord)) {
    const int code = static_cast<CSocketError*>(error)->GetCode();
    DisposeError(error);
    error = MakeSocketStreamErrorForStream(code, *this);
  }
  SetError(*error);
  DisposeError(error);
  m_State = kFailed;
  m_Download.Close();
  m_ListenSocket.Close();
  m_ListingSocket.Close();
  m_DataSocket.Close();
  NotifyReader();
}

void CFTPStream::NotifyReader() {
  SignalEvent(kDataEventProperty);
  if (m_ReaderEvent) SetEvent(m_ReaderEvent);
}

void CFTPStream::ThrowUnexpectedReply(const std::string& reply) {
  CStr text = LocalText("FTPStreamError.UnexpectedReply", "Unexpected FTP reply (%REPLY%); file path: '%PATH%'");
  std::string out = text.c_str();
  const auto replace = [&out](const std::string& key, const std::string& value) {
    const size_t at = out.find(key);
    if (at != std::string::npos) out.replace(at, key.size(), value);
  };
  replace("%PATH%", m_URL.c_str());
  replace("%REPLY%", reply);
  ThrowError<CStreamError>(CStreamError::kGenericOpen, m_URL.c_str(), CStr(out.c_str()));
}

void CFTPStream::OnTimeout() {
  if (m_State >= kComplete) return;
  // A reader that has not taken what waits is not a dead connection: the
  // server is only waiting for room.
  if (m_State == kRetrieving && PeekDataByte() == 1) return;
  const int connection = m_Connection ? m_Connection->GetState() : 0;
  const bool connecting = m_State == kLoggingIn && (connection == CFTPConnection::kResolving ||
                                                    connection == CFTPConnection::kConnecting);
  ThrowStreamError(connecting ? CStreamError::kCanEstablishConnection : CStreamError::kDeadConnection, *this);
}

void CFTPStream::Cycle() {
  switch (m_State) {
    case kLoggingIn:
      if (m_Connection->GetState() != CFTPConnection::kLoggedIn) {
        ResetEvent(m_ResolveEvent);
        ResetEvent(m_NotifyEvent);
        m_Connection->Process();
        if (m_Connection->GetState() == CFTPConnection::kFailed) {
          CError* error = m_Connection->GetError();
          if (!error) error = new CError("FTP error", "Unable to log in");
          throw error;
        }
      }
      if (m_Connection->GetState() == CFTPConnection::kLoggedIn) Advance();
      break;
    case kListing:
    case kRetrieving: ProcessTransfer(); break;
    case kChangingFolder:
    case kAsciiType:
    case kBinaryType:
      if (IsEventSignalled(m_NotifyEvent, 0)) {
        ResetEvent(m_NotifyEvent);
        ProcessReplies();
      }
      break;
    default: break;
  }
}

void CFTPStream::ProcessReplies() {
  if (CError* error = m_Client->GetError()) throw error;
  std::string reply;
  if (m_Client->ReadReply(reply)) {
    m_CommandPending = false;
    const int code = GetReplyCode(reply.c_str());
    if (code >= 200 && code < 300) {
      Advance();
    } else if (code == 550 && m_State == kChangingFolder) {
      ThrowStreamError(CStreamError::kFileNotFound, *this);
    } else {
      ThrowUnexpectedReply(reply);
    }
  }
  if (m_Client->HasReply()) SetEvent(m_NotifyEvent);
}

void CFTPStream::ProcessTransfer() {
  const HANDLE dataEvent = m_State == kListing ? m_ListingEvent : m_DataEvent;
  DWORD bits = 0;
  for (auto [event, bit] : {std::pair{m_NotifyEvent, CFTPDownload::kControl},
                            std::pair{m_ListenEvent, CFTPDownload::kListen},
                            std::pair{dataEvent, CFTPDownload::kDataSocket}}) {
    if (IsEventSignalled(event, 0)) {
      ResetEvent(event);
      bits |= bit;
    }
  }
  try {
    m_Download.Process(bits);
  } catch (CError* error) {
    if (m_State != kListing) throw;
    // The size listing is only a help: without it the file is still fetched.
    DisposeError(error);
    m_Download.Close();
    m_ListingSocket.Close();
    m_Listing.clear();
    Advance();
    return;
  }
  if (m_Download.GetState() == CFTPDownload::kFailed) {
    if (m_State == kListing) {
      m_Download.Close();
      m_ListingSocket.Close();
      m_Listing.clear();
      Advance();
      return;
    }
    CError* error = m_Download.GetError();
    throw error ? error : new CError("FTP error", "Transfer failed");
  }
  if (m_State == kListing) {
    KeepListing();
  } else {
    if (m_Size < 0) m_Size = m_Download.GetSize();
    if (m_Download.GetState() >= CFTPDownload::kData && (bits & CFTPDownload::kDataSocket)) {
      SocketEventRecord record{};
      m_DataSocket.GetEvents(&record, true);
      for (int index : {kSocketConnect, kSocketAccept, kSocketWrite, kSocketRead, kSocketClose})
        if ((record.pending & (1u << index)) && record.errors[index] != 0)
          ThrowError<CSocketError>(static_cast<int>(record.errors[index]), CStr());
    }
    // The data phase's start, data, the end: the reader looks again.
    if (bits) NotifyReader();
  }
  if (m_Download.GetState() == CFTPDownload::kFinished) Advance();
}

// Moves what the listing socket holds into the kept listing, up to its limit.
void CFTPStream::KeepListing() {
  char chunk[4096];
  for (;;) {
    const DWORD got = m_ListingSocket.IsOpen() ? m_ListingSocket.Receive(chunk, sizeof chunk, 0) : 0;
    if (!got) return;
    const size_t room = kMaxListingBytes - std::min(kMaxListingBytes, m_Listing.size());
    m_Listing.append(chunk, std::min<size_t>(room, got));
  }
}

void CFTPStream::ReadSizeFromListing() {
  KeepListing();
  std::string listing = m_Listing;
  if (!listing.empty() && (listing.size() < 2 || listing.compare(listing.size() - 2, 2, "\r\n") != 0))
    listing += "\r\n";
  for (size_t start = 0; start < listing.size();) {
    const size_t end = listing.find("\r\n", start);
    if (end == std::string::npos) break;
    FTPListEntry entry;
    if (ParseListLine(std::string_view(listing).substr(start, end + 2 - start), entry, FTPListEntry::kUnknown)) {
      m_Size = entry.size;
      break;
    }
    start = end + 2;
  }
  m_Listing.clear();
  m_Download.Close();
  m_ListingSocket.Close();
}

void CFTPStream::StartTransfer(const std::string& command, CSimpleSocket& socket, HANDLE event) {
  // Only an active transfer needs this machine's address: the one the
  // control connection leaves from, which reaches the server.
  if (!m_Passive) {
    if (!m_Client->GetLocalAddress(m_LocalAddress)) ThrowStreamError(CStreamError::kGenericOpen, *this);
    m_LocalAddress.sin_port = 0;
  }
  ResetEvent(event);
  ResetEvent(m_ListenEvent);
  m_Download.Start(command.c_str(), m_Client, &socket, event, &m_ListenSocket, m_ListenEvent, m_Passive,
                   &m_LocalAddress);
}

void CFTPStream::Advance() {
  const int32_t old = m_State;
  m_State = old == kChangingFolder && !m_ListFirst ? kBinaryType : old + 1;
  switch (m_State) {
    case kChangingFolder: {
      const std::string& home = m_Connection->GetHomeDirectory();
      std::string folder;
      if (m_Directory.empty())
        folder = home;
      else if (m_Directory[0] == '/')
        folder = m_Directory;
      else
        folder = home + (home.empty() || home.back() != '/' ? "/" : "") + m_Directory;
      m_Client->SendCommand(("CWD " + folder).c_str());
      m_CommandPending = true;
      break;
    }
    case kAsciiType:
      m_Client->SendCommand("TYPE A");
      m_CommandPending = true;
      break;
    case kListing:
      m_Listing.clear();
      StartTransfer("LIST " + m_FileName, m_ListingSocket, m_ListingEvent);
      break;
    case kBinaryType:
      if (m_ListFirst) ReadSizeFromListing();
      m_Client->SendCommand("TYPE I");
      m_CommandPending = true;
      break;
    case kRetrieving:
      StartTransfer("RETR " + m_FileName, m_DataSocket, m_DataEvent);
      NotifyReader();
      break;
    case kComplete: NotifyReader(); break;
    default: break;
  }
}

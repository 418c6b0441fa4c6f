#include "plugins/netvarra/ftp/FTPDownload.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "plugins/netvarra/ftp/FTPClient.h"
#include "plugins/netvarra/ftp/FTPError.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/ftp/FTPTransferReplies.h"
#include "plugins/netvarra/sockets/SimpleSocket.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CLASS(CFTPDownload, CTypedObject)

namespace {

// The events whose failure ends the transfer, in the order they are looked at.
constexpr int kCheckedEvents[] = {kSocketConnect, kSocketAccept, kSocketWrite, kSocketRead, kSocketClose};

bool IsSet(const SocketEventRecord& record, int index) { return (record.pending & (1u << index)) != 0; }

void ThrowFailedEvents(const SocketEventRecord& record) {
  for (int index : kCheckedEvents)
    if (IsSet(record, index) && record.errors[index] != 0)
      ThrowError<CSocketError>(static_cast<int>(record.errors[index]), CStr());
}

}  // namespace

CFTPDownload::~CFTPDownload() {
  Close();
  if (m_PendingError) DisposeError(m_PendingError);
}

void CFTPDownload::Start(const char* command, CFTPClient* client, CSimpleSocket* dataSocket, HANDLE dataEvent,
                         CSimpleSocket* listenSocket, HANDLE listenEvent, bool passive, SOCKADDR_IN* localAddress) {
  Close();
  if (m_PendingError) DisposeError(m_PendingError);
  m_PendingError = nullptr;
  m_Command = command ? command : "";
  m_Client = client;
  m_DataSocket = dataSocket;
  m_DataEvent = dataEvent;
  m_ListenSocket = listenSocket;
  m_ListenEvent = listenEvent;
  m_Passive = passive;
  m_LocalAddress = localAddress;
  m_State = kIdle;
  m_CompletionReplySeen = m_AcceptPending = m_DataClosed = false;
  m_PasvReply.clear();
  m_Size = -1;
  Advance();
  if (m_PendingError) throw m_PendingError->Clone();
}

CError* CFTPDownload::GetError() const { return m_PendingError ? m_PendingError->Clone() : nullptr; }

void CFTPDownload::Close() {
  m_State = kIdle;
  if (m_ListenSocket && m_ListenSocket->IsOpen()) m_ListenSocket->Close();
  if (m_DataSocket && m_DataSocket->IsOpen()) m_DataSocket->Close();
  m_ListenSocket = m_DataSocket = nullptr;
}

void CFTPDownload::Advance() noexcept {
  if (m_State == kFailed) return;
  try {
    Step();
  } catch (CError* error) {
    if (m_PendingError)
      DisposeError(error);
    else
      m_PendingError = error;
    m_State = kFailed;
  } catch (const std::bad_alloc&) {
    if (!m_PendingError) m_PendingError = GetOutOfMemoryError().Clone();
    m_State = kFailed;
  }
}

void CFTPDownload::Step() {
  ++m_State;
  if (m_State == kConnecting && !m_Passive) m_State = kCommandSent;
  if (m_State == kAccepting && m_Passive) m_State = kData;
  if (m_State == kData && m_CompletionReplySeen) m_State = kReplySeen;
  if (m_State == kReplySeen && m_DataClosed) m_State = kFinished;

  std::string command;
  switch (m_State) {
    case kOpening:
      if (m_Passive)
        command = "PASV";
      else
        OpenListenSocket(command);
      break;
    case kConnecting: ConnectDataSocket(); break;
    case kCommandSent: command = m_Command; break;
    case kAccepting:
      if (m_AcceptPending) AcceptConnection();
      break;
    default: break;
  }
  if (!command.empty()) m_Client->SendCommand(command.c_str());
}

void CFTPDownload::OpenListenSocket(std::string& command) {
  m_ListenSocket->Create(AF_INET, SOCK_STREAM, 0);
  m_ListenSocket->SetNotify(m_ListenEvent, CSimpleSocket::kSelectedEvents);
  m_ListenSocket->Bind(reinterpret_cast<const SOCKADDR*>(m_LocalAddress), sizeof(*m_LocalAddress));
  int length = sizeof(*m_LocalAddress);
  if (getsockname(m_ListenSocket->GetHandle(), reinterpret_cast<SOCKADDR*>(m_LocalAddress), &length) != 0)
    ThrowError<CSocketError>(WSAGetLastError(), LocalText("SocketError.GetSockAddress",
                                                          "Error retrieving address that socket was bound to"));
  m_ListenSocket->Listen(5);
  const auto* address = reinterpret_cast<const uint8_t*>(&m_LocalAddress->sin_addr);
  const unsigned port = ntohs(m_LocalAddress->sin_port);
  char text[64];
  std::snprintf(text, sizeof text, "PORT %d,%d,%d,%d,%d,%d", address[0], address[1], address[2], address[3],
                port >> 8, port & 0xFF);
  command = text;
}

void CFTPDownload::ConnectDataSocket() {
  uint8_t numbers[6];
  if (!ParsePassiveReply(m_PasvReply, numbers)) ThrowError<CFTPError>(227, m_PasvReply.c_str());
  // The reply's port on the control connection's peer: a server's reply
  // must not send the client to another host.
  SOCKADDR_IN address{};
  if (!m_Client->GetPeerAddress(address)) ThrowError<CFTPError>(227, m_PasvReply.c_str());
  address.sin_port = htons(static_cast<USHORT>(numbers[4] * 256 + numbers[5]));
  m_DataSocket->Create(AF_INET, SOCK_STREAM, 0);
  m_DataSocket->SetNotify(m_DataEvent, CSimpleSocket::kSelectedEvents);
  m_DataSocket->Connect(reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
}

void CFTPDownload::Process(DWORD flags) {
  if ((flags & kControl) && m_State >= kIdle && m_State < kFinished) {
    if (CError* error = m_Client->GetError()) throw error;
    std::string reply;
    if (m_Client->ReadReply(reply)) HandleReply(reply);
    if (m_Client->HasReply() && m_Client->GetNotifyEvent()) SetEvent(m_Client->GetNotifyEvent());
  }
  if ((flags & kListen) && m_ListenSocket && m_ListenSocket->IsOpen()) HandleListenEvents();
  if ((flags & kDataSocket) && m_DataSocket && m_DataSocket->IsOpen()) HandleDataEvents();
}

void CFTPDownload::HandleReply(const std::string& reply) {
  const int code = GetReplyCode(reply.c_str());
  switch (m_State) {
    case kOpening:
      if (m_Passive) {
        if (code != 227) break;
        m_PasvReply = reply;
        return Advance();
      }
      if (code >= 200 && code < 300) return Advance();
      break;
    case kData:
      if (code >= 200 && code < 300) return Advance();
      break;
    case kCommandSent:
      if (code < 100 || code > 199) break;
      if (code == 125 || code == 150) m_Size = ParseTransferSize(reply);
      return Advance();
    case kAccepting:
      if (code < 200 || code >= 300) break;
      m_CompletionReplySeen = true;
      return;
    default: break;
  }
  ThrowError<CFTPError>(code, reply.c_str());
}

void CFTPDownload::HandleListenEvents() {
  SocketEventRecord record{};
  m_ListenSocket->GetEvents(&record, false);
  if (m_State < kOpening || m_State > kAccepting) return;
  ThrowFailedEvents(record);
  // Some servers connect as soon as they read PORT, before they answer it:
  // that connection is remembered too and taken once the command is out.
  if (IsSet(record, kSocketAccept)) {
    m_AcceptPending = true;
    if (m_State == kAccepting) AcceptConnection();
  }
}

void CFTPDownload::AcceptConnection() {
  SOCKET handle = INVALID_SOCKET;
  bool accepted = false;
  try {
    accepted = m_ListenSocket->Accept(&handle, nullptr, nullptr);
  } catch (CError* error) {
    const int code = error->IsKindOf(&CSocketError::ClassRecord) ? static_cast<CSocketError*>(error)->GetCode() : 10053;
    DisposeError(error);
    ThrowError<CSocketError>(code, LocalText("SocketError.AcceptFailed",
                                             "Transfer connection has been unexpectedly closed by remote host."));
  }
  if (!accepted) return;  // a notice without a connection: wait for the next
  m_ListenSocket->Close();
  m_DataSocket->Attach(handle);
  m_DataSocket->SetNotify(m_DataEvent, CSimpleSocket::kSelectedEvents);
  m_AcceptPending = false;
  Advance();
}

void CFTPDownload::HandleDataEvents() {
  // The record stays as it is: a fast server's data and close can come
  // in the same record as the connect, and the owner reads it too.
  SocketEventRecord record{};
  m_DataSocket->GetEvents(&record, true);
  if (m_State == kConnecting) {
    ThrowFailedEvents(record);
    if (!IsSet(record, kSocketConnect)) return;
    Advance();
  }
  const bool dataPhase = m_Passive ? m_State > kConnecting : m_State > kAccepting;
  if (!dataPhase || m_State >= kFinished) return;
  ThrowFailedEvents(record);
  if (!IsSet(record, kSocketClose) || m_DataClosed) return;
  m_DataClosed = true;
  if (m_State == kReplySeen) Advance();
}

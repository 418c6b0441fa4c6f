#include "plugins/netvarra/ftp/FTPConnection.h"

#include <cstring>

#include "foundation/errors/LocalText.h"
#include "plugins/netvarra/ftp/FTPError.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"
#include "plugins/netvarra/sockets/EventFunctions.h"
#include "plugins/netvarra/sockets/SocketError.h"

TWL_IMPLEMENT_CLASS(CFTPConnection, CTypedObject)

CFTPConnection::~CFTPConnection() { Close(); }

void CFTPConnection::Connect(const char* host, int port, const char* user, const char* password) {
  Close();
  m_Host = host ? host : "";
  m_Port = port;
  m_User = user ? user : "";
  m_Password = password ? password : "";
  try {
    m_ResolveEvent = CreateManualResetEvent();
    m_NotifyEvent = CreateManualResetEvent();
    m_Finder.Start(m_Host.c_str(), m_ResolveEvent);
  } catch (...) {
    m_Finder.Cancel();
    CloseEvents({&m_ResolveEvent, &m_NotifyEvent});
    throw;
  }
  m_State = kResolving;
}

void CFTPConnection::Process() {
  try {
    Step();
  } catch (CError* error) {
    if (m_PendingError) DisposeError(m_PendingError);
    m_PendingError = error;
    m_State = kFailed;
  }
  if (m_State == kFailed) {
    m_Finder.Cancel();
    m_Client.Close();
  }
}

void CFTPConnection::Step() {
  if (m_State == kResolving) {
    if (HOSTENT* entry = m_Finder.GetResult()) {
      m_HostEntry = entry;
      Advance();
    } else if (CError* error = m_Finder.GetError()) {
      throw error;
    }
    return;
  }
  if (m_State < kConnecting) return;
  if (CError* error = m_Client.GetError()) throw error;
  std::string reply;
  if (m_Client.ReadReply(reply)) HandleReply(reply);
  if (m_Client.HasReply()) SetEvent(m_NotifyEvent);
}

void CFTPConnection::ConnectClient() {
  if (!m_HostEntry || m_HostEntry->h_length != 4 || !m_HostEntry->h_addr_list || !m_HostEntry->h_addr_list[0])
    ThrowError<CSocketError>(10014, CStr());
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<USHORT>(m_Port));
  std::memcpy(&address.sin_addr, m_HostEntry->h_addr_list[0], 4);
  m_Client.SetNotifyEvent(m_NotifyEvent);
  m_Client.Connect(reinterpret_cast<const SOCKADDR*>(&address), sizeof(address));
}

void CFTPConnection::Advance() {
  const int old = m_State++;
  switch (old) {
    case kResolving: ConnectClient(); break;
    case kConnecting: m_Client.SendCommand(("USER " + m_User).c_str()); break;
    case kUserSent: m_Client.SendCommand(("PASS " + m_Password).c_str()); break;
    case kPassSent: m_Client.SendCommand("PWD"); break;
    default: break;
  }
}

void CFTPConnection::HandleReply(const std::string& reply) {
  const int code = GetReplyCode(reply.c_str());
  switch (m_State) {
    case kUserSent:
      if (code >= 200 && code < 400) return Advance();
      break;
    case kConnecting:
    case kPassSent:
      if (code >= 200 && code < 300) return Advance();
      break;
    case kPwdSent:
      if (code != 257) break;
      if (!ParseQuotedDirectory(reply, m_HomeDirectory))
        ThrowError<CFTPError>(257, reply.c_str(), LocalText("FTPError.ParseReply", "Error parsing reply.").c_str());
      return Advance();
    default: break;
  }
  ThrowError<CFTPError>(code, reply.c_str());
}

bool CFTPConnection::Matches(const char* host, int port, const char* user, const char* password) const {
  return m_State != kClosed && m_State != kFailed && m_Host == (host ? host : "") && m_Port == port &&
         m_User == (user ? user : "") && m_Password == (password ? password : "");
}

CError* CFTPConnection::GetError() const { return m_PendingError ? m_PendingError->Clone() : nullptr; }

void CFTPConnection::Close() {
  m_Finder.Cancel();
  m_Client.Close();
  m_HomeDirectory.clear();
  if (m_PendingError) DisposeError(m_PendingError);
  m_PendingError = nullptr;
  CloseEvents({&m_ResolveEvent, &m_NotifyEvent});
  m_HostEntry = nullptr;
  m_State = kClosed;
}

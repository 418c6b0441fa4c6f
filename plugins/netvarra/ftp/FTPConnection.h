// CFTPConnection: one FTP login: it resolves the host, connects and logs
// in (USER, PASS, PWD) as a state machine that its owner steps with
// Process, on the owner's own thread, whenever the resolve or the notify
// event is set. Not locked: one owner thread at a time.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/kernel/TypedObject.h"
#include "plugins/netvarra/ftp/FTPClient.h"
#include "plugins/netvarra/sockets/AsyncHostFinder.h"

class CFTPConnection : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPConnection)
 public:
  enum State : int {
    kFailed = -1,
    kClosed = 0,
    kResolving = 1,
    kConnecting = 2,
    kUserSent = 3,
    kPassSent = 4,
    kPwdSent = 5,
    kLoggedIn = 6,
  };

  CFTPConnection() = default;
  ~CFTPConnection() override;
  CFTPConnection(const CFTPConnection&) = delete;
  CFTPConnection& operator=(const CFTPConnection&) = delete;

  void Connect(const char* host, int port, const char* user, const char* password);
  // One step; never throws: a failure becomes the pending error and state -1.
  void Process();
  bool Matches(const char* host, int port, const char* user, const char* password) const;
  int GetState() const { return m_State; }
  // A copy of the pending error, or null; the caller owns it.
  CError* GetError() const;
  CFTPClient& GetClient() { return m_Client; }
  HANDLE GetResolveEvent() const { return m_ResolveEvent; }
  HANDLE GetNotifyEvent() const { return m_NotifyEvent; }
  const std::string& GetHomeDirectory() const { return m_HomeDirectory; }
  void Close();

 private:
  void Step();
  void Advance();
  void HandleReply(const std::string& reply);
  void ConnectClient();

  std::string m_Host, m_User, m_Password, m_HomeDirectory;
  int m_Port = 21;
  CAsyncHostFinder m_Finder;
  CFTPClient m_Client;
  CError* m_PendingError = nullptr;
  int m_State = kClosed;
  HOSTENT* m_HostEntry = nullptr;
  HANDLE m_ResolveEvent = nullptr;
  HANDLE m_NotifyEvent = nullptr;
};

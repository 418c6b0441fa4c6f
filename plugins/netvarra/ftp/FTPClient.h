// CFTPClient: an FTP control connection. A thread of its own reads the
// socket, collects complete replies into a queue and sets the owner's
// notify event whenever a reply, another line or an error arrives; the
// owner sends commands and takes replies from its own thread.
//
// Locks: every public operation takes the outer lock, then the inner one;
// the client thread takes only the inner lock, to publish replies and
// errors. Close waits for the thread while holding the outer lock only.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <memory>
#include <string>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/TypedObject.h"
#include "plugins/netvarra/ftp/FTPReplyCollector.h"
#include "plugins/netvarra/sockets/TelnetSocket.h"

class CFTPClient : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPClient)
 public:
  CFTPClient();
  ~CFTPClient() override;
  CFTPClient(const CFTPClient&) = delete;
  CFTPClient& operator=(const CFTPClient&) = delete;

  void Connect(const SOCKADDR* address, int length);
  void Close();
  void SetNotifyEvent(HANDLE event);
  HANDLE GetNotifyEvent();
  // Drops replies nobody read, then sends the command and CR LF.
  void SendCommand(const char* command);
  bool ReadReply(std::string& reply);
  bool HasReply();
  // A copy of the error that ended the client thread, or null.
  CError* GetError();
  // Drops the next reply when its code lies in [low, high]; false when a
  // range is set already.
  bool SkipReply(int low, int high);
  // This machine's address on the control connection, for PORT.
  bool GetLocalAddress(SOCKADDR_IN& address);
  // The server's address on the control connection, for the data
  // connection of a passive transfer.
  bool GetPeerAddress(SOCKADDR_IN& address);
  bool IsConnected();

 private:
  static DWORD WINAPI ClientThread(LPVOID client);
  void RunLoop();
  void HandleSocketEvents();
  void CollectLines();
  void CheckUnendedLine();
  void ApplySkipRangeLocked();
  void SetNotifyLocked();

  CriticalSection m_OuterLock;
  CriticalSection m_InnerLock;
  CTelnetSocket m_Socket;
  bool m_Connected = false;
  FTPReplyCollector m_Collector;  // inner lock
  HANDLE m_NotifyEvent = nullptr;  // not owned; inner lock
  HANDLE m_Thread = nullptr;
  int m_SkipLow = -1, m_SkipHigh = -1;
  CError* m_PendingError = nullptr;  // inner lock
  HANDLE m_StopEvent = nullptr;
  HANDLE m_SocketEvent = nullptr;
  HANDLE m_LineEvent = nullptr;
};

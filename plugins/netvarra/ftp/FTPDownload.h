// CFTPDownload: one FTP data transfer on a logged-in control connection:
// the data connection (passive: PASV and connect; active: listen and
// PORT), the transfer command, its replies, and the end once both the
// completion reply has come and the server has closed the data connection.
// It owns no thread and no socket: its owner hands it the client, the
// sockets and their events, calls Process from its worker thread whenever
// one of them fires, and reads the data from the data socket itself.
//
// The data connection always goes to the control connection's peer: a 227
// reply names only the port, never another host.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <cstdint>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/kernel/TypedObject.h"

class CFTPClient;
class CSimpleSocket;

class CFTPDownload : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPDownload)
 public:
  enum State : int32_t {
    kFailed = -1,
    kIdle = 0,
    kOpening = 1,      // PASV or PORT sent
    kConnecting = 2,   // passive: data socket connecting
    kCommandSent = 3,  // transfer command sent
    kAccepting = 4,    // active: waiting for the server's connection
    kData = 5,         // data phase, completion reply not yet seen
    kReplySeen = 6,    // waiting for the data connection to close
    kFinished = 7,
  };
  // Process's bits.
  static constexpr DWORD kControl = 1, kListen = 2, kDataSocket = 4;

  CFTPDownload() = default;
  ~CFTPDownload() override;
  CFTPDownload(const CFTPDownload&) = delete;
  CFTPDownload& operator=(const CFTPDownload&) = delete;

  // Throws the first step's error.
  void Start(const char* command, CFTPClient* client, CSimpleSocket* dataSocket, HANDLE dataEvent,
             CSimpleSocket* listenSocket, HANDLE listenEvent, bool passive, SOCKADDR_IN* localAddress);
  void Process(DWORD flags);
  int32_t GetState() const { return m_State; }
  int64_t GetSize() const { return m_Size; }
  // A copy of the pending error, or null; the caller owns it.
  CError* GetError() const;
  void Close();

 private:
  void Advance() noexcept;
  void Step();
  void OpenListenSocket(std::string& command);
  void ConnectDataSocket();
  void HandleReply(const std::string& reply);
  void HandleListenEvents();
  void HandleDataEvents();
  void AcceptConnection();

  std::string m_Command;
  bool m_Passive = true;
  CFTPClient* m_Client = nullptr;
  CSimpleSocket* m_DataSocket = nullptr;
  HANDLE m_DataEvent = nullptr;
  CSimpleSocket* m_ListenSocket = nullptr;
  HANDLE m_ListenEvent = nullptr;
  SOCKADDR_IN* m_LocalAddress = nullptr;
  int32_t m_State = kIdle;
  bool m_CompletionReplySeen = false;
  bool m_AcceptPending = false;
  bool m_DataClosed = false;
  std::string m_PasvReply;
  int64_t m_Size = -1;
  CError* m_PendingError = nullptr;
};

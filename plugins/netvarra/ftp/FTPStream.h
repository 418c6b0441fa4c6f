// CFTPStream: one file read from an FTP server as a forward-only stream.
// It takes a logged-in control connection from the pool, changes to the
// file's folder, learns the file's size from a listing of the file, switches
// to binary and retrieves the file on a worker thread of its own; the reader
// takes the bytes straight from the data socket.
//
// Locks: reader operations take the operation lock, then the state lock;
// the worker takes only the state lock, once per cycle. A reader waiting
// for data holds only the operation lock, so Shutdown (state lock only)
// reaches it from any thread and ends the wait at once.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <cstdint>
#include <string>

#include "plugins/netvarra/ftp/FTPDownload.h"
#include "plugins/netvarra/sockets/BufferedSocket.h"
#include "plugins/netvarra/sockets/SimpleSocket.h"
#include "plugins/netvarra/streams/FlowingStream.h"

class CFTPClient;
class CFTPConnection;
class CFTPConnectionManager;

class CFTPStream : public CFlowingStream {
  TWL_DECLARE_CLASS(CFTPStream)
 public:
  static constexpr DWORD kTransferRate = 5000;
  // What of the size listing is kept; the rest is read and dropped.
  static constexpr size_t kMaxListingBytes = 64 * 1024;

  enum State : int32_t {
    kFailed = -1,
    kLoggingIn = 0,
    kChangingFolder = 1,
    kAsciiType = 2,
    kListing = 3,
    kBinaryType = 4,
    kRetrieving = 5,
    kComplete = 6,
  };

  CFTPStream();
  ~CFTPStream() override;

  // False when the URL cannot be used (no file name, a bad port); throws
  // when the connection or the worker cannot be started.
  bool Open(const char* url, const char* user, const char* password, bool passive, CFTPConnectionManager* pool,
            DWORD timeoutMs, bool deleteOnClose);

  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  void Close() override;
  void CloseNoThrow() override;
  bool HasData() override;

  int32_t GetState();

 private:
  // Reader side.
  void Guard();
  DWORD Transfer(char* buffer, DWORD size, bool waitForAll, bool discard);
  void WaitForWorker(CriticalSectionLock& stateLock, bool orData);
  int PeekDataByte();
  void CloseTransfer();
  bool ReuseVerdict();

  // Worker side.
  static DWORD WINAPI WorkerThread(LPVOID stream);
  void RunWorker();
  void Fail(CError* error);
  void Cycle();
  void OnTimeout();
  void ProcessTransfer();
  void ProcessReplies();
  void Advance();
  void StartTransfer(const std::string& command, CSimpleSocket& socket, HANDLE event);
  void KeepListing();
  void ReadSizeFromListing();
  void NotifyReader();
  [[noreturn]] void ThrowUnexpectedReply(const std::string& reply);

  CStr m_URL;
  std::string m_User, m_Password;
  bool m_Passive = true;
  bool m_ListFirst = true;
  DWORD m_Timeout = 30000;
  std::string m_HostName, m_Directory, m_FileName;
  int m_Port = 21;
  int32_t m_State = kLoggingIn;
  bool m_CommandPending = false;
  int64_t m_Size = -1;
  uint64_t m_Position = 0;
  CFTPConnectionManager* m_Pool = nullptr;
  CFTPConnection* m_Connection = nullptr;
  CFTPClient* m_Client = nullptr;
  CSimpleSocket m_ListenSocket;
  CBufferedSocket m_ListingSocket;
  CSimpleSocket m_DataSocket;
  CFTPDownload m_Download;
  SOCKADDR_IN m_LocalAddress{};
  std::string m_Listing;
  // stop, listen, data, listing data (own); resolve, notify (the connection's).
  HANDLE m_StopEvent = nullptr, m_ListenEvent = nullptr, m_DataEvent = nullptr, m_ListingEvent = nullptr;
  HANDLE m_ResolveEvent = nullptr, m_NotifyEvent = nullptr;
  // Set whenever the reader may go on: data, the end, an error, Shutdown.
  HANDLE m_ReaderEvent = nullptr;
  HANDLE m_Thread = nullptr;
  bool m_Opened = false;
  bool m_ShutDown = false;
  bool m_DeleteOnClose = false;
};

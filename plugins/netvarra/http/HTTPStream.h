// CHTTPStream: one file read from a web server with one HTTP/1.1 GET,
// directly or through an HTTP proxy (which also fetches ftp:// URLs), as a
// forward-only stream that the reader takes while the data arrives.
// CHTTPStreamProvider opens such streams for http:// URLs.
//
// A worker thread of the stream drives the transfer: host lookup, the
// proxy decision for local targets, connect, request, status and header
// (through CHTTPResponseParser), redirects. The reader then takes the body
// straight from the socket into its own buffer. Worker failures become the
// pending error that the reader's next operation throws.
//
// Threads: reader operations take the operation lock, then the state lock;
// the worker takes only the state lock. A reader waiting for data holds
// only the operation lock, so Shutdown (state lock only) reaches it from
// any thread and ends the wait at once.
#pragma once

#include <memory>
#include <string>

#include "foundation/streams/StreamProvider.h"
#include "plugins/netvarra/http/HTTPRequest.h"
#include "plugins/netvarra/http/HTTPResponseParser.h"
#include "plugins/netvarra/sockets/AsyncHostFinder.h"
#include "plugins/netvarra/sockets/SimpleSocket.h"
#include "plugins/netvarra/streams/FlowingStream.h"

class CHTTPStream : public CFlowingStream {
  TWL_DECLARE_CLASS(CHTTPStream)
 public:
  static constexpr DWORD kReceiveBufferSize = 1024;
  static constexpr int kMaxRedirects = 10;
  static constexpr DWORD kTransferRate = 5000;

  CHTTPStream();
  ~CHTTPStream() override;

  // Starts the transfer. False when the URL cannot be used; throws when
  // the thread, events or lookup cannot be started. `proxyHost` null or
  // empty: none; `proxyPort` -1: 8080.
  bool Open(const char* url, const char* proxyHost, int proxyPort, bool ignoreProxyForLocal, DWORD timeoutMs,
            bool deleteOnClose);

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
  DWORD GetContentType(CStr& type) override;
  bool HasData() override;

 private:
  enum State { kFailed = -1, kDecidingProxy, kLookingUp, kConnecting, kSending, kReadingHead, kReadingBody, kEnded };

  // Reader side.
  void Guard();
  DWORD TransferBody(char* buffer, DWORD size, bool waitForAll, bool discard);
  // Waits with the state lock left; `orSocket` also wakes on the socket's
  // notice (the body phase).
  void WaitForWorker(CriticalSectionLock& stateLock, bool orSocket);
  DWORD TakeLeftovers(char* buffer, DWORD size, bool discard);
  // The request cut to what is left of a known length.
  DWORD CutToLength(DWORD size) const;
  bool IsBodyComplete() const;
  void EndBodyWhenComplete();
  bool SocketHasByte();
  void CloseTransfer();

  // Transfer set-up, shared by Open and redirects.
  bool ChooseRoute();
  void ResetTransfer(bool decided);

  // Worker side.
  static DWORD WINAPI WorkerThread(LPVOID stream);
  void RunWorker();
  void OnTimeout();
  void OnLookupDone();
  void OnSocketEvents();
  void Advance();
  void DecideProxy();
  void ConnectSocket();
  void SendRequest();
  void ReceiveHead();
  void FollowRedirect();
  void NotifyReader();

  // Request.
  CStr m_URL;
  PreparedRequest m_Request;
  const std::string* m_RequestInUse = nullptr;
  size_t m_RequestSent = 0;
  std::string m_ProxyHost;
  int m_ProxyPort = 8080;
  bool m_IgnoreProxyForLocal = false;
  std::string m_ConnectHost;
  int m_ConnectPort = 80;
  DWORD m_Timeout = 30000;
  int m_Redirects = 0;
  // Counts the transfers begun (the first and each redirect), so that the
  // events of a socket already replaced are not handled.
  unsigned m_TransferNumber = 0;

  // Connection.
  CAsyncHostFinder m_Finder;
  DWORD m_Address = 0;
  CSimpleSocket m_Socket;
  HANDLE m_StopEvent = nullptr, m_LookupEvent = nullptr, m_SocketEvent = nullptr;
  // Set whenever the reader may go on: data, the end, an error, Shutdown.
  HANDLE m_ReaderEvent = nullptr;
  HANDLE m_Thread = nullptr;
  int m_State = kDecidingProxy;
  bool m_ShutDown = false;
  bool m_DeleteOnClose = false;

  // Response.
  std::unique_ptr<char[]> m_Buffer;
  DWORD m_Fill = 0;
  CHTTPResponseParser m_Parser;
  LONGLONG m_Position = 0;
};

class CHTTPStreamProvider : public CStreamProvider {
  TWL_DECLARE_CLASS(CHTTPStreamProvider)
 public:
  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override;
  CStream* Open(const char* url, DWORD flags) override;
  // A stream, or null when the flags or the URL do not suit; errors of
  // starting the transfer are thrown.
  CStream* OpenEx(const char* url, DWORD flags, const char* proxyHost, int proxyPort, bool ignoreProxyForLocal,
                  DWORD timeoutMs);
};

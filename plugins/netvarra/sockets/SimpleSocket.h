// CSimpleSocket: one non-blocking TCP socket whose network events arrive on
// a hidden window run by a message thread of the socket's own. Each event
// is kept with its Winsock code in an event record, and an owner's event is
// set for the events of its mask, so that the owner can wait for sockets
// and other events together and then read the record.
//
// Threads: the owner's operations take the socket lock, then the event
// lock; the message thread takes only the event lock. Close waits for the
// message thread while holding the socket lock, so the message thread never
// waits for the socket lock. Every call returns at once except
// ConnectByName, whose name lookup blocks.
#pragma once

#include <winsock.h>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/TypedObject.h"

// Network event indexes; index n has the event bit 1 << n.
enum SocketEventIndex : int {
  kSocketRead = 0,
  kSocketWrite = 1,
  kSocketOutOfBand = 2,
  kSocketAccept = 3,
  kSocketConnect = 4,
  kSocketClose = 5,
};

// The pending event bits, then the Winsock code of the latest event of each
// index (10000 or more: that event failed).
struct SocketEventRecord {
  DWORD pending;
  DWORD errors[6];
};

class CSimpleSocket : public CTypedObject {
  TWL_DECLARE_CLASS(CSimpleSocket)
 public:
  // The message of the socket's notices and the events it asks for.
  static constexpr UINT kNoticeMessage = 0x8065;
  static constexpr LONG kSelectedEvents = 0x3B;

  CSimpleSocket();
  CSimpleSocket(const CSimpleSocket&) = delete;
  CSimpleSocket& operator=(const CSimpleSocket&) = delete;
  ~CSimpleSocket() override;

  // Takes over a connected handle (an accepted one); it is closed with the
  // socket, also when attaching fails.
  virtual void Attach(SOCKET handle);
  virtual void Create(int family, int type, int protocol);
  virtual void Close();
  virtual void Recreate();
  virtual void ConnectByName(const char* host, USHORT port);
  virtual void Connect(const SOCKADDR* address, int length);
  virtual void Bind(const SOCKADDR* address, int length);
  virtual void Listen(int backlog);
  // False when no connection waits.
  virtual bool Accept(SOCKET* handle, SOCKADDR* address, int* length);
  // 0 when nothing waits; 0 after a successful call also means the peer closed.
  virtual DWORD Receive(void* buffer, DWORD length, int flags);
  virtual DWORD Discard(DWORD count);
  // 0 when the network takes nothing now.
  virtual DWORD Send(const void* buffer, DWORD length, int flags);
  virtual void SetNotify(HANDLE event, DWORD mask);
  // Copies the record; unless `keep`, clears the pending bits and resets
  // the notify event.
  virtual void GetEvents(SocketEventRecord* record, bool keep);
  // Called on the message thread for each notice.
  virtual void OnNetworkEvent(int index, int code);

  bool IsOpen();
  SOCKET GetHandle() const { return m_Handle; }

 protected:
  // Base behaviour of an event: pending bit, error word, notify. Takes the
  // event lock.
  void RecordEvent(int index, int code);
  // Sets the read bit and notifies, leaving the read error word alone.
  void MarkReadable();

  CriticalSection m_SocketLock;
  CriticalSection m_EventLock;

 private:
  void StartMessageThread();
  void SelectEvents();
  static DWORD WINAPI MessageThread(LPVOID socket);
  void RunMessageLoop();

  bool m_Open = false;
  SOCKET m_Handle = INVALID_SOCKET;
  int m_Family = AF_INET, m_Type = SOCK_STREAM, m_Protocol = 0;
  HANDLE m_NotifyEvent = nullptr;
  DWORD m_NotifyMask = 0;
  HANDLE m_Thread = nullptr;
  HWND m_Window = nullptr;
  bool m_ThreadStarted = false;
  CError* m_StartError = nullptr;
  SocketEventRecord m_Record{};
};

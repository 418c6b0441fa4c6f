// CBufferedSocket: a socket whose message thread moves arriving data into
// a receive FIFO at once (the owner reads the FIFO, never the network), and
// whose sends never come back short: what the network does not take waits
// in a send queue that every write event flushes. Before the connect event
// every send is queued.
//
// The FIFO and the send queue are guarded by the event lock; the message
// thread takes only that lock (see CSimpleSocket).
#pragma once

#include <memory>

#include "plugins/netvarra/sockets/FifoBuffer.h"
#include "plugins/netvarra/sockets/SimpleSocket.h"

class CBufferedSocket : public CSimpleSocket {
  TWL_DECLARE_CLASS(CBufferedSocket)
 public:
  static constexpr DWORD kBlockSize = 16384;

  CBufferedSocket();
  ~CBufferedSocket() override;

  void Attach(SOCKET handle) override;
  void Create(int family, int type, int protocol) override;
  void Close() override;
  void ConnectByName(const char* host, USHORT port) override;
  // From the FIFO; MSG_PEEK leaves the bytes there.
  DWORD Receive(void* buffer, DWORD length, int flags) override;
  DWORD Discard(DWORD count) override;
  // Sends or queues every byte; returns `length`.
  DWORD Send(const void* buffer, DWORD length, int flags) override;
  void OnNetworkEvent(int index, int code) override;

  void AttachBuffered(SOCKET handle, DWORD blockSize, bool connected);
  void CreateBuffered(int family, int type, int protocol, DWORD blockSize);
  void ConnectByNameBuffered(const char* host, USHORT port, DWORD blockSize);

  // True when the queue is empty afterwards. Event lock.
  bool FlushSendQueue();
  // The FIFO for direct use, under the event lock until UnlockFifo.
  CFifoBuffer& LockFifo();
  void UnlockFifo();

 protected:
  // Each returns whether the event is still to be recorded.
  virtual bool OnConnect(int code);
  virtual bool OnRead(int code);
  virtual bool OnWrite(int code);
  virtual bool OnClose(int code);

  // The receive step's hooks, with the event lock held: which of the bytes
  // just received pass into the FIFO (moved to the front, in order; the
  // count that passes), and what follows a step that received bytes.
  virtual DWORD FilterReceived(BYTE* bytes, DWORD count) { return count; }
  virtual void AfterReceiveStep() {}
  // Sends what the network takes and queues the rest behind the queue.
  // Event lock held; never takes the socket lock, so the message thread may
  // call it.
  void SendOrQueueLocked(const BYTE* bytes, DWORD length, int flags);
  // A failed send on the message thread becomes the write event's code.
  void RecordWriteFailure(CError* error);

  CFifoBuffer m_Fifo;

 private:
  struct QueuedSend {
    std::unique_ptr<BYTE[]> bytes;
    DWORD count = 0;
    DWORD sent = 0;
    int flags = 0;
    std::unique_ptr<QueuedSend> next;
  };

  void ReceiveIntoFifo();
  void FreeSendQueue();

  std::unique_ptr<QueuedSend> m_First;
  QueuedSend* m_Last = nullptr;
  bool m_Connected = false;
};

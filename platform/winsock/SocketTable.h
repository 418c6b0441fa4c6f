// The sockets the layer has handed out, each with its event selection
// (WSAAsyncSelect) and what the notices need to know of its state. One lock
// guards the table; every notice is posted under it, so the notices of a
// socket keep the order of the changes that caused them.
//
// A socket leaves the table (and the poller) before its descriptor is
// closed, and each entry has a key that is never used again, so a reused
// descriptor number never receives a notice meant for an older socket.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "twlwin/types.h"
#include "twlwin/windowing.h"

namespace twl::winsock {

struct SocketEntry {
  uint64_t key = 0;  // the poller's name for it
  // The selection.
  HWND window = nullptr;
  UINT message = 0;
  LONG events = 0;
  bool polled = false;  // registered with the poller
  // Re-enabled notices: each is posted when its condition holds and it is
  // armed, which it then is no longer until its call re-enables it.
  bool readArmed = false;
  bool writeArmed = false;
  bool acceptArmed = false;
  bool closeSent = false;
  // The connection.
  bool listening = false;
  bool connecting = false;
  bool connected = false;
  bool sendShutDown = false;
};

class SocketTable {
 public:
  std::mutex& Lock() { return m_Lock; }

  // All below with the lock held.
  SocketEntry& AddLocked(int fd);
  SocketEntry* FindLocked(int fd);
  // The descriptor whose entry has this key, or -1.
  int FindKeyLocked(uint64_t key) const;
  void RemoveLocked(int fd);
  DWORD CountLocked() const { return static_cast<DWORD>(m_Entries.size()); }
  DWORD PolledCountLocked() const;

 private:
  std::mutex m_Lock;
  std::unordered_map<int, SocketEntry> m_Entries;
  std::unordered_map<uint64_t, int> m_Keys;
  uint64_t m_NextKey = 1;
};

// The one table of the process.
SocketTable& Sockets();

}  // namespace twl::winsock

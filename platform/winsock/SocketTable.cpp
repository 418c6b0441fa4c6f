#include "SocketTable.h"

namespace twl::winsock {

SocketEntry& SocketTable::AddLocked(int fd) {
  RemoveLocked(fd);
  SocketEntry& entry = m_Entries[fd];
  entry.key = m_NextKey++;
  m_Keys[entry.key] = fd;
  return entry;
}

SocketEntry* SocketTable::FindLocked(int fd) {
  auto it = m_Entries.find(fd);
  return it == m_Entries.end() ? nullptr : &it->second;
}

int SocketTable::FindKeyLocked(uint64_t key) const {
  auto it = m_Keys.find(key);
  return it == m_Keys.end() ? -1 : it->second;
}

void SocketTable::RemoveLocked(int fd) {
  auto it = m_Entries.find(fd);
  if (it == m_Entries.end()) return;
  m_Keys.erase(it->second.key);
  m_Entries.erase(it);
}

DWORD SocketTable::PolledCountLocked() const {
  DWORD count = 0;
  for (const auto& [fd, entry] : m_Entries) count += entry.polled ? 1 : 0;
  return count;
}

SocketTable& Sockets() {
  // Never destroyed: the poller thread may still look at it during exit.
  static SocketTable* table = new SocketTable;
  return *table;
}

}  // namespace twl::winsock

#include "plugins/netvarra/ftp/FTPConnectionManager.h"

#include <memory>

#include "plugins/netvarra/ftp/FTPConnection.h"

TWL_IMPLEMENT_CLASS(CFTPConnectionManager, CTypedObject)

CFTPConnectionManager::~CFTPConnectionManager() { Clear(); }

void CFTPConnectionManager::Init(int capacity, DWORD idleTimeoutMs) {
  CriticalSectionLock lock(m_Lock);
  Clear();
  m_Capacity = capacity > 0 ? capacity : 0;
  m_IdleTimeout = idleTimeoutMs;
}

void CFTPConnectionManager::Clear() {
  CriticalSectionLock lock(m_Lock);
  for (const Pooled& pooled : m_Pool) delete pooled.connection;
  m_Pool.clear();
  m_Capacity = 0;
}

CFTPConnection* CFTPConnectionManager::GetConnection(const char* host, int port, const char* user,
                                                     const char* password) {
  {
    CriticalSectionLock lock(m_Lock);
    for (auto it = m_Pool.begin(); it != m_Pool.end(); ++it) {
      if (!it->connection->Matches(host, port, user, password)) continue;
      CFTPConnection* found = it->connection;
      m_Pool.erase(it);
      return found;
    }
  }
  auto connection = std::make_unique<CFTPConnection>();
  connection->Connect(host, port, user, password);
  return connection.release();
}

void CFTPConnectionManager::ReleaseConnection(CFTPConnection* connection, bool reusable) {
  if (!connection) return;
  CriticalSectionLock lock(m_Lock);
  if (connection->GetState() != CFTPConnection::kLoggedIn || !reusable || m_Capacity <= 0) {
    lock.Leave();
    delete connection;
    return;
  }
  if (static_cast<int>(m_Pool.size()) >= m_Capacity) {
    delete m_Pool.front().connection;
    m_Pool.pop_front();
  }
  m_Pool.push_back({connection, timeGetTime()});
}

void CFTPConnectionManager::RemoveExpired() {
  CriticalSectionLock lock(m_Lock);
  const DWORD now = timeGetTime();
  for (size_t i = m_Pool.size(); i-- > 0;) {
    if (now - m_Pool[i].releasedAt < m_IdleTimeout) continue;
    delete m_Pool[i].connection;
    m_Pool.erase(m_Pool.begin() + static_cast<long>(i));
  }
}

int CFTPConnectionManager::GetCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<int>(m_Pool.size());
}

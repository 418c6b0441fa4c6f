// CFTPConnectionManager: the pool of logged-in FTP connections kept for
// reuse, oldest first, each with the time it was handed back. Takers own a
// connection until ReleaseConnection, which pools or deletes it. Called
// from the owners' threads and from the module's timer (RemoveExpired);
// one lock guards the pool, and new connections are made outside it.
#pragma once

#include <windows.h>

#include <deque>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"

class CFTPConnection;

class CFTPConnectionManager : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPConnectionManager)
 public:
  CFTPConnectionManager() = default;
  ~CFTPConnectionManager() override;
  CFTPConnectionManager(const CFTPConnectionManager&) = delete;
  CFTPConnectionManager& operator=(const CFTPConnectionManager&) = delete;

  void Init(int capacity, DWORD idleTimeoutMs);
  void Clear();
  // A pooled connection for exactly these four, else a new one that is
  // connecting; the caller owns it.
  CFTPConnection* GetConnection(const char* host, int port, const char* user, const char* password);
  // Pools a logged-in reusable connection (dropping the oldest when the
  // pool is full); deletes it otherwise.
  void ReleaseConnection(CFTPConnection* connection, bool reusable);
  // Deletes the connections pooled for the idle time-out or longer.
  void RemoveExpired();
  int GetCount();

 private:
  struct Pooled {
    CFTPConnection* connection;
    DWORD releasedAt;
  };

  CriticalSection m_Lock;
  std::deque<Pooled> m_Pool;  // oldest first
  int m_Capacity = 0;
  DWORD m_IdleTimeout = 0;
};

// Host lookups of the sockets layer: by name through the system's resolver
// (IPv4 only) or the testing table, by address without asking anyone. The
// answers are plain values; HostEntry.h lays them out as a Winsock entry.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "twlwin/types.h"

namespace twl::winsock {

struct HostAnswer {
  int error = 0;  // a Winsock code; 0 when the lookup succeeded
  std::string name;
  std::vector<uint32_t> addresses;  // network byte order, at least one on success
};

// Lets a lookup that waits (a delayed testing answer) stop early.
class LookupCancel {
 public:
  void Cancel();
  bool IsCancelled();
  // Waits up to `ms`; true when cancelled meanwhile.
  bool WaitCancelled(DWORD ms);

 private:
  std::mutex m_Lock;
  std::condition_variable m_Changed;
  bool m_Cancelled = false;
};

// Blocking; `cancel` may be null.
HostAnswer LookUpName(const std::string& name, LookupCancel* cancel);
HostAnswer AnswerForAddress(uint32_t address);

// The kind of the last lookup (TWL_LOOKUP_*).
void NoteLookupKind(DWORD kind);
DWORD LastLookupKind();

// The system's host name; false when it does not fit (with its zero).
bool SystemHostName(char* name, size_t size);

}  // namespace twl::winsock

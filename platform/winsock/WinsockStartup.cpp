#include "WinsockStartup.h"

#include "MachineInterfaces.h"

#include <winsock.h>

#include <atomic>
#include <cstring>

namespace {
std::atomic<bool> started{false};
}

namespace twl::winsock {
bool WinsockStarted() { return started.load(); }
}  // namespace twl::winsock

TWLAPI int WSAStartup(WORD versionRequested, LPWSADATA data) {
  const BYTE major = LOBYTE(versionRequested), minor = HIBYTE(versionRequested);
  if (!data) return WSAEFAULT;
  if (major < 1) return WSAVERNOTSUPPORTED;
  std::memset(data, 0, sizeof *data);
  data->wVersion = (major == 1 && minor == 0) ? MAKEWORD(1, 0) : MAKEWORD(1, 1);
  data->wHighVersion = MAKEWORD(1, 1);
  std::strcpy(data->szDescription, "TWL Windows Sockets 1.1 over BSD sockets");
  std::strcpy(data->szSystemStatus, "Running");
  data->iMaxSockets = 1024;
  // Where Windows programs find the machine's addresses and subnet masks.
  twl::winsock::WriteTcpipLayout();
  started = true;
  return 0;
}

TWLAPI int WSAGetLastError() { return static_cast<int>(GetLastError()); }

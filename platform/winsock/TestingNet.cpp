#include <mutex>

#include "SocketTable.h"
#include "twlwin/testing_net.h"

using namespace twl::winsock;

TWLAPI DWORD TwlTestOpenSocketCount() {
  std::lock_guard<std::mutex> guard(Sockets().Lock());
  return Sockets().CountLocked();
}

TWLAPI DWORD TwlTestPollerRegistrationCount() {
  std::lock_guard<std::mutex> guard(Sockets().Lock());
  return Sockets().PolledCountLocked();
}

#include <atomic>
#include <mutex>

#include "SocketTable.h"
#include "TestHooks.h"
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

namespace {

std::atomic<TwlTestConnectHook> g_ConnectHook{nullptr};
std::atomic<void*> g_ConnectHookContext{nullptr};

}  // namespace

TWLAPI void TwlTestSetConnectStartedHook(TwlTestConnectHook hook, void* context) {
  g_ConnectHookContext = context;
  g_ConnectHook = hook;
}

void twl::winsock::RunConnectStartedHook() {
  if (TwlTestConnectHook hook = g_ConnectHook) hook(g_ConnectHookContext);
}

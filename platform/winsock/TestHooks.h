// The sockets layer's side of its test controls (twlwin/testing_net.h).
#pragma once

namespace twl::winsock {

// Runs the hook a test set to run after a connect's system call and before
// the layer looks at the socket; nothing when none is set.
void RunConnectStartedHook();

}  // namespace twl::winsock

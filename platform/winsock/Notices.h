// The notices of WSAAsyncSelect: one thread (epoll, edge-triggered) watches
// every selected socket and posts one message per event, lParam the event
// bit | error << 16. The calls that re-enable a notice (recv, a send that
// would block, accept, a new selection) look at the socket's state
// themselves, under the table's lock, so that no change between the
// poller's look and theirs is missed. A notice still waiting in the
// window's queue is not posted a second time.
#pragma once

#include "SocketTable.h"

namespace twl::winsock {

// With the table's lock held. A new selection: arms every notice and posts
// those whose condition holds now (data waiting, room to send, a
// connection to accept, the peer gone).
void ApplySelection(int fd, SocketEntry& entry);
// Takes the socket off the poller (before its descriptor closes).
void StopNotices(int fd, SocketEntry& entry);

// With the table's lock held, after the call named.
void AfterReceive(int fd, SocketEntry& entry);
void AfterBlockedSend(int fd, SocketEntry& entry);
void AfterAccept(int fd, SocketEntry& entry);
// A connect that finished at once (the socket is connected) or that goes on
// in the background (the poller reports its end).
void AfterConnect(int fd, SocketEntry& entry, bool finished);

}  // namespace twl::winsock

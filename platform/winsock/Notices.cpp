#include "Notices.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <thread>

#include "WsaErrors.h"
#include "platform/user/PostOnce.h"

namespace twl::winsock {

namespace {

constexpr LONG kRead = 0x01, kWrite = 0x02, kAccept = 0x08, kConnect = 0x10, kClose = 0x20;

void Post(int fd, const SocketEntry& entry, LONG event, int error) {
  if (!(entry.events & event) || !entry.window) return;
  const LPARAM lParam = static_cast<LPARAM>(static_cast<DWORD>(event) | (static_cast<DWORD>(error) << 16));
  twl::user::PostMessageOnce(entry.window, entry.message, static_cast<WPARAM>(fd), lParam);
}

int BytesWaiting(int fd) {
  int count = 0;
  return ioctl(fd, FIONREAD, &count) == 0 ? count : 0;
}

short PollNow(int fd, short events) {
  pollfd p{fd, events, 0};
  return poll(&p, 1, 0) == 1 ? p.revents : 0;
}

int PendingError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

// The peer closed its side (orderly, 0) or the connection broke (a code).
void PostClose(int fd, SocketEntry& entry, int error) {
  if (entry.closeSent) return;
  entry.closeSent = true;
  Post(fd, entry, kClose, error);
}

void CheckRead(int fd, SocketEntry& entry) {
  if (!entry.readArmed || BytesWaiting(fd) <= 0) return;
  entry.readArmed = false;
  Post(fd, entry, kRead, 0);
}

void CheckWrite(int fd, SocketEntry& entry) {
  if (!entry.writeArmed || !(PollNow(fd, POLLOUT) & POLLOUT)) return;
  entry.writeArmed = false;
  Post(fd, entry, kWrite, 0);
}

void CheckAccept(int fd, SocketEntry& entry) {
  if (!entry.acceptArmed || !(PollNow(fd, POLLIN) & POLLIN)) return;
  entry.acceptArmed = false;
  Post(fd, entry, kAccept, 0);
}

// The connection's end as the socket shows it now (never an older event's
// mask: an event may wait in the poller while the socket changes).
void CheckClose(int fd, SocketEntry& entry) {
  if (entry.closeSent) return;
  const short now = PollNow(fd, POLLIN | POLLRDHUP);
  if (now & POLLERR) {
    const int error = PendingError(fd);
    if (error) {
      PostClose(fd, entry, WsaCodeFromErrno(error == EPIPE ? ECONNRESET : error));
      return;
    }
  }
  if (now & (POLLRDHUP | POLLHUP)) PostClose(fd, entry, 0);
}

void FinishConnect(int fd, SocketEntry& entry) {
  // Still under way: nothing to say yet.
  if (!(PollNow(fd, POLLOUT) & (POLLOUT | POLLERR | POLLHUP))) return;
  const int error = PendingError(fd);
  entry.connecting = false;
  if (error == ECONNRESET) {
    // A refused connect is ECONNREFUSED; a reset means the connection was
    // made and then broken before anyone looked.
    entry.connected = true;
    Post(fd, entry, kConnect, 0);
    PostClose(fd, entry, WsaCodeFromErrno(error));
    return;
  }
  if (error) {
    // A failed connect has only its connect notice; the socket is done.
    entry.closeSent = true;
    Post(fd, entry, kConnect, WsaCodeFromErrno(error));
    return;
  }
  entry.connected = true;
  Post(fd, entry, kConnect, 0);
  entry.writeArmed = true;
  CheckWrite(fd, entry);
}

// Whatever the edge was, the socket's present state decides.
void HandleEvents(int fd, SocketEntry& entry) {
  if (entry.connecting) FinishConnect(fd, entry);
  if (entry.listening) {
    CheckAccept(fd, entry);
    return;
  }
  if (!entry.connected) return;
  CheckRead(fd, entry);
  CheckWrite(fd, entry);
  CheckClose(fd, entry);
}

class Poller {
 public:
  Poller() : m_Epoll(epoll_create1(EPOLL_CLOEXEC)) { std::thread([this] { Run(); }).detach(); }

  void Add(int fd, const SocketEntry& entry) {
    epoll_event event{};
    event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
    event.data.u64 = entry.key;
    epoll_ctl(m_Epoll, EPOLL_CTL_ADD, fd, &event);
  }
  void Remove(int fd) { epoll_ctl(m_Epoll, EPOLL_CTL_DEL, fd, nullptr); }

 private:
  [[noreturn]] void Run() {
    epoll_event events[64];
    for (;;) {
      const int count = epoll_wait(m_Epoll, events, 64, -1);
      if (count <= 0) continue;
      SocketTable& table = Sockets();
      std::lock_guard<std::mutex> guard(table.Lock());
      for (int i = 0; i < count; ++i) {
        // The key, not the descriptor: an event that waited while its
        // socket was closed and the number reused finds nothing here.
        const int fd = table.FindKeyLocked(events[i].data.u64);
        SocketEntry* entry = fd < 0 ? nullptr : table.FindLocked(fd);
        if (entry && entry->polled) HandleEvents(fd, *entry);
      }
    }
  }

  int m_Epoll;
};

Poller& ThePoller() {
  // Lives as long as the process: its thread never ends.
  static Poller* poller = new Poller;
  return *poller;
}

}  // namespace

void ApplySelection(int fd, SocketEntry& entry) {
  if (!entry.events || !entry.window) {
    StopNotices(fd, entry);
    return;
  }
  entry.readArmed = entry.writeArmed = entry.acceptArmed = true;
  if (!entry.polled) {
    ThePoller().Add(fd, entry);
    entry.polled = true;
  }
  HandleEvents(fd, entry);
}

void StopNotices(int fd, SocketEntry& entry) {
  if (!entry.polled) return;
  ThePoller().Remove(fd);
  entry.polled = false;
}

void AfterReceive(int fd, SocketEntry& entry) {
  if (!entry.polled || !entry.connected) return;
  entry.readArmed = true;
  CheckRead(fd, entry);
}

void AfterBlockedSend(int fd, SocketEntry& entry) {
  if (!entry.polled || !entry.connected) return;
  entry.writeArmed = true;
  CheckWrite(fd, entry);
}

void AfterAccept(int fd, SocketEntry& entry) {
  if (!entry.polled) return;
  entry.acceptArmed = true;
  CheckAccept(fd, entry);
}

void AfterConnect(int fd, SocketEntry& entry, bool finished) {
  if (finished) {
    entry.connected = true;
    entry.writeArmed = true;
  } else {
    entry.connecting = true;
  }
  // The poller may have taken the connection's edges, and those of data
  // the peer sent at once, before this call marked the socket: those edges
  // found a socket neither connecting nor connected and said nothing, and
  // no new edge will come. So the socket's whole present state is looked at.
  if (entry.polled) HandleEvents(fd, entry);
}

}  // namespace twl::winsock

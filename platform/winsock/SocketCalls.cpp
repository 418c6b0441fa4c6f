// The socket calls of <winsock.h> over the system's TCP sockets. Only
// sockets the layer handed out are accepted; any other number fails with
// WSAENOTSOCK, so a stale handle never reaches another library's
// descriptor. Sends never raise SIGPIPE.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "Notices.h"
#include "SocketTable.h"
#include "TestHooks.h"
#include "WinsockStartup.h"
#include "WsaErrors.h"
#include "twlwin/api.h"
#include "twlwin/errors.h"

using namespace twl::winsock;

namespace {

using Guard = std::lock_guard<std::mutex>;

constexpr uintptr_t kInvalidSocket = ~static_cast<uintptr_t>(0);
constexpr int kAddressLength = 16;  // a Winsock IPv4 address

bool IsKnown(uintptr_t s) {
  if (s > 0x7FFFFFFF) return false;
  Guard guard(Sockets().Lock());
  return Sockets().FindLocked(static_cast<int>(s)) != nullptr;
}

// Checks the start-up and the handle; sets the error and answers false.
bool Usable(uintptr_t s) {
  if (!WinsockStarted()) return FailWith(10093), false;
  if (!IsKnown(s)) return FailWith(10038), false;
  return true;
}

// A Winsock IPv4 address (family as a little-endian short, then port and
// address in network order) as the system's; false for another family or
// a length short of 16 bytes.
bool ReadAddress(const void* address, int length, sockaddr_in& out) {
  if (!address || length < kAddressLength) return FailWith(10014), false;
  const auto* bytes = static_cast<const unsigned char*>(address);
  const int family = bytes[0] | (bytes[1] << 8);
  if (family != AF_INET) return FailWith(10047), false;
  out = sockaddr_in{};
  out.sin_family = AF_INET;
  std::memcpy(&out.sin_port, bytes + 2, 2);
  std::memcpy(&out.sin_addr, bytes + 4, 4);
  return true;
}

bool WriteAddress(const sockaddr_in& in, void* address, int* length) {
  if (!address || !length) return true;
  if (*length < kAddressLength) return FailWith(10014), false;
  auto* bytes = static_cast<unsigned char*>(address);
  std::memset(bytes, 0, kAddressLength);
  bytes[0] = AF_INET;
  std::memcpy(bytes + 2, &in.sin_port, 2);
  std::memcpy(bytes + 4, &in.sin_addr, 4);
  *length = kAddressLength;
  return true;
}

int Fd(uintptr_t s) { return static_cast<int>(s); }

}  // namespace

TWLAPI uintptr_t TwlWsSocket(int family, int type, int protocol) {
  if (!WinsockStarted()) return FailWith(10093), kInvalidSocket;
  if (family != AF_INET) return FailWith(10047), kInvalidSocket;
  if (type != SOCK_STREAM) return FailWith(10044), kInvalidSocket;
  if (protocol != 0 && protocol != IPPROTO_TCP) return FailWith(10043), kInvalidSocket;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return FailWith(WsaCodeFromErrno(errno)), kInvalidSocket;
  Guard guard(Sockets().Lock());
  Sockets().AddLocked(fd);
  return static_cast<uintptr_t>(fd);
}

TWLAPI int closesocket(uintptr_t s) {
  if (!Usable(s)) return -1;
  Guard guard(Sockets().Lock());
  SocketEntry* entry = Sockets().FindLocked(Fd(s));
  if (!entry) return FailWith(10038);
  StopNotices(Fd(s), *entry);
  Sockets().RemoveLocked(Fd(s));
  ::close(Fd(s));
  return 0;
}

TWLAPI int WSAAsyncSelect(uintptr_t s, HWND window, UINT message, LONG events) {
  if (!Usable(s)) return -1;
  Guard guard(Sockets().Lock());
  SocketEntry* entry = Sockets().FindLocked(Fd(s));
  if (!entry) return FailWith(10038);
  const int flags = fcntl(Fd(s), F_GETFL);
  if (flags < 0 || fcntl(Fd(s), F_SETFL, flags | O_NONBLOCK) < 0) return FailWith(WsaCodeFromErrno(errno));
  entry->window = window;
  entry->message = message;
  entry->events = events;
  ApplySelection(Fd(s), *entry);
  return 0;
}

TWLAPI int TwlWsConnect(uintptr_t s, const void* address, int length) {
  if (!Usable(s)) return -1;
  sockaddr_in target;
  if (!ReadAddress(address, length, target)) return -1;
  int result;
  do {
    result = ::connect(Fd(s), reinterpret_cast<const sockaddr*>(&target), sizeof target);
  } while (result != 0 && errno == EINTR);
  const int error = result == 0 ? 0 : errno;
  RunConnectStartedHook();
  Guard guard(Sockets().Lock());
  SocketEntry* entry = Sockets().FindLocked(Fd(s));
  if (entry && (result == 0 || error == EINPROGRESS)) AfterConnect(Fd(s), *entry, result == 0);
  return result == 0 ? 0 : FailWith(WsaCodeFromErrno(error));
}

TWLAPI int TwlWsBind(uintptr_t s, const void* address, int length) {
  if (!Usable(s)) return -1;
  sockaddr_in local;
  if (!ReadAddress(address, length, local)) return -1;
  if (::bind(Fd(s), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
    return FailWith(WsaCodeFromErrno(errno));
  return 0;
}

TWLAPI int TwlWsListen(uintptr_t s, int backlog) {
  if (!Usable(s)) return -1;
  if (::listen(Fd(s), backlog) != 0) return FailWith(WsaCodeFromErrno(errno));
  Guard guard(Sockets().Lock());
  if (SocketEntry* entry = Sockets().FindLocked(Fd(s))) {
    entry->listening = true;
    if (entry->polled) AfterAccept(Fd(s), *entry);
  }
  return 0;
}

TWLAPI uintptr_t TwlWsAccept(uintptr_t s, void* address, int* length) {
  if (!Usable(s)) return kInvalidSocket;
  if (address && (!length || *length < kAddressLength)) return FailWith(10014), kInvalidSocket;
  sockaddr_in peer{};
  socklen_t peerLength = sizeof peer;
  int fd;
  do {
    fd = ::accept4(Fd(s), reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  const int error = errno;
  Guard guard(Sockets().Lock());
  if (SocketEntry* entry = Sockets().FindLocked(Fd(s))) AfterAccept(Fd(s), *entry);
  if (fd < 0) return FailWith(WsaCodeFromErrno(error)), kInvalidSocket;
  Sockets().AddLocked(fd).connected = true;
  WriteAddress(peer, address, length);
  return static_cast<uintptr_t>(fd);
}

TWLAPI int TwlWsRecv(uintptr_t s, char* buffer, int length, int flags) {
  if (!Usable(s)) return -1;
  if (flags & ~MSG_PEEK) return FailWith(10045);
  if (length < 0 || (length > 0 && !buffer)) return FailWith(10014);
  ssize_t count;
  do {
    count = ::recv(Fd(s), buffer, static_cast<size_t>(length), flags & MSG_PEEK);
  } while (count < 0 && errno == EINTR);
  const int error = errno;
  {
    Guard guard(Sockets().Lock());
    if (SocketEntry* entry = Sockets().FindLocked(Fd(s))) AfterReceive(Fd(s), *entry);
  }
  if (count < 0) return FailWith(WsaCodeFromErrno(error));
  return static_cast<int>(count);
}

TWLAPI int TwlWsSend(uintptr_t s, const char* buffer, int length, int flags) {
  if (!Usable(s)) return -1;
  if (flags != 0) return FailWith(10045);
  if (length < 0 || (length > 0 && !buffer)) return FailWith(10014);
  ssize_t count;
  do {
    count = ::send(Fd(s), buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
  } while (count < 0 && errno == EINTR);
  if (count >= 0) return static_cast<int>(count);
  const int error = errno;
  Guard guard(Sockets().Lock());
  SocketEntry* entry = Sockets().FindLocked(Fd(s));
  if (entry && (error == EAGAIN || error == EWOULDBLOCK)) AfterBlockedSend(Fd(s), *entry);
  // Sending after our own shutdown is WSAESHUTDOWN; after the peer's end
  // the connection was reset.
  if (entry && error == EPIPE && entry->sendShutDown) return FailWith(10058);
  return FailWith(WsaCodeFromErrno(error));
}

TWLAPI int TwlWsShutdown(uintptr_t s, int how) {
  if (!Usable(s)) return -1;
  static constexpr int kHow[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
  if (how < 0 || how > 2) return FailWith(10022);
  if (::shutdown(Fd(s), kHow[how]) != 0) return FailWith(WsaCodeFromErrno(errno));
  Guard guard(Sockets().Lock());
  if (SocketEntry* entry = Sockets().FindLocked(Fd(s)); entry && how != 0) entry->sendShutDown = true;
  return 0;
}

namespace {

// getsockname and getpeername: the address as Winsock hands it out.
template <class Query>
int SocketAddressOf(uintptr_t s, void* address, int* length, Query query) {
  if (!Usable(s)) return -1;
  if (!address || !length) return FailWith(10014);
  sockaddr_in found{};
  socklen_t foundLength = sizeof found;
  if (query(Fd(s), reinterpret_cast<sockaddr*>(&found), &foundLength) != 0) return FailWith(WsaCodeFromErrno(errno));
  return WriteAddress(found, address, length) ? 0 : -1;
}

}  // namespace

TWLAPI int TwlWsGetSockName(uintptr_t s, void* address, int* length) {
  return SocketAddressOf(s, address, length, &::getsockname);
}

TWLAPI int TwlWsGetPeerName(uintptr_t s, void* address, int* length) {
  return SocketAddressOf(s, address, length, &::getpeername);
}

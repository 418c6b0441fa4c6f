// The socket of process <key> is <desktop>/windows/<key>.sock, or an
// abstract name derived from the folder and the key when that path is too
// long for a socket address. A request is a fixed header and the payload; a
// reply says whether the window got the message and its result.
#include "CopyDataServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "DesktopFiles.h"
#include "DesktopPresence.h"

namespace twl::user {

namespace {

constexpr uint32_t kMaxCopyData = 64u << 20;
constexpr uint32_t kRequestMagic = 0x43574C54;  // "TLWC"
constexpr uint32_t kReplyMagic = 0x52574C54;    // "TLWR"
constexpr int kPeerTimeoutMs = 5000;

struct Request {
  uint32_t magic;
  uint32_t window;
  uint32_t from;
  uint32_t size;
  uint64_t data;
};

struct Reply {
  uint32_t magic;
  uint32_t delivered;
  int64_t result;
};

// Reads exactly size bytes, giving up after the peer timeout.
bool ReadWhole(int fd, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size) {
    pollfd ready{fd, POLLIN, 0};
    int polled = poll(&ready, 1, kPeerTimeoutMs);
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    ssize_t n = read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Writes all of it; a peer that has gone is a failure of this connection,
// never a SIGPIPE for the whole process.
bool SendWhole(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size) {
    ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The payload a request announces, read in steps so that memory follows
// what really arrives rather than what the peer claims.
bool ReadPayload(int fd, uint32_t size, std::vector<BYTE>& payload) {
  constexpr size_t kStep = 64u << 10;
  while (payload.size() < size) {
    const size_t at = payload.size();
    const size_t step = std::min<size_t>(kStep, size - at);
    payload.resize(at + step);
    if (!ReadWhole(fd, payload.data() + at, step)) return false;
  }
  return true;
}

sockaddr_un SocketAddress(const std::string& folder, const std::string& key, socklen_t* length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = folder + "/" + key + ".sock";
  if (path.size() < sizeof(address.sun_path)) {
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return address;
  }
  uint64_t hash = 1469598103934665603ull;  // FNV-1a of the folder
  for (unsigned char c : folder) hash = (hash ^ c) * 1099511628211ull;
  char name[96];
  int n = std::snprintf(name, sizeof name, "twl-desktop-%016llx-%s", static_cast<unsigned long long>(hash), key.c_str());
  n = std::min<int>(n, static_cast<int>(sizeof(address.sun_path)) - 2);
  std::memcpy(address.sun_path + 1, name, static_cast<size_t>(n));
  *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
  return address;
}

void ServeConnection(int fd) {
  Reply reply{kReplyMagic, 0, 0};
  ucred peer{};
  socklen_t peerLength = sizeof peer;
  Request request{};
  std::vector<BYTE> payload;
  // Only processes of this user may send, whatever the socket's name.
  bool ok = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) == 0 && peer.uid == getuid() &&
            ReadWhole(fd, &request, sizeof request) && request.magic == kRequestMagic && request.size <= kMaxCopyData;
  if (ok) ok = ReadPayload(fd, request.size, payload);
  if (ok) {
    HWND target = HwndOf(request.window);
    {
      Guard guard(Lock());
      Window* w = FindLocked(target);
      ok = w && !w->destroying;
    }
    if (ok) {
      COPYDATASTRUCT data{static_cast<ULONG_PTR>(request.data), request.size, payload.empty() ? nullptr : payload.data()};
      reply.result = SendMessageA(target, WM_COPYDATA, static_cast<WPARAM>(request.from), reinterpret_cast<LPARAM>(&data));
      reply.delivered = 1;
    }
  }
  SendWhole(fd, &reply, sizeof reply);
  close(fd);
}

void AcceptLoop(int listenFd) {
  for (;;) {
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) {
        if (errno == EMFILE || errno == ENFILE) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      return;
    }
    std::thread(ServeConnection, fd).detach();
  }
}

}  // namespace

void StartCopyDataServer(const std::string& folder, const std::string& key) {
  socklen_t length = 0;
  sockaddr_un address = SocketAddress(folder, key, &length);
  if (address.sun_path[0]) unlink(address.sun_path);
  int listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listenFd, 16) != 0) {
    if (listenFd >= 0) close(listenFd);
    return;
  }
  std::thread(AcceptLoop, listenFd).detach();
}

std::optional<LRESULT> SendCopyDataAcross(const ForeignWindow& target, HWND from, const COPYDATASTRUCT& data) {
  if (data.cbData > kMaxCopyData || (data.cbData && !data.lpData)) return std::nullopt;
  auto place = JoinDesktop();
  if (!place) return std::nullopt;
  const std::string folder = place->folder;
  Request request{kRequestMagic, target.id, IdOf(from), data.cbData, static_cast<uint64_t>(data.dwData)};
  std::vector<BYTE> message(sizeof request + data.cbData);
  std::memcpy(message.data(), &request, sizeof request);
  if (data.cbData) std::memcpy(message.data() + sizeof request, data.lpData, data.cbData);

  struct Outcome {
    bool delivered = false;
    bool vanished = false;
    LRESULT result = 0;
  };
  auto outcome = std::make_shared<Outcome>();
  auto item = std::make_shared<Incoming>();
  Guard guard(Lock());
  auto self = CurrentQueueLocked();
  item->waiter = self;
  guard.unlock();
  // The exchange runs beside this thread, which meanwhile takes the sends
  // that reach it: the other process may send back while it handles ours.
  std::thread exchange([&, outcome, item, self, process = target.process] {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    socklen_t length = 0;
    sockaddr_un address = SocketAddress(folder, process, &length);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
      Reply reply{};
      pollfd ready{fd, POLLIN, 0};
      bool sent = SendWhole(fd, message.data(), message.size());
      // The reply waits for the other program's window procedure: no limit.
      while (sent && poll(&ready, 1, -1) < 0 && errno == EINTR) {
      }
      if (sent && ReadWhole(fd, &reply, sizeof reply) && reply.magic == kReplyMagic && reply.delivered) {
        outcome->delivered = true;
        outcome->result = static_cast<LRESULT>(reply.result);
      }
    } else {
      outcome->vanished = errno == ECONNREFUSED || errno == ENOENT;
    }
    if (fd >= 0) close(fd);
    Guard done(Lock());
    item->done = true;
    self->wake.notify_all();
  });
  guard.lock();
  WaitForReply(guard, self, item);
  guard.unlock();
  exchange.join();
  if (outcome->vanished) ForgetProcess(folder, target.process);
  if (!outcome->delivered) return std::nullopt;
  return outcome->result;
}

}  // namespace twl::user

// The desktop's shared files and sockets. Layout of <desktop>/windows/:
//   next-id             the next free window id (locked while handed out)
//   <key>.alive         held locked for as long as process <key> lives
//   <key>.sock          the process's socket (abstract name when the path
//                       is too long for a socket address)
//   W<id>.win           one published top-level window
// Everything read from these files or sockets comes from another process
// and is checked before use.
#include "DesktopWindows.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "kernel/Desktop.h"

namespace twl::user {

namespace {

constexpr uint32_t kFirstWindowId = 0x10000;
constexpr uint32_t kLastWindowId = 0x7FFFFFF0;
constexpr uint32_t kIdsPerBlock = 64;
constexpr size_t kMaxRecordBytes = 128 * 1024;
constexpr size_t kMaxClassName = 256;
constexpr size_t kMaxTitle = 64 * 1024;
constexpr size_t kMaxExtra = 4096;
constexpr uint32_t kMaxCopyData = 64u << 20;
constexpr uint32_t kRequestMagic = 0x43574C54;  // "TLWC"
constexpr uint32_t kReplyMagic = 0x52574C54;    // "TLWR"
constexpr int kPeerTimeoutMs = 5000;

struct Presence {
  std::mutex lock;
  bool started = false;
  std::string folder;
  std::string key;
  int listenFd = -1;
  uint32_t nextId = 0;
  uint32_t endId = 0;
  uint32_t localNextId = kFirstWindowId;
  std::set<uint32_t> published;
};

Presence& P() {
  static auto* presence = new Presence;
  return *presence;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

bool Unhex(const std::string& text, size_t limit, std::string* out) {
  if (text.size() % 2 || text.size() / 2 > limit) return false;
  out->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    auto nibble = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      return -1;
    };
    int hi = nibble(text[i]);
    int lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

std::string WindowFile(const std::string& folder, uint32_t id) {
  char name[32];
  std::snprintf(name, sizeof name, "/W%08x.win", id);
  return folder + name;
}

bool WriteWhole(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size) {
    ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

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

bool WriteFileAtomically(const std::string& path, const std::string& text, const std::string& key) {
  std::string temporary = path + ".tmp-" + key;
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteWhole(fd, text.data(), text.size());
  close(fd);
  if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

bool ReadSmallFile(const std::string& path, std::string* text) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text->clear();
  char buffer[4096];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text->append(buffer, static_cast<size_t>(n));
    if (text->size() > kMaxRecordBytes) {
      close(fd);
      return false;
    }
  }
  close(fd);
  return true;
}

// The socket address of a process: a path in the folder when it fits, else
// an abstract name derived from the folder and the key.
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

bool ValidKey(const std::string& key) {
  if (key.empty() || key.size() > 40) return false;
  for (char c : key)
    if (!std::isxdigit(static_cast<unsigned char>(c)) && c != '-') return false;
  return true;
}

void ServeConnection(int fd);

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

void RemoveOwnFiles() {
  Presence& p = P();
  std::lock_guard guard(p.lock);
  if (!p.started || p.folder.empty()) return;
  for (uint32_t id : p.published) unlink(WindowFile(p.folder, id).c_str());
  p.published.clear();
  unlink((p.folder + "/" + p.key + ".sock").c_str());
  unlink((p.folder + "/" + p.key + ".alive").c_str());
}

// Joins the desktop: the folder, the liveness lock and the socket server.
// Called with the presence lock held; false when there is no desktop.
bool StartLocked(Presence& p) {
  if (p.started) return !p.folder.empty();
  p.started = true;
  const std::string& desktop = DesktopFolder();
  if (desktop.empty()) return false;
  std::string folder = desktop + "/windows";
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  std::random_device random;
  char key[40];
  std::snprintf(key, sizeof key, "%x-%08x", static_cast<unsigned>(getpid()), static_cast<unsigned>(random()));
  p.key = key;
  // The liveness file appears only once it is locked, so no other process
  // can take a starting process for a vanished one.
  std::string alive = folder + "/" + p.key + ".alive";
  std::string temporary = alive + ".tmp";
  int aliveFd = open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (aliveFd < 0 || flock(aliveFd, LOCK_EX) != 0 || rename(temporary.c_str(), alive.c_str()) != 0) {
    if (aliveFd >= 0) close(aliveFd);
    unlink(temporary.c_str());
    return false;
  }
  // aliveFd stays open (and locked) until the process ends.
  socklen_t length = 0;
  sockaddr_un address = SocketAddress(folder, p.key, &length);
  if (address.sun_path[0]) unlink(address.sun_path);
  int listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listenFd, 16) != 0) {
    if (listenFd >= 0) close(listenFd);
    listenFd = -1;
  }
  p.folder = folder;
  p.listenFd = listenFd;
  if (listenFd >= 0) std::thread(AcceptLoop, listenFd).detach();
  std::atexit(RemoveOwnFiles);
  return true;
}

std::string RecordText(const Window& w, const std::string& key) {
  std::ostringstream text;
  text << "twl-window 1\n"
       << "id " << w.id << "\n"
       << "process " << key << "\n"
       << "pid " << getpid() << "\n"
       << "thread " << w.threadId << "\n"
       << "class " << Hex(w.cls->name) << "\n"
       << "title " << Hex(w.text) << "\n"
       << "style " << w.style << "\n"
       << "exstyle " << w.exStyle << "\n"
       << "rect " << w.rect.left << " " << w.rect.top << " " << w.rect.right << " " << w.rect.bottom << "\n"
       << "stamp " << w.zStamp << "\n"
       << "extra " << Hex(std::string(w.extra.begin(), w.extra.end())) << "\n";
  return text.str();
}

std::optional<ForeignWindow> ParseRecord(const std::string& text, uint32_t expectedId) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "twl-window 1") return std::nullopt;
  ForeignWindow f;
  std::map<std::string, std::string> fields;
  while (std::getline(in, line)) {
    size_t space = line.find(' ');
    if (space == std::string::npos) {
      if (!line.empty()) fields[line] = "";
      continue;
    }
    fields[line.substr(0, space)] = line.substr(space + 1);
  }
  for (const char* required : {"id", "process", "pid", "thread", "class", "title", "style", "exstyle", "rect", "stamp"})
    if (!fields.count(required)) return std::nullopt;
  try {
    unsigned long long id = std::stoull(fields["id"]);
    if (id != expectedId) return std::nullopt;
    f.id = expectedId;
    f.process = fields["process"];
    if (!ValidKey(f.process)) return std::nullopt;
    f.processId = static_cast<DWORD>(std::stoul(fields["pid"]));
    f.threadId = static_cast<DWORD>(std::stoul(fields["thread"]));
    f.style = static_cast<DWORD>(std::stoul(fields["style"]));
    f.exStyle = static_cast<DWORD>(std::stoul(fields["exstyle"]));
    f.stamp = std::stoll(fields["stamp"]);
    std::istringstream rect(fields["rect"]);
    long values[4];
    for (long& v : values)
      if (!(rect >> v)) return std::nullopt;
    f.rect = RECT{static_cast<LONG>(values[0]), static_cast<LONG>(values[1]), static_cast<LONG>(values[2]),
                  static_cast<LONG>(values[3])};
  } catch (...) {
    return std::nullopt;
  }
  std::string extra;
  if (!Unhex(fields["class"], kMaxClassName, &f.className) || !Unhex(fields["title"], kMaxTitle, &f.title) ||
      !Unhex(fields["extra"], kMaxExtra, &extra))
    return std::nullopt;
  f.extra.assign(extra.begin(), extra.end());
  return f;
}

// A process is alive while it holds the lock on its liveness file.
bool IsAlive(const std::string& folder, const std::string& key) {
  int fd = open((folder + "/" + key + ".alive").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool alive = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return alive;
}

// Removes what a vanished process left behind.
void ForgetProcess(const std::string& folder, const std::string& key) {
  DIR* dir = opendir(folder.c_str());
  if (dir) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.size() != 13 || name[0] != 'W' || name.compare(9, 4, ".win") != 0) continue;
      std::string text;
      if (!ReadSmallFile(folder + "/" + name, &text)) continue;
      if (text.find("\nprocess " + key + "\n") != std::string::npos) unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
  }
  unlink((folder + "/" + key + ".sock").c_str());
  unlink((folder + "/" + key + ".alive").c_str());
}

bool Folder(std::string* folder, std::string* key) {
  Presence& p = P();
  std::lock_guard guard(p.lock);
  if (!StartLocked(p)) return false;
  *folder = p.folder;
  *key = p.key;
  return true;
}

std::optional<uint32_t> IdFromFileName(const std::string& name) {
  if (name.size() != 13 || name[0] != 'W' || name.compare(9, 4, ".win") != 0) return std::nullopt;
  uint32_t id = 0;
  for (size_t i = 1; i < 9; ++i) {
    char c = name[i];
    int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    id = id * 16 + static_cast<uint32_t>(digit);
  }
  return id;
}

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

void ServeConnection(int fd) {
  Reply reply{kReplyMagic, 0, 0};
  ucred peer{};
  socklen_t peerLength = sizeof peer;
  Request request{};
  std::vector<BYTE> payload;
  // Only processes of this user may send, whatever the socket's name.
  bool ok = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) == 0 && peer.uid == getuid() &&
            ReadWhole(fd, &request, sizeof request) && request.magic == kRequestMagic && request.size <= kMaxCopyData;
  if (ok) {
    payload.resize(request.size);
    ok = ReadWhole(fd, payload.data(), payload.size());
  }
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
  WriteWhole(fd, &reply, sizeof reply);
  close(fd);
}

}  // namespace

uint32_t AllocateWindowId() {
  Presence& p = P();
  std::lock_guard guard(p.lock);
  if (p.nextId && p.nextId < p.endId) {
    uint32_t id = p.nextId;
    p.nextId += 4;
    return id;
  }
  if (!StartLocked(p)) {
    // No desktop: ids need only be unique in this process.
    uint32_t id = p.localNextId;
    p.localNextId = id >= kLastWindowId ? kFirstWindowId : id + 4;
    return id;
  }
  int fd = open((p.folder + "/next-id").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  uint32_t first = kFirstWindowId;
  if (flock(fd, LOCK_EX) == 0) {
    char text[32] = {};
    ssize_t n = pread(fd, text, sizeof text - 1, 0);
    unsigned long value = n > 0 ? std::strtoul(text, nullptr, 10) : 0;
    if (value >= kFirstWindowId && value < kLastWindowId && value % 4 == 0) first = static_cast<uint32_t>(value);
    uint32_t end = first + kIdsPerBlock * 4;
    uint32_t stored = end >= kLastWindowId ? kFirstWindowId : end;
    std::string next = std::to_string(stored) + "\n";
    if (ftruncate(fd, 0) != 0 || pwrite(fd, next.data(), next.size(), 0) != static_cast<ssize_t>(next.size())) first = 0;
    flock(fd, LOCK_UN);
  } else {
    first = 0;
  }
  close(fd);
  if (!first) return 0;
  p.nextId = first + 4;
  p.endId = std::min<uint32_t>(first + kIdsPerBlock * 4, kLastWindowId);
  return first;
}

void PublishLocked(const Window& window) {
  Presence& p = P();
  std::lock_guard guard(p.lock);
  if (!StartLocked(p)) return;
  if (WriteFileAtomically(WindowFile(p.folder, window.id), RecordText(window, p.key), p.key))
    p.published.insert(window.id);
}

void UnpublishLocked(uint32_t id) {
  Presence& p = P();
  std::lock_guard guard(p.lock);
  if (!p.published.erase(id)) return;
  unlink(WindowFile(p.folder, id).c_str());
}

std::vector<ForeignWindow> ForeignWindows() {
  std::string folder, key;
  std::vector<ForeignWindow> found;
  if (!Folder(&folder, &key)) return found;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return found;
  std::vector<std::pair<uint32_t, std::string>> files;
  while (dirent* entry = readdir(dir))
    if (auto id = IdFromFileName(entry->d_name)) files.emplace_back(*id, folder + "/" + entry->d_name);
  closedir(dir);
  std::map<std::string, bool> alive;
  for (auto& [id, path] : files) {
    std::string text;
    if (!ReadSmallFile(path, &text)) continue;
    auto window = ParseRecord(text, id);
    if (!window || window->process == key) continue;
    auto known = alive.find(window->process);
    if (known == alive.end()) known = alive.emplace(window->process, IsAlive(folder, window->process)).first;
    if (known->second) found.push_back(std::move(*window));
  }
  for (auto& [process, isAlive] : alive)
    if (!isAlive) ForgetProcess(folder, process);
  return found;
}

std::optional<ForeignWindow> FindForeign(uint32_t id) {
  if (!id || id == kDesktopId) return std::nullopt;
  std::string folder, key;
  if (!Folder(&folder, &key)) return std::nullopt;
  std::string text;
  if (!ReadSmallFile(WindowFile(folder, id), &text)) return std::nullopt;
  auto window = ParseRecord(text, id);
  if (!window || window->process == key) return std::nullopt;
  if (!IsAlive(folder, window->process)) {
    ForgetProcess(folder, window->process);
    return std::nullopt;
  }
  return window;
}

std::optional<LRESULT> SendCopyDataAcross(const ForeignWindow& target, HWND from, const COPYDATASTRUCT& data) {
  if (data.cbData > kMaxCopyData || (data.cbData && !data.lpData)) return std::nullopt;
  std::string folder, key;
  if (!Folder(&folder, &key)) return std::nullopt;
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
      bool sent = WriteWhole(fd, message.data(), message.size());
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

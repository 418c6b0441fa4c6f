// <desktop>/windows/next-id holds the first id of the next free block, in
// decimal; it is locked while a block is taken.
#include "WindowIds.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>

#include "DesktopPresence.h"

namespace twl::user {

namespace {

constexpr uint32_t kFirstWindowId = 0x10000;
constexpr uint32_t kLastWindowId = 0x7FFFFFF0;
constexpr uint32_t kIdsPerBlock = 64;

struct IdBlock {
  std::mutex lock;
  uint32_t next = 0;
  uint32_t end = 0;
  uint32_t localNext = kFirstWindowId;  // when there is no desktop
};

IdBlock& ThisProcessIds() {
  static auto* block = new IdBlock;
  return *block;
}

// Takes the next block from the counter file; returns its first id or 0.
uint32_t TakeBlock(const std::string& folder) {
  int fd = open((folder + "/next-id").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
  return first;
}

}  // namespace

uint32_t AllocateWindowId() {
  auto place = JoinDesktop();
  IdBlock& ids = ThisProcessIds();
  std::lock_guard guard(ids.lock);
  if (ids.next && ids.next < ids.end) {
    uint32_t id = ids.next;
    ids.next += 4;
    return id;
  }
  if (!place) {
    // No desktop: ids need only be unique in this process.
    uint32_t id = ids.localNext;
    ids.localNext = id >= kLastWindowId ? kFirstWindowId : id + 4;
    return id;
  }
  uint32_t first = TakeBlock(place->folder);
  if (!first) return 0;
  ids.next = first + 4;
  ids.end = std::min<uint32_t>(first + kIdsPerBlock * 4, kLastWindowId);
  return first;
}

}  // namespace twl::user

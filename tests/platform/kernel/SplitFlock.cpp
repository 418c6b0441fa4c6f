#include "SplitFlock.h"

#include <dlfcn.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>

namespace {

std::atomic<bool> split{false};
std::mutex heldLock;
std::map<int, int> held;  // fd -> LOCK_SH or LOCK_EX, as far as seen

using FlockFunction = int (*)(int, int);

FlockFunction RealFlock() {
  static auto real = reinterpret_cast<FlockFunction>(dlsym(RTLD_NEXT, "flock"));
  return real;
}

}  // namespace

namespace kerneltest {

void SplitFlockConversions() { split = true; }

}  // namespace kerneltest

// Stands in for the C library's flock in this program (and the libraries
// it loads).
extern "C" int flock(int fd, int operation) {
  const int kind = operation & ~LOCK_NB;
  if (split && (kind == LOCK_SH || kind == LOCK_EX)) {
    int before = 0;
    {
      std::lock_guard guard(heldLock);
      auto found = held.find(fd);
      if (found != held.end()) before = found->second;
    }
    if (before && before != kind) {
      RealFlock()(fd, LOCK_UN);
      usleep(500);
    }
  }
  int result = RealFlock()(fd, operation);
  if (result == 0) {
    std::lock_guard guard(heldLock);
    if (kind == LOCK_UN)
      held.erase(fd);
    else
      held[fd] = kind;
  }
  return result;
}

// <desktop>/windows/z-order holds the counter: 8 bytes, native order, read
// and increased only through atomic operations on the shared mapping.
#include "ZOrderStamps.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

namespace twl::user {

namespace {

std::atomic<int64_t*> sharedCounter{nullptr};
std::atomic<int64_t> localCounter{0};

}  // namespace

void MapZOrderCounter(const std::string& folder) {
  if (sharedCounter.load()) return;
  int fd = open((folder + "/z-order").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // Growing a new (empty) file to its size gives a counter of 0; an
  // existing one keeps its value.
  void* memory = MAP_FAILED;
  if (ftruncate(fd, sizeof(int64_t)) == 0)
    memory = mmap(nullptr, sizeof(int64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (memory != MAP_FAILED) sharedCounter = static_cast<int64_t*>(memory);  // stays mapped until the process ends
}

int64_t NextZOrderStamp() {
  if (int64_t* counter = sharedCounter.load())
    return std::atomic_ref<int64_t>(*counter).fetch_add(kZOrderStampStep) + kZOrderStampStep;
  return localCounter.fetch_add(kZOrderStampStep) + kZOrderStampStep;
}

}  // namespace twl::user

#include "CrashStack.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

namespace twl {
namespace {

// Room for the layer's handler and a filter that formats a report.
size_t StackSize() {
  long fromSystem = sysconf(_SC_SIGSTKSZ);
  return std::max<size_t>(256 * 1024, fromSystem > 0 ? static_cast<size_t>(fromSystem) * 4 : 0);
}

// Owns the alternate stack this layer gave its thread.
class AlternateStack {
 public:
  ~AlternateStack() { Release(); }

  void Install() {
    if (memory_) return;
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) &&
        current.ss_size >= static_cast<size_t>(MINSIGSTKSZ) * 4) {
      return;  // someone else's (a sanitizer's) is in place and big enough
    }
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t size = StackSize();
    void* memory = mmap(nullptr, size + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    mprotect(memory, page, PROT_NONE);  // a guard below, so an overflow here faults
    stack_t stack {};
    stack.ss_sp = static_cast<char*>(memory) + page;
    stack.ss_size = size;
    if (sigaltstack(&stack, nullptr) != 0) {
      munmap(memory, size + page);
      return;
    }
    memory_ = memory;
    length_ = size + page;
    start_ = stack.ss_sp;
  }

 private:
  void Release() {
    if (!memory_) return;
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == start_) {
      stack_t off {};
      off.ss_flags = SS_DISABLE;
      sigaltstack(&off, nullptr);
    }
    munmap(memory_, length_);
    memory_ = nullptr;
  }

  void* memory_ = nullptr;
  size_t length_ = 0;
  void* start_ = nullptr;
};

}  // namespace

void PrepareThreadForCrashes() {
  thread_local AlternateStack stack;
  stack.Install();
}

}  // namespace twl

// The host heap: plain malloc, with a count of the live blocks for tests.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace {

std::atomic<long> theLiveBlocks{0};
std::atomic<int> theFailuresToCome{0};  // tests only

bool TakeFailure() {
  int left = theFailuresToCome.load(std::memory_order_relaxed);
  while (left > 0) {
    if (theFailuresToCome.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) return true;
  }
  return false;
}

}  // namespace

void* HostAlloc(size_t size) {
  if (TakeFailure()) return nullptr;
  void* block = std::malloc(size ? size : 1);
  if (block) theLiveBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void HostFree(void* block) {
  if (!block) return;
  theLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

char* HostAllocString(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(HostAlloc(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

long GetLiveHostBlockCount() { return theLiveBlocks.load(std::memory_order_relaxed); }

void FailNextHostAllocations(int count) { theFailuresToCome.store(count, std::memory_order_relaxed); }

namespace hostapi {

void* HOST_Alloc(DWORD size) { return HostAlloc(size); }

void HOST_Free(void* block) { HostFree(block); }

// A null text is an invalid parameter, as for every slot.
char* HOST_AllocString(const char* text) {
  if (!text) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return nullptr;
  }
  return HostAllocString(text);
}

}  // namespace hostapi

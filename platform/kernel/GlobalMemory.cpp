// Global memory blocks: page-aligned, zero-filled allocations whose handle
// is their address. The blocks of the process are kept in a table so that a
// handle that is no block is refused instead of freed.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "twlwin/errors.h"
#include "twlwin/memory.h"
#include "twlwin/testing.h"

namespace {

constexpr size_t kPageSize = 4096;
// More than any machine this runs on can give; asking the allocator for
// it would only be refused less politely.
constexpr size_t kLargestBlock = size_t{1} << 40;

// Allocations still to pass before the failure a test asked for; -1: none.
std::atomic<int64_t> allocationsBeforeFailure{-1};

bool TestFailureDue() {
  int64_t left = allocationsBeforeFailure.load();
  while (left >= 0) {
    if (allocationsBeforeFailure.compare_exchange_weak(left, left - 1)) return left == 0;
  }
  return false;
}

struct Block {
  SIZE_T size = 0;
  unsigned locks = 0;
};

struct BlockTable {
  std::mutex lock;
  std::unordered_map<void*, Block> blocks;
};

BlockTable& Blocks() {
  static auto* table = new BlockTable;
  return *table;
}

void* AddressOf(HGLOBAL memory) { return reinterpret_cast<void*>(memory); }

// The block of a handle, under the table's lock held by the caller; null
// (ERROR_INVALID_HANDLE) when the handle is no block of this process.
Block* FindBlock(BlockTable& table, HGLOBAL memory) {
  auto found = table.blocks.find(AddressOf(memory));
  if (found != table.blocks.end()) return &found->second;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

}  // namespace

TWLAPI HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
  if (bytes > kLargestBlock || TestFailureDue()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // Rounded up to whole pages, so that device I/O of the whole block never
  // reaches past it; at least one page, so that every block has an address.
  const SIZE_T rounded = bytes == 0 ? kPageSize : (bytes + kPageSize - 1) / kPageSize * kPageSize;
  void* address = nullptr;
  if (posix_memalign(&address, kPageSize, rounded) != 0 || address == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::memset(address, 0, rounded);
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  table.blocks[address] = Block{bytes, 0};
  return reinterpret_cast<HGLOBAL>(address);
}

TWLAPI LPVOID GlobalLock(HGLOBAL memory) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = FindBlock(table, memory);
  if (!block) return nullptr;
  ++block->locks;
  return AddressOf(memory);
}

TWLAPI BOOL GlobalUnlock(HGLOBAL memory) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = FindBlock(table, memory);
  if (!block) return FALSE;
  if (block->locks > 0) --block->locks;
  SetLastError(ERROR_SUCCESS);
  return block->locks > 0 ? TRUE : FALSE;
}

TWLAPI HGLOBAL GlobalFree(HGLOBAL memory) {
  {
    BlockTable& table = Blocks();
    std::lock_guard guard(table.lock);
    if (table.blocks.erase(AddressOf(memory)) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return memory;
    }
  }
  std::free(AddressOf(memory));
  return nullptr;
}

TWLAPI SIZE_T GlobalSize(HGLOBAL memory) {
  BlockTable& table = Blocks();
  std::lock_guard guard(table.lock);
  auto found = table.blocks.find(AddressOf(memory));
  return found == table.blocks.end() ? 0 : found->second.size;
}

TWLAPI void TwlTestFailGlobalAlloc(DWORD skip) { allocationsBeforeFailure = skip; }

TWLAPI HLOCAL LocalFree(HLOCAL memory) { return GlobalFree(memory); }

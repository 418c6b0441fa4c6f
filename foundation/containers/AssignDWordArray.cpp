#include "foundation/containers/AssignDWordArray.h"

#include <algorithm>
#include <new>

#include "foundation/kernel/MemoryError.h"

void FreeDWordArray(DWORD*& items, DWORD& count) noexcept {
  delete[] items;
  items = nullptr;
  count = 0;
}

DWORD* AssignDWordArray(DWORD*& items, DWORD& count, DWORD n, const DWORD* source) {
  FreeDWordArray(items, count);
  if (n == 0) return nullptr;
  DWORD* fresh = new (std::nothrow) DWORD[n]();
  if (!fresh) ThrowMemoryError();
  if (source) std::copy_n(source, n, fresh);
  items = fresh;
  count = n;
  return fresh;
}

#include "app/system/TextConversion.h"

#include "foundation/kernel/Error.h"

namespace {

template <class Char>
Char* Allocate(int count, bool useTaskAllocator) {
  const SIZE_T bytes = static_cast<SIZE_T>(count) * sizeof(Char);
  if (!useTaskAllocator) return new Char[static_cast<size_t>(count)];
  auto* buffer = static_cast<Char*>(CoTaskMemAlloc(bytes));
  if (!buffer) ThrowMemoryError();
  return buffer;
}

template <class Char>
void Free(Char* buffer, bool useTaskAllocator) {
  if (useTaskAllocator)
    CoTaskMemFree(buffer);
  else
    delete[] buffer;
}

}  // namespace

WCHAR* ToWideString(const char* text, bool useTaskAllocator) {
  if (!text) return nullptr;
  const int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, nullptr, 0);
  if (needed <= 0) return nullptr;
  WCHAR* wide = Allocate<WCHAR>(needed, useTaskAllocator);
  if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, wide, needed) != needed) {
    Free(wide, useTaskAllocator);
    return nullptr;
  }
  return wide;
}

char* ToAnsiString(const WCHAR* text, bool useTaskAllocator) {
  if (!text) return nullptr;
  const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return nullptr;
  char* narrow = Allocate<char>(needed, useTaskAllocator);
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, needed, nullptr, nullptr) != needed) {
    Free(narrow, useTaskAllocator);
    return nullptr;
  }
  return narrow;
}

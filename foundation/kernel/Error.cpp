#include "foundation/kernel/Error.h"

#include <cstdlib>

#include "foundation/kernel/LibraryTls.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CError, CTypedObject)

namespace {

void* const kHeapMark = reinterpret_cast<void*>(1);

void SetHeapMark(bool marked) { TlsSetValue(GetErrorAllocatorSlot(), marked ? kHeapMark : nullptr); }

}  // namespace

bool CError::TakeHeapFlag() {
  const DWORD lastError = GetLastError();
  const bool marked = TlsGetValue(GetErrorAllocatorSlot()) != nullptr;
  SetHeapMark(false);
  SetLastError(lastError);
  return marked;
}

CError::CError() = default;

CError::CError(const CStr& caption, const CStr& text) : m_Caption(caption), m_Text(text) {}

// Kept out of line: inlined, GCC pairs the allocation inside with the class's
// own operator delete and warns of a mismatch that is not there.
[[gnu::noinline]] void* CError::operator new(size_t size) noexcept {
  const DWORD lastError = GetLastError();
  SetHeapMark(true);
  void* memory = ::operator new(size ? size : 1, std::nothrow);
  if (!memory) SetHeapMark(false);
  SetLastError(lastError);
  return memory;
}

void* CError::operator new(size_t size, const std::nothrow_t&) noexcept { return CError::operator new(size); }

// Also reached when a constructor throws after the allocation: the mark
// must not stay behind for an error built later on this thread.
void CError::operator delete(void* memory) noexcept {
  const DWORD lastError = GetLastError();
  SetHeapMark(false);
  SetLastError(lastError);
  ::operator delete(memory);
}

CError* CError::Clone() const {
  CError* copy = new CError(m_Caption, m_Text);
  return copy ? copy : &GetOutOfMemoryError();
}

void DisposeError(CError* error) {
  if (error && error->IsHeapObject()) delete error;
}

void ThrowMemoryError() { throw &GetOutOfMemoryError(); }

// CError: failures travel as thrown pointers to error objects that carry a
// caption and a message, both already localised. A thrower allocates the
// object with `new` (the error allocator, which marks it as a heap object)
// or calls ThrowError; the catcher examines it, disposes of it and deletes
// it only when it is marked as a heap object (DisposeError). The prepared
// out-of-memory error is the one error that is not: it exists from start
// so that a shortage of memory can still be reported.
//
// Building an error never changes the thread's last Win32 error, so an
// error can describe a failed call whose code has not been read yet.
#pragma once

#include <new>
#include <utility>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CError : public CTypedObject {
  TWL_DECLARE_CLASS(CError)
 public:
  CError();
  CError(const CStr& caption, const CStr& text);
  CError(const CError&) = delete;
  CError& operator=(const CError&) = delete;

  // The error allocator: null when memory is short. It marks the calling
  // thread so that the error constructed next on it is a heap object.
  static void* operator new(size_t size) noexcept;
  static void* operator new(size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* memory) noexcept;

  // A new heap copy; the prepared out-of-memory error when memory is short.
  virtual CError* Clone() const;

  const CStr& GetCaption() const { return m_Caption; }
  const CStr& GetText() const { return m_Text; }
  bool IsHeapObject() const { return m_HeapFlag; }

 protected:
  // For errors whose text is built from their own fields (a code, a path).
  void SetText(const CStr& text) { m_Text = text; }

 private:
  static bool TakeHeapFlag();

  bool m_HeapFlag = TakeHeapFlag();  // first: taken before anything else runs
  CStr m_Caption;
  CStr m_Text;
};

// The end of a catch site that does not rethrow: deletes heap errors and
// leaves the others (the prepared out-of-memory error) alone.
void DisposeError(CError* error);

// Throws a new error of class E; when it cannot be allocated, throws the
// prepared out-of-memory error instead.
[[noreturn]] void ThrowMemoryError();
template <class E, class... Args>
[[noreturn]] void ThrowError(Args&&... args) {
  E* error = new E(std::forward<Args>(args)...);
  if (!error) ThrowMemoryError();
  throw error;
}

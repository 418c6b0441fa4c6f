// How host API slots fail: a false or null answer and the reason in the
// calling thread's error state. RunSlot runs a slot's work and turns
// whatever it throws into that state, so that no error ever crosses the
// plug-in boundary.
#pragma once

#include <windows.h>

#include <new>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace hostapi {

// Sets MiscError `code` with its text; answers false for `return Fail...`.
bool FailWithMiscError(DWORD code);
inline bool FailInvalidParameter() { return FailWithMiscError(MISC_ERROR_INVALID_PARAM); }

// Stores a caught error as the thread's error (by its class) and deletes
// it when it lives on the heap.
void StoreCaughtError(CError* error);

template <class Result, class Work>
Result RunSlot(Result failed, Work&& work) noexcept {
  try {
    return work();
  } catch (CError* error) {
    StoreCaughtError(error);
  } catch (const std::bad_alloc&) {
    FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
  } catch (...) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, "unexpected failure in the host");
  }
  return failed;
}

}  // namespace hostapi

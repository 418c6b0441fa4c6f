// The calling thread's error as the host keeps it, seen from a plug-in:
// how a caught foundation error becomes it, how an entry point keeps every
// exception inside the plug-in, and how clean-up after a failure keeps the
// error that caused the failure.
#pragma once

#include <new>

#include "foundation/kernel/Error.h"
#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

// A stream error becomes a stream error with its code and text; any other
// error a general one whose text is "caption: text". The object stays the
// caller's.
void ReportErrorObject(const HostApiTable& host, const CError* error);

// The end of a catch site of an entry point: reports the error and
// disposes of it. Never throws.
void ReportCaughtError(const HostApiTable* host, CError* error) noexcept;
void ReportOutOfMemory(const HostApiTable* host) noexcept;

// Runs `call` for an entry point of the plug-in interface: whatever the
// foundation throws (error objects, a shortage of memory) becomes the
// thread error and the answer `failure`.
template <class Result, class Call>
Result CatchingErrors(const HostApiTable* host, Result failure, Call call) noexcept {
  try {
    return call();
  } catch (CError* error) {
    ReportCaughtError(host, error);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(host);
  }
  return failure;
}

// Runs `cleanUp` and then makes the error that stood before it current
// again, whatever the clean-up set meanwhile.
template <class CleanUp>
void KeepingThreadError(const HostApiTable& host, CleanUp cleanUp) {
  HostSavedError* saved = host.HOST_SaveError();
  cleanUp();
  if (!saved) return;
  host.HOST_RestoreError(saved);
  host.HOST_FreeError(saved);
}

}  // namespace pluginsdk

// PendingStreamError: the failure a background reader met, kept so that
// every later operation of its emulator fails the same way until the
// emulator is closed. No lock of its own: the emulator guards it with its
// state lock.
#pragma once

#include "foundation/kernel/Error.h"

class CStream;
class CStreamError;

class PendingStreamError {
 public:
  PendingStreamError() = default;
  PendingStreamError(const PendingStreamError&) = delete;
  PendingStreamError& operator=(const PendingStreamError&) = delete;
  ~PendingStreamError() { Clear(); }

  bool IsSet() const { return m_Error || m_OutOfMemory; }
  // Keeps a stream error made from `error` for `stream` (a stream error is
  // copied; any other becomes the generic one with its text).
  void Set(const CError& error, CStream& stream);
  // Throws a new copy when an error is pending; it stays pending.
  void ThrowIfSet() const;
  // A new copy for the caller, or null.
  CStreamError* Copy() const;
  void Clear();

 private:
  CStreamError* m_Error = nullptr;
  bool m_OutOfMemory = false;  // the copy could not be made: report that
};

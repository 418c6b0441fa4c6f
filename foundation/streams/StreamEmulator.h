// CStreamEmulator: base of the wrappers that give a stream capabilities it
// lacks (seeking, buffering, flowing, a known length). An emulator owns the
// stream it wraps unless told otherwise.
#pragma once

#include "foundation/streams/Stream.h"

class CStreamEmulator : public CStream {
  TWL_DECLARE_CLASS(CStreamEmulator)
 public:
  // Whether Close and CloseNoThrow also close the wrapped stream (with
  // Close and CloseNoThrow respectively).
  virtual void SetOwnsInner(bool owns) = 0;
};

// CStreamEmulator: base of the wrappers that give a stream capabilities it
// lacks (seeking, buffering, flowing, a known length). An emulator wraps
// one stream, owns it unless told otherwise, and reports its own
// capability word. Threading is each emulator's own rule; these members
// are guarded by whatever lock the emulator keeps.
#pragma once

#include "foundation/streams/Stream.h"

class CStreamEmulator : public CStream {
  TWL_DECLARE_CLASS(CStreamEmulator)
 public:
  DWORD GetCapabilities() override { return m_Capabilities; }
  // Whether Close and CloseNoThrow also close the wrapped stream (with
  // Close and CloseNoThrow respectively). Set after construction.
  virtual void SetOwnsInner(bool owns) { m_OwnsInner = owns; }

 protected:
  // The wrapped stream; throws CStreamError 7 while none is attached, so a
  // closed or never attached emulator fails instead of crashing.
  CStream& Inner();
  // Throws the stream error `code` for this stream (its URL as path).
  [[noreturn]] void ThrowStreamError(DWORD code);
  // Sets the event held in property `index` (error or data event) when
  // there is one; the emulator never resets it.
  void SignalEvent(DWORD index);

  CStream* m_Inner = nullptr;
  bool m_DeleteOnClose = false;
  bool m_OwnsInner = true;
  DWORD m_Capabilities = 0;
};

#include "foundation/streams/StreamEmulator.h"

#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CLASS(CStreamEmulator, CStream)

CStream& CStreamEmulator::Inner() {
  if (!m_Inner) ThrowError<CStreamError>(CStreamError::kNotPermitted);
  return *m_Inner;
}

void CStreamEmulator::ThrowStreamError(DWORD code) { ThrowError<CStreamError>(code, static_cast<CStream&>(*this)); }

void CStreamEmulator::SignalEvent(DWORD index) {
  // The stored value itself: GetProperty may take locks that the caller
  // (a reader thread) must not take.
  const DWORD event = index < 2 ? m_Properties[index] : 0;
  if (event) SetEvent(ULongToHandle(event));
}

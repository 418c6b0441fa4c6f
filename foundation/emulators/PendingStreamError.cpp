#include "foundation/emulators/PendingStreamError.h"

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/StreamError.h"

void PendingStreamError::Set(const CError& error, CStream& stream) {
  Clear();
  m_Error = new CStreamError(error, stream);
  m_OutOfMemory = !m_Error;
}

void PendingStreamError::ThrowIfSet() const {
  if (m_Error) ThrowError<CStreamError>(*m_Error, nullptr);
  if (m_OutOfMemory) ThrowMemoryError();
}

CStreamError* PendingStreamError::Copy() const { return m_Error ? new CStreamError(*m_Error, nullptr) : nullptr; }

void PendingStreamError::Clear() {
  if (m_Error) DisposeError(m_Error);
  m_Error = nullptr;
  m_OutOfMemory = false;
}

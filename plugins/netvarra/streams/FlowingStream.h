// CFlowingStream: the base of Netvarra's network streams, read in one
// direction while a worker thread of the stream talks to the server. It
// keeps the error the worker met for the reader (every reader-side
// operation of a subclass begins by throwing a copy of it) and the two
// events a reader may give through the property slots: 0 is set while an
// error is pending, 1 when data can be read.
//
// Locks: reader-side operations take the operation lock, then the state
// lock; the worker thread takes only the state lock. Events are set under
// the state lock; readers wait on them holding no lock.
#pragma once

#include "foundation/emulators/PendingStreamError.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/streams/Stream.h"

class CFlowingStream : public CStream {
  TWL_DECLARE_CLASS(CFlowingStream)
 public:
  CFlowingStream();
  ~CFlowingStream() override;

  // Stores the event; a data event is set at once when data can be read,
  // an error event when an error is pending.
  void SetProperty(DWORD index, DWORD value) override;
  DWORD GetProperty(DWORD index) override;
  CStreamError* GetPendingError() override;
  // Whether data can be read now.
  virtual bool HasData() = 0;

 protected:
  // For the worker thread: keeps `error` (of any class) as the pending
  // stream error, replacing one before, and sets the error event.
  void SetError(const CError& error);
  // Sets the event of property slot 0 or 1, when there is one.
  void SignalEvent(DWORD index);
  // Throws a copy of the pending error, when there is one.
  void ThrowPendingError();
  void ClearError();

  CriticalSection m_StateLock;
  CriticalSection m_OperationLock;

 private:
  PendingStreamError m_PendingError;
};

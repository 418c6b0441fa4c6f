#include "foundation/streams/NonFlowingStream.h"

#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CLASS(CNonFlowingStream, CStream)

void CNonFlowingStream::SetProperty(DWORD index, DWORD value) {
  CStream::SetProperty(index, value);
  if (index != kDataEventProperty || value == 0) return;
  // The data is always there, so a reader waiting for it may go at once.
  // Setting a property is allowed after Shutdown, when asking for the end
  // throws: then nothing is readable and nothing is signalled.
  bool readable = false;
  try {
    readable = (GetCapabilities() & kStreamRead) && !IsAtEnd();
  } catch (CError* error) {
    DisposeError(error);
  }
  if (readable) SetEvent(ULongToHandle(value));
}

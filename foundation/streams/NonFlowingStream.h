// CNonFlowingStream: base of streams whose data is present at once (memory
// and disk). Nothing ever has to be waited for, so ReadSome is Read,
// SkipSome is Skip, and a data event is signalled as soon as it is set.
#pragma once

#include "foundation/streams/Stream.h"

class CNonFlowingStream : public CStream {
  TWL_DECLARE_CLASS(CNonFlowingStream)
 public:
  // Signals a non-zero data event at once when the stream is readable and
  // not at its end.
  void SetProperty(DWORD index, DWORD value) override;
  DWORD ReadSome(void* buffer, DWORD size) override { return Read(buffer, size); }
  DWORD SkipSome(DWORD count) override { return Skip(count); }
};

// CStream: the one abstract byte stream through which the system reads and
// writes everything outside its own memory. A stream is a heap object with
// one owner at a time, who ends it with Close or CloseNoThrow; streams
// opened delete-on-close (all that providers return) delete themselves
// there. A stream is used by one thread at a time; only Shutdown may come
// from another thread, and it only sets a flag that the next guarded
// operation throws as CStreamError 19.
//
// The virtual operations are declared in the order of their slots, which
// the plug-in stream functions follow one by one: never reorder them.
// Other code names two of them differently: SeekWouldWait is also known as
// CanSeek, and GetContentType as GetName.
//
// Errors are thrown as pointers to heap CStreamError objects (or other
// CError objects from deeper layers).
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "foundation/streams/StreamFlags.h"

class CStreamError;

class CStream : public CTypedObject {
  TWL_DECLARE_CLASS(CStream)
 public:
  // Property 0 holds the error event, property 1 the data event: 32-bit
  // event handles owned by the stream's user.
  static constexpr DWORD kErrorEventProperty = 0;
  static constexpr DWORD kDataEventProperty = 1;

  CStream() noexcept = default;
  CStream(const CStream&) = delete;
  CStream& operator=(const CStream&) = delete;

  // Stores the value (indices other than 0 and 1 are ignored).
  virtual void SetProperty(DWORD index, DWORD value);
  // The stored value; 0 for other indices.
  virtual DWORD GetProperty(DWORD index);
  // Copies the stream's URL into `url` and returns it.
  virtual CStr& GetURL(CStr& url) = 0;
  virtual DWORD GetCapabilities() = 0;
  // Waits until `size` bytes have come or the end is reached; a count
  // below size means the end.
  virtual DWORD Read(void* buffer, DWORD size) = 0;
  // Only what can be had without waiting; 0 is possible before the end.
  virtual DWORD ReadSome(void* buffer, DWORD size) = 0;
  virtual DWORD Skip(DWORD count) = 0;
  virtual DWORD SkipSome(DWORD count) = 0;
  // Writes every byte or throws.
  virtual void Write(const void* buffer, DWORD size) = 0;
  virtual void Flush() = 0;
  // Origin kSeekFromStart, kSeekFromCurrent or kSeekFromEnd. A stream that
  // must wait polls the abort event (null for none). Returns the new position.
  virtual LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) = 0;
  // Whether Seek with these arguments would have to wait for data.
  virtual bool SeekWouldWait(LONGLONG offset, DWORD origin) = 0;
  virtual LONGLONG GetPosition() = 0;
  // The length, or -1 when unknown; with `immediate` the stream answers at
  // once, otherwise it may wait until it knows, polling the abort event.
  virtual LONGLONG GetLength(bool immediate, HANDLE abortEvent) = 0;
  // Expected bytes per second of the medium; 0 when unknown.
  virtual DWORD GetTransferRate() = 0;
  virtual bool IsAtEnd() = 0;
  virtual void Shutdown() = 0;
  // Releases the medium; errors propagate. Delete-on-close streams are gone
  // afterwards.
  virtual void Close() = 0;
  // As Close, discarding every error.
  virtual void CloseNoThrow() = 0;
  // An error a background reader met and nobody has seen yet, as a new heap
  // object for the caller; null for streams without a background reader.
  virtual CStreamError* GetPendingError();
  // 0: the content type is copied into `type`; 1: the stream has none (the
  // text is emptied); 2: not known yet.
  virtual DWORD GetContentType(CStr& type);

 protected:
  DWORD m_Properties[2] = {0, 0};
};

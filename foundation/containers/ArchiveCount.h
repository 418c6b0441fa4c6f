// Counts in the archive forms of the containers. A count comes from a file
// and is not trusted: loaders refuse one that no container can hold and
// collect the elements as they arrive, so a count larger than the data
// fails with CStorageError kEndOfStream when the data runs out, after
// allocating only for what was there. A failed load leaves the container
// as it was.
#pragma once

#include <windows.h>

#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"

// The element count at the head of an archive form.
inline DWORD LoadArchiveCount(CStorage& storage) {
  DWORD count = 0;
  storage.ReadValue(count);
  if (count > 0x7FFFFFFF) ThrowError<CStorageError>(CStorageError::kEndOfStream);
  return count;
}

// How many elements to make room for before any has been read.
inline size_t InitialReserve(DWORD count) { return count < 4096 ? count : 4096; }

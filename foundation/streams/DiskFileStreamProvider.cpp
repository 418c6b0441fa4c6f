#include "foundation/streams/DiskFileStreamProvider.h"

#include <memory>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/DriveTransferRate.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDiskFileStreamProvider, CStreamProvider)

bool CDiskFileStreamProvider::CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) {
  const char* path = CDiskFileStream::PathOfURL(url);
  if (!path) return false;
  answer = {(flags & (kStreamRead | kStreamWrite)) | kStreamSeek | kStreamLengthKnown, GetDriveTransferRate(path), 0};
  return true;
}

CStream* CDiskFileStreamProvider::Open(const char* url, DWORD flags) {
  if (!CDiskFileStream::PathOfURL(url)) return nullptr;
  auto stream = std::unique_ptr<CDiskFileStream>(new (std::nothrow) CDiskFileStream);
  if (!stream) ThrowMemoryError();
  stream->Open(url, flags, true);
  return stream.release();
}

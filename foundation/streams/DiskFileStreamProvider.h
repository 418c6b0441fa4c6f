// CDiskFileStreamProvider: the provider of local files, plain paths and
// "file://" URLs. The file system always holds it, first.
#pragma once

#include "foundation/streams/StreamProvider.h"

class CDiskFileStreamProvider : public CStreamProvider {
  TWL_DECLARE_CLASS(CDiskFileStreamProvider)
 public:
  // Any URL without a scheme or with "file://": read and write as asked,
  // seekable, of known length, at the transfer rate of the path's drive.
  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override;
  CStream* Open(const char* url, DWORD flags) override;
};

// CStreamProvider: opens the URLs of one scheme family. The file system
// asks each provider whether it can open a URL (CanOpen) and opens it with
// the best one.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CStream;

// What a provider promises for a URL. The file system decides by the
// capabilities only; the record is handed whole to plug-ins that ask.
struct StreamOpenAnswer {
  DWORD capabilities;
  DWORD transferRate;  // bytes per second
  DWORD delay;         // disk files 0; network streams more
};

class CStreamProvider : public CTypedObject {
  TWL_DECLARE_CLASS(CStreamProvider)
 public:
  // True when this provider can open the URL for the wanted access; then
  // the answer is filled, otherwise it is left as it was.
  virtual bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) = 0;
  // A delete-on-close stream on the URL; null when the URL is not one of
  // this provider's. Throws CStreamError when it is but cannot be opened.
  virtual CStream* Open(const char* url, DWORD flags) = 0;
};

// CFileObjectEnumerator: one provider's running listing of one folder. It
// fills its enumeration context (usually from a thread of its own) and sees
// every merged batch of all providers' results, so that it can add entries
// derived from them.
//
// Threading: OnResults and Abort run on the user-interface thread; the
// enumerator's own thread touches only its context.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CFileObjectEnumeration;

class CFileObjectEnumerator : public CTypedObject {
  TWL_DECLARE_CLASS(CFileObjectEnumerator)
 public:
  // A merged batch holding new files or folders; the enumerator owns
  // `results` and deletes it, now or later (it stays readable until the
  // enumeration is cleared). It may reopen its context, add entries and
  // set it done again meanwhile.
  virtual void OnResults(CFileObjectEnumeration* results, bool allFinished) = 0;
  // Stops the listing, waits until no thread of it runs any more, and
  // deletes the enumerator.
  virtual void Abort() = 0;
};

// CFileBrowserControlItem: a command entry of a folder listing, shown in the
// file browser's control area (a provider's "connect" or "new server"
// item). Reference counted: the listing's entry holds one reference, the
// file browser another while it shows the item; the last Release deletes
// it.
//
// Threading: made and first referenced on the thread of the provider that
// lists it; from its hand-over to the enumeration context on, used on the
// user-interface thread only.
#pragma once

#include <windows.h>

#include "foundation/kernel/DynamicObject.h"

class CFileBrowserControlItem : public CDynamicObject {
  TWL_DECLARE_CLASS(CFileBrowserControlItem)
 public:
  virtual const char* GetName() = 0;
  // FileObjectFlags.
  virtual DWORD GetFlags() = 0;
  virtual int GetImageIndex() = 0;
  // Event 1 (activated, key 0) or 2 (the character `key` was typed on it).
  virtual void Execute(DWORD event, DWORD key, HWND window) = 0;
  // Whether both items stand for the same command.
  virtual bool IsEqual(CFileBrowserControlItem* other) = 0;

  // Orders items by name: without regard to case (A-Z as a-z) when either
  // item has FILEOBJECT_NOCASE, else byte by byte. -1, 0 or 1.
  int Compare(CFileBrowserControlItem* other);
};

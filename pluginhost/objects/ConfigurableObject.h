// CConfigurableObject: the base of every service object the user can see,
// choose or configure (viewer providers and users, file filters, file
// identifiers, file-object enumerator providers), whether a plug-in supplies
// it or the program builds it in. It fixes a handle, a name, a description,
// an image and two optional dialogs; it keeps no data of its own.
//
// Threading: the class adds none; each concrete class states its own rule.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CConfigurableObject : public CTypedObject {
  TWL_DECLARE_CLASS(CConfigurableObject)
 public:
  // The object's identity towards plug-ins and the plug-in registry: every
  // test of whether a call comes from this object compares against it.
  virtual void* GetHandle() = 0;
  // Display name and description; the object owns both texts, callers
  // never free them.
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  // Index into the host image list; negative when the object has no image
  // of its own.
  virtual int GetImageIndex() = 0;
  // Whether Configure does anything; Configure shows the object's settings,
  // modal to `parent`.
  virtual bool HasConfigure() = 0;
  virtual bool Configure(HWND parent) = 0;
  // Whether ShowInfo does anything; ShowInfo shows further information,
  // modal to `parent`.
  virtual bool HasInfo() = 0;
  virtual bool ShowInfo(HWND parent) = 0;
};

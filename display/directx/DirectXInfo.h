// CDirectXInfo: which DirectX version the system has, as the application
// core reports it at start. The answer combines four probes in order: the
// registry's record of the installed version, the operating system's
// version, what DirectDraw's interfaces answer, and the product version of
// "ddraw.dll". Never fails: a probe that cannot run gives nothing.
//
// Threading: any thread, though it loads libraries and makes a DirectDraw
// primary surface for a moment; the core asks once, on the user-interface
// thread before DirectDraw is set up.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDirectXInfo : public CTypedObject {
  TWL_DECLARE_CLASS(CDirectXInfo)
 public:
  // Major versions, or -1. `detected` is the best lower bound found;
  // `exact` is -1 unless a probe could tell the version exactly and that
  // agrees with the bounds before it. With `fast`, a DirectDraw that offers
  // DirectDrawCreateEx counts as 7 without making an object.
  void GetVersion(INT& detected, INT& exact, bool fast);
};

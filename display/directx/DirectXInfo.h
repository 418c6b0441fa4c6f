// CDirectXInfo: which DirectX the system has, from what it tells without
// touching the display: the version the registry records, the lower bound
// the operating system implies, and the product version of ddraw.dll.
// Stateless; any thread may ask.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDirectXInfo : public CTypedObject {
  TWL_DECLARE_CLASS(CDirectXInfo)
 public:
  // Both answers are DirectX major versions or -1. `detected` is the best
  // lower bound found; `exact` is -1 unless a probe told the version
  // exactly and that agrees with the lower bounds. `fast` skips probes
  // that would create DirectDraw objects.
  void GetVersion(INT* detected, INT* exact, bool fast);
};

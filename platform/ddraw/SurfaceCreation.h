// The rules for making a surface from a caller's description: the primary
// surface (the screen, one per process) or an off-screen surface of the
// asked size, both in the current display format.
#pragma once

#include "twlwin/ddraw.h"

namespace twl::ddraw {

// The description's dwSize is checked by the caller.
HRESULT MakeSurface(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface);

}  // namespace twl::ddraw

// Off-screen surfaces that controls make for themselves (page pictures,
// saved backgrounds), through the services' DirectDraw under its lock.
// User-interface thread.
#pragma once

#include <windows.h>

namespace ddcontrols {

// A width x height surface in the display format with DDSCAPS_OFFSCREENPLAIN
// plus `extraCaps`, asked for IDirectDrawSurface2; with `clipped`, a
// clipper keeps every blit into it inside (0, 0, width, height). Null and
// the error on failure.
HRESULT CreateControlSurface(DWORD width, DWORD height, DWORD extraCaps, bool clipped, IDirectDrawSurface2** surface);

// Copies `source` (a rectangle of `from`) onto (x, y) of `to`, waiting;
// 0 on failure, reported.
int CopyRect(IDirectDrawSurface2* to, int x, int y, IDirectDrawSurface2* from, const RECT& source);

}  // namespace ddcontrols

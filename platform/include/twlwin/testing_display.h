// Test controls of the simulated display: its mode and the modes it
// offers, surface loss, what DirectDraw reports of itself, and the system
// palette of 8-bit modes. Product code never includes this header.
// Thread-safe.
#pragma once

#include "ddraw.h"

// Changes the display mode as another program would: every surface is lost
// (surfaces made before answer DDERR_WRONGMODE to Restore) and the top-level
// windows get WM_DISPLAYCHANGE. Bits per pixel: 4 and 8 (palettized), 15
// (5-5-5), 16 (5-6-5), 24, 32. FALSE for sizes or depths outside that.
TWLAPI BOOL TwlTestSetDisplayMode(int width, int height, int bitsPerPixel);
// The same with any pixel format of 4, 8, 16, 24 or 32 bits, such as a
// non-RGB one.
TWLAPI BOOL TwlTestSetDisplayPixelFormat(int width, int height, const DDPIXELFORMAT* format);

// The modes EnumDisplayModes lists and SetDisplayMode accepts, in this
// order; duplicates are listed as given. Null restores the built-in list.
typedef struct {
  int width;
  int height;
  int bitsPerPixel;  // as for TwlTestSetDisplayMode
  int refreshRate;   // 0: not reported
} TWLTEST_DISPLAYMODE;
TWLAPI void TwlTestSetDisplayModes(const TWLTEST_DISPLAYMODE* modes, int count);

// Loses every surface without a mode change, as when another program takes
// the display for itself; Restore then brings them back.
TWLAPI void TwlTestLoseSurfaces();
// While locked, creating a surface fails with DDERR_UNSUPPORTEDMODE.
TWLAPI void TwlTestLockDisplay(BOOL locked);

// What GetCaps reports for the driver and the emulation; null restores the
// default. dwSize is ignored.
TWLAPI void TwlTestSetDirectDrawCaps(const DDCAPS* driver, const DDCAPS* emulation);
// The newest surface interface surfaces answer: 2, 3 or 4 (the default).
TWLAPI void TwlTestSetSurfaceInterfaces(int newest);

// How many entries the system palette of an 8-bit display has (1 to 256,
// 256 by default); GetSystemPaletteEntries reports no more than that. The
// palette starts afresh: static colours at both ends, black between.
TWLAPI void TwlTestSetSystemPaletteSize(int entries);

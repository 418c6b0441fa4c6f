// Whether the display hardware blits with a source colour key: the driver
// says so, and either its system-to-video blits do too, or the emulation
// does and the driver blits video to system memory or has overlays.
#pragma once

#include <windows.h>

bool HasHardwareColorKeys(const DDCAPS& driver, const DDCAPS& emulation);
// From the capabilities DirectDraw reports; false when it reports none.
bool HasHardwareColorKeys(IDirectDraw2* draw);

// What the DirectDraw stand-in keeps for the whole process: what it reports
// of itself (caps, the newest surface interface), whether the display is
// locked against new surfaces, which object holds exclusive mode and
// whether a primary surface exists. Thread-safe; its lock is held only for
// the moment of a read or change.
#pragma once

#include "twlwin/ddraw.h"

namespace twl::ddraw {

struct Caps {
  DDCAPS driver;
  DDCAPS emulation;
};
Caps CurrentCaps();
void SetCaps(const DDCAPS* driver, const DDCAPS* emulation);

// 2, 3 or 4.
int NewestSurfaceInterface();
void SetNewestSurfaceInterface(int newest);

bool DisplayLocked();
void SetDisplayLocked(bool locked);

// The primary surface of the process: one at a time.
bool ClaimPrimary();
void ReleasePrimary();

// Exclusive mode: held by one DirectDraw object at a time (an opaque id).
// False when another one holds it.
bool ClaimExclusive(const void* owner);
void ReleaseExclusive(const void* owner);
// True when an object other than `owner` holds it.
bool ExclusiveHeldByOther(const void* owner);

}  // namespace twl::ddraw

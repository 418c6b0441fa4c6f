#include "DriverState.h"

#include <algorithm>
#include <mutex>

#include "twlwin/testing_display.h"

namespace twl::ddraw {
namespace {

constexpr DWORD kVideoMemory = 64u * 1024 * 1024;

// A device that blits, fills, stretches, clips and keys from and to every
// kind of memory.
DDCAPS DefaultCaps() {
  DDCAPS caps{};
  caps.dwSize = sizeof(DDCAPS);
  caps.dwCaps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL | DDCAPS_CANCLIP |
                DDCAPS_CANCLIPSTRETCHED | DDCAPS_CANBLTSYSMEM;
  caps.dwCKeyCaps = DDCKEYCAPS_SRCBLT;
  caps.dwVidMemTotal = kVideoMemory;
  caps.dwVidMemFree = kVideoMemory;
  caps.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
  caps.dwSVBCaps = DDCAPS_BLT | DDCAPS_COLORKEY;
  caps.dwSVBCKeyCaps = DDCKEYCAPS_SRCBLT;
  caps.dwVSBCaps = DDCAPS_BLT | DDCAPS_COLORKEY;
  caps.dwVSBCKeyCaps = DDCKEYCAPS_SRCBLT;
  caps.dwSSBCaps = DDCAPS_BLT | DDCAPS_COLORKEY;
  caps.dwSSBCKeyCaps = DDCKEYCAPS_SRCBLT;
  return caps;
}

struct State {
  std::mutex lock;
  Caps caps{DefaultCaps(), DefaultCaps()};
  int newestSurface = 4;
  bool displayLocked = false;
  bool primaryExists = false;
  const void* exclusiveOwner = nullptr;
};

State& TheState() {
  static State* state = new State;  // never destroyed
  return *state;
}

}  // namespace

Caps CurrentCaps() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.caps;
}

void SetCaps(const DDCAPS* driver, const DDCAPS* emulation) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  state.caps.driver = driver ? *driver : DefaultCaps();
  state.caps.emulation = emulation ? *emulation : DefaultCaps();
  state.caps.driver.dwSize = state.caps.emulation.dwSize = sizeof(DDCAPS);
}

int NewestSurfaceInterface() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.newestSurface;
}

void SetNewestSurfaceInterface(int newest) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  state.newestSurface = std::clamp(newest, 2, 4);
}

bool DisplayLocked() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.displayLocked;
}

void SetDisplayLocked(bool locked) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  state.displayLocked = locked;
}

bool ClaimPrimary() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  if (state.primaryExists) return false;
  state.primaryExists = true;
  return true;
}

void ReleasePrimary() {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  state.primaryExists = false;
}

bool ClaimExclusive(const void* owner) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  if (state.exclusiveOwner && state.exclusiveOwner != owner) return false;
  state.exclusiveOwner = owner;
  return true;
}

void ReleaseExclusive(const void* owner) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  if (state.exclusiveOwner == owner) state.exclusiveOwner = nullptr;
}

bool ExclusiveHeldByOther(const void* owner) {
  State& state = TheState();
  std::lock_guard guard(state.lock);
  return state.exclusiveOwner && state.exclusiveOwner != owner;
}

}  // namespace twl::ddraw

TWLAPI void TwlTestSetDirectDrawCaps(const DDCAPS* driver, const DDCAPS* emulation) {
  twl::ddraw::SetCaps(driver, emulation);
}

TWLAPI void TwlTestSetSurfaceInterfaces(int newest) { twl::ddraw::SetNewestSurfaceInterface(newest); }

TWLAPI void TwlTestLockDisplay(BOOL locked) { twl::ddraw::SetDisplayLocked(locked != FALSE); }

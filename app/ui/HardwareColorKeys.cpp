#include "app/ui/HardwareColorKeys.h"

namespace {

bool KeysSourceBlits(DWORD caps, DWORD keyCaps) {
  return (caps & DDCAPS_COLORKEY) && (keyCaps & DDCKEYCAPS_SRCBLT);
}

}  // namespace

bool HasHardwareColorKeys(const DDCAPS& driver, const DDCAPS& emulation) {
  if (!KeysSourceBlits(driver.dwCaps, driver.dwCKeyCaps)) return false;
  if (KeysSourceBlits(driver.dwSVBCaps, driver.dwSVBCKeyCaps)) return true;
  return KeysSourceBlits(emulation.dwCaps, emulation.dwCKeyCaps) &&
         ((driver.dwVSBCaps & DDCAPS_BLT) || (driver.dwCaps & DDCAPS_OVERLAY));
}

bool HasHardwareColorKeys(IDirectDraw2* draw) {
  if (!draw) return false;
  DDCAPS driver{};
  DDCAPS emulation{};
  driver.dwSize = sizeof driver;
  emulation.dwSize = sizeof emulation;
  if (FAILED(draw->GetCaps(&driver, &emulation))) return false;
  return HasHardwareColorKeys(driver, emulation);
}

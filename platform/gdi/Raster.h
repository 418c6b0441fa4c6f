// Raster operations on 24-bit colours: the binary ones of SetROP2 (pen and
// destination) and the ternary ones of BitBlt (brush, source, destination).
// Pure functions.
#pragma once

#include "twlwin/gdi.h"

namespace twl::gdi {

inline COLORREF ApplyRop2(int mode, COLORREF pen, COLORREF dest) {
  // The mode minus one is a truth table indexed by pen bit * 2 + dest bit.
  unsigned table = static_cast<unsigned>(mode - 1) & 0x0F;
  COLORREF result = 0;
  for (unsigned index = 0; index < 4; ++index) {
    if (!((table >> index) & 1)) continue;
    COLORREF p = (index & 2) ? pen : ~pen;
    COLORREF d = (index & 1) ? dest : ~dest;
    result |= p & d;
  }
  return result & 0x00FFFFFF;
}

// The third byte of a raster operation is a truth table indexed by
// brush bit * 4 + source bit * 2 + dest bit.
inline COLORREF ApplyRop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF dest) {
  unsigned table = (rop >> 16) & 0xFF;
  switch (table) {
    case 0xCC:
      return source;
    case 0xF0:
      return pattern;
    case 0x88:
      return source & dest;
    case 0xEE:
      return source | dest;
    case 0x66:
      return source ^ dest;
    default:
      break;
  }
  COLORREF result = 0;
  for (unsigned index = 0; index < 8; ++index) {
    if (!((table >> index) & 1)) continue;
    COLORREF p = (index & 4) ? pattern : ~pattern;
    COLORREF s = (index & 2) ? source : ~source;
    COLORREF d = (index & 1) ? dest : ~dest;
    result |= p & s & d;
  }
  return result & 0x00FFFFFF;
}

// Whether the operation reads the source or the brush at all.
inline bool RopUsesSource(DWORD rop) {
  unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}
inline bool RopUsesPattern(DWORD rop) {
  unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

}  // namespace twl::gdi

// Little-endian values in byte buffers, read and written byte by byte so
// that neither the host's byte order nor the buffer's alignment matters.
#pragma once

#include <windows.h>

inline WORD ReadLE16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }

inline DWORD ReadLE32(const BYTE* p) {
  return p[0] | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24;
}

inline void WriteLE16(BYTE* p, WORD value) {
  p[0] = static_cast<BYTE>(value);
  p[1] = static_cast<BYTE>(value >> 8);
}

inline void WriteLE32(BYTE* p, DWORD value) {
  p[0] = static_cast<BYTE>(value);
  p[1] = static_cast<BYTE>(value >> 8);
  p[2] = static_cast<BYTE>(value >> 16);
  p[3] = static_cast<BYTE>(value >> 24);
}

// CBitFieldCursor: a position in a byte buffer of fields of one width
// (1 to 25 bits), packed least significant bit first: a field starts at
// bit `bitOffset` of the byte at `byteOffset` and goes on into the
// following bytes. GIF's LZW codes are laid out this way, and so are the
// decoded pixel indices the GIF readers keep.
//
// Reading takes the little-endian 8-, 16-, 24- or 32-bit value starting at
// the byte offset (by how many bytes the field touches, so no bit loop is
// needed), shifts and masks it. Writing ORs the value into the same bytes,
// so the buffer must start zeroed. Both advance by one field. The caller
// makes sure the bytes a field touches lie inside the buffer.
#pragma once

#include <cstdint>

#include <windows.h>

struct CBitFieldCursor {
  static constexpr DWORD kMaxWidth = 25;  // a field never touches more than 4 bytes

  BYTE* buffer = nullptr;
  DWORD width = 0;
  DWORD byteOffset = 0;
  DWORD bitOffset = 0;
  DWORD mask = 0;

  // Points the cursor at the field of the given index (0: the start).
  void Setup(BYTE* fields, DWORD fieldWidth, uint64_t fieldIndex = 0) {
    buffer = fields;
    SetWidth(fieldWidth);
    const uint64_t bit = fieldIndex * fieldWidth;
    byteOffset = static_cast<DWORD>(bit >> 3);
    bitOffset = static_cast<DWORD>(bit & 7);
  }
  void SetWidth(DWORD fieldWidth) {
    width = fieldWidth;
    mask = (1u << fieldWidth) - 1;
  }

  // Bytes from the byte offset that the next field touches.
  DWORD BytesOfNextField() const { return (bitOffset + width + 7) >> 3; }

  DWORD Read() {
    const BYTE* p = buffer + byteOffset;
    DWORD value;
    switch ((bitOffset + width - 1) >> 3) {
      case 0: value = p[0]; break;
      case 1: value = p[0] | static_cast<DWORD>(p[1]) << 8; break;
      case 2: value = p[0] | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16; break;
      default:
        value = p[0] | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24;
        break;
    }
    value = (value >> bitOffset) & mask;
    Advance();
    return value;
  }

  void Write(DWORD value) {
    BYTE* p = buffer + byteOffset;
    const DWORD shifted = (value & mask) << bitOffset;
    switch ((bitOffset + width - 1) >> 3) {
      case 3: p[3] |= static_cast<BYTE>(shifted >> 24); [[fallthrough]];
      case 2: p[2] |= static_cast<BYTE>(shifted >> 16); [[fallthrough]];
      case 1: p[1] |= static_cast<BYTE>(shifted >> 8); [[fallthrough]];
      default: p[0] |= static_cast<BYTE>(shifted); break;
    }
    Advance();
  }

  void Advance() {
    bitOffset += width;
    byteOffset += bitOffset >> 3;
    bitOffset &= 7;
  }
};

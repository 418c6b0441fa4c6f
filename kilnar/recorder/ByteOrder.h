// Multi-byte fields of command blocks, parameter pages and ISO 9660
// records, written and read byte by byte at the field's first byte. SCSI
// and MMC fields are big-endian (most significant byte first); ISO 9660
// also keeps both-byte-order fields (little-endian, then big-endian).
#pragma once

#include <cstdint>

inline void SetBigEndian16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value >> 8);
  p[1] = static_cast<uint8_t>(value);
}
inline uint16_t GetBigEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

inline void SetBigEndian24(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 16);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value);
}
inline uint32_t GetBigEndian24(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

inline void SetBigEndian32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 24);
  p[1] = static_cast<uint8_t>(value >> 16);
  p[2] = static_cast<uint8_t>(value >> 8);
  p[3] = static_cast<uint8_t>(value);
}
inline uint32_t GetBigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

inline uint16_t GetLittleEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }

inline void SetLittleEndian32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

// The ISO 9660 both-byte-order 16-bit field: 4 bytes.
inline void SetBothEndian16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  SetBigEndian16(p + 2, value);
}

inline void SetLittleEndian16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

inline uint32_t GetLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
         p[0];
}

// The ISO 9660 both-byte-order 32-bit field: 8 bytes.
inline void SetBoth32(uint8_t* p, uint32_t value) {
  SetLittleEndian32(p, value);
  SetBigEndian32(p + 4, value);
}

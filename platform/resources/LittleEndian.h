// Reading the little-endian fields of stored bitmap and icon formats. The
// callers check that the bytes are there.
#pragma once

#include <cstdint>

namespace twl::resources {

inline uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

inline uint32_t ReadU32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace twl::resources

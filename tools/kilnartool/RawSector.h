// A 2048-byte block wrapped into a raw 2352-byte Mode 1 sector as
// ECMA-130 lays it out: the sync pattern, the header with the block's
// address (minute, second, frame in BCD, mode 1), the user data, the EDC
// over all before it, eight zero bytes, and the P and Q parity of the
// Reed-Solomon product code.
#pragma once

#include <cstdint>

namespace kilnartool {

constexpr uint32_t kRawSectorSize = 2352;
constexpr uint32_t kUserDataSize = 2048;

// The EDC of the first `length` bytes: the CRC of ECMA-130 (polynomial
// (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1), least significant bit first).
uint32_t SectorEdc(const uint8_t* bytes, uint32_t length);
// Fills `sector` (kRawSectorSize bytes) with the block at `lba`.
void MakeMode1Sector(int32_t lba, const uint8_t* userData, uint8_t* sector);

}  // namespace kilnartool

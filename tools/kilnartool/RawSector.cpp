#include "RawSector.h"

#include <array>
#include <cstring>

namespace kilnartool {
namespace {

constexpr uint32_t kHeaderAt = 12;
constexpr uint32_t kUserAt = 16;
constexpr uint32_t kEdcAt = 2064;
constexpr uint32_t kPParityAt = 2076;
constexpr uint32_t kQParityAt = 2248;

struct Tables {
  std::array<uint32_t, 256> edc{};
  std::array<uint8_t, 256> times2{};     // x * alpha in GF(2^8), x^8 + x^4 + x^3 + x^2 + 1
  std::array<uint8_t, 256> divideBy3{};  // y such that y * (alpha + 1) = x
  Tables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t crc = i;
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0u);
      edc[i] = crc;
      const uint32_t doubled = (i << 1) ^ ((i & 0x80) ? 0x11Du : 0u);
      times2[i] = static_cast<uint8_t>(doubled);
      divideBy3[i ^ doubled] = static_cast<uint8_t>(i);
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

uint8_t Bcd(int value) { return static_cast<uint8_t>((value / 10) << 4 | value % 10); }

// The two parity bytes of each of `vectors` code words of `length` bytes
// taken from the 2064 (P) or 2236 (Q) bytes after the sync: vector v
// starts at (v / 2) * start + v % 2 and steps `step` bytes, wrapping at
// the end of the area; the parity goes to parity[v] and parity[v +
// vectors].
void ComputeParity(const uint8_t* area, uint32_t vectors, uint32_t length, uint32_t start, uint32_t step,
                   uint8_t* parity) {
  const Tables& t = TheTables();
  const uint32_t size = vectors * length;
  for (uint32_t v = 0; v < vectors; ++v) {
    uint32_t at = (v >> 1) * start + (v & 1);
    uint8_t a = 0, b = 0;
    for (uint32_t i = 0; i < length; ++i) {
      const uint8_t byte = area[at];
      at += step;
      if (at >= size) at -= size;
      a = t.times2[a ^ byte];
      b ^= byte;
    }
    a = t.divideBy3[t.times2[a] ^ b];
    parity[v] = a;
    parity[v + vectors] = a ^ b;
  }
}

}  // namespace

uint32_t SectorEdc(const uint8_t* bytes, uint32_t length) {
  const Tables& t = TheTables();
  uint32_t crc = 0;
  for (uint32_t i = 0; i < length; ++i) crc = t.edc[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void MakeMode1Sector(int32_t lba, const uint8_t* userData, uint8_t* sector) {
  std::memset(sector, 0, kRawSectorSize);
  std::memset(sector + 1, 0xFF, 10);
  const int32_t frames = lba + 150;
  sector[kHeaderAt] = Bcd(frames / 4500);
  sector[kHeaderAt + 1] = Bcd(frames / 75 % 60);
  sector[kHeaderAt + 2] = Bcd(frames % 75);
  sector[kHeaderAt + 3] = 1;
  std::memcpy(sector + kUserAt, userData, kUserDataSize);
  const uint32_t edc = SectorEdc(sector, kEdcAt);
  for (int i = 0; i < 4; ++i) sector[kEdcAt + i] = static_cast<uint8_t>(edc >> (8 * i));
  // P: 86 columns of 24 bytes; Q: 52 diagonals of 43 bytes over the data
  // and the P parity.
  ComputeParity(sector + kHeaderAt, 86, 24, 2, 86, sector + kPParityAt);
  ComputeParity(sector + kHeaderAt, 52, 43, 86, 88, sector + kQParityAt);
}

}  // namespace kilnartool

#include "plugins/netvarra/ftp/PasswordScramble.h"

#include <array>
#include <cstdint>

namespace {

// Files written with one table are readable only by builds with the same
// table: never change it.
constexpr std::array<uint8_t, 64> kKeyTable = {
    0x5a, 0xc3, 0x17, 0x8e, 0x2b, 0xf4, 0x61, 0x9d, 0x0c, 0xb7, 0x43, 0xe8, 0x36, 0x7f, 0xa1, 0xd2,
    0x58, 0x0e, 0x93, 0xc6, 0x2f, 0x71, 0xbd, 0x04, 0xea, 0x39, 0x86, 0x5c, 0xf1, 0x12, 0xa7, 0x6b,
    0xd8, 0x4e, 0x20, 0x95, 0xcb, 0x77, 0x1a, 0xe3, 0x68, 0xb0, 0x3d, 0x8a, 0x55, 0xfc, 0x09, 0xc1,
    0x7e, 0x24, 0x9b, 0xd6, 0x41, 0xae, 0x13, 0x6f, 0xe5, 0x32, 0x88, 0xbc, 0x07, 0x5f, 0xa9, 0xd4,
};

// Exchanges bits 0 and 7, 1 and 4, 2 and 6, 3 and 5; its own inverse.
uint8_t SwapBits(uint8_t value) {
  constexpr int kPairs[4][2] = {{0, 7}, {1, 4}, {2, 6}, {3, 5}};
  uint8_t swapped = 0;
  for (const auto& pair : kPairs) {
    swapped |= static_cast<uint8_t>(((value >> pair[0]) & 1) << pair[1]);
    swapped |= static_cast<uint8_t>(((value >> pair[1]) & 1) << pair[0]);
  }
  return swapped;
}

uint8_t KeyAt(size_t index) { return kKeyTable[index % kKeyTable.size()]; }

}  // namespace

std::string ScramblePassword(const std::string& plain) {
  std::string out(plain.size(), '\0');
  for (size_t i = 0; i < plain.size(); ++i)
    out[i] = static_cast<char>(SwapBits(static_cast<uint8_t>(plain[i])) ^ KeyAt(i));
  return out;
}

std::string UnscramblePassword(const std::string& scrambled) {
  std::string out(scrambled.size(), '\0');
  for (size_t i = 0; i < scrambled.size(); ++i)
    out[i] = static_cast<char>(SwapBits(static_cast<uint8_t>(static_cast<uint8_t>(scrambled[i]) ^ KeyAt(i))));
  return out;
}

// The DirectX version a version block of "ddraw.dll" names, from blocks
// built byte by byte, hostile ones included.
#include <gtest/gtest.h>

#include <vector>

#include "display/directx/DirectXProbes.h"

namespace {

void PutWord(std::vector<BYTE>& block, size_t at, DWORD value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<BYTE>(value >> (8 * i));
}

// A block of `size` bytes with fixed information at `at` naming product
// version major.minor.
std::vector<BYTE> Block(size_t size, size_t at, DWORD major, DWORD minor) {
  std::vector<BYTE> block(size, 0xEE);
  if (at + 4 <= size) PutWord(block, at, 0xFEEF04BD);
  if (at + 20 <= size) PutWord(block, at + 16, (major << 16) | minor);
  return block;
}

TEST(DirectXVersionBlock, ProductVersionFourGivesTheVersionAndAnythingElseNone) {
  struct Row {
    const char* why;
    std::vector<BYTE> block;
    INT expected;
  };
  const Row rows[] = {
      {"4.07", Block(92, 40, 4, 7), 7},
      {"4.08", Block(92, 40, 4, 8), 8},
      {"4.05", Block(92, 40, 4, 5), 5},
      {"4.04 counts one less", Block(92, 40, 4, 4), 3},
      {"4.03 counts one less", Block(92, 40, 4, 3), 2},
      {"4.02 and below are 1", Block(92, 40, 4, 2), 1},
      {"4.00", Block(92, 40, 4, 0), 1},
      {"4.255 is the last minor number", Block(92, 40, 4, 255), 255},
      {"4.256 is none", Block(92, 40, 4, 256), -1},
      {"major 5 is none", Block(92, 40, 5, 7), -1},
      {"no signature", std::vector<BYTE>(92, 0), -1},
      {"at an odd offset", Block(92, 3, 4, 6), 6},
      {"0x34 bytes from the signature to the end are enough", Block(0x34 + 10, 10, 4, 7), 7},
      {"fewer are not", Block(0x33 + 10, 10, 4, 7), -1},
      {"a block shorter than fixed information", Block(20, 0, 4, 7), -1},
      {"empty", {}, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    // Copied to a block of exactly its size, so that reading past it is seen.
    std::vector<BYTE> exact(row.block);
    EXPECT_EQ(DirectXVersionOfVersionBlock(exact.empty() ? nullptr : exact.data(), exact.size()), row.expected);
  }
}

}  // namespace

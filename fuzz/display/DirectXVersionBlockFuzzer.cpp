// The DirectX version of a version block of "ddraw.dll", on arbitrary
// bytes: a file's version resource is untrusted. The answer is -1 or a
// version a product version 4.m can name, and nothing is read outside the
// block (the input is copied to a block of exactly its size).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/directx/DirectXProbes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<BYTE> block(data, data + size);
  const INT version = DirectXVersionOfVersionBlock(block.empty() ? nullptr : block.data(), block.size());
  if (version != -1 && (version < 1 || version > 255)) __builtin_trap();
  return 0;
}

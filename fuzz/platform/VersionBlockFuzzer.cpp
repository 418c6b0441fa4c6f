// The version-block reader on arbitrary bytes, as VerQueryValueA meets a
// block a module or a caller hands it, and the version-text reader of the
// resource compiler. Half the inputs are a well-formed block with the input
// laid over it, so the search reaches the checks past the header. Nothing
// may read outside the block.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/resources/VersionFormat.h"

using namespace twl::resources;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<uint8_t> block;
  if (data[0] & 1) {
    block = BuildVersionBlock(FixedVersion{0x00010002, 0x00030004, 0x00050006, 0x00070008});
    for (size_t i = 1; i < size; ++i) {
      if (i - 1 < block.size()) block[i - 1] ^= data[i];
      else block.push_back(data[i]);
    }
  } else {
    block.assign(data + 1, data + size);
  }
  if (auto offset = FixedInfoOffset(block.data(), block.size())) {
    if (*offset + kFixedInfoSize > block.size()) __builtin_trap();
  }
  ParseVersionText(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

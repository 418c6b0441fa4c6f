// Version resources: the binary block Windows programs read with the
// version calls (VS_VERSIONINFO with UTF-16 keys, little-endian), here
// holding only the fixed information (VS_FIXEDFILEINFO). The resource
// compiler builds blocks from "1.75.0.64"; the layer builds them for the
// libraries it provides and reads them back for VerQueryValueA. Pure
// functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace twl::resources {

// Most significant halves hold major.minor, least significant ones
// build.revision, each part 16 bits.
struct FixedVersion {
  uint32_t fileMS = 0;
  uint32_t fileLS = 0;
  uint32_t productMS = 0;
  uint32_t productLS = 0;
};

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;

// "1", "1.75", "1.75.0" or "1.75.0.64" (parts 0..65535; missing ones are
// 0) as the file and product version; none for any other text.
std::optional<FixedVersion> ParseVersionText(const std::string& text);

std::vector<uint8_t> BuildVersionBlock(const FixedVersion& version);

// Where the fixed information of a block starts: the block must hold its
// own length (at most `size`), the key "VS_VERSION_INFO", a 52-byte value
// and the signature. None for anything else.
std::optional<size_t> FixedInfoOffset(const uint8_t* block, size_t size);

}  // namespace twl::resources

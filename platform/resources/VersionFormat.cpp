#include "VersionFormat.h"

#include <cstring>

namespace twl::resources {

namespace {

constexpr char kKey[] = "VS_VERSION_INFO";
constexpr size_t kHeaderSize = 6;                          // wLength, wValueLength, wType
constexpr size_t kKeyBytes = 2 * sizeof kKey;              // UTF-16 with its terminator
constexpr size_t kValueOffset = (kHeaderSize + kKeyBytes + 3) & ~size_t{3};
constexpr size_t kBlockSize = kValueOffset + kFixedInfoSize;
constexpr uint32_t kStructVersion = 0x00010000;
constexpr uint32_t kFlagsMask = 0x3F;
constexpr uint32_t kOsNtWindows32 = 0x00040004;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t Get16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
         (static_cast<uint32_t>(at[3]) << 24);
}

}  // namespace

std::optional<FixedVersion> ParseVersionText(const std::string& text) {
  uint32_t parts[4] = {};
  size_t count = 0;
  size_t at = 0;
  while (true) {
    if (count == 4 || at >= text.size() || text[at] < '0' || text[at] > '9') return std::nullopt;
    uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      value = value * 10 + static_cast<uint32_t>(text[at++] - '0');
      if (value > 0xFFFF) return std::nullopt;
    }
    parts[count++] = value;
    if (at == text.size()) break;
    if (text[at++] != '.') return std::nullopt;
  }
  FixedVersion version;
  version.fileMS = version.productMS = (parts[0] << 16) | parts[1];
  version.fileLS = version.productLS = (parts[2] << 16) | parts[3];
  return version;
}

std::vector<uint8_t> BuildVersionBlock(const FixedVersion& version) {
  std::vector<uint8_t> block(kBlockSize, 0);
  Put16(block, 0, static_cast<uint16_t>(kBlockSize));
  Put16(block, 2, static_cast<uint16_t>(kFixedInfoSize));
  Put16(block, 4, 0);  // binary value
  for (size_t i = 0; i < sizeof kKey; ++i) Put16(block, kHeaderSize + 2 * i, static_cast<uint8_t>(kKey[i]));
  const uint32_t fields[13] = {kFixedInfoSignature, kStructVersion, version.fileMS, version.fileLS,
                               version.productMS,   version.productLS, kFlagsMask, 0, kOsNtWindows32,
                               0,                   0,                 0,          0};
  for (size_t i = 0; i < 13; ++i) Put32(block, kValueOffset + 4 * i, fields[i]);
  return block;
}

std::optional<size_t> FixedInfoOffset(const uint8_t* block, size_t size) {
  if (!block || size < kBlockSize) return std::nullopt;
  const size_t length = Get16(block);
  if (length < kBlockSize || length > size) return std::nullopt;
  if (Get16(block + 2) != kFixedInfoSize || Get16(block + 4) != 0) return std::nullopt;
  for (size_t i = 0; i < sizeof kKey; ++i)
    if (Get16(block + kHeaderSize + 2 * i) != static_cast<uint8_t>(kKey[i])) return std::nullopt;
  if (Get32(block + kValueOffset) != kFixedInfoSignature) return std::nullopt;
  return kValueOffset;
}

}  // namespace twl::resources

#include "kilnar/recorder/MmcDevice.h"

#include <algorithm>
#include <cstring>

#include "kilnar/recorder/ByteOrder.h"

namespace {

constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint32_t kModeSenseLength = 7168;
// A page walk stops before this offset of the answer.
constexpr uint32_t kPageWalkEnd = 500;
constexpr uint32_t kFullTocLength = 400;
constexpr uint32_t kFullTocDescriptor = 11;
constexpr uint8_t kSenseRecovered = 1;
constexpr uint8_t kSenseIllegalRequest = 5;
constexpr uint8_t kInvalidFieldInCdb = 0x24;
// Mode 2 form 2 blocks arrive with four spare bytes after their 2324.
constexpr uint32_t kForm2Block = 2324;
constexpr uint32_t kForm2Stride = 2328;

uint16_t SpeedCodeOf(uint32_t v) {
  switch (v) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    default: return 6;
  }
}

}  // namespace

MmcDevice::MmcDevice(ScsiMan* manager) : ScsiDevice(manager) {}

uint8_t* MmcDevice::ModeSense(uint8_t page) {
  uint8_t cdb[10] = {0x5A, 0, page};
  SetBigEndian16(cdb + 7, kModeSenseLength);
  if (ExecCommand(10, cdb, kModeSenseLength, kDataIn) != 0) return nullptr;
  uint8_t* answer = GetTransferBuffer();
  for (uint32_t first : {4u, 8u, 12u}) {
    for (uint32_t at = first; at < kPageWalkEnd;) {
      if (answer[at] == page) return answer + at;
      at += answer[at + 1] + 2u;
      if (at >= kPageWalkEnd || answer[at] == 0) break;
    }
  }
  return nullptr;
}

const uint32_t* MmcDevice::FillSpeedList(uint32_t v) {
  std::fill(std::begin(m_Speeds), std::end(m_Speeds), 0u);
  m_Speeds[0] = 1;
  if (v == 1) return m_Speeds;
  m_Speeds[1] = 2;
  if (v == 2) return m_Speeds;
  m_Speeds[2] = 4;
  if (v == 4) return m_Speeds;
  m_Speeds[3] = 6;
  return m_Speeds;
}

const uint32_t* MmcDevice::SpeedsFromCapabilities(uint32_t offset) {
  std::fill(std::begin(m_Speeds), std::end(m_Speeds), 0u);
  m_Speeds[0] = 1;
  const uint8_t* page = ModeSense(kCapabilitiesPage);
  if (!page) return nullptr;
  return FillSpeedList(GetBigEndian16(page + offset) / 176u);
}

const uint32_t* MmcDevice::GetSpeeds() { return SpeedsFromCapabilities(8); }

void MmcDevice::FillMediumFields(WriteConfig& config, uint8_t type, uint8_t bits) {
  config.mediumFlags[0] = type < 9;
  config.mediumFlags[1] = (bits >> 1) & 1;
  config.mediumFlags[2] = type < 5;
  config.mediumFlags[3] = 1;
  config.mediumKind = (type == 1 || type == 2 || type == 5 || type == 6) ? 1 : (type == 4 || type == 8) ? 2 : 0;
  config.pauseLength = 2;
}

int16_t MmcDevice::GetMaxSpeed() {
  const uint8_t* page = ModeSense(kCapabilitiesPage);
  if (!page) return 0;
  return static_cast<int16_t>(SpeedCodeOf(GetBigEndian16(page + 8) / 176u));
}

bool MmcDevice::SetSpeed(uint16_t factor) {
  uint8_t cdb[12] = {0xBB};
  const uint32_t read = factor * 176u;
  SetBigEndian16(cdb + 2, static_cast<uint16_t>(read));
  SetBigEndian16(cdb + 4, static_cast<uint16_t>(factor >= 4 ? 704u : read));
  return ExecCommand(12, cdb, 0, kNoData) == 0;
}

int16_t MmcDevice::GetConfig(int, WriteConfig& config) {
  const uint8_t* page = ModeSense(kCapabilitiesPage);
  if (!page) return -1;
  const uint8_t t = GetTransferBuffer()[2];
  config.blockSize = m_BlockSize;
  FillMediumFields(config, t, t);
  config.speedCode = static_cast<int16_t>(SpeedCodeOf(GetBigEndian16(page + 14) / 176u));
  return 0;
}

int16_t MmcDevice::SetConfig(const WriteConfig& config, uint16_t) {
  m_BlockSize = config.blockSize;
  const uint16_t factor = config.speedCode == 0 ? 1 : config.speedCode == 1 ? 2 : config.speedCode == 2 ? 4 : 6;
  return SetSpeed(factor) ? 0 : -1;
}

int16_t MmcDevice::Read_1(uint32_t address, uint16_t count, uint16_t size) {
  if (size == 2048) return ScsiDevice::Read_1(address, count, size);
  uint8_t cdb[12] = {0xBE};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian24(cdb + 6, count);
  switch (size) {
    case kForm2Block: cdb[9] = 0x10; break;
    case 2336: cdb[9] = 0x58; break;
    case 2352:
      cdb[1] = 0x10;
      cdb[9] = 0xF8;
      break;
    default: break;
  }
  // Form 2 blocks are asked for whole, spare bytes and all, so that every
  // block unpacked below is one the drive sent.
  const uint32_t stride = size == kForm2Block ? kForm2Stride : size;
  int16_t status = ExecCommand(12, cdb, uint32_t{count} * stride, kDataIn);
  if (status != 0 && SenseKey() == kSenseRecovered) return m_Status = 0;
  if (status == 0 && size == kForm2Block) {
    uint8_t* data = GetTransferBuffer();
    for (uint32_t i = 1; i < count; ++i) std::memmove(data + i * kForm2Block, data + i * kForm2Stride, kForm2Block);
  }
  return status;
}

int16_t MmcDevice::ReadCDDA(uint32_t address, uint16_t count, bool) {
  uint8_t cdb[12] = {0xBE, 0x04};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian24(cdb + 6, count);
  cdb[9] = 0x10;
  const int16_t status = ExecCommand(12, cdb, uint32_t{count} * 2352u, kDataIn);
  if (status != 0 && SenseKey() == kSenseRecovered) return m_Status = 0;
  return status;
}

int16_t MmcDevice::Eject() {
  const uint8_t cdb[12] = {0x1B, 0, 0, 0, 0x02};
  return ExecCommand(12, cdb, 0, kNoData);
}

int16_t MmcDevice::Load() {
  const uint8_t cdb[12] = {0x1B, 0, 0, 0, 0x03};
  return ExecCommand(12, cdb, 0, kNoData);
}

void MmcDevice::ProbeLoad() {
  Load();
  const uint8_t* sense = GetSenseData();
  m_CanLoad = (sense[2] & 0x0F) == kSenseIllegalRequest && sense[12] == kInvalidFieldInCdb ? 0 : 1;
}

bool MmcDevice::CanLoad() {
  ProbeLoad();
  return m_CanLoad != 0;
}

bool MmcDevice::ReadFullToc(DiscInfo& disc) {
  const uint16_t sessions = GetSessionCount();
  uint8_t* answer = GetTransferBuffer();
  std::memset(answer, 0, kFullTocLength);
  uint8_t cdb[10] = {0x43, 0, 0xC0};
  SetBigEndian16(cdb + 7, kFullTocLength);
  if (ExecCommand(10, cdb, kFullTocLength, kDataIn) != 0) {
    std::memset(answer, 0, kFullTocLength);
    cdb[2] = 0x02;
    if (ExecCommand(10, cdb, kFullTocLength, kDataIn) != 0) return false;
  }
  // Only descriptors inside the bytes asked for are read, whatever length
  // the answer claims.
  const uint32_t claimed = (GetBigEndian16(answer) + 10u) / kFullTocDescriptor;
  const uint32_t count = std::min(claimed, (kFullTocLength - 4) / kFullTocDescriptor);
  uint16_t first = 0, last = 0;
  for (uint16_t s = 1; s <= sessions; ++s) {
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* d = answer + 4 + i * kFullTocDescriptor;
      if (d[0] != s || (d[1] >> 4) != 1 || d[2] != 0) continue;
      if (d[3] == 0xA0) first = d[8];
      if (d[3] == 0xA1) last = d[8];
    }
    for (uint16_t t = first; t <= last; ++t)
      if (t >= 1 && t <= disc.trackCount && t <= DiscInfo::kMaxTracks) disc.tracks[t - 1].sessionNumber = s;
  }
  return true;
}

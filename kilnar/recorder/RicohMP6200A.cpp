#include "kilnar/recorder/RicohMP6200A.h"

#include <cstring>
#include <string>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/RawSubChannel.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint16_t kBlock = 2352;
constexpr uint16_t kPiece = 10;
constexpr int32_t kPregapBlocks = 150;
// The fields of a data block the host prepares: sync pattern, header
// (BCD address, mode) and, in the pregap, a form-2 sub-header and EDC.
constexpr uint32_t kSyncEnd = 11;
constexpr uint32_t kHeaderAddress = 12;
constexpr uint32_t kModeByte = 15;
constexpr uint8_t kForm2 = 0x20;
constexpr uint8_t kPregapEdc[4] = {0x3F, 0x13, 0xB0, 0xBE};

uint8_t DiscTypeCode(uint16_t discType) {
  switch (discType) {
    case 1: return 0x11;
    case 2: return 0x12;
    case 3: return 0x23;
    case 4: return 0x24;
    default: return 0x00;
  }
}

void PutSyncAndMode(uint8_t* block, uint8_t mode) {
  block[0] = 0x00;
  std::memset(block + 1, 0xFF, kSyncEnd - 1);
  block[kSyncEnd] = 0x00;
  block[kModeByte] = mode;
}

// The header address of a block: its MSF in BCD, lead-in addresses
// counted back from 100:00:00 as on the disc.
void PutHeaderAddress(uint8_t* block, int32_t address) {
  int32_t frames = address + kLbaOffset;
  if (frames < 0) frames += 100 * kFramesPerMinute;
  PutBcdTime(block + kHeaderAddress, frames);
}

}  // namespace

const uint32_t* Dev_RicohMP6200A::GetSpeeds() {
  static const uint32_t speeds[] = {1, 2, 4, 0};
  return SpeedsOrBuiltIn(*this, speeds);
}

int16_t Dev_RicohMP6200A::SetConfig(const WriteConfig& config, uint16_t) {
  m_BlockSize = config.blockSize;
  if (!SetSpeed(SpeedFactorFromTwice(config.speedCode))) return -1;
  uint8_t* page = ListFromReportedPage();
  if (!page) return -1;
  page[2] = config.testWrite ? 0x11 : 0x01;
  return SelectWriteParameters(12);
}

bool Dev_RicohMP6200A::BlankDisc() { return ::BlankDisc(*this); }

bool Dev_RicohMP6200A::BlankSession() { return BlankSessionAsDisc(*this); }

int16_t Dev_RicohMP6200A::Write_1(uint32_t, uint16_t count, bool, uint16_t blockSize) {
  // No block address: the drive writes at its own next writable address.
  uint8_t cdb[10] = {0x2A};
  cdb[8] = static_cast<uint8_t>(count);
  return RepeatWhileLongWrite(*this, 10, cdb, uint32_t{count} * blockSize);
}

bool Dev_RicohMP6200A::QueryLeadLengths(uint32_t& leadIn, uint32_t& leadOut) {
  return ReadLeadLengths(*this, leadIn, leadOut, 12);
}

bool Dev_RicohMP6200A::SendTrackTable(const DiscInfo& disc) {
  const uint32_t length = uint32_t{disc.trackCount} * kTrackEntryBytes;
  uint8_t* table = GetTransferBuffer();
  std::memset(table, 0, length);
  for (int t = 0; t < disc.trackCount; ++t) {
    const TrackInfo& track = disc.tracks[t];
    uint8_t* entry = table + size_t(t) * kTrackEntryBytes;
    entry[1] = kTrackEntryBytes;
    entry[2] = track.format == kTrackAudio ? 0x00 : 0x04;
    SetBigEndian32(entry + 12, static_cast<uint32_t>(track.start.ToFrames()));
    SetBigEndian32(entry + 16, static_cast<uint32_t>(track.start.ToFrames() + track.length.ToFrames()));
  }
  uint8_t cdb[12] = {0xED};
  cdb[6] = DiscTypeCode(disc.discType);
  cdb[8] = static_cast<uint8_t>(length);
  return ExecCommand(12, cdb, cdb[8], kDataOut) == 0;
}

bool Dev_RicohMP6200A::WriteLeadInAndPregap(const DiscInfo& disc, uint32_t leadIn) {
  const TrackInfo& first = disc.TrackOrSpare(0);
  const bool data = first.format != kTrackAudio;
  const auto mode = static_cast<uint8_t>(first.format);
  uint8_t* buffer = GetTransferBuffer();
  std::memset(buffer, 0, size_t{kPiece} * kBlock);
  if (data)
    for (uint16_t k = 0; k < kPiece; ++k) PutSyncAndMode(buffer + size_t{k} * kBlock, mode);
  for (int32_t a = -kPregapBlocks - static_cast<int32_t>(leadIn); a < -kPregapBlocks; a += kPiece) {
    DebugTrace(" Adr: %ld", static_cast<long>(a));
    const auto count = static_cast<uint16_t>(a < -kPregapBlocks - kPiece ? kPiece : -kPregapBlocks - a);
    if (data)
      for (uint16_t k = 0; k < count; ++k) PutHeaderAddress(buffer + size_t{k} * kBlock, a + k);
    if (Write_1(static_cast<uint32_t>(a), count, true, kBlock) != 0) return false;
  }
  for (int32_t a = -kPregapBlocks; a < 0; ++a) {
    if (data) {
      PutSyncAndMode(buffer, mode);
      buffer[18] = kForm2;
      buffer[22] = kForm2;
      std::memcpy(buffer + kBlock - sizeof kPregapEdc, kPregapEdc, sizeof kPregapEdc);
      PutHeaderAddress(buffer, a);
    }
    if (Write_1(static_cast<uint32_t>(a), 1, true, kBlock) != 0) return false;
  }
  return true;
}

bool Dev_RicohMP6200A::PrepareDAO(const DiscInfo& disc, int) {
  // The track table's length travels in one byte.
  if (disc.trackCount > kMaxTracks) {
    SetErrorText("A disc written at once on this drive holds at most 12 tracks.");
    return false;
  }
  DebugTrace("PrepareDAO\n");
  uint32_t leadIn = 0;
  if (!QueryLeadLengths(leadIn, m_LeadOutLength)) return false;
  DebugTrace(" leadInLen: %ld", static_cast<long>(leadIn));
  if (!SendTrackTable(disc)) return false;
  if (!WriteLeadInAndPregap(disc, leadIn)) return FailAfterFlush(*this);
  return true;
}

bool Dev_RicohMP6200A::EndDAO(const DiscInfo& disc) {
  std::memset(GetTransferBuffer(), 0, size_t{kPiece} * kBlock);
  DebugTrace("write leadout %li", static_cast<long>(m_LeadOutLength));
  const TrackInfo& last = disc.TrackOrSpare(disc.trackCount - 1);
  const int32_t end = last.start.ToLba() + last.length.ToFrames();
  for (uint32_t i = 0; i < m_LeadOutLength; i += kPiece) {
    const auto count = static_cast<uint16_t>(i + kPiece < m_LeadOutLength ? kPiece : m_LeadOutLength - i);
    if (Write_1(static_cast<uint32_t>(end + static_cast<int32_t>(i)), count, true, kBlock) != 0)
      return FailAfterFlush(*this);
  }
  DebugTrace("Flush Cache");
  return FlushCacheStatus(*this) == 0;
}

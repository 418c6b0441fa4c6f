#include "kilnar/recorder/CueSheetRecorders.h"

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/CueSheet.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kMmp3DataLength = 65000;
constexpr uint16_t kRawBlock = 2352;
constexpr uint16_t kPostGapPiece = 10;
constexpr int kPostGapPieces = 15;
// Where the session format lies in a MODE SENSE(10) answer without block
// descriptors: page byte 8.
constexpr uint32_t kSessionFormatByte = kHeaderLength + 8;

}  // namespace

const uint32_t* Dev_Delta::GetSpeeds() {
  static const uint32_t speeds[] = {1, 2, 4, 0};
  return SpeedsOrBuiltIn(*this, speeds);
}

int16_t Dev_Delta::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  DebugTrace("Write_1( %li, %d, %d )", static_cast<long>(static_cast<int32_t>(address)), count, blockSize);
  // The drive takes its WRITE(10) in a 12-byte block; bytes 10 and 11 stay 0.
  uint8_t cdb[12] = {0x2A};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  return ExecCommand(12, cdb, uint32_t{count} * blockSize, kDataOut);
}

bool Dev_Delta::PrepareDAO(const DiscInfo& disc, int) {
  if (disc.trackCount == 0) return false;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  uint8_t* page = ListFromReportedPage();
  if (!page) return false;
  page[2] = SessionAtOnceWriteType(config.testWrite != 0);
  if (SelectWriteParameters(12) != 0) return false;
  return SendCueSheetAndStart(disc);
}

bool Dev_Delta::SendCueSheetAndStart(const DiscInfo& disc) {
  const size_t entries = BuildCueSheet(disc, kEveryPregapCueSheet, GetTransferBuffer());
  if (entries == 0) {
    SetErrorText("The disc's tracks do not fit into a cue sheet.");
    return false;
  }
  if (SendCueSheet(*this, entries) != 0) return false;
  // The first pregap's length, without data: the drive writes it.
  uint8_t cdb[12] = {0xAA};
  SetBigEndian32(cdb + 2, static_cast<uint32_t>(-kLbaOffset));
  SetBigEndian32(cdb + 6, static_cast<uint32_t>(disc.TrackOrSpare(0).pregap.ToFrames()));
  return ExecCommand(12, cdb, 0, kDataOut) == 0;
}

bool Dev_Delta::EndDAO(const DiscInfo& disc) {
  DebugTrace("postgap");
  std::memset(GetTransferBuffer(), 0, size_t{kPostGapPiece} * kRawBlock);
  const TrackInfo& last = disc.TrackOrSpare(disc.trackCount - 1);
  uint32_t address = static_cast<uint32_t>(last.start.ToLba() + last.length.ToFrames());
  for (int i = 0; i < kPostGapPieces; ++i, address += kPostGapPiece) {
    uint8_t cdb[12] = {0xAA};
    SetBigEndian32(cdb + 2, address);
    SetBigEndian32(cdb + 6, kPostGapPiece);
    if (ExecCommand(12, cdb, uint32_t{kPostGapPiece} * kRawBlock, kDataOut) != 0) return false;
  }
  return FlushCacheStatus(*this) == 0;
}

bool Dev_MMP3Ver8RW::BlankDisc() { return ::BlankDisc(*this); }

bool Dev_MMP3Ver8RW::BlankSession() { return ::BlankSession(*this); }

int16_t Dev_MMP3Ver8RW::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  return Write10(*this, address, count, blockSize);
}

bool Dev_MMP3Ver8RW::PrepareDAO(const DiscInfo& disc, int) {
  if (disc.trackCount == 0) return false;
  SetDataLength(kMmp3DataLength);
  std::memset(GetTransferBuffer(), 0, kMmp3DataLength);
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  if (!ModeSense(kWriteParametersPage)) return false;
  // The drive's answer goes back as it came, header included; only the
  // session format follows the disc, the write type stays the drive's.
  GetTransferBuffer()[kSessionFormatByte] = SessionFormatOfDiscType(disc.discType);
  if (SelectWriteParameters(10) != 0) return false;
  return SendCueSheetAndStart(disc);
}

// The track-at-once protocol a burn drives: StartTrack configures the
// drive and opens the track, Write sends whole blocks at the track's next
// address through the drive class's Write_1, EndTrack flushes the track.
#include <cstring>
#include <string>

#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

constexpr uint8_t kTestWriteFlag = 0x02;
constexpr uint32_t kTrackBlockSize = 2048;
constexpr int16_t kMediumKindMode2 = 2;

}  // namespace

bool ScsiDevice::StartTrack(uint32_t blocks, uint16_t track, uint16_t mode, uint32_t value1, uint32_t value2,
                            uint8_t flags, const ProgressCallback& progress) {
  m_Progress = progress;
  m_TrackBlocks = blocks;
  m_WriteFlags = flags;
  m_Cancel = 0;
  m_WriteBlockSize = kTrackBlockSize;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  config.blockSize = kTrackBlockSize;
  if (mode == 2) config.mediumKind = kMediumKindMode2;
  if (SetConfig(config, 1) != 0) return false;
  int32_t address = 0;
  if (IsAddressFirstType()) address = FirstWriteAdress(0, mode, static_cast<int>(blocks), 0);
  if (WriteTrack(0, mode, track, value1, value2, blocks, static_cast<uint32_t>(address), flags & kTestWriteFlag) != 0)
    return false;
  if (!IsAddressFirstType()) {
    address = FirstWriteAdress(0, mode, 0, 0);
    if (address == -1) return false;
  }
  m_NextAddress = static_cast<uint32_t>(address);
  m_BlocksWritten = 0;
  return true;
}

bool ScsiDevice::Write(const void* data, uint32_t length) {
  if (m_Cancel == 1) {
    SetMsgError("USER_BREAK");
    return false;
  }
  if (m_WriteBlockSize == 0) {
    SetErrorText("No track has been started on the recorder.");
    m_Status = -1;
    return false;
  }
  // Every byte handed over must reach the disc: a part block, or more than
  // the transfer buffer holds, would be dropped without a word.
  if (length % m_WriteBlockSize != 0 || length > kTransferBufferSize || !data) {
    SetErrorText("Only whole blocks of " + std::to_string(m_WriteBlockSize) + " bytes, at most " +
                 std::to_string(kTransferBufferSize) + " bytes at a time, can be written, not " +
                 std::to_string(length) + " bytes.");
    m_Status = -1;
    return false;
  }
  SetDataLength(length);
  uint8_t* buffer = GetTransferBuffer();
  if (data != buffer) std::memmove(buffer, data, length);
  const uint32_t count = length / m_WriteBlockSize;
  m_BlocksWritten += count;
  const bool last = m_BlocksWritten == m_TrackBlocks && (m_WriteFlags & kTestWriteFlag) == 0;
  if (Write_1(m_NextAddress, static_cast<uint16_t>(count), last, static_cast<uint16_t>(m_WriteBlockSize)) != 0)
    return false;
  if (m_Progress) {
    const uint64_t percent = m_TrackBlocks == 0 ? 100 : uint64_t{m_BlocksWritten} * 100 / m_TrackBlocks;
    m_Progress(static_cast<int>(percent));
  }
  m_NextAddress += count;
  return true;
}

bool ScsiDevice::EndTrack(uint16_t track, uint8_t flags, uint8_t audio) {
  DebugTrace("ScsiDevice :: EndTrack (1)");
  if (FlushCache(1, 1, track, m_NextAddress, audio != 0 ? 4 : 0, flags & kTestWriteFlag) != 0) {
    DebugTrace("ScsiDevice :: EndTrack (2)");
    return false;
  }
  DebugTrace("ScsiDevice :: EndTrack (3)");
  SetBlocksWrittenText(m_TrackBlocks);
  return true;
}

// Writing a whole track from a stream: the source is read ahead, a chunk
// at a time, into a ring of buffers while the drive writes the chunk
// before. Where the source or the drive sends without waiting the reads
// and writes overlap; with waited commands the loop alternates.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "kilnar/recorder/BlockBufferSet.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

constexpr uint16_t kRingBlocks = 30;
constexpr uint32_t kRingBlockSize = 132000;
constexpr uint32_t kChunkBlocks = 27;
constexpr uint32_t kAudioChunkBlocks = 23;
constexpr uint32_t kAudioBlockSize = 2352;
constexpr uint8_t kAudioFlag = 4;
constexpr uint8_t kTestWriteFlag = 0x02;
constexpr int16_t kMediumKindMode2 = 2;
// A round in which neither side could go on pauses this long; after the
// longest a command may take without either side moving, the write fails.
constexpr DWORD kIdlePause = 1;
constexpr DWORD kLongestIdle = 720000;
constexpr const char* kStalledText = "Neither the source nor the drive finished within 12 minutes.";

}  // namespace

int16_t ScsiDevice::WriteTrackFromFile(CwStream& source, uint16_t track, uint32_t size, uint16_t mode,
                                       uint32_t value1, uint32_t value2, uint8_t flags,
                                       const ProgressCallback& progress) {
  m_Cancel = 0;
  int32_t address = 0;
  const uint32_t chunk = size == kAudioBlockSize ? kAudioChunkBlocks : kChunkBlocks;
  const int64_t position = source.Tell();
  const uint32_t bytes = position < 0 ? 0 : static_cast<uint32_t>(source.GetSize() - position);
  if (bytes == 0 || size == 0 || chunk * size > CwStream::kChunkCapacity) {
    SetMsgError("ERR_CW_FILE_ACCESS");
    m_Status = -1;
    return -1;
  }
  WriteConfig config;
  if (GetConfig(0, config) != 0) return -1;
  config.blockSize = static_cast<uint16_t>(size);
  if (mode == 2) config.mediumKind = kMediumKindMode2;
  if (SetConfig(config, 1) != 0) return -1;
  const bool audio = size == kAudioBlockSize;
  const uint8_t audioFlag = audio ? kAudioFlag : 0;
  if (!audio) source.Rewind();
  const uint32_t blocks = bytes / size;
  const uint8_t testWrite = flags & kTestWriteFlag;
  if (IsAddressFirstType()) address = FirstWriteAdress(audioFlag, mode, static_cast<int>(blocks), 0);
  if (WriteTrack(audioFlag, mode, track, value1, value2, blocks, static_cast<uint32_t>(address), testWrite) != 0)
    return -1;
  if (!IsAddressFirstType()) {
    address = FirstWriteAdress(audioFlag, mode, 0, 0);
    if (address == -1) return -1;
  }
  m_WriteBlockSize = size;
  m_Progress = nullptr;
  m_NextAddress = static_cast<uint32_t>(address);
  m_BlocksWritten = 0;
  m_TrackBlocks = blocks;
  m_WriteFlags = flags;
  m_TrackStart = static_cast<uint32_t>(address);
  BlockBufferSet ring(kRingBlocks, kRingBlockSize);
  SetDataLength(chunk * size);

  const auto report = [&] {
    if (!progress) return;
    int state = ring.GetReadIndex() - ring.GetWriteIndex();
    if (state < 0) state += kRingBlocks;
    progress(state);
  };
  bool failed = !ring.IsValid();
  if (failed) SetErrorText(ring.GetErrorText());
  uint32_t read = 0, written = 0;
  uint32_t reading = 0;  // blocks of the source read outstanding
  const uint8_t* readData = nullptr;
  bool writing = false;
  DWORD idleSince = GetTickCount();
  while (!failed && written < blocks) {
    bool moved = false;
    if (m_Cancel == 1) {
      SetMsgError("USER_BREAK");
      failed = true;
      break;
    }
    const int16_t sourceState = source.Poll();
    if (sourceState == -1) {
      SetErrorText(source.GetErrorText());
      failed = true;
      break;
    }
    if (reading > 0 && sourceState == 0) {
      uint8_t* block = ring.GetWriteBlock();
      if (!block) {
        SetMsgError("INTERNAL_ERROR");
        failed = true;
        break;
      }
      std::memcpy(block, readData, reading * size);
      ring.CommitWrite(reading * size);
      read += reading;
      reading = 0;
      moved = true;
      report();
    }
    if (!ring.IsFull() && read < blocks && reading == 0 && source.Poll() == 0) {
      const uint32_t n = std::min(chunk, blocks - read);
      readData = source.ReadChunk(n * size);
      if (!readData) {
        SetErrorText(std::string("Could not read from:\n") + source.GetName() + "\n" + source.GetErrorText());
        failed = true;
        break;
      }
      reading = n;
      moved = true;
    }
    const int16_t driveState = Poll();
    if (driveState == -1) {
      failed = true;
      break;
    }
    if (writing && driveState == 0) {
      ring.CommitRead();
      writing = false;
      moved = true;
      report();
    }
    if (!ring.IsEmpty() && written < blocks && !writing && Poll() == 0) {
      uint32_t length = 0;
      const uint8_t* block = ring.GetReadBlock(length);
      if (!block) {
        SetMsgError("INTERNAL_ERROR");
        failed = true;
        break;
      }
      std::memcpy(GetTransferBuffer(), block, length);
      const uint32_t n = length / size;
      written += n;
      if (!Write(GetTransferBuffer(), n * size)) {
        failed = true;
        break;
      }
      writing = true;
      address += static_cast<int32_t>(n);
      moved = true;
      report();
    }
    if (moved) {
      idleSince = GetTickCount();
    } else if (GetTickCount() - idleSince >= kLongestIdle) {
      SetErrorText(kStalledText);
      failed = true;
    } else {
      Sleep(kIdlePause);
    }
  }
  if (!failed) {
    const DWORD waitStart = GetTickCount();
    int16_t driveState = Poll();
    while (driveState == 1 && GetTickCount() - waitStart < kLongestIdle) {
      Sleep(kIdlePause);
      driveState = Poll();
    }
    if (driveState != 0) {
      if (driveState == 1) SetErrorText(kStalledText);
      m_Status = -1;
      return -1;
    }
  }
  if (progress) progress(0);
  if (failed) {
    const std::string kept = GetErrorText();
    FlushCache(1, 1, track, static_cast<uint32_t>(address), audioFlag, testWrite);
    SetErrorText(kept);
    m_Status = -1;
    return -1;
  }
  if (FlushCache(1, 1, track, static_cast<uint32_t>(address), audioFlag, testWrite) == 0) SetBlocksWrittenText(blocks);
  return m_Status;
}

// Comparing a written track with its source, five blocks at a time; a
// chunk the disc does not give is read again, up to 20 times.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

constexpr uint32_t kChunkBlocks = 5;
constexpr int kMostRetries = 20;
constexpr uint32_t kAudioBlockSize = 2352;
// The last blocks of a source are run-out the disc need not give back.
constexpr uint32_t kUncomparedBlocks = 4;
constexpr uint32_t kWaveHeaderBytes = 44;

bool ReadsAudioAsData(uint16_t type) {
  return type == 2 || type == 4 || type == 9 || type == 14 || type == ScsiDrive::kNotIdentified;
}

void SwapByteOrder(uint8_t* data, uint32_t length) {
  for (uint32_t i = 0; i + 1 < length; i += 2) std::swap(data[i], data[i + 1]);
}

}  // namespace

bool ScsiDevice::VerifyTrack(CwStream& source, uint16_t track, uint32_t size) {
  int retries = 0;
  uint32_t done = 0;
  m_Cancel = 0;
  ReadTrackInformation(track);
  const uint32_t start = GetBigEndian32(m_TrackInformation.bytes + 2);
  uint32_t address = start;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  const bool audio = (m_TrackInformation.bytes[11] & 0x0F) == 0x0F;
  if (audio) {
    size = kAudioBlockSize;
    source.Seek(kWaveHeaderBytes, 0);
  }
  config.blockSize = static_cast<uint16_t>(size);
  if (SetConfig(config, 0) != 0) return false;
  // A source of no more than the uncompared blocks has nothing to compare:
  // it is refused rather than reported as verified.
  const uint32_t sourceBlocks = size == 0 ? 0 : source.GetSize() / size;
  if (sourceBlocks <= kUncomparedBlocks || uint64_t{kChunkBlocks} * size > kTransferBufferSize) {
    SetMsgError("FILE_INVALID");
    return false;
  }
  const uint32_t total = sourceBlocks - kUncomparedBlocks;
  std::vector<uint8_t> expected;
  try {
    expected.resize(size_t{kChunkBlocks} * size);
  } catch (const std::bad_alloc&) {
    SetMsgError("NOT_ENOUGH_MEMORY");
    return false;
  }
  while (done < total) {
    const uint32_t n = std::min(kChunkBlocks, total - done);
    const uint32_t length = n * size;
    if (!source.Read(expected.data(), length)) {
      SetErrorText(source.GetErrorText());
      return false;
    }
    for (;;) {
      int16_t status = 0;
      if (audio && ReadsAudioAsData(GetType())) {
        status = Read_1(address, static_cast<uint16_t>(n), kAudioBlockSize);
        if (status == 0) SwapByteOrder(GetTransferBuffer(), length);
      } else if (audio) {
        status = ReadCDDA(address, static_cast<uint16_t>(n));
      } else {
        status = Read_1(address, static_cast<uint16_t>(n), static_cast<uint16_t>(size));
      }
      if (m_Cancel == 1) {
        SetMsgError("USER_BREAK");
        return false;
      }
      if (status == 0) break;
      if (retries >= kMostRetries) {
        SetMsgError("ERR_CW_READERROR");
        return false;
      }
      ++retries;
    }
    if (std::memcmp(GetTransferBuffer(), expected.data(), length) != 0) {
      SetMsgError("ERR_CW_VERIFY");
      return false;
    }
    done += n;
    address = start + done;
    retries = 0;
  }
  return true;
}

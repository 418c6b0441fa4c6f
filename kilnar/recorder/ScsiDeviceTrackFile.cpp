// Reading a track of the disc into a stream: data tracks block by block,
// audio tracks as a WAVE file up to the next pregap; and the audio play
// commands the pregap search drives.
#include <algorithm>
#include <cstring>
#include <string>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/IniFile.h"
#include "kilnar/recorder/MessageFigures.h"
#include "kilnar/recorder/ScsiDevice.h"
#include "kilnar/recorder/SleepSeconds.h"
#include "kilnar/recorder/SmallTransferMode.h"

namespace {

constexpr uint8_t kSenseMediumError = 3;
constexpr uint8_t kSenseUnitAttention = 6;
constexpr int kMostRetries = 5;
constexpr uint32_t kNearTheEnd = 150;

// The [MESSAGE] text of ERR_CW_NOT_ENOUGH_SPACE with its three figures.
std::string NotEnoughSpaceText(const char* name, uint32_t neededKb, uint32_t availableKb) {
  IniFile messages("MSG\\SCSI.MSG", nullptr);
  return FillFigures(messages.GetString("MESSAGE", "ERR_CW_NOT_ENOUGH_SPACE"),
                     {name ? name : "", std::to_string(neededKb), std::to_string(availableKb)});
}

}  // namespace

void MakeWaveHeader(uint8_t* header, uint32_t dataLength) {
  std::memcpy(header, "RIFF", 4);
  SetLittleEndian32(header + 4, dataLength + 36);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  SetLittleEndian32(header + 16, 16);
  SetLittleEndian16(header + 20, 1);
  SetLittleEndian16(header + 22, 2);
  SetLittleEndian32(header + 24, 44100);
  SetLittleEndian32(header + 28, 176400);
  SetLittleEndian16(header + 32, 4);
  SetLittleEndian16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  SetLittleEndian32(header + 40, dataLength);
}

bool ScsiDevice::PlayAudio(uint32_t address, uint16_t length) {
  uint8_t cdb[10] = {0x45};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, length);
  return ExecCommand(10, cdb, 0, kNoData) == 0;
}

bool ScsiDevice::PauseAudio() {
  const uint8_t cdb[10] = {0x4B};
  return ExecCommand(10, cdb, 0, kNoData) == 0;
}

bool ScsiDevice::ReadSubchannel(uint32_t address, uint32_t& count) {
  if (address == 0) {
    count = 150;
    return true;
  }
  if (!PlayAudio(address - 250, 300)) {
    count = 0;
    return true;
  }
  for (int wait = 0; wait < 2000; ++wait) {
    uint8_t cdb[10] = {0x42, 0, 0x40, 0x01};
    SetBigEndian16(cdb + 7, 48);
    const bool read = ExecCommand(10, cdb, 48, kDataIn) == 0;
    const uint8_t* answer = GetTransferBuffer();
    const uint32_t absolute = GetBigEndian32(answer + 8);
    if (!read || absolute >= address) {
      PauseAudio();
      count = 0;
      return true;
    }
    if (answer[7] == 0) {
      PauseAudio();
      count = address - absolute + 1;
      return true;
    }
    SleepSeconds(1);
  }
  count = 0;
  PauseAudio();
  return true;
}

int16_t ScsiDevice::ReadTrackToFile(CwStream& stream, uint16_t track, uint32_t blockSize) {
  if (blockSize == 0 || blockSize > 2352) {
    SetMsgError("FILE_INVALID");
    return -1;
  }
  const uint32_t chunk = GetSmallTransferMode() ? 32767 / blockSize : 27;
  if (!stream.IsOpen()) {
    SetMsgError("FILE_INVALID");
    return -1;
  }
  WriteConfig config;
  if (GetConfig(0, config) != 0 || ReadTrackInformation(track) != 0) return -1;
  m_Cancel = 0;
  const uint32_t start = GetBigEndian32(m_TrackInformation.bytes + 2);
  const uint32_t tocBlocks = GetBigEndian32(m_TrackInformation.bytes + 6);
  uint32_t blocks = tocBlocks >= 2 ? tocBlocks - 2 : 0;
  const bool audio = (m_TrackInformation.bytes[11] & 0x0F) == 0x0F;
  uint32_t size = blockSize;
  if (audio) {
    size = 2352;
    config.blockSize = 2352;
  } else {
    config.blockSize = static_cast<uint16_t>(size == 2324 ? 2336 : size);
  }
  if (SetConfig(config, 0) != 0 || GetConfig(0, config) != 0) return -1;
  const uint64_t needed = static_cast<uint64_t>(blocks) * size;
  const uint64_t available = static_cast<uint64_t>(stream.GetFreeSpace()) + stream.GetSize();
  if (available < needed) {
    SetErrorText(NotEnoughSpaceText(stream.GetName(), static_cast<uint32_t>(needed / 1024),
                                    static_cast<uint32_t>(available / 1024)));
    return -1;
  }
  if (audio) {
    uint32_t beforePregap = 0;
    ReadSubchannel(start + blocks, beforePregap);
    blocks = beforePregap < blocks ? blocks - beforePregap : 0;
    uint8_t header[kWaveHeaderSize];
    MakeWaveHeader(header, blocks * 2352);
    if (!stream.Write(header, kWaveHeaderSize)) {
      SetMsgError("ERR_CW_FILE_ACCESS");
      return -1;
    }
  }
  uint32_t done = 0;
  int retries = 0;
  uint8_t* buffer = GetTransferBuffer();
  while (done < blocks && m_Cancel != 1) {
    uint32_t n = std::min(chunk, blocks - done);
    int16_t status = 0;
    for (;;) {
      status = audio ? ReadCDDA(start + done, static_cast<uint16_t>(n)) : Read_1(start + done, static_cast<uint16_t>(n),
                                                                               static_cast<uint16_t>(size));
      if (status == 0) break;
      const uint32_t remaining = blocks - done;
      if (start + done == 0 && size == 2048) {
        // An unreadable first block of a data disc: sixteen zero blocks
        // stand for it, never more than the track still holds.
        n = std::min<uint32_t>(16, remaining);
        std::memset(buffer, 0, n * 2048u);
        status = 0;
        break;
      }
      if (remaining <= kNearTheEnd) {
        if (n == 1) {
          // The run-out of a track may not read: a zero block keeps the
          // file's length without stale bytes of an earlier read.
          std::memset(buffer, 0, size);
          status = 0;
          break;
        }
        n = 1;
        continue;
      }
      const uint8_t key = SenseKey();
      if (retries >= kMostRetries || (key != kSenseMediumError && key != kSenseUnitAttention)) return -1;
      ++retries;
    }
    if (!stream.Write(buffer, n * size)) {
      SetMsgError("ERR_CW_FILE_ACCESS");
      return -1;
    }
    done += n;
    retries = 0;
  }
  AllowMediaRemoval(true);
  if (m_Cancel == 1) {
    stream.Delete();
    SetMsgError("USER_BREAK");
    return -1;
  }
  return 0;
}

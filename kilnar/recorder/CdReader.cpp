// The reading operations every recorder class inherits unless it
// overrides them.
#include "kilnar/recorder/CdReader.h"

#include <algorithm>
#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kReadToc = 0x43;
constexpr uint8_t kSenseRecovered = 1;

uint8_t DensityFor(uint16_t size, bool toshiba) {
  switch (size) {
    case 2048: return toshiba ? 0x83 : 0x01;
    case 2336: return toshiba ? 0x83 : 0xC1;
    case 2352: return toshiba ? 0x82 : 0x04;
    case 2324: return 0x82;
    default: return 0x00;
  }
}

}  // namespace

CdReader::CdReader(ScsiMan* manager) : ScsiDrive(manager) {}

const uint32_t* CdReader::GetSpeeds() {
  static const uint32_t single[] = {1, 0};
  return single;
}

bool CdReader::SetSpeed(uint16_t factor) { return ::SetSpeed(*this, factor); }

bool CdReader::SetBlockSize(uint16_t size, uint16_t) {
  uint8_t* list = GetTransferBuffer();
  const auto select = [&](uint8_t density) {
    std::memset(list, 0, 12);
    list[3] = 8;
    list[4] = density;
    SetBigEndian24(list + 9, size);
    const uint8_t cdb[6] = {0x15, 0x10, 0, 0, 12, 0};
    return ExecCommand(6, cdb, 12, kDataOut);
  };
  if (select(0) == 0) return true;
  const bool toshiba = std::strncmp(GetName(), "TOSHIBA", 7) == 0;
  return select(DensityFor(size, toshiba)) == 0;
}

int16_t CdReader::ReadTocAnswer() {
  std::memset(GetTransferBuffer(), 0, kTocAnswerSize);
  uint8_t cdb[10] = {kReadToc};
  SetBigEndian16(cdb + 7, kTocAnswerSize);
  return ExecCommand(10, cdb, kTocAnswerSize, kDataIn);
}

uint16_t CdReader::GetTrackCount() {
  ReadTocAnswer();
  m_ClaimedTracks = GetTransferBuffer()[3];
  return std::min<uint16_t>(m_ClaimedTracks, kMaxTrackNumber);
}

uint16_t CdReader::GetSessionCount() {
  uint8_t cdb[10] = {kReadToc};
  cdb[8] = 0xFF;
  cdb[9] = 0x40;
  if (ExecCommand(10, cdb, 255, kDataIn) != 0) return GetTrackCount() > 0 ? 1 : 0;
  const uint8_t* answer = GetTransferBuffer();
  if (answer[3] == 0) return answer[2];
  if (answer[6] != 0) return answer[3];
  return static_cast<uint16_t>(answer[3] - 1);
}

uint16_t CdReader::GetLastSessionStart(int32_t& start) {
  uint8_t cdb[10] = {kReadToc};
  cdb[2] = 0x01;
  cdb[8] = 0xFF;
  if (ExecCommand(10, cdb, 12, kDataIn) != 0) {
    cdb[2] = 0;
    cdb[9] = 0x40;
    if (ExecCommand(10, cdb, 12, kDataIn) != 0) {
      start = 0;
      return 0;
    }
    cdb[6] = GetTransferBuffer()[2];
    if (ExecCommand(10, cdb, 12, kDataIn) != 0) {
      start = 0;
      return 0;
    }
  }
  const uint8_t* answer = GetTransferBuffer();
  start = static_cast<int32_t>(GetBigEndian32(answer + 8));
  return answer[6];
}

bool CdReader::FindTrackInToc(const uint8_t* toc, uint16_t track, int32_t& start, int32_t& length,
                              uint8_t& control) {
  // Only descriptors that lie wholly inside both the answer's own length
  // and the bytes asked for are read.
  const uint32_t end = std::min<uint32_t>(GetBigEndian16(toc) + 2u, kTocAnswerSize);
  for (uint32_t at = 4; at + 8 <= end; at += 8) {
    if (toc[at + 2] != track) continue;
    if (at + 16 > end) break;
    const int64_t first = static_cast<int32_t>(GetBigEndian32(toc + at + 4));
    const int64_t next = static_cast<int32_t>(GetBigEndian32(toc + at + 12));
    if (!IsDiscAddress(first) || !IsDiscAddress(next) || next < first) break;
    start = static_cast<int32_t>(first);
    length = static_cast<int32_t>(next - first);
    control = toc[at + 1];
    return true;
  }
  SetBadTrackText(track);
  return false;
}

void CdReader::SetBadTrackText(uint16_t track) {
  SetErrorText(std::string(kBadTocText) + ": track " + std::to_string(track) + " cannot be read from it.");
}

bool CdReader::GetTrackInfo(uint16_t track, int32_t& start, int32_t& length, bool& audio, bool& data) {
  if (ReadTocAnswer() != 0) return false;
  uint8_t control = 0;
  if (!FindTrackInToc(GetTransferBuffer(), track, start, length, control)) return false;
  audio = (control & 0x04) == 0;
  if (!audio) data = true;
  return true;
}

bool CdReader::ReadDiscInfo(DiscInfo& disc, const ProgressCallback& progress) {
  m_Cancel = 0;
  disc.trackCount = 0;
  disc.sessionCount = GetSessionCount();
  const uint16_t count = GetTrackCount();
  if (m_ClaimedTracks > kMaxTrackNumber) {
    SetErrorText(std::string(kBadTocText) + ": it claims " + std::to_string(m_ClaimedTracks) + " tracks.");
    return false;
  }
  TrackInfo spare;
  for (uint16_t i = 0; i < count; ++i) {
    if (m_Cancel == 1) return false;
    int32_t start = 0, length = 0;
    bool audio = false, data = false;
    if (!GetTrackInfo(static_cast<uint16_t>(i + 1), start, length, audio, data)) return false;
    int32_t pregap = 150;
    if (i == 0) pregap = start + 150;
    else if (audio && disc.tracks[i - 1].format == kTrackAudio) pregap = 0;
    TrackInfo& previous = i == 0 ? spare : disc.tracks[i - 1];
    previous.length.FromFrames(previous.length.ToFrames() - pregap);
    Msf startAddress;
    startAddress.FromLba(start);
    disc.tracks[i] = TrackInfo(static_cast<uint16_t>(i + 1), audio ? kTrackAudio : kTrackDataMode1, startAddress,
                               length - 152, pregap);
    disc.trackCount = static_cast<uint16_t>(i + 1);
    if (progress) progress(100 * (i + 1) / count);
  }
  if (disc.trackCount > 0) {
    const uint16_t format = disc.tracks[0].format;
    disc.SetDiscType(format == kTrackAudio ? 0 : format == kTrackDataMode1 ? 1 : 3);
  }
  if (progress) progress(100);
  return true;
}

int16_t CdReader::Read_1(uint32_t address, uint16_t count, uint16_t size) {
  uint8_t cdb[10] = {0x28};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  const int16_t status = ExecCommand(10, cdb, static_cast<uint32_t>(count) * size, kDataIn);
  if (status != 0 && SenseKey() == kSenseRecovered) return 0;
  return status;
}

int16_t CdReader::ReadCDDA(uint32_t address, uint16_t count, bool) {
  if (m_ReaderCdDaCommand == 0) return 0;
  const uint32_t length = count * 2352u;
  uint8_t cdb[12] = {m_ReaderCdDaCommand};
  int cdbLength = 12;
  switch (m_ReaderCdDaCommand) {
    case 0x08:
      SetBigEndian24(cdb + 1, address);
      cdb[4] = static_cast<uint8_t>(count);
      cdbLength = 6;
      break;
    case 0x28: {
      SetBigEndian32(cdb + 2, address);
      SetBigEndian16(cdb + 7, count);
      int16_t status = ExecCommand(10, cdb, length, kDataIn);
      if (status != 0 && SenseKey() == kSenseRecovered) status = 0;
      if (status == 0 && m_ReaderCdDaSwap == 1) {
        uint8_t* data = GetTransferBuffer();
        for (uint32_t i = 0; i + 1 < length; i += 2) std::swap(data[i], data[i + 1]);
      }
      return status == 0 ? 1 : 0;
    }
    case 0xBE:
      SetBigEndian32(cdb + 2, address);
      SetBigEndian24(cdb + 6, count);
      break;
    case 0xD4:
      SetBigEndian32(cdb + 2, address);
      cdb[8] = static_cast<uint8_t>(count);
      cdbLength = 10;
      break;
    default:
      SetBigEndian32(cdb + 2, address);
      SetBigEndian32(cdb + 6, count);
      break;
  }
  const int16_t status = ExecCommand(cdbLength, cdb, length, kDataIn);
  if (status != 0 && SenseKey() == kSenseRecovered) return 0;
  return status;
}

bool CdReader::ReadVolumeLabel(uint32_t sessionStart, bool& bridge, char* label, uint32_t labelSize) {
  if (!label || labelSize == 0) return false;
  uint16_t size = 2048;
  SetBlockSize(size);
  if (Read_1(sessionStart + 16, 1, size) != 0) {
    size = 2336;
    SetBlockSize(size);
    if (Read_1(sessionStart + 16, 1, size) != 0) return false;
  }
  const uint8_t* block = GetTransferBuffer();
  for (uint32_t i = 0; i < 40; ++i) {
    if (Read_1(sessionStart + 16 + i, 1, size) != 0) return false;
    if (block[0] != 1 && block[0] != 0x10) continue;
    if (std::memcmp(block + 8, "CD-RTOS CD-BRIDGE", 17) == 0) bridge = true;
    const uint32_t copied = std::min<uint32_t>(labelSize, 32) - 1;
    std::memcpy(label, block + 40, copied);
    label[copied] = '\0';
    return true;
  }
  return false;
}

bool CdReader::AllowMediaRemoval(bool allow) {
  const uint8_t cdb[6] = {0x1E, 0, 0, 0, static_cast<uint8_t>(allow ? 0 : 1), 0};
  return ExecCommand(6, cdb, 0, kNoData) == 0;
}

int16_t CdReader::Eject() { return ::Eject(*this); }
int16_t CdReader::Load() { return ::Load(*this); }

#include "kilnar/recorder/AtapiRecorder.h"

#include <windows.h>

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/SharedDriveOperations.h"
#include "kilnar/recorder/SleepSeconds.h"

namespace {

constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint32_t kParameterListLength = 60;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kPageBytesSent = kParameterListLength - kHeaderLength;
constexpr uint16_t kAudioPause = 150;
constexpr uint8_t kAudioFlag = 4;
constexpr uint8_t kIllegalModeForTrack = 0x64;
constexpr uint32_t kFirstReadyPause = 5;
constexpr uint32_t kCloseSeconds = 120;
constexpr uint32_t kLastReadyPause = 20;

bool IsEvenFrom6To40(uint32_t v) { return v >= 6 && v <= 40 && v % 2 == 0; }

}  // namespace

Dev_ATAPIRecorder::Dev_ATAPIRecorder(ScsiMan* manager) : MmcDevice(manager) {}

int16_t Dev_ATAPIRecorder::GetMaxSpeed() {
  const uint8_t* page = ModeSense(kCapabilitiesPage);
  if (!page) return 0;
  const uint32_t v = GetBigEndian16(page + 18) / 176u;
  if (v == 1) return 0;
  if (v == 2) return 1;
  if (IsEvenFrom6To40(v)) return static_cast<int16_t>(v);
  return 2;
}

// The largest write speed decides, where the MMC class reads the largest
// read speed.
const uint32_t* Dev_ATAPIRecorder::GetSpeeds() { return SpeedsFromCapabilities(18); }

bool Dev_ATAPIRecorder::SetSpeed(uint16_t factor) { return ::SetSpeed(*this, factor); }

uint32_t Dev_ATAPIRecorder::GetFreeBlocks() { return GetFreeBlocksByDiscInformation(*this); }

int16_t Dev_ATAPIRecorder::GetConfig(int, WriteConfig& config) {
  config.speedCode = 0;
  const uint8_t* page = ModeSense(kCapabilitiesPage);
  if (!page) return -1;
  config.blockSize = m_BlockSize;
  // Only the low four bits of the medium type count here.
  const uint8_t m = GetTransferBuffer()[2];
  FillMediumFields(config, m & 0x0F, m);
  const uint32_t v = GetBigEndian16(page + 20) / 176u;
  config.speedCode = static_cast<int16_t>(v == 2 ? 1 : v == 4 ? 2 : IsEvenFrom6To40(v) ? v : 0);
  const uint8_t* parameters = ModeSense(kWriteParametersPage);
  if (!parameters) return -1;
  config.testWrite = (parameters[2] >> 4) & 1;
  return 0;
}

int16_t Dev_ATAPIRecorder::SelectWriteParameters(int cdbLength) {
  uint8_t cdb[12] = {0x55, 0x10};
  SetBigEndian16(cdb + 7, kParameterListLength);
  return ExecCommand(cdbLength, cdb, kParameterListLength, kDataOut);
}

uint8_t* Dev_ATAPIRecorder::ListFromReportedPage() {
  const uint8_t* reported = ModeSense(kWriteParametersPage);
  if (!reported) return nullptr;
  // The page lies in the transfer buffer the list is built in.
  uint8_t copy[kPageBytesSent];
  std::memcpy(copy, reported, kPageBytesSent);
  uint8_t* list = GetTransferBuffer();
  std::memset(list, 0, kHeaderLength);
  uint8_t* page = list + kHeaderLength;
  std::memcpy(page, copy, kPageBytesSent);
  return page;
}

int16_t Dev_ATAPIRecorder::SetConfig(const WriteConfig& config, uint16_t) {
  m_BlockSize = config.blockSize;
  const int16_t code = config.speedCode;
  const uint16_t factor = code == 0   ? 1
                          : code == 1 ? 2
                          : code == 2 ? 4
                          : code >= 0 && IsEvenFrom6To40(static_cast<uint32_t>(code)) ? static_cast<uint16_t>(code)
                                                                                       : 0;
  if (!SetSpeed(factor)) return -1;
  if (!ModeSense(kWriteParametersPage)) return -1;
  uint8_t* list = GetTransferBuffer();
  std::memset(list, 0, kParameterListLength);
  uint8_t* page = list + kHeaderLength;
  page[0] = kWriteParametersPage;
  page[1] = 0x30;
  page[2] = config.testWrite ? 0x11 : 0x01;
  SetBigEndian16(page + 14, kAudioPause);
  return SelectWriteParameters();
}

int16_t Dev_ATAPIRecorder::WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t, uint32_t, uint32_t,
                                      uint32_t, uint8_t) {
  WriteConfig config;
  if (GetConfig(0, config) != 0) return m_Status;
  uint8_t* p = ListFromReportedPage();
  if (!p) return -1;
  p[2] = config.testWrite ? 0x11 : 0x01;
  std::memset(p + 10, 0, 4);
  SetBigEndian16(p + 14, kAudioPause);
  if (audioFlag == kAudioFlag) {
    p[3] = 0xC0;
    p[4] = 0x00;
    if (track == 1) p[8] = 0x00;
  } else if (mode == 1) {
    p[3] = 0xC4;
    p[4] = 0x08;
    p[8] = 0x00;
  } else if (mode == 2) {
    p[3] = 0xC4;
    p[4] = 0x0A;
    p[8] = 0x20;
  } else if (mode == 3) {
    p[3] = 0xC4;
    p[4] = 0x0C;
    if (track == 1) p[8] = 0x20;
  }
  return SelectWriteParameters();
}

int16_t Dev_ATAPIRecorder::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  uint8_t cdb[12] = {0xAA};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian32(cdb + 6, count);
  return ExecCommand(12, cdb, uint32_t{count} * blockSize, kDataOut);
}

int16_t Dev_ATAPIRecorder::FlushCache(int, int, uint16_t, uint32_t, uint8_t, uint8_t) {
  FlushCacheStatus(*this);
  return FlushCacheStatus(*this);
}

int16_t Dev_ATAPIRecorder::Fixation(uint32_t, uint32_t, uint32_t third, uint32_t track) {
  DebugTrace("Dev_ATAPIRecorder :: Fixation(c,c,%d,%d)", third, track);
  if (!WaitUntilReady(*this, kFirstReadyPause)) return -1;
  const DWORD start = GetTickCount();
  const uint8_t cdb[10] = {0x5B, 0, 0x02, 0, 0, static_cast<uint8_t>(track)};
  if (ExecCommand(10, cdb, 0, kNoData) != 0) return m_Status;
  const DWORD passed = (GetTickCount() - start) / 1000;
  if (passed < kCloseSeconds) SleepSeconds(kCloseSeconds - passed);
  if (!WaitUntilReady(*this, kLastReadyPause)) return -1;
  return m_Status;
}

int32_t Dev_ATAPIRecorder::FirstWriteAdress(int, int, int, int) {
  uint8_t cdb[10] = {0x52, 0x01};
  SetBigEndian32(cdb + 2, 0xFF);
  SetBigEndian16(cdb + 7, 28);
  if (ExecCommand(10, cdb, 28, kDataIn) != 0) return GetSenseData()[12] == kIllegalModeForTrack ? 0 : -1;
  const uint8_t* answer = GetTransferBuffer();
  if (GetBigEndian32(answer + 16) == 0) return -1;
  return static_cast<int32_t>(GetBigEndian32(answer + 12));
}

const uint32_t* Dev_Sony928::GetSpeeds() {
  static const uint32_t speeds[] = {1, 2, 0};
  return speeds;
}

// Drive family A writing track-at-once: the stored configuration, page 05h
// from zero, the writes (raw ones with their sub-channel) and the session
// closes.
#include "kilnar/recorder/FamilyAWriter.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <vector>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/FamilyBRecorders.h"
#include "kilnar/recorder/RawSubChannel.h"
#include "kilnar/recorder/SharedDriveOperations.h"
#include "kilnar/recorder/SleepSeconds.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kListLength = 60;
constexpr uint16_t kAudioPause = 150;
constexpr uint8_t kAudioFlag = 4;
constexpr uint32_t kFirstReadyPause = 5;
constexpr uint32_t kLastReadyPause = 20;
constexpr uint32_t kSettlingSeconds = 190;

using StagingArea = std::array<uint8_t, FamilyAWriter::kStagingBytes>;

StagingArea& StagingOf(int area) {
  static std::array<StagingArea, FamilyAWriter::kStagingAreas> areas{};
  return areas[static_cast<size_t>(area) % areas.size()];
}

uint8_t WriteTypeOf(bool testWrite) { return testWrite ? 0x11 : 0x01; }

}  // namespace

FamilyAWriter::FamilyAWriter(Dev_ATAPIRecorder& drive, const FamilyAMember& member) : m_Drive(drive), m_Member(member) {}

void FamilyAWriter::ResetStagingAreas() {
  for (int i = 0; i < kStagingAreas; ++i) StagingOf(i).fill(0);
}

void FamilyAWriter::StoreConfig(const WriteConfig& config) {
  m_Stored = config;
  DebugTrace("WriteSpeeed: %d\n", config.speedCode);
}

uint8_t* FamilyAWriter::StartPage() {
  uint8_t* list = m_Drive.GetTransferBuffer();
  std::memset(list, 0, kListLength);
  uint8_t* page = list + kHeaderLength;
  page[0] = kWriteParametersPage;
  page[1] = 0x32;
  return page;
}

int16_t FamilyAWriter::SelectPage() {
  uint8_t cdb[10] = {0x55, 0x10};
  SetBigEndian16(cdb + 7, kListLength);
  return m_Drive.ExecCommand(10, cdb, kListLength, kDataOut);
}

int16_t FamilyAWriter::SetConfig(const WriteConfig& config) {
  const char* name = m_Member.traceName;
  DebugTrace("%s :: SetConfig: 1\n", name);
  m_Stored = config;
  DebugTrace("%s :: SetConfig: 2\n", name);
  DebugTrace("%s :: speed: %d\n", name, config.speedCode);
  // The page goes out even when the drive refuses the speed.
  m_Drive.SetSpeed(SpeedFactorFromTwice(config.speedCode));
  uint8_t* page = StartPage();
  page[2] = WriteTypeOf(config.testWrite != 0);
  SetBigEndian16(page + 14, kAudioPause);
  DebugTrace("%s :: SetConfig sizeof( atapi_set_mode): %d\n", name, kListLength);
  const int16_t status = SelectPage();
  DebugTrace("%s :: SetConfig ModeSelect retval: %d\n", name, status);
  return status;
}

int16_t FamilyAWriter::WriteTrackPage(uint8_t audioFlag, uint16_t mode, uint16_t track) {
  WriteConfig config;
  const int16_t read = m_Drive.GetConfig(0, config);
  if (read != 0) return read;
  uint8_t* page = StartPage();
  page[2] = WriteTypeOf(config.testWrite != 0);
  SetBigEndian16(page + 14, kAudioPause);
  if (audioFlag == kAudioFlag) {
    page[3] = 0xC0;
  } else if (mode == 1) {
    page[3] = 0xC4;
    page[4] = 0x08;
  } else if (mode == 2) {
    page[3] = 0xC4;
    page[4] = 0x0A;
    page[8] = 0x20;
  } else if (mode == 3) {
    page[3] = 0xC4;
    page[4] = 0x0C;
    page[8] = track == 1 ? 0x20 : 0x00;
  }
  return SelectPage();
}

bool FamilyAWriter::DiscAnswers() {
  DebugTrace("testCD: READ DISC INFORMATION\n");
  for (int i = 0; i < 2; ++i) {
    uint8_t cdb[10] = {0x51};
    cdb[8] = 0x22;
    if (m_Drive.ExecCommand(10, cdb, 256, kDataIn) != 0) return false;
  }
  return true;
}

void FamilyAWriter::TraceFirstWriteAdress() {
  uint8_t cdb[10] = {0x52, 0x01};
  SetBigEndian32(cdb + 2, 0xFF);
  SetBigEndian16(cdb + 7, 28);
  m_Drive.ExecCommand(10, cdb, 28, kDataIn);
  DebugTrace("Dev_Philips3600 :: FirstWriteAdress: %d", GetBigEndian32(m_Drive.GetTransferBuffer() + 12));
}

int16_t FamilyAWriter::Write(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  if (m_Raw) return WriteRaw(static_cast<int32_t>(address), count, blockSize);
  uint8_t cdb[10] = {0x2A};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  return m_Drive.ExecCommand(10, cdb, uint32_t{count} * blockSize, kDataOut);
}

int16_t FamilyAWriter::WriteRaw(int32_t address, uint16_t count, uint16_t blockSize) {
  if (blockSize != kUserBlock) {
    m_Drive.SetErrorText("A raw write takes blocks of 2352 bytes.");
    return -1;
  }
  if (count <= kRawPieceBlocks) return WriteRawPiece(address, count);
  // The staging area holds twenty blocks; a longer write goes out in
  // pieces of twenty, each moved to the buffer's start in its turn.
  const uint8_t* buffer = m_Drive.GetTransferBuffer();
  const std::vector<uint8_t> blocks(buffer, buffer + size_t{count} * kUserBlock);
  for (uint16_t done = 0; done < count;) {
    const uint16_t piece = count - done < kRawPieceBlocks ? static_cast<uint16_t>(count - done) : kRawPieceBlocks;
    std::memcpy(m_Drive.GetTransferBuffer(), blocks.data() + size_t{done} * kUserBlock, size_t{piece} * kUserBlock);
    const int16_t status = WriteRawPiece(address + done, piece);
    if (status != 0) return status;
    done += piece;
  }
  return 0;
}

int16_t FamilyAWriter::WriteRawPiece(int32_t address, uint16_t count) {
  StagingArea& staging = StagingOf(m_Member.stagingArea);
  uint8_t* buffer = m_Drive.GetTransferBuffer();
  std::memcpy(staging.data(), buffer, size_t{count} * kUserBlock);
  std::memset(buffer, 0, size_t{count} * kRawBlock);
  for (uint16_t i = 0; i < count; ++i) {
    std::memcpy(buffer + size_t{i} * kRawBlock, staging.data() + size_t{i} * kUserBlock, kUserBlock);
    TrackSubChannel(m_Layout, address + i, m_Q);
    std::memcpy(buffer + size_t{i} * kRawBlock + kUserBlock, m_Q, sizeof m_Q);
  }
  return SendRawBlocks(address, count);
}

int16_t FamilyAWriter::SendRawBlocks(int32_t address, uint16_t count) {
  uint8_t cdb[10] = {0x2A};
  SetBigEndian32(cdb + 2, static_cast<uint32_t>(address));
  SetBigEndian16(cdb + 7, count);
  return m_Drive.ExecCommand(10, cdb, uint32_t{count} * kRawBlock, kDataOut);
}

int16_t FamilyAWriter::CloseSession(bool immediate, uint32_t track) {
  const uint8_t cdb[10] = {0x5B, static_cast<uint8_t>(immediate ? 1 : 0), 0x02, 0, 0, static_cast<uint8_t>(track)};
  return m_Drive.ExecCommand(10, cdb, 0, kNoData);
}

int16_t FamilyAWriter::Fixation(uint32_t openNext, uint32_t track) {
  using F = FamilyAMember::FixationForm;
  switch (m_Member.fixation) {
    case F::Nec: return FixationAfterReady(m_Drive, "Dev_NEC_NR7500A", openNext, track);
    case F::Hp8100: return FixationByPageFromZero(m_Drive, openNext);
    case F::F3: {
      DebugTrace("Dev_ATAPIRecorder :: Fixation(c,c,%d,%d)", openNext, track);
      if (!WaitUntilReady(m_Drive, kFirstReadyPause)) return -1;
      if (m_Stored.testWrite == 1) return 0;
      const int16_t status = CloseSession(true, track);
      if (status != 0) return status;
      return WaitUntilReady(m_Drive, kLastReadyPause) ? 0 : -1;
    }
    case F::F1:
    case F::F2: {
      DebugTrace("%s :: Fixation(c,c,%d,%d)", m_Member.traceName, openNext, track);
      WriteConfig config;
      const int16_t read = m_Drive.GetConfig(0, config);
      if (read != 0) return read;
      if (!WaitUntilReady(m_Drive, kFirstReadyPause)) return -1;
      // A test write leaves the session open.
      if (config.testWrite) return 0;
      const DWORD start = GetTickCount();
      const int16_t status = CloseSession(false, track);
      if (status != 0 || m_Member.fixation == F::F1) return status;
      const DWORD passed = (GetTickCount() - start) / 1000;
      if (passed < kSettlingSeconds) SleepSeconds(kSettlingSeconds - passed);
      return WaitUntilReady(m_Drive, kLastReadyPause) ? 0 : -1;
    }
    case F::Atapi: break;
  }
  return m_Drive.Dev_ATAPIRecorder::Fixation(0, 0, openNext, track);
}

bool FamilyAWriter::BlankDisc() { return ::BlankDisc(m_Drive); }

bool FamilyAWriter::BlankSession() { return ::BlankSession(m_Drive); }

// Drive family B: the configuration, the per-track write parameters, the
// writes and the closing of a session, in the forms the members choose.
#include "kilnar/recorder/FamilyBRecorders.h"

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kListFromZero = 60;
constexpr uint32_t kListFromDrive = 64;
constexpr uint32_t kDrivePageBytes = kListFromDrive - kHeaderLength;
constexpr uint32_t kClearedList = 256;
constexpr uint16_t kAudioPause = 150;
constexpr uint8_t kAudioFlag = 4;
constexpr uint32_t kFirstReadyPause = 5;
constexpr uint32_t kLastReadyPause = 20;
constexpr uint8_t kProductLetterByte = 22;

uint8_t WriteTypeOf(bool testWrite) { return testWrite ? 0x11 : 0x01; }
uint8_t NextSessionByte(uint32_t openNext) { return openNext != 0 ? 0xC0 : 0x00; }

// CLOSE TRACK/SESSION of the session, then the long wait for the drive.
int16_t CloseSessionAndWait(ScsiDrive& drive, uint8_t track, int cdbLength, bool wait) {
  const uint8_t cdb[12] = {0x5B, 0, 0x02, 0, 0, track};
  const int16_t status = drive.ExecCommand(cdbLength, cdb, 0, kNoData);
  if (status != 0) return status;
  if (wait && !WaitUntilReady(drive, kLastReadyPause)) return -1;
  return 0;
}

}  // namespace

FamilyBRecorder::FamilyBRecorder(ScsiMan* manager, const FamilyBMember& member)
    : Dev_ATAPIRecorder(manager), m_Member(member) {}

const uint32_t* FamilyBRecorder::GetSpeeds() {
  return SpeedsOrBuiltIn(*this, m_Member.speeds);
}

bool FamilyBRecorder::CanLoad() {
  if (!m_Member.canLoadByLetter) return true;
  return GetInquiryData()[kProductLetterByte] == 't';
}

bool FamilyBRecorder::BlankDisc() {
  if (m_Member.blanking == FamilyBMember::Blanking::Shared) return ::BlankDisc(*this);
  return ScsiDevice::BlankDisc();
}

bool FamilyBRecorder::BlankSession() {
  switch (m_Member.blanking) {
    case FamilyBMember::Blanking::Shared: return ::BlankSession(*this);
    case FamilyBMember::Blanking::NotSupported: return ScsiDevice::BlankSession();
    default: return false;
  }
}

uint16_t FamilyBRecorder::SpeedFactorOf(int16_t code) const {
  using S = FamilyBMember::SetConfigForm;
  if (code == 0 && m_Member.setConfig == S::S3) return 1;
  if ((code == 14 || code == 16) && m_Member.setConfig == S::S2) return 6;
  if (code == 0 || code == 1) return 2;
  if (code == 2) return 4;
  if (code == 8 || (code >= 10 && code <= 40 && code % 2 == 0)) return static_cast<uint16_t>(code);
  return 6;
}

bool FamilyBRecorder::FromDrivePage() const { return m_Member.setConfig == FamilyBMember::SetConfigForm::S5; }

uint8_t* FamilyBRecorder::StartParameterList(bool fromDrive) {
  uint8_t* list = GetTransferBuffer();
  uint8_t* page = list + kHeaderLength;
  if (!fromDrive) {
    std::memset(list, 0, kClearedList);
    page[0] = kWriteParametersPage;
    page[1] = 0x32;
    return page;
  }
  const uint8_t* reported = ModeSense(kWriteParametersPage);
  if (!reported) return nullptr;
  // The page lies in the transfer buffer the list is built in.
  uint8_t copy[kDrivePageBytes];
  std::memcpy(copy, reported, kDrivePageBytes);
  std::memset(list, 0, kHeaderLength);
  std::memcpy(page, copy, kDrivePageBytes);
  return page;
}

int16_t FamilyBRecorder::SelectParameters(bool savePages, bool fromDrive) {
  const uint32_t length = fromDrive ? kListFromDrive : kListFromZero;
  uint8_t cdb[12] = {0x55, static_cast<uint8_t>(savePages ? 0x12 : 0x10)};
  SetBigEndian16(cdb + 7, static_cast<uint16_t>(length));
  return ExecCommand(12, cdb, length, kDataOut);
}

int16_t FamilyBRecorder::SetConfig(const WriteConfig& config, uint16_t) {
  using S = FamilyBMember::SetConfigForm;
  m_BlockSize = config.blockSize;
  const uint16_t factor = SpeedFactorOf(config.speedCode);
  if (m_Member.setConfig == S::S4) m_DaoSpeed = factor;
  if (!SetSpeed(factor)) return -1;
  const bool fromDrive = FromDrivePage();
  uint8_t* page = StartParameterList(fromDrive);
  if (!page) return -1;
  page[2] = WriteTypeOf(config.testWrite != 0);
  if (!fromDrive) {
    SetBigEndian16(page + 14, kAudioPause);
    DebugTrace("%s :: SetConfig sizeof( atapi_set_mode): %d\n", m_Member.className, kListFromZero);
  }
  return SelectParameters(m_Member.setConfig == S::S4, fromDrive);
}

int16_t FamilyBRecorder::WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint8_t) {
  using T = FamilyBMember::WriteTrackForm;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return m_Status;
  const bool fromDrive = m_Member.writeTrack == T::T3;
  uint8_t* page = StartParameterList(fromDrive);
  if (!page) return -1;
  page[2] = WriteTypeOf(config.testWrite != 0);
  std::memset(page + 10, 0, 4);
  SetBigEndian16(page + 14, kAudioPause);
  const auto setBlockType = [&](uint8_t type) { page[4] = static_cast<uint8_t>((page[4] & 0xF0) | type); };
  if (audioFlag == kAudioFlag) {
    setBlockType(0x00);
    page[3] = 0x00;
    if (track == 1) page[8] = 0x00;
  } else if (mode == 1) {
    setBlockType(0x08);
    page[3] = 0xC4;
    page[8] = 0x00;
  } else if (mode == 2) {
    setBlockType(0x0A);
    page[3] = 0xC4;
    page[8] = 0x20;
  } else if (mode == 3) {
    setBlockType(0x0C);
    page[3] = 0xC4;
    if (track == 1) page[8] = 0x20;
  }
  return SelectParameters(m_Member.writeTrack == T::T2, fromDrive);
}

int16_t FamilyBRecorder::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  uint8_t cdb[12] = {0xAA};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian32(cdb + 6, count);
  if (m_Member.writeTraced)
    DebugTrace("%s :: Write_1(%li,%d)", m_Member.className, static_cast<long>(static_cast<int32_t>(address)), count);
  const uint32_t length = uint32_t{count} * blockSize;
  if (m_Member.write == FamilyBMember::WriteForm::W1) return ExecCommand(12, cdb, length, kDataOut);
  // W3 reports what the drive answered too: a failed write taken for a
  // written one would leave a disc without its blocks.
  return RepeatWhileLongWrite(*this, 12, cdb, length);
}

int16_t FamilyBRecorder::CloseAndWait(bool wait, uint8_t track, int cdbLength) {
  return CloseSessionAndWait(*this, track, cdbLength, wait);
}

int16_t FixationAfterReady(ScsiDrive& drive, const char* className, uint32_t openNext, uint32_t track) {
  DebugTrace("%s :: Fixation(c,c,%d,%d)", className, static_cast<signed char>(openNext), track);
  if (!WaitUntilReady(drive, kFirstReadyPause)) return -1;
  return CloseSessionAndWait(drive, static_cast<uint8_t>(track), 10, true);
}

int16_t FixationByPageFromZero(ScsiDevice& device, uint32_t openNext) {
  WriteConfig config;
  const int16_t read = device.GetConfig(0, config);
  if (read != 0) return read;
  uint8_t* list = device.GetTransferBuffer();
  std::memset(list, 0, kClearedList);
  uint8_t* page = list + kHeaderLength;
  page[0] = kWriteParametersPage;
  page[1] = 0x32;
  page[2] = WriteTypeOf(config.testWrite != 0);
  page[3] = NextSessionByte(openNext);
  uint8_t cdb[12] = {0x55, 0x10};
  SetBigEndian16(cdb + 7, kListFromZero);
  const int16_t selected = device.ExecCommand(12, cdb, kListFromZero, kDataOut);
  if (selected != 0) return selected;
  // A test write leaves the session open; nothing was written to close.
  if (config.testWrite) return 0;
  return CloseSessionAndWait(device, 0, 12, true);
}

int16_t FamilyBRecorder::Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) {
  using F = FamilyBMember::FixationForm;
  if (m_Member.fixation == F::F5) return Dev_ATAPIRecorder::Fixation(first, second, third, fourth);
  if (m_Member.fixation == F::F1) return FixationAfterReady(*this, m_Member.className, third, fourth);
  if (m_Member.fixation == F::F2) return FixationByPageFromZero(*this, third);
  WriteConfig config;
  if (GetConfig(0, config) != 0) return m_Status;
  const bool fromDrive = m_Member.fixation == F::F3;
  uint8_t* page = StartParameterList(fromDrive);
  if (!page) return -1;
  page[2] = WriteTypeOf(config.testWrite != 0);
  if (fromDrive)
    page[3] = third != 0 ? static_cast<uint8_t>(page[3] | 0xC0) : static_cast<uint8_t>(page[3] & 0x0F);
  else
    page[3] = NextSessionByte(third);
  if (SelectParameters(false, fromDrive) != 0) return m_Status;
  // A test write leaves the session open; nothing was written to close.
  if (config.testWrite) return 0;
  return CloseAndWait(m_Member.fixation != F::F4, 0, 12);
}

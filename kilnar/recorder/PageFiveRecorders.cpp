// The page-05 recorders: configuration through pages 05h and 2Ah or the
// shadow, the per-track write parameters, WRITE(10) and the closing.
#include "kilnar/recorder/PageFiveRecorders.h"

#include <windows.h>

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint32_t kListLength = 60;
constexpr uint32_t kLongPageRead = 68;
constexpr uint32_t kCapabilitiesRead = 30;
constexpr uint8_t kAudioFlag = 4;
constexpr uint16_t kDefaultPause = 150;
constexpr uint16_t kUnknownTrackSpeed = 0xFF4F;
constexpr int kClassShadows = 3;

ConfigShadow g_ClassShadows[kClassShadows];

bool IsEvenFrom(uint32_t v, uint32_t low) { return v >= low && v <= 40 && v % 2 == 0; }

// The speed code of a current write speed v (kilobytes a second / 176 or
// 177) as each class reads it.
int16_t SpeedCodeOf(PageFiveMember::Config config, uint32_t v) {
  using Config = PageFiveMember::Config;
  if (v == 1) return 0;
  if (v == 2) return 1;
  if (v == 6) return 6;
  switch (config) {
    case Config::Jvc: return v == 8 || v == 255 ? 8 : 2;
    case Config::Bp4: return v == 8 || IsEvenFrom(v, 10) ? static_cast<int16_t>(v) : 2;
    case Config::Px: return v == 8 || IsEvenFrom(v, 10) ? static_cast<int16_t>(v) : v == 255 ? 12 : 2;
    case Config::Sanyo: return v == 8 || IsEvenFrom(v, 10) ? static_cast<int16_t>(v) : v == 255 ? 8 : 2;
    default: return v == 8 || v == 255 ? 8 : IsEvenFrom(v, 10) ? static_cast<int16_t>(v) : 2;
  }
}

// The speed factor a configuration's code asks for.
uint16_t JvcFactorOf(int16_t code) {
  switch (code) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 6: return 6;
    case 8: return 8;
    default: return 255;
  }
}

uint16_t Bp4FactorOf(int16_t code) {
  if (code == 0 || code == 1) return 2;
  if (code == 6) return 6;
  if (code >= 0 && IsEvenFrom(static_cast<uint32_t>(code), 8)) return static_cast<uint16_t>(code);
  return 4;
}

// PX-W1210S, SanyoR800, Toshiba SD-R1002 and Panasonic 7585.
uint16_t PxFactorOf(int16_t code) {
  if (code == 0 || code == 1) return 2;
  if (code == 2) return 4;
  if (code >= 0 && IsEvenFrom(static_cast<uint32_t>(code), 8)) return static_cast<uint16_t>(code);
  return 6;
}

}  // namespace

PageFiveRecorder::PageFiveRecorder(ScsiMan* manager, const PageFiveMember& member)
    : ScsiDevice(manager), m_Member(member), m_Shadow(&m_OwnShadow) {
  if (member.shadow == PageFiveMember::Shadow::ClassWide && member.classShadowIndex >= 0 &&
      member.classShadowIndex < kClassShadows)
    m_Shadow = &g_ClassShadows[member.classShadowIndex];
  *m_Shadow = ConfigShadow{};
}

void PageFiveRecorder::ResetClassShadows() {
  for (ConfigShadow& shadow : g_ClassShadows) shadow = ConfigShadow{};
}

const uint32_t* PageFiveRecorder::GetSpeeds() {
  const uint32_t* registry = ScsiDevice::GetSpeeds();
  if (registry && registry[0] != 0) return registry;
  return m_Member.speeds;
}

bool PageFiveRecorder::SetSpeed(uint16_t factor) {
  if (m_Member.speedBySharedCommand) return SetSpeedByFactor(*this, factor);
  return ScsiDevice::SetSpeed(factor);
}

int16_t PageFiveRecorder::ReadCDDA(uint32_t address, uint16_t count, bool subchannel) {
  return ReadCdAudio(*this, address, count, subchannel);
}

uint32_t PageFiveRecorder::GetFreeBlocks() {
  return m_Member.clampedFreeBlocks ? GetFreeBlocksClamped(*this) : GetFreeBlocksByDiscInformation(*this);
}

bool PageFiveRecorder::BlankDisc() { return m_Member.canBlank ? ::BlankDisc(*this) : ScsiDevice::BlankDisc(); }

bool PageFiveRecorder::BlankSession() {
  return m_Member.canBlank ? ::BlankSession(*this) : ScsiDevice::BlankSession();
}

int32_t PageFiveRecorder::FirstWriteAdress(int, int, int, int) {
  const int32_t address = FirstWriteAdressByTrackInformation(*this);
  if (m_Member.config == PageFiveMember::Config::Jvc)
    DebugTrace("Dev_JVC2082 :: FirstWriteAdress: %ld\n", static_cast<long>(address));
  // The Sanyo drive reports its next writable address 75 blocks late.
  if (m_Member.config == PageFiveMember::Config::Sanyo && address > 0) return address - 75;
  return address;
}

int16_t PageFiveRecorder::ReadWriteParameters(uint32_t length) {
  std::memset(GetTransferBuffer(), 0, length);
  const uint8_t cdb[10] = {0x5A, 0, kWriteParametersPage, 0, 0, 0, 0, 0, static_cast<uint8_t>(length), 0};
  return ExecCommand(10, cdb, length, kDataIn);
}

int16_t PageFiveRecorder::ReadCapabilities() {
  std::memset(GetTransferBuffer(), 0, kCapabilitiesRead);
  const uint8_t cdb[10] = {0x5A, 0, kCapabilitiesPage, 0, 0, 0, 0, 0, kCapabilitiesRead, 0};
  return ExecCommand(10, cdb, kCapabilitiesRead, kDataIn);
}

uint8_t* PageFiveRecorder::StartWriteParameters(uint32_t cleared) {
  uint8_t* list = GetTransferBuffer();
  std::memset(list, 0, cleared);
  list[8] = kWriteParametersPage;
  list[9] = 0x32;
  return list;
}

int16_t PageFiveRecorder::SelectWriteParameters() {
  const uint8_t cdb[10] = {0x55, 0x10, 0, 0, 0, 0, 0, 0, kListLength, 0};
  return ExecCommand(10, cdb, kListLength, kDataOut);
}

int16_t PageFiveRecorder::SetCdSpeed(uint16_t readSpeed, uint16_t writeSpeed) {
  uint8_t cdb[12] = {0xBB};
  SetBigEndian16(cdb + 2, readSpeed);
  SetBigEndian16(cdb + 4, writeSpeed);
  return ExecCommand(12, cdb, 0, kNoData);
}

int16_t PageFiveRecorder::ReadDiscInformationTwice() {
  const uint8_t cdb[10] = {0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0};
  for (int i = 0; i < 2; ++i) {
    std::memset(GetTransferBuffer(), 0, 256);
    ExecCommand(10, cdb, 256, kDataIn);
  }
  return m_Status;
}

int16_t PageFiveRecorder::ReadInvisibleTrack() {
  const uint8_t cdb[10] = {0x52, 0x01, 0, 0, 0, 0xFF, 0, 0, 28, 0};
  const int16_t status = ExecCommand(10, cdb, 28, kDataIn);
  DebugTrace("next writable address: %02x %02x %02x %02x\n", GetTransferBuffer()[12], GetTransferBuffer()[13],
             GetTransferBuffer()[14], GetTransferBuffer()[15]);
  return status;
}

int16_t PageFiveRecorder::SetTrackSpeed(int16_t speedCode) {
  switch (speedCode) {
    case 0: case 1: case 2: case 6: case 8:
      return SetCdSpeed(0xFFFF, static_cast<uint16_t>(JvcFactorOf(speedCode) * 177u));
    default:
      return SetCdSpeed(0xFFFF, kUnknownTrackSpeed);
  }
}

void PageFiveRecorder::StoreShadow(const WriteConfig& config) {
  m_Shadow->testWrite = config.testWrite;
  m_Shadow->speedCode = static_cast<uint8_t>(config.speedCode);
  m_Shadow->blockSize = config.blockSize;
  m_Shadow->pause = config.pauseLength;
}

void PageFiveRecorder::CopyShadow(WriteConfig& config) const {
  config.testWrite = m_Shadow->testWrite;
  config.speedCode = m_Shadow->speedCode;
  config.blockSize = static_cast<uint16_t>(m_Shadow->blockSize);
  config.pauseLength = static_cast<uint16_t>(m_Shadow->pause);
}

int16_t PageFiveRecorder::GetConfig(int, WriteConfig& config) {
  return m_Member.IsShadowLine() ? GetShadowLineConfig(config) : GetDriveConfig(config);
}

int16_t PageFiveRecorder::GetDriveConfig(WriteConfig& config) {
  const bool jvc = m_Member.config == PageFiveMember::Config::Jvc;
  if (ReadWriteParameters(jvc ? kListLength : kLongPageRead) != 0) return m_Status;
  const uint8_t* answer = GetTransferBuffer();
  if (jvc)
    for (uint32_t i = 0; i < kListLength; ++i) DebugTrace("Dev_JVC2082 :: GetConfig i: %d: : %02x\n", i, answer[i]);
  config.testWrite = (answer[10] >> 4) & 1;
  // The drive's pause (bytes 22-23 / 75) gives way to the one the last
  // SetConfig kept.
  config.pauseLength = m_Pause;
  ReadCapabilities();
  config.speedCode = SpeedCodeOf(m_Member.config, GetBigEndian16(GetTransferBuffer() + 28) / 176u);
  DebugTrace("%s :: GetConfig speed: %d\n", m_Member.className, config.speedCode);
  return 0;
}

int16_t PageFiveRecorder::GetShadowLineConfig(WriteConfig& config) {
  CopyShadow(config);
  if (m_Member.config == PageFiveMember::Config::ShadowOnly) return 0;
  if (ReadWriteParameters(kListLength) != 0) return m_Status;
  config.testWrite = (GetTransferBuffer()[10] >> 4) & 1;
  config.pauseLength = m_Pause;
  ReadCapabilities();
  const uint32_t unit = m_Member.config == PageFiveMember::Config::Toshiba ? 177u : 176u;
  config.speedCode = SpeedCodeOf(m_Member.config, GetBigEndian16(GetTransferBuffer() + 28) / unit);
  return 0;
}

int16_t PageFiveRecorder::SetConfig(const WriteConfig& config, uint16_t) {
  return m_Member.IsShadowLine() ? SetShadowLineConfig(config) : SetDriveConfig(config);
}

int16_t PageFiveRecorder::SetDriveConfig(const WriteConfig& config) {
  using Config = PageFiveMember::Config;
  const auto selectPage = [&] {
    m_Pause = config.pauseLength;
    uint8_t* list = StartWriteParameters(kListLength);
    list[10] = config.testWrite ? 0x11 : 0x01;
    list[11] = 0xC4;
    SetBigEndian16(list + 22, static_cast<uint16_t>(m_Pause * 75u));
    return SelectWriteParameters();
  };
  switch (m_Member.config) {
    case Config::Jvc:
      SetCdSpeed(0xFFFF, static_cast<uint16_t>(JvcFactorOf(config.speedCode) * 176u));
      return selectPage();
    case Config::Sanyo:
      SetCdSpeed(0xFFFF, static_cast<uint16_t>(PxFactorOf(config.speedCode) * 177u));
      return selectPage();
    default: {
      selectPage();
      const uint16_t factor =
          m_Member.config == Config::Bp4 ? Bp4FactorOf(config.speedCode) : PxFactorOf(config.speedCode);
      return SetSpeed(factor) ? 0 : -1;
    }
  }
}

int16_t PageFiveRecorder::SetShadowLineConfig(const WriteConfig& config) {
  StoreShadow(config);
  if (m_Member.config == PageFiveMember::Config::ShadowOnly) return 0;
  SetCdSpeed(0xFFFF, static_cast<uint16_t>(PxFactorOf(config.speedCode) * 177u));
  m_Pause = config.pauseLength;
  uint8_t* list = StartWriteParameters(kListLength);
  list[10] = config.testWrite ? 0x11 : 0x01;
  list[11] = 0xC4;
  list[12] = 0x08;
  SetBigEndian16(list + 22, kDefaultPause);
  return SelectWriteParameters();
}

int16_t PageFiveRecorder::WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t, uint32_t, uint32_t,
                                     uint32_t, uint8_t) {
  const bool shadowLine = m_Member.IsShadowLine();
  if (shadowLine) ReadDiscInformationTwice();
  else Rezero();
  WriteConfig config;
  if (GetConfig(0, config) != 0) return m_Status;
  uint8_t* list = StartWriteParameters(m_Member.config == PageFiveMember::Config::Jvc ? kListLength : kLongPageRead);
  list[10] = config.testWrite ? 0x11 : 0x01;
  list[11] = 0xC4;
  SetBigEndian16(list + 22, config.pauseLength != 0 ? config.pauseLength : kDefaultPause);
  if (audioFlag == kAudioFlag) {
    list[12] &= 0xF0;
    list[11] = 0x00;
    if (track == 1) list[16] = 0x00;
  } else if (mode == 1) {
    list[12] = 0x08;
    list[16] = 0x00;
  } else if (mode == 2) {
    list[12] = 0x0A;
    list[16] = 0x20;
  } else if (mode == 3) {
    list[12] = 0x0C;
    if (track == 1) list[16] = 0x20;
  }
  SelectWriteParameters();
  if (shadowLine) return SetTrackSpeed(config.speedCode);
  return ReadInvisibleTrack();
}

int16_t PageFiveRecorder::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  using WriteForm = PageFiveMember::WriteForm;
  const bool repeat = m_Member.write == WriteForm::RepeatLongWrite || m_Member.write == WriteForm::RepeatThenBufferCapacity;
  const int16_t status = Write10(*this, address, count, blockSize, repeat);
  if (m_Member.write == WriteForm::RepeatThenBufferCapacity || m_Member.write == WriteForm::BufferCapacity) {
    // The buffer question must not hide the write's failure.
    const std::string failure = m_ErrorText;
    uint8_t sense[kSenseSize];
    std::memcpy(sense, m_Sense, sizeof sense);
    const uint8_t query[10] = {0x5C, 0, 0, 0, 0, 0, 0, 0, 12, 0};
    ExecCommand(10, query, 12, kDataIn);
    m_Status = status;
    if (status != 0) {
      m_ErrorText = failure;
      std::memcpy(m_Sense, sense, sizeof sense);
    }
  }
  return status;
}

int16_t PageFiveRecorder::FlushCache(int, int, uint16_t, uint32_t, uint8_t, uint8_t) {
  return m_Member.IsShadowLine() ? FlushCacheWithPause(*this) : FlushCacheSuccess(*this);
}

int16_t PageFiveRecorder::Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) {
  if (!m_Member.IsShadowLine())
    return ::Fixation(*this, static_cast<int>(first), static_cast<int>(second), static_cast<int>(third),
                      static_cast<uint8_t>(fourth));
  // A test write has nothing to close.
  if (m_Shadow->testWrite) return 0;
  const uint8_t cdb[10] = {0x5B, 0, 0x02};
  return ExecCommand(10, cdb, 0, kNoData);
}

// ScsiDevice: identification with the [READER] setting, the speed list of
// the registry, the default configuration and the TOC queries.
#include "kilnar/recorder/ScsiDevice.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/IniFile.h"

namespace {

constexpr uint8_t kSenseUnitAttention = 6;
constexpr uint8_t kSenseBlankCheck = 8;

// The [READER] key: the drive's name cut to 24 characters without spaces.
std::string ReaderKey(const char* name) {
  std::string key(name, strnlen(name, 24));
  key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
  return key;
}

unsigned long LeadingNumber(const char* text) {
  if (!text || *text < '0' || *text > '9') return 0;
  return std::strtoul(text, nullptr, 10);
}

// The command byte a [READER] number selects: 0, 8, 40 and 212 stand for
// themselves, every other number for the vendor command D8h.
uint8_t CdDaCommandOf(unsigned long value) {
  if (value == 0 || value == 8 || value == 40 || value == 212) return static_cast<uint8_t>(value);
  return 0xD8;
}

const uint32_t* SpeedListFor(unsigned long n) {
  static const uint32_t none[] = {0};
  static const uint32_t one[] = {1, 0};
  static const uint32_t two[] = {1, 2, 0};
  static const uint32_t four[] = {1, 2, 4, 0};
  static const uint32_t six[] = {1, 2, 4, 6, 0};
  static const uint32_t eight[] = {1, 2, 4, 6, 8, 0};
  // {1, 2, 4, 6, 8, 10, ..., 40, 0}: an even n from 10 ends its list at n.
  static uint32_t lists[16][24];
  switch (n) {
    case 0: return none;
    case 1: return one;
    case 2: return two;
    case 4: return four;
    case 8: return eight;
    default: break;
  }
  if (n < 10 || n > 40 || n % 2 != 0) return six;
  uint32_t* list = lists[(n - 10) / 2];
  if (list[0] == 0) {
    size_t at = 0;
    for (uint32_t factor : {1u, 2u, 4u, 6u}) list[at++] = factor;
    for (uint32_t factor = 8; factor <= n; factor += 2) list[at++] = factor;
    list[at] = 0;
  }
  return list;
}

}  // namespace

ScsiDevice::ScsiDevice(ScsiMan* manager) : CdReader(manager) {}

ScsiDevice::~ScsiDevice() { SetDataLength(0); }

bool ScsiDevice::Identify() {
  if (!ScsiDrive::Identify()) return false;
  IniFile messages("MSG\\SCSI.MSG", ".MSG");
  const std::string key = ReaderKey(GetName());
  std::string value = messages.GetString("READER", key.c_str());
  if (value.empty() || value[0] < '0' || value[0] > '9') {
    value = "0;0";
    messages.WriteString("READER", key.c_str(), value.c_str());
  }
  m_CdDaCommand = CdDaCommandOf(LeadingNumber(value.c_str()));
  const auto semicolon = value.find(';');
  m_CdDaSwap = static_cast<uint8_t>(semicolon == std::string::npos ? 0 : LeadingNumber(value.c_str() + semicolon + 1));
  return true;
}

const uint32_t* ScsiDevice::GetSpeeds() {
  const uint8_t cdb[6] = {0x12, 0, 0, 0, 44, 0};
  if (ExecCommand(6, cdb, 44, kDataIn) != 0) return SpeedListFor(0);
  std::string model(reinterpret_cast<const char*>(GetTransferBuffer()) + 8, 24);
  model.erase(model.find_last_not_of(' ') + 1);
  model.erase(std::find(model.begin(), model.end(), '\0'), model.end());
  const std::string path = std::string("SOFTWARE\\Velbrook\\DRIVER1\\") + model;
  HKEY key = nullptr;
  unsigned long n = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    char value[129] = {};
    DWORD size = 128;
    if (RegQueryValueExA(key, "WriteSpeed", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS)
      n = LeadingNumber(value);
    RegCloseKey(key);
  }
  return SpeedListFor(n);
}

bool ScsiDevice::SetSpeed(uint16_t factor) {
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  config.speedCode = factor == 1 ? 0 : factor == 2 ? 1 : factor == 6 ? 6 : 2;
  return SetConfig(config, 0) == 0;
}

int16_t ScsiDevice::GetConfig(int, WriteConfig& config) {
  const uint8_t cdb[6] = {0x1A, 0, 0x01, 0, 0xFF, 0};
  const int16_t status = ExecCommand(6, cdb, 255, kDataIn);
  if (status != 0 && SenseKey() != kSenseUnitAttention) return status;
  const uint8_t* answer = GetTransferBuffer();
  const uint8_t medium = answer[1];
  config.speedCode = -1;
  config.testWrite = 0;
  config.blockSize = static_cast<uint16_t>(GetBigEndian24(answer + 9));
  config.reserved = 0;
  config.mediumFlags[0] = (medium >> 7) & 1;
  config.mediumFlags[1] = (medium >> 2) & 1;
  config.mediumFlags[2] = (medium & 0x20) ? 0 : 1;
  config.mediumFlags[3] = (medium >> 6) & 1;
  const int kind = medium & 0x03;
  config.mediumKind = static_cast<int16_t>(kind >= 2 ? kind - 4 : kind);
  config.pauseLength = 2;
  return 0;
}

int16_t ScsiDevice::SetConfig(const WriteConfig& config, uint16_t) {
  WriteConfig current;
  if (const int16_t status = GetConfig(0, current); status != 0) return status;
  uint8_t* list = GetTransferBuffer();
  list[0] = 0;
  list[3] = 8;
  list[8] = 0;
  SetBigEndian24(list + 9, config.blockSize);
  const uint8_t cdb[6] = {0x15, 0x10, 0, 0, 12, 0};
  return ExecCommand(6, cdb, 12, kDataOut);
}

uint16_t ScsiDevice::GetTrackCount() {
  ReadToc(0x00, 0);
  m_ClaimedTracks = m_Toc[3];
  return std::min<uint16_t>(m_ClaimedTracks, kMaxTrackNumber);
}

int16_t ScsiDevice::ReadToc(uint16_t form, uint16_t number) {
  if (form == 0x40) {
    std::memset(m_Session, 0, sizeof m_Session);
    m_Session[3] = 1;
    m_Session[4] = 1;
  } else {
    std::memset(m_Toc, 0, sizeof m_Toc);
  }
  std::memset(GetTransferBuffer(), 0, kTocAnswerSize);
  uint8_t cdb[10] = {0x43};
  cdb[6] = static_cast<uint8_t>(number);
  SetBigEndian16(cdb + 7, kTocAnswerSize);
  cdb[9] = static_cast<uint8_t>(form);
  if (ExecCommand(10, cdb, kTocAnswerSize, kDataIn) == 0) {
    const uint8_t* answer = GetTransferBuffer();
    if (form == 0x00) {
      std::memcpy(m_Toc, answer, kTocAnswerSize);
    } else if (form == 0xC0) {
      std::memcpy(m_FullToc, answer, kTocAnswerSize);
    } else if (form == 0x40) {
      std::memcpy(m_Session, answer, kTocAnswerSize);
      const uint16_t type = GetType();
      const bool rebuilt = type == 5 || type == 11 || type == 12 || type == 13 || type == 17 || type == 30 ||
                           type == 34 || type == kNotIdentified;
      // The list has room for sessions 1 to 99 only.
      const uint8_t last = answer[3];
      if (rebuilt && last >= 1 && last <= kMaxTrackNumber) {
        const uint8_t firstTrack = answer[6];
        const uint32_t start = GetBigEndian32(answer + 8);
        std::memset(m_Session, 0, sizeof m_Session);
        for (int i = 0; i < 100; ++i) m_Session[4 + 8 * i] = static_cast<uint8_t>(i + 1);
        m_Session[2] = last;
        m_Session[3] = static_cast<uint8_t>(last + 1);
        uint8_t* descriptor = m_Session + 4 + 8 * (last - 1);
        descriptor[2] = firstTrack;
        SetBigEndian32(descriptor + 4, start);
      }
    }
  }
  m_Status = 0;
  return 0;
}

int16_t ScsiDevice::ReadTrackInformation(uint16_t track) {
  std::memset(GetTransferBuffer(), 0, kTocAnswerSize);
  uint8_t cdb[10] = {0x43};
  SetBigEndian16(cdb + 7, kTocAnswerSize);
  const int16_t status = ExecCommand(10, cdb, kTocAnswerSize, kDataIn);
  uint8_t* record = m_TrackInformation.bytes;
  if (status != 0) {
    if (SenseKey() == kSenseBlankCheck) {
      std::memset(record, 0, TrackInformation::kSize);
      return 0;
    }
    return status;
  }
  const uint8_t* toc = GetTransferBuffer();
  // The descriptor of track t lies at 8t - 4; it and the next one must lie
  // inside the answer, and the last track number must fit the disc.
  const uint32_t end = std::min<uint32_t>(GetBigEndian16(toc) + 2u, kTocAnswerSize);
  const uint32_t at = 8u * track - 4;
  const int64_t start = track >= 1 ? static_cast<int32_t>(GetBigEndian32(toc + 8 * track)) : 0;
  const int64_t next = track >= 1 && at + 16 <= end ? static_cast<int32_t>(GetBigEndian32(toc + 8 * track + 8)) : 0;
  if (toc[3] > kMaxTrackNumber || track < 1 || track > kMaxTrackNumber || at + 16 > end || !IsDiscAddress(start) ||
      !IsDiscAddress(next) || next < start) {
    SetBadTrackText(track);
    m_Status = -1;
    return -1;
  }
  const uint8_t control = toc[at + 1];
  record[1] = toc[3];
  SetBigEndian32(record + 2, static_cast<uint32_t>(start));
  SetBigEndian32(record + 6, static_cast<uint32_t>(next - start));
  record[10] = static_cast<uint8_t>((control & 0xF0) | (control & 0x0B) | (record[10] & 0x04));
  record[11] = (control & 0x04) == 0 ? static_cast<uint8_t>((record[11] & 0xF0) | 0x0F)
                                     : static_cast<uint8_t>(record[11] | 0x03);
  std::memset(record + 12, 0, 7);
  return status;
}

int32_t ScsiDevice::FirstWriteAdress(int, int, int, int) {
  if (ReadTrackInformation(1) != 0) return SenseKey() == kSenseBlankCheck ? -150 : -1;
  if (ReadTrackInformation(m_TrackInformation.bytes[1]) != 0) return -1;
  if (m_TrackInformation.bytes[1] == 0) return -150;
  const int64_t start = static_cast<int32_t>(GetBigEndian32(m_TrackInformation.bytes + 2));
  const int64_t size = static_cast<int32_t>(GetBigEndian32(m_TrackInformation.bytes + 6));
  return static_cast<int32_t>(start + size + 11250);
}

uint32_t ScsiDevice::GetFreeBlocks() {
  const int32_t address = FirstWriteAdress(0, 1, 0, 0);
  if (address < 0) return 0;
  return address > 333000 ? 0 : static_cast<uint32_t>(333000 - address);
}

int16_t ScsiDevice::Read_1(uint32_t address, uint16_t count, uint16_t size) {
  uint8_t cdb[10] = {0x28};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  const uint32_t transferred = size == 2324 ? 2336u : size;
  int16_t status = ExecCommand(10, cdb, count * transferred, kDataIn);
  if (status != 0 && SenseKey() == 1) status = 0;
  if (size == 2324) {
    uint8_t* data = GetTransferBuffer();
    for (uint32_t i = 0; i < count; ++i) std::memmove(data + i * 2324u, data + i * 2336u + 8, 2324);
  }
  return status;
}

int16_t ScsiDevice::ReadCDDA(uint32_t address, uint16_t count, bool) {
  const uint32_t length = count * 2352u;
  uint8_t cdb[12] = {};
  int cdbLength = 12;
  switch (m_CdDaCommand) {
    case 0:
      SetErrorText("Read CDDA not supported");
      m_Status = -1;
      return -1;
    case 8:
      cdb[0] = 0x08;
      SetBigEndian24(cdb + 1, address);
      cdb[4] = static_cast<uint8_t>(count);
      cdbLength = 6;
      break;
    case 40: {
      const int16_t status = Read_1(address, count, 2352);
      if (status == 0 && count != 0) {
        uint8_t* data = GetTransferBuffer();
        for (uint32_t i = 0; i + 1 < length; i += 2) std::swap(data[i], data[i + 1]);
      }
      return status;
    }
    case 212:
      cdb[0] = 0xD4;
      SetBigEndian24(cdb + 2, address);
      cdb[9] = static_cast<uint8_t>(count);
      cdbLength = 10;
      break;
    default:
      cdb[0] = 0xD8;
      SetBigEndian32(cdb + 2, address);
      SetBigEndian32(cdb + 6, count);
      DebugTrace("ReadCDDA( 0xD8, %li, %li )", static_cast<long>(address), static_cast<long>(count));
      break;
  }
  int16_t status = ExecCommand(cdbLength, cdb, length, kDataIn);
  if (status != 0 && SenseKey() == 1) status = 0;
  return status;
}

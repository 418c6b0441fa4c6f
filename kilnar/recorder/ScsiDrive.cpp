#include "kilnar/recorder/ScsiDrive.h"

#include <cstdio>
#include <cstring>

#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/DriveIdentification.h"
#include "kilnar/recorder/IniFile.h"
#include "kilnar/recorder/SenseKeyNames.h"

namespace {

constexpr size_t kErrorTextSize = 256;
// A unit attention is reported once per event; a command that meets one
// goes out again this many times before it counts as good.
constexpr int kUnitAttentionResends = 3;
constexpr uint8_t kUnitAttention = 6;

uint8_t SenseKeyOf(const uint8_t* sense) { return sense[2] & 0x0F; }

}  // namespace

ScsiDrive::ScsiDrive(ScsiMan* manager) : m_Manager(manager) { m_TransferBuffer.Allocate(kTransferBufferSize); }

ScsiDrive::~ScsiDrive() { CloseTarget(); }

const char* ScsiDrive::GetErrorText() { return m_ErrorText.c_str(); }

void ScsiDrive::SetErrorText(const std::string& text) { m_ErrorText = text.substr(0, kErrorTextSize - 1); }

const char* ScsiDrive::GetName() {
  if (!m_ModelName.empty()) return m_ModelName.c_str();
  std::memcpy(m_Name, m_Inquiry + 8, kInquirySize - 8);
  m_Name[kInquirySize - 8] = '\0';
  return m_Name;
}

void ScsiDrive::ClearSense() { std::memset(m_Sense, 0, sizeof m_Sense); }

bool ScsiDrive::Open(uint16_t hostAdapter, uint16_t target) {
  CloseTarget();
  m_AspiTarget = std::make_unique<AspiTarget>(hostAdapter, target, 0);
  uint16_t maxTargets = 0;
  m_AspiTarget->HostAdapterInquiry(maxTargets);
  const int16_t deviceType = m_AspiTarget->GetDeviceType();
  if (deviceType == -1) {
    SetErrorText(GetAspiErrorText());
    return false;
  }
  m_HostAdapter = hostAdapter;
  m_Target = target;
  m_Inquiry[0] = static_cast<uint8_t>(deviceType);
  return Identify();
}

int ScsiDrive::CloseTarget() {
  m_AspiTarget.reset();
  return 0;
}

int ScsiDrive::GroupOf(int cdbLength) {
  switch (cdbLength) {
    case 6: return 0;
    case 10: return 1;
    case 12: return 2;
    default: return -1;
  }
}

void ScsiDrive::SetFailureText(uint8_t opcode) {
  char text[kErrorTextSize];
  std::snprintf(text, sizeof text, "%s! (support info: %02x, %02x, %02x )", SenseKeyName(SenseKeyOf(m_Sense)), opcode,
                m_Sense[12], m_Sense[13]);
  SetErrorText(text);
}

int16_t ScsiDrive::SendOnce(int group, uint8_t flags, uint32_t dataLength, const uint8_t* cdb) {
  // A short answer leaves zeros, never the bytes of an earlier command.
  if (flags == ASPI_DATA_IN) std::memset(m_TransferBuffer.Data(), 0, dataLength);
  m_Status = 0;
  if (m_AspiTarget->ExecScsiCmd(group, flags, dataLength, m_TransferBuffer.Data(), cdb)) return 0;
  m_Status = -1;
  m_AspiTarget->GetSense(m_Sense);
  return -1;
}

bool ScsiDrive::PrepareCommand(int cdbLength, uint32_t dataLength, int& group) {
  ClearSense();
  m_DataLength = dataLength;
  group = GroupOf(cdbLength);
  if (group < 0) {
    SetErrorText("Wrong SCSI-Command");
    m_Status = -1;
    return false;
  }
  if (!m_TransferBuffer || dataLength > kTransferBufferSize) {
    char text[kErrorTextSize];
    std::snprintf(text, sizeof text, "The data length %lu exceeds the transfer buffer of %lu bytes",
                  static_cast<unsigned long>(dataLength),
                  static_cast<unsigned long>(m_TransferBuffer ? kTransferBufferSize : 0));
    SetErrorText(text);
    m_Status = -1;
    return false;
  }
  return true;
}

uint8_t ScsiDrive::FlagsOf(int direction) {
  return direction == kDataIn ? ASPI_DATA_IN : direction == kDataOut ? ASPI_DATA_OUT : 0;
}

int16_t ScsiDrive::ExecCommand(int cdbLength, const uint8_t* cdb, uint32_t dataLength, int direction) {
  if (m_NoWait) return StartCommand(cdbLength, cdb, dataLength, direction) ? 0 : -1;
  if (!m_AspiTarget) {
    SetErrorText("Not allocated");
    return -1;
  }
  int group = 0;
  if (!PrepareCommand(cdbLength, dataLength, group)) return -1;
  const uint8_t flags = FlagsOf(direction);
  int16_t status = SendOnce(group, flags, dataLength, cdb);
  for (int resend = 0; status != 0 && SenseKeyOf(m_Sense) == kUnitAttention && resend < kUnitAttentionResends;
       ++resend) {
    ClearSense();
    status = SendOnce(group, flags, dataLength, cdb);
  }
  if (status == 0) return 0;
  if (SenseKeyOf(m_Sense) == kUnitAttention) return m_Status = 0;
  SetFailureText(cdb[0]);
  DebugTrace("%s", m_ErrorText.c_str());
  return -1;
}

bool ScsiDrive::StartCommand(int cdbLength, const uint8_t* cdb, uint32_t dataLength, int direction) {
  m_NoWait = false;
  if (!m_AspiTarget) {
    SetErrorText("Not allocated");
    return false;
  }
  std::memset(m_CdbCopy, 0, sizeof m_CdbCopy);
  std::memcpy(m_CdbCopy, cdb, GroupOf(cdbLength) < 0 ? 1 : static_cast<size_t>(cdbLength));
  int group = 0;
  if (!PrepareCommand(cdbLength, dataLength, group)) return false;
  const uint8_t flags = FlagsOf(direction);
  if (flags == ASPI_DATA_IN) std::memset(m_TransferBuffer.Data(), 0, dataLength);
  m_Status = 0;
  if (m_AspiTarget->StartScsiCmd(group, flags, dataLength, m_TransferBuffer.Data(), cdb)) return true;
  m_Status = -1;
  m_AspiTarget->GetSense(m_Sense);
  SetFailureText(cdb[0]);
  return false;
}

int16_t ScsiDrive::Poll() {
  m_Status = -1;
  if (!m_AspiTarget) {
    SetErrorText("Not allocated");
    return -1;
  }
  const int16_t polled = m_AspiTarget->PollRequest();
  if (polled == 1 || polled == 0) {
    m_Status = 0;
    return polled;
  }
  if (polled != -1) {
    SetErrorText("Unknown error");
    return -1;
  }
  m_AspiTarget->GetSense(m_Sense);
  char section[8];
  std::snprintf(section, sizeof section, "%02x", SenseKeyOf(m_Sense));
  IniFile messages("MSG\\SCSI.MSG", nullptr);
  const std::string hint = messages.GetString(section, "DEFAULT");
  char text[1024];
  std::snprintf(text, sizeof text, "%s\n%s!\n%s\n(Support Info: %02x, %02x, %02x )", GetAspiErrorText(),
                SenseKeyName(SenseKeyOf(m_Sense)), hint.c_str(), m_CdbCopy[0], m_Sense[12], m_Sense[13]);
  SetErrorText(text);
  return -1;
}

bool ScsiDrive::Rezero() {
  const uint8_t cdb[6] = {0x01, 0, 0, 0, 0, 0};
  return ExecCommand(6, cdb, 0, kNoData) == 0;
}

int16_t ScsiDrive::TestUnitReady() {
  const uint8_t cdb[6] = {0x00, 0, 0, 0, 0, 0};
  return ExecCommand(6, cdb, 0, kNoData);
}

bool ScsiDrive::Identify() {
  const uint8_t cdb[6] = {0x12, 0, 0, 0, static_cast<uint8_t>(kInquirySize), 0};
  if (ExecCommand(6, cdb, kInquirySize, kDataIn) != 0) return false;
  std::memcpy(m_Inquiry, m_TransferBuffer.Data(), kInquirySize);
  m_Inquiry[36] = 0;
  m_Type = kNotIdentified;
  m_ModelName.clear();
  if (m_Inquiry[0] != kWriteOnceDevice && m_Inquiry[0] != kCdDevice) return true;
  DebugTrace(" device:%s", reinterpret_cast<const char*>(m_Inquiry + 8));
  m_Inquiry[32] = 0;
  m_ModelName = ModelNameOf(m_Inquiry);
  WriteDeviceList(m_ModelName);
  m_Type = TypeOfModel(m_ModelName);
  return true;
}

void ScsiDrive::SetMsgError(const char* key) {
  IniFile messages("MSG\\SCSI.MSG", nullptr);
  SetErrorText(messages.GetString("ERROR", key));
}

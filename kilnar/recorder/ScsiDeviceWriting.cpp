// The writing operations of the common recorder class: the drive classes
// bring their own; a plain ScsiDevice answers that it does not support
// them.
#include "kilnar/recorder/IniFile.h"
#include "kilnar/recorder/RecorderClassTable.h"
#include "kilnar/recorder/ScsiDevice.h"

int16_t ScsiDevice::NotSupported() {
  SetMsgError("ERR_CW_NOT_SUPPORTED");
  m_Status = -1;
  return -1;
}

bool ScsiDevice::BlankingNotSupported() {
  IniFile messages("MSG\\SCSI.MSG", nullptr);
  SetErrorText(messages.GetString("MESSAGE", "ERR_CW_NOT_SUPPORTED"));
  return false;
}

bool ScsiDevice::BlankDisc() { return BlankingNotSupported(); }
bool ScsiDevice::BlankSession() { return BlankingNotSupported(); }
bool ScsiDevice::BlankTrack() { return BlankingNotSupported(); }

int16_t ScsiDevice::WriteTrack(bool, uint16_t, uint16_t, uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) {
  return NotSupported();
}

int16_t ScsiDevice::Write_1(uint32_t, uint16_t, bool, uint16_t) { return NotSupported(); }

int16_t ScsiDevice::FlushCache(int, int, uint16_t, uint32_t, bool, uint8_t) { return NotSupported(); }

int16_t ScsiDevice::Fixation(uint32_t, uint32_t, uint32_t, uint32_t) { return NotSupported(); }

bool ScsiDevice::PrepareDAO(const DiscInfo&, int) {
  SetErrorText("DAO not supported");
  return false;
}

bool ScsiDevice::EndDAO(int) {
  SetErrorText("DAO not supported");
  return false;
}

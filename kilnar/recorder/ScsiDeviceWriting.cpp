// The writing commands of the common recorder class: a drive without a
// class of its own writes only as its type number allows (the vendor track
// command E6h of an unidentified drive, WRITE(10) of type 16); everything
// else answers that the recorder does not support it.
#include <string>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/IniFile.h"
#include "kilnar/recorder/MessageFigures.h"
#include "kilnar/recorder/RecorderClassTable.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

constexpr uint16_t kWrite10Type = 16;

}  // namespace

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

bool ScsiDevice::IsAddressFirstType() const {
  switch (GetType()) {
    case 11: case 12: case 17: case 30: case 34: return true;
    default: return false;
  }
}

void ScsiDevice::SetBlocksWrittenText(uint32_t blocks) {
  IniFile messages("MSG\\SCSI.MSG", nullptr);
  SetErrorText(FillFigures(messages.GetString("MESSAGE", "ERR_CW_BLOCKS_WRITTEN"), {std::to_string(blocks)}));
}

bool ScsiDevice::BlankDisc() { return BlankingNotSupported(); }
bool ScsiDevice::BlankSession() { return BlankingNotSupported(); }
bool ScsiDevice::BlankTrack() { return BlankingNotSupported(); }

int16_t ScsiDevice::WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t, uint32_t value1, uint32_t value2,
                               uint32_t, uint32_t, uint8_t) {
  if (GetType() != kNotIdentified) return NotSupported();
  uint8_t cdb[10] = {0xE6};
  const uint16_t form = mode == 3 ? 2 : mode;
  cdb[6] = static_cast<uint8_t>(form | audioFlag | value2);
  cdb[9] = static_cast<uint8_t>(value1);
  return ExecCommand(10, cdb, 0, kDataOut);
}

int16_t ScsiDevice::Write_1(uint32_t address, uint16_t count, bool, uint16_t blockSize) {
  if (GetType() != kWrite10Type) return NotSupported();
  uint8_t cdb[10] = {0x2A};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  return ExecCommand(10, cdb, static_cast<uint32_t>(count) * blockSize, kDataOut);
}

int16_t ScsiDevice::FlushCache(int, int, uint16_t, uint32_t, uint8_t, uint8_t) { return NotSupported(); }

int16_t ScsiDevice::Fixation(uint32_t, uint32_t, uint32_t, uint32_t) { return NotSupported(); }

bool ScsiDevice::PrepareDAO(const DiscInfo&, int) {
  SetErrorText("DAO not supported");
  return false;
}

bool ScsiDevice::EndDAO(const DiscInfo&) {
  SetErrorText("DAO not supported");
  return false;
}

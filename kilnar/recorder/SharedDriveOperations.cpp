#include "kilnar/recorder/SharedDriveOperations.h"

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/CdAddress.h"
#include "kilnar/recorder/ScsiDevice.h"
#include "kilnar/recorder/SleepSeconds.h"

namespace {

constexpr uint32_t kBlankPollSeconds = 10;
constexpr uint32_t kFixationPollSeconds = 20;
constexpr uint8_t kRecoveredError = 1;
constexpr uint8_t kIllegalRequest = 5;
constexpr uint32_t kCddaBlock = 2352;
constexpr const char* kNoEndText = "The drive did not finish within 30 minutes.";

uint8_t SenseKey(const ScsiDrive& drive) { return drive.GetSenseData()[2] & 0x0F; }

// Polls a no-wait command every `pause` seconds until it ends; 1 when the
// bound passed first.
int16_t PollUntilEnd(ScsiDrive& drive, uint32_t pause) {
  for (uint32_t waited = 0; waited < kLongestDriveWaitSeconds; waited += pause) {
    SleepSeconds(pause);
    const int16_t polled = drive.Poll();
    if (polled != 1) return polled;
  }
  return 1;
}

bool SendBlank(ScsiDrive& drive, uint8_t type) {
  uint8_t cdb[12] = {0xA1, type};
  drive.SetNoWait();
  return drive.ExecCommand(12, cdb, 0, kNoData) == 0;
}

int16_t StartStop(ScsiDrive& drive, uint8_t action) {
  const uint8_t cdb[6] = {0x1B, 0, 0, 0, action, 0};
  return drive.ExecCommand(6, cdb, 0, kNoData);
}

int16_t SynchronizeCache(ScsiDrive& drive) {
  const uint8_t cdb[10] = {0x35};
  return drive.ExecCommand(10, cdb, 0, kNoData);
}

}  // namespace

bool SetSpeed(ScsiDrive& drive, uint16_t factor) {
  uint8_t cdb[12] = {0xBB};
  const uint16_t speed = factor == 99 ? 0xFFFF : static_cast<uint16_t>(177 * factor);
  SetBigEndian16(cdb + 2, speed);
  SetBigEndian16(cdb + 4, speed);
  return drive.ExecCommand(12, cdb, 0, kNoData) == 0;
}

int16_t Eject(ScsiDrive& drive) { return StartStop(drive, 0x02); }

int16_t Load(ScsiDrive& drive) { return StartStop(drive, 0x03); }

bool BlankDisc(ScsiDrive& drive) {
  if (!SendBlank(drive, 0)) return false;
  const int16_t polled = PollUntilEnd(drive, kBlankPollSeconds);
  if (polled == 0) return true;
  if (polled == 1) {
    drive.SetErrorText(kNoEndText);
    return false;
  }
  const uint8_t* sense = drive.GetSenseData();
  return sense[12] == 0 && sense[13] == 0;
}

bool BlankSession(ScsiDrive& drive) {
  if (!SendBlank(drive, 6)) return false;
  const int16_t polled = PollUntilEnd(drive, kBlankPollSeconds);
  if (polled == 1) drive.SetErrorText(kNoEndText);
  return polled == 0;
}

int16_t FlushCacheStatus(ScsiDrive& drive) { return SynchronizeCache(drive); }

int16_t FlushCacheSuccess(ScsiDrive& drive) {
  const int16_t status = SynchronizeCache(drive);
  if (status != 0 && SenseKey(drive) == kIllegalRequest) return 0;
  return status;
}

int16_t Fixation(ScsiDrive& drive, int, int, int, uint8_t fourth) {
  const uint8_t cdb[10] = {0x5B, 0, 0x02, 0, 0, fourth};
  const int16_t status = drive.ExecCommand(10, cdb, 0, kNoData);
  if (status != 0) return status;
  return WaitUntilReady(drive, kFixationPollSeconds) ? 0 : -1;
}

bool WaitUntilReady(ScsiDrive& drive, uint32_t pause) {
  for (uint32_t waited = 0; waited < kLongestDriveWaitSeconds; waited += pause) {
    SleepSeconds(pause);
    if (drive.TestUnitReady() == 0) return true;
  }
  drive.SetErrorText(kNoEndText);
  return false;
}

uint32_t GetFreeBlocksByDiscInformation(ScsiDevice& device) {
  uint8_t cdb[10] = {0x51};
  SetBigEndian16(cdb + 7, 32);
  if (device.ExecCommand(10, cdb, 32, kDataIn) != 0) return 0;
  const uint8_t* answer = device.GetTransferBuffer();
  const uint8_t discStatus = answer[2] & 0x03;
  if (discStatus != 0 && discStatus != 1) return 0;
  const int32_t leadOut = MsfToLba(answer[21], answer[22], answer[23]);
  const int32_t address = device.FirstWriteAdress(0, 0, 0, 0);
  // An address past the lead-out leaves no room, not a wrapped count.
  if (address < 0 || leadOut <= address) return 0;
  return static_cast<uint32_t>(leadOut - address);
}

int16_t ReadCDDA(ScsiDrive& drive, uint32_t lba, uint32_t count) {
  uint8_t cdb[12] = {0xD8};
  SetBigEndian32(cdb + 2, lba);
  SetBigEndian32(cdb + 6, count);
  const uint64_t bytes = static_cast<uint64_t>(count) * kCddaBlock;
  const int16_t status = drive.ExecCommand(12, cdb, bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes), kDataIn);
  if (status != 0 && SenseKey(drive) == kRecoveredError) return 0;
  return status;
}

bool ReadLeadLengths(ScsiDrive& drive, uint32_t& leadIn, uint32_t& leadOut) {
  leadIn = leadOut = 0;
  uint8_t cdb[10] = {0xEE};
  cdb[8] = 4;
  if (drive.ExecCommand(10, cdb, 4, kDataIn) != 0) return false;
  leadIn = GetBigEndian16(drive.GetTransferBuffer());
  leadOut = GetBigEndian16(drive.GetTransferBuffer() + 2);
  return true;
}

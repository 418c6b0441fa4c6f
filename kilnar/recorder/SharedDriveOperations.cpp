#include "kilnar/recorder/SharedDriveOperations.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

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
constexpr uint32_t kCdAudioBlock = 2352;
constexpr uint32_t kCdAudioSubchannelBlock = 2368;
constexpr uint8_t kAudioReadEndCode = 0xD7;
constexpr uint32_t kSettleMilliseconds = 10000;
constexpr DWORD kLongWritePause = 100;
constexpr const char* kLongWriteText = "The drive was still busy with an earlier write after 30 minutes.";
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

bool BlankAndPoll(ScsiDrive& drive, uint8_t type);

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

bool BlankDisc(ScsiDrive& drive) { return BlankAndPoll(drive, 0); }

bool BlankSessionAsDisc(ScsiDrive& drive) { return BlankAndPoll(drive, 6); }

namespace {

bool BlankAndPoll(ScsiDrive& drive, uint8_t type) {
  if (!SendBlank(drive, type)) return false;
  const int16_t polled = PollUntilEnd(drive, kBlankPollSeconds);
  if (polled == 0) return true;
  if (polled == 1) {
    drive.SetErrorText(kNoEndText);
    return false;
  }
  const uint8_t* sense = drive.GetSenseData();
  return sense[12] == 0 && sense[13] == 0;
}

}  // namespace

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

namespace {

// The start of the last possible lead-out of a disc that takes more
// blocks (empty or incomplete); false when the drive does not answer or
// the disc is closed.
bool ReadLastLeadOut(ScsiDevice& device, int64_t& leadOut) {
  uint8_t cdb[10] = {0x51};
  SetBigEndian16(cdb + 7, 32);
  if (device.ExecCommand(10, cdb, 32, kDataIn) != 0) return false;
  const uint8_t* answer = device.GetTransferBuffer();
  const uint8_t discStatus = answer[2] & 0x03;
  if (discStatus != 0 && discStatus != 1) return false;
  leadOut = MsfToLba(answer[21], answer[22], answer[23]);
  return true;
}

}  // namespace

uint32_t GetFreeBlocksByDiscInformation(ScsiDevice& device) {
  int64_t leadOut = 0;
  if (!ReadLastLeadOut(device, leadOut)) return 0;
  const int32_t address = device.FirstWriteAdress(0, 0, 0, 0);
  // An address past the lead-out leaves no room, not a wrapped count.
  if (address < 0 || leadOut <= address) return 0;
  return static_cast<uint32_t>(leadOut - address);
}

uint32_t GetFreeBlocksClamped(ScsiDevice& device) {
  int64_t leadOut = 0;
  if (!ReadLastLeadOut(device, leadOut)) return 0;
  const int64_t free = leadOut - device.FirstWriteAdress(0, 0, 0, 0);
  return free <= 0 ? 0 : static_cast<uint32_t>(std::min<int64_t>(free, 0xFFFFFFFF));
}

int32_t FirstWriteAdressByTrackInformation(ScsiDrive& drive) {
  std::memset(drive.GetTransferBuffer(), 0, 28);
  uint8_t cdb[10] = {0x52, 0x01};
  cdb[5] = 0xFF;
  cdb[8] = 28;
  if (drive.ExecCommand(10, cdb, 28, kDataIn) != 0) return -1;
  return static_cast<int32_t>(GetBigEndian32(drive.GetTransferBuffer() + 12));
}

bool SetSpeedByFactor(ScsiDrive& drive, uint16_t factor) {
  uint8_t cdb[12] = {0xBB};
  if (factor == 99) {
    SetBigEndian16(cdb + 2, 0xFFFF);
    SetBigEndian16(cdb + 4, 708);
  } else {
    SetBigEndian16(cdb + 2, static_cast<uint16_t>(factor * 177u));
    SetBigEndian16(cdb + 4, static_cast<uint16_t>(factor * 177u));
  }
  return drive.ExecCommand(12, cdb, 0, kNoData) == 0;
}

int16_t Write10(ScsiDrive& drive, uint32_t address, uint16_t count, uint16_t blockSize, bool repeatWhileLongWrite) {
  uint8_t cdb[10] = {0x2A};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  const uint32_t length = uint32_t{count} * blockSize;
  if (repeatWhileLongWrite) return RepeatWhileLongWrite(drive, 10, cdb, length);
  return drive.ExecCommand(10, cdb, length, kDataOut);
}

int16_t ReadCdAudio(ScsiDrive& drive, uint32_t address, uint16_t count, bool subchannel) {
  uint8_t cdb[12] = {0xBE};
  SetBigEndian32(cdb + 2, address);
  SetBigEndian16(cdb + 7, count);
  cdb[9] = 0x10;
  const uint32_t block = subchannel ? kCdAudioSubchannelBlock : kCdAudioBlock;
  const int16_t status = drive.ExecCommand(12, cdb, uint32_t{count} * block, kDataIn);
  if (status != 0 && (SenseKey(drive) == kRecoveredError || drive.GetSenseData()[12] == kAudioReadEndCode)) return 0;
  return status;
}

bool EndDaoFlush(ScsiDrive& drive) {
  SynchronizeCache(drive);
  return true;
}

int16_t FlushCacheWithPause(ScsiDrive& drive) {
  SynchronizeCache(drive);
  Sleep(kSettleMilliseconds);
  return 0;
}

bool IsLongWriteInProgress(const ScsiDrive& drive) {
  const uint8_t* sense = drive.GetSenseData();
  return sense[12] == 0x04 && sense[13] == 0x08;
}

int16_t RepeatWhileLongWrite(ScsiDrive& drive, int cdbLength, const uint8_t* cdb, uint32_t dataLength) {
  int16_t status = drive.ExecCommand(cdbLength, cdb, dataLength, kDataOut);
  for (DWORD waited = 0; status != 0 && IsLongWriteInProgress(drive); waited += kLongWritePause) {
    if (waited >= kLongestDriveWaitSeconds * 1000u) {
      drive.SetErrorText(kLongWriteText);
      return status;
    }
    Sleep(kLongWritePause);
    status = drive.ExecCommand(cdbLength, cdb, dataLength, kDataOut);
  }
  return status;
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

bool ReadLeadLengths(ScsiDrive& drive, uint32_t& leadIn, uint32_t& leadOut, int cdbLength) {
  leadIn = leadOut = 0;
  uint8_t cdb[12] = {0xEE};
  cdb[8] = 4;
  if (drive.ExecCommand(cdbLength, cdb, 4, kDataIn) != 0) return false;
  leadIn = GetBigEndian16(drive.GetTransferBuffer());
  leadOut = GetBigEndian16(drive.GetTransferBuffer() + 2);
  return true;
}

uint16_t SpeedFactorFromTwice(int16_t code) {
  if (code == 0 || code == 1) return 2;
  if (code == 2) return 4;
  if (code >= 6 && code <= 40 && code % 2 == 0) return static_cast<uint16_t>(code);
  return 6;
}

const uint32_t* SpeedsOrBuiltIn(ScsiDevice& device, const uint32_t* builtIn) {
  const uint32_t* registry = device.ScsiDevice::GetSpeeds();
  return registry && registry[0] != 0 ? registry : builtIn;
}

bool FailAfterFlush(ScsiDevice& device) {
  const std::string text = device.GetErrorText();
  device.FlushCache(0, 0, 0, 0, 0, 0);
  device.SetErrorText(text);
  return false;
}

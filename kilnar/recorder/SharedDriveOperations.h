// Drive operations that many recorder classes install unchanged: the
// speed command, tray eject and load, blanking the disc or its last
// session, the two forms of cache flush, the polled session close, the
// CD-DA read with D8h and the vendor query of the lead lengths. Each sends
// its commands through the drive's ExecCommand and leaves the drive's
// status and text as that does. Waits go by SleepSeconds, so the layer's
// clock drives them; they are bounded, then fail with a text.
#pragma once

#include <cstdint>

class ScsiDrive;
class ScsiDevice;

// 99: the largest speed; else 177 x factor kilobytes a second.
bool SetSpeed(ScsiDrive& drive, uint16_t factor);
int16_t Eject(ScsiDrive& drive);
int16_t Load(ScsiDrive& drive);
// A BLANK that ends with additional sense 00/00 counts as done.
bool BlankDisc(ScsiDrive& drive);
bool BlankSession(ScsiDrive& drive);
// BLANK of the last session, polled as the whole-disc blank is: an end
// with additional sense 00/00 counts as done.
bool BlankSessionAsDisc(ScsiDrive& drive);
int16_t FlushCacheStatus(ScsiDrive& drive);
// Answers 0 when the drive does not know the command (ILLEGAL REQUEST);
// every other failure is passed on, so a write error that shows at the
// flush is not taken for success.
int16_t FlushCacheSuccess(ScsiDrive& drive);
int16_t Fixation(ScsiDrive& drive, int first, int second, int third, uint8_t fourth);
int16_t ReadCDDA(ScsiDrive& drive, uint32_t lba, uint32_t count);
// The vendor query EEh of the lead-in and lead-out lengths in blocks, in
// a 10-byte command block or, for the drives that take it so, a 12-byte
// one; both 0 when it fails.
bool ReadLeadLengths(ScsiDrive& drive, uint32_t& leadIn, uint32_t& leadOut, int cdbLength = 10);
// The blocks between the next writable address and the last possible
// lead-out of READ DISC INFORMATION; 0 when the disc takes nothing more
// or the drive does not answer.
uint32_t GetFreeBlocksByDiscInformation(ScsiDevice& device);
// The clamped form of the page-05 recorders: the same question, the
// blocks from the next writable address to the lead-out, 0 when that is
// not positive.
uint32_t GetFreeBlocksClamped(ScsiDevice& device);
// READ TRACK INFORMATION of the invisible track: its next writable
// address, -1 when the drive does not answer.
int32_t FirstWriteAdressByTrackInformation(ScsiDrive& drive);
// SET CD SPEED of the page-05 recorders: 99 the largest read speed and
// 708 kilobytes a second for writing, else 177 x factor for both.
bool SetSpeedByFactor(ScsiDrive& drive, uint16_t factor);
// WRITE(10) of `count` blocks of `blockSize` bytes from the transfer
// buffer, sent again while the drive is busy with a long write when asked.
int16_t Write10(ScsiDrive& drive, uint32_t address, uint16_t count, uint16_t blockSize, bool repeatWhileLongWrite = false);
// READ CD of audio blocks (2352 bytes, 2368 with the sub-channel); a
// recovered error or additional sense D7h counts as read.
int16_t ReadCdAudio(ScsiDrive& drive, uint32_t address, uint16_t count, bool subchannel);
// SYNCHRONIZE CACHE at the end of a disc written at once; true whatever
// the drive answers.
bool EndDaoFlush(ScsiDrive& drive);
// SYNCHRONIZE CACHE, then ten seconds for the drive to settle; 0.
int16_t FlushCacheWithPause(ScsiDrive& drive);
// Sends a write again while the drive answers LONG WRITE IN PROGRESS
// (04h/08h), a tenth of a second apart, at most for the longest drive
// wait; the status of the last sending.
int16_t RepeatWhileLongWrite(ScsiDrive& drive, int cdbLength, const uint8_t* cdb, uint32_t dataLength);
bool IsLongWriteInProgress(const ScsiDrive& drive);

// TEST UNIT READY every `pause` seconds until the drive is ready; false
// with a text when it is not within the longest drive wait.
bool WaitUntilReady(ScsiDrive& drive, uint32_t pause);

// The speed factor of a speed code for the drives that write no slower
// than 2x: 0 and 1 give 2, 2 gives 4, an even code from 6 to 40 itself,
// any other 6.
uint16_t SpeedFactorFromTwice(int16_t speedCode);
// The speeds of the registry value "WriteSpeed" when it gives any, else
// the class's own 0-terminated list.
const uint32_t* SpeedsOrBuiltIn(ScsiDevice& device, const uint32_t* builtIn);
// After a failed write of a disc at once: the recorder's cache flushed,
// the write's error text kept over the flush's own; false.
bool FailAfterFlush(ScsiDevice& device);

// The longest a blanking or a session close is waited for.
constexpr uint32_t kLongestDriveWaitSeconds = 30 * 60;

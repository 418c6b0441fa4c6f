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
int16_t FlushCacheStatus(ScsiDrive& drive);
// Answers 0 when the drive does not know the command (ILLEGAL REQUEST);
// every other failure is passed on, so a write error that shows at the
// flush is not taken for success.
int16_t FlushCacheSuccess(ScsiDrive& drive);
int16_t Fixation(ScsiDrive& drive, int first, int second, int third, uint8_t fourth);
int16_t ReadCDDA(ScsiDrive& drive, uint32_t lba, uint32_t count);
bool ReadLeadLengths(ScsiDrive& drive, uint32_t& leadIn, uint32_t& leadOut);
// The blocks between the next writable address and the last possible
// lead-out of READ DISC INFORMATION; 0 when the disc takes nothing more
// or the drive does not answer.
uint32_t GetFreeBlocksByDiscInformation(ScsiDevice& device);
// TEST UNIT READY every `pause` seconds until the drive is ready; false
// with a text when it is not within the longest drive wait.
bool WaitUntilReady(ScsiDrive& drive, uint32_t pause);

// The longest a blanking or a session close is waited for.
constexpr uint32_t kLongestDriveWaitSeconds = 30 * 60;

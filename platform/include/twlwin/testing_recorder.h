// Test controls of the ASPI stand-in and its emulated recorder. The
// switches (TWL_RECORDER and the others the README lists) are read again
// by TwlTestRecorderReset, so a test sets them with setenv and resets; the
// controls below then script what the switches cannot. Product code never
// includes this header. Thread-safe.
#pragma once

#include "types.h"

// Reads the switches again, forgets every control below and the pending
// requests, and reopens the disc.
TWLAPI void TwlTestRecorderReset();
// The answer of GetASPI32SupportInfo (0: the normal one, status 0x01 and
// the number of adapters).
TWLAPI void TwlTestRecorderSetSupportInfo(DWORD answer);
// The next `count` calls of SendASPI32Command answer ASPI busy and take
// nothing.
TWLAPI void TwlTestRecorderSetBusy(DWORD count);
// Commands of this operation code end after `milliseconds` of the layer's
// clock (INFINITE: never; an abort ends them), waited or not.
TWLAPI void TwlTestRecorderDelay(BYTE opcode, DWORD milliseconds);
// Commands of this operation code end with this request status instead of
// being carried out (ASPI_PENDING: never end, as with INFINITE above).
TWLAPI void TwlTestRecorderSetRequestStatus(BYTE opcode, BYTE status);
// A reply line as in the TWL_RECORDER_REPLIES file ("data 00 01", "sense
// 70 00 06", "good") for the `occurrence`-th command of this operation
// code, counted from 1 (0: every one without a reply of its own).
TWLAPI void TwlTestRecorderAddReply(BYTE opcode, DWORD occurrence, LPCSTR reply);
// Ends now, with the outcome the recorder gave them, the commands of this
// operation code that a delay keeps running (INFINITE included); returns
// how many ended. With an endless delay a test ends a no-wait command
// after as many polls as it likes.
TWLAPI DWORD TwlTestRecorderEndPending(BYTE opcode);
// How many commands of this operation code the recorder received.
TWLAPI DWORD TwlTestRecorderCommandCount(BYTE opcode);
// The 16 bytes of P-Q sub-channel that a raw write (write type RAW, 2368
// bytes a block) gave the block at `lba`, lead-in and pregap included;
// FALSE when no raw write reached it.
TWLAPI BOOL TwlTestRecorderSubChannel(LONG lba, BYTE* q);

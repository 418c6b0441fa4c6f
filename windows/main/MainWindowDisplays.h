// What the main window's displays show, as plain functions of the values
// they show: the play time, the bytes-read text and the caption, the
// progress and volume bars with their tooltips, the entry title, and the
// values a bar drag sets. The window calls them and compares the answer
// with what it shows. Products of a time and a bar range are computed in 64
// bits: a long file on a wide bar passes 2^32.
//
// Pure functions; any thread.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "foundation/kernel/Str.h"

namespace maindisplay {

// What GetProgress answers while no stream is open.
constexpr ULONGLONG kNoStream = ~0ULL;

// The single time field: "mm:ss" below an hour, else "hh:mm" (hours modulo
// 100).
std::string SingleTimeText(DWORD positionMs);
// The five time fields, one character each: tens and ones of the minutes
// and seconds below an hour, else of the hours and minutes, with ":" in
// the middle.
std::array<char, 5> FiveTimeChars(DWORD positionMs);

// The bytes-read text of a stream's byte count (empty without a stream).
CStr BytesReadText(ULONGLONG bytes);
// The product name, and " - " and the bytes-read text when there is one.
CStr CaptionText(const CStr& bytesRead);

// The bar position for a position and length: 0 at position 0, else in
// proportion, a length below the position counting as the position.
int ProgressBarValue(DWORD positionMs, DWORD lengthMs, int range);
CStr ProgressTooltipText(DWORD positionMs, DWORD lengthMs);
// Volume 0-256 on a bar of `range` steps, and as a percentage.
int VolumeBarValue(int volume, int range);
CStr VolumeTooltipText(int volume);

// Where a drag on the progress bar seeks to (ms) and which volume a drag
// on the volume bar sets.
DWORD SeekTarget(int barValue, DWORD lengthMs, int range);
int VolumeFromBar(int barValue, int range);

// "(n) name", " - title" when the title is not empty (trimmed), and the
// duration in brackets when it is known. `entryNumber` counts from 0.
std::string EntryTitle(int entryNumber, const std::string& name, const std::string& title, bool durationKnown,
                       DWORD durationMs);

}  // namespace maindisplay

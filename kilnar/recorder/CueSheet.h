// The MMC cue sheet a session-at-once write describes its disc with: eight
// bytes an entry (CTL/ADR, track, index, data form, SCMS, minute, second,
// frame), a lead-in entry, the index points of every track and the
// lead-out, in two forms (below). Shared by the recorder classes
// that write a disc at once through SEND CUE SHEET.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kilnar/recorder/DiscLayout.h"

class ScsiDrive;

struct CueSheetForm {
  // The data form of the fixed index-0 entry of track 1: 00h, or 01h in
  // the classes that mark it as the lead-in's.
  uint8_t firstPregapForm = 0;
  // The classes that describe every pregap: an index-0 entry for each
  // track with a pregap, track 1's marked 14h, 24h or 01h by its format,
  // and the index points at the times the layout stores.
  bool timesAsStored = false;
};

inline constexpr CueSheetForm kEveryPregapCueSheet{0, true};

constexpr size_t kCueSheetBytes = 1600;
constexpr size_t kCueEntryBytes = 8;

// Builds the cue sheet of the disc's tracks into `sheet` (cleared first,
// kCueSheetBytes long) and returns its entry count; 0 when the disc has
// no track or more than fit.
size_t BuildCueSheet(const DiscInfo& disc, const CueSheetForm& form, uint8_t* sheet);
// SEND CUE SHEET of the entries in the transfer buffer; the status.
int16_t SendCueSheet(ScsiDrive& drive, size_t entries);
// The session-at-once write type for page 05h: 02h, 12h with test write.
uint8_t SessionAtOnceWriteType(bool testWrite);
// The session format of page 05h by the disc type: 20h (CD-ROM XA) for
// types 2 and 3, 10h for 4, else 00h.
uint8_t SessionFormatOfDiscType(uint16_t discType);

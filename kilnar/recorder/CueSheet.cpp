#include "kilnar/recorder/CueSheet.h"

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/ScsiDrive.h"

namespace {

constexpr uint8_t kLeadOutTrack = 0xAA;
constexpr size_t kMaxEntries = kCueSheetBytes / kCueEntryBytes;

struct EntryKind {
  uint8_t control;
  uint8_t dataForm;
};

EntryKind KindOfFormat(uint16_t format) {
  switch (format) {
    case kTrackDataMode1: return {0x41, 0x11};
    case 2: case 3: return {0x41, 0x21};
    case kTrackAudio: return {0x01, 0x00};
    default: return {0x00, 0x00};
  }
}

// The data form of the first track's index 0 in the pregap cue sheet: the
// drive is told the pregap's blocks carry the track's own kind of data.
uint8_t FirstPregapForm(uint16_t format) {
  switch (format) {
    case kTrackDataMode1: return 0x14;
    case 2: case 3: return 0x24;
    case kTrackAudio: return 0x01;
    default: return 0x00;
  }
}

void TraceCueSheet(const uint8_t* sheet, size_t count) {
  DebugTrace("CNT TNO IDX FRM SCM MIN SEC FRA LBA");
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = sheet + kCueEntryBytes * i;
    DebugTrace("%02x  %02x  %02x  %02x  %02x  %02x  %02x  %02x  %li", e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7],
               static_cast<long>(MsfToLba(e[5], e[6], e[7])));
  }
}

void PutEntry(uint8_t* entry, uint8_t control, uint8_t track, uint8_t index, uint8_t dataForm, int32_t lba) {
  entry[0] = control;
  entry[1] = track;
  entry[2] = index;
  entry[3] = dataForm;
  entry[4] = 0;
  Msf time;
  time.FromLba(lba);
  entry[5] = time.minute;
  entry[6] = time.second;
  entry[7] = time.frame;
}

}  // namespace

size_t BuildCueSheet(const DiscInfo& disc, const CueSheetForm& form, uint8_t* sheet) {
  std::memset(sheet, 0, kCueSheetBytes);
  const int tracks = disc.trackCount;
  // Lead-in, track 1's index 0 and index point, at most two for every
  // further track, and the lead-out.
  if (tracks <= 0 || tracks > DiscInfo::kMaxTracks || static_cast<size_t>(2 * tracks + 2) > kMaxEntries) return 0;
  const uint8_t control = disc.TrackOrSpare(0).format == kTrackAudio ? 0x01 : 0x41;
  // The index points lie at the layout's times, or a pregap's 150 blocks
  // later with track 1's index 0 fixed at 00:00:00.
  const int32_t shift = form.timesAsStored ? 0 : kLbaOffset;
  size_t count = 0;
  const auto next = [&] { return sheet + kCueEntryBytes * count++; };
  PutEntry(next(), control, 0, 0, 0x01, -kLbaOffset);
  if (!form.timesAsStored) PutEntry(next(), control, 1, 0, form.firstPregapForm, -kLbaOffset);
  for (int j = 0; j < tracks; ++j) {
    const TrackInfo& track = disc.TrackOrSpare(j);
    const EntryKind kind = KindOfFormat(track.format);
    const int32_t pregap = track.pregap.ToFrames();
    const auto number = static_cast<uint8_t>(j + 1);
    if (pregap > 0 && (j > 0 || form.timesAsStored)) {
      uint8_t* entry = next();
      const uint8_t dataForm = j == 0 ? FirstPregapForm(track.format) : kind.dataForm;
      PutEntry(entry, kind.control, number, 0, dataForm, track.start.ToLba() + shift - pregap);
      DebugTrace(" %d %d:%d:%d\n", static_cast<int>(count - 1), entry[5], entry[6], entry[7]);
    }
    PutEntry(next(), kind.control, number, 1, kind.dataForm, track.start.ToLba() + shift);
  }
  const TrackInfo& last = disc.TrackOrSpare(tracks - 1);
  PutEntry(next(), control, kLeadOutTrack, 1, 0x01, last.length.ToFrames() + last.start.ToLba() + kLbaOffset);
  TraceCueSheet(sheet, count);
  return count;
}

int16_t SendCueSheet(ScsiDrive& drive, size_t entries) {
  uint8_t cdb[10] = {0x5D};
  const auto bytes = static_cast<uint32_t>(entries * kCueEntryBytes);
  SetBigEndian24(cdb + 6, bytes);
  return drive.ExecCommand(10, cdb, bytes, kDataOut);
}

uint8_t SessionAtOnceWriteType(bool testWrite) { return testWrite ? 0x12 : 0x02; }

uint8_t SessionFormatOfDiscType(uint16_t discType) {
  if (discType == 2 || discType == 3) return 0x20;
  if (discType == 4) return 0x10;
  return 0x00;
}

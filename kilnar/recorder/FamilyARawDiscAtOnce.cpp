// Drive family A writing a disc at once in raw mode: the host writes the
// lead-in with the table of contents in its Q sub-channel, the pregap of
// the first track, and after the tracks the post-gap and the lead-out,
// every block as 2352 bytes of main data and 16 of P-Q sub-channel.
#include <windows.h>

#include <cstring>
#include <string>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/FamilyAWriter.h"
#include "kilnar/recorder/RawSubChannel.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kListLength = 60;
constexpr uint16_t kAudioPause = 150;
constexpr uint32_t kReadyPause = 20;
constexpr int32_t kPregapBlocks = 150;
constexpr uint16_t kLeadInPiece = 15;
constexpr uint16_t kPregapPiece = 5;
constexpr uint16_t kLeadOutPiece = 10;
constexpr int32_t kPostGapBlocks = 150;
constexpr int32_t kLeadOutBlocks = 6750;
// 100:00:00, where the running time of a lead-in ends.
constexpr int32_t kLeadInEnd = 100 * kFramesPerMinute;
// The lead-in of a CD-R starts between 90:00:00 and 99:59:74; a group of
// fifteen blocks is the least the lead-in writing sends.
constexpr uint8_t kEarliestLeadInMinute = 90;
constexpr int32_t kShortestLeadIn = kLeadInPiece;
constexpr uint8_t kPointA0 = 0xA0;
constexpr uint8_t kPointA1 = 0xA1;
constexpr uint8_t kPointA2 = 0xA2;
constexpr uint8_t kLeadOutTrack = 0xAA;

void TraceBlock(const uint8_t* bytes, const char* begin, const char* end) {
  DebugTrace(begin);
  for (int i = 0; i < 256; ++i) {
    if (i % 8 == 0) DebugTrace("\n");
    DebugTrace("%02x ", bytes[i]);
  }
  DebugTrace(end);
}

void TraceTocEntry(const uint8_t* e) {
  DebugTrace("%x %x %x %x %x %x %x %x %x %x %x %x %x %x %x %x\n", e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7],
             e[8], e[9], e[10], e[11], e[12], e[13], e[14], e[15]);
}

}  // namespace

bool FamilyAWriter::ProbeDrive() {
  const auto readDiscInformation = [&](uint8_t allocation, uint32_t length) {
    uint8_t cdb[10] = {0x51};
    cdb[8] = allocation;
    return m_Drive.ExecCommand(10, cdb, length, kDataIn) == 0;
  };
  const auto modeSense = [&](uint8_t page, uint8_t allocation) {
    uint8_t cdb[10] = {0x5A, 0, page};
    cdb[8] = allocation;
    return m_Drive.ExecCommand(10, cdb, allocation, kDataIn) == 0;
  };
  DebugTrace("testCD: READ DISC INFORMATION\n");
  if (!readDiscInformation(0x22, 256) || !readDiscInformation(0x22, 256)) return false;
  DebugTrace("testCD: MODE SENSE\n");
  if (!modeSense(0x01, 0xFF)) return false;
  DebugTrace("testCD: READ TOC\n");
  const uint8_t toc[10] = {0x43, 0, 0, 0, 0, 0, 0xAA, 0, 0x0C};
  m_Drive.ExecCommand(10, toc, 12, kDataIn);
  for (int round = 0; round < 2; ++round) {
    DebugTrace("testCD: READ DISC INFO\n");
    if (!readDiscInformation(0x18, 24)) return false;
    DebugTrace("testCD: MODE SENSE\n");
    if (!modeSense(kWriteParametersPage, 0x48)) return false;
    DebugTrace("testCD: MODE SELECT\n");
    uint8_t* page = StartPage();
    page[2] = 0x01;
    SetBigEndian16(page + 14, kAudioPause);
    if (SelectPage() != 0) return false;
    DebugTrace("testCD: READ TRACK INFO\n");
    uint8_t cdb[10] = {0x52, 0x01};
    cdb[5] = 0xFF;
    cdb[8] = 0x18;
    if (m_Drive.ExecCommand(10, cdb, 24, kDataIn) != 0) return false;
  }
  return true;
}

bool FamilyAWriter::ReadLeadInLength(int32_t& length) {
  std::memset(m_Drive.GetTransferBuffer(), 0, 256);
  uint8_t cdb[10] = {0x51};
  cdb[8] = 0x22;
  if (m_Drive.ExecCommand(10, cdb, 34, kDataIn) != 0) return false;
  const uint8_t* answer = m_Drive.GetTransferBuffer();
  if (m_Member.probesDrive) TraceBlock(answer, "Beginn DISC INFO Block", "Ende DISC INFO Block");
  const uint8_t minute = answer[17], second = answer[18], frame = answer[19];
  // The lead-in is counted back from 100:00:00; a start the drive gives
  // outside the lead-in area would make a lead-in of no or of any length.
  if (minute < kEarliestLeadInMinute || minute > 99 || second > 59 || frame >= kFramesPerSecond) {
    m_Drive.SetErrorText("The drive reports a lead-in start outside 90:00:00 to 99:59:74.");
    return false;
  }
  length = ((99 - minute) * 60 + (59 - second)) * kFramesPerSecond + (kFramesPerSecond - frame);
  DebugTrace("leadinlen:%ld", static_cast<long>(length));
  if (length < kShortestLeadIn) {
    m_Drive.SetErrorText("The drive reports a lead-in of fewer than 15 blocks.");
    return false;
  }
  return true;
}

bool FamilyAWriter::SelectRawWriting() {
  uint8_t* list = m_Drive.GetTransferBuffer();
  std::memset(list, 0, 100);
  uint8_t* page = list + kHeaderLength;
  page[0] = kWriteParametersPage;
  page[1] = 0x32;
  page[2] = m_Stored.testWrite ? 0x13 : 0x03;  // write type RAW
  page[4] = 0x01;                              // 2368 bytes: main data and P-Q sub-channel
  return SelectPage() == 0;
}

void FamilyAWriter::BuildToc(const DiscInfo& disc) {
  std::memset(m_Toc, 0, sizeof m_Toc);
  const int tracks = disc.trackCount;
  uint8_t* entry = m_Toc;
  uint8_t control = 0x41;
  for (int t = 0; t < tracks; ++t, entry += kTocEntryBytes) {
    const TrackInfo& track = disc.tracks[t];
    control = track.format == kTrackAudio ? 0x01 : 0x41;
    entry[0] = control;
    entry[2] = BinaryToBcd(static_cast<uint8_t>(track.trackNumber));
    PutBcdTime(entry + 7, track.start.ToLba() + 2 * kLbaOffset);
  }
  const TrackInfo& last = disc.TrackOrSpare(tracks - 1);
  const uint8_t points[] = {kPointA0, kPointA1, kPointA2};
  for (uint8_t point : points) {
    entry[0] = control;
    entry[2] = point;
    if (point == kPointA0) entry[7] = 0x01;
    if (point == kPointA1) entry[7] = BinaryToBcd(static_cast<uint8_t>(tracks));
    if (point == kPointA2) PutBcdTime(entry + 7, last.length.ToFrames() + last.start.ToLba() + 2 * kLbaOffset);
    entry += kTocEntryBytes;
  }
  for (const uint8_t* e = m_Toc; e < entry; e += kTocEntryBytes) TraceTocEntry(e);
  DebugTrace("TOC Ende\n");
}

bool FamilyAWriter::WriteLeadIn(int32_t length, int tracks) {
  int32_t address = -kPregapBlocks - length;
  int32_t running = kLeadInEnd - length;
  DebugTrace("adr: %lx, leadinlen:%ld", static_cast<long>(address), static_cast<long>(length));
  const int lastEntry = tracks + 2;  // the A2h entry
  int entry = 0;
  for (int32_t left = length; left > 0;) {
    const uint16_t group = left < kLeadInPiece ? static_cast<uint16_t>(left) : kLeadInPiece;
    uint8_t* buffer = m_Drive.GetTransferBuffer();
    std::memset(buffer, 0, size_t{group} * kRawBlock);
    for (uint16_t k = 0; k < group; ++k) {
      uint8_t* q = buffer + size_t{k} * kRawBlock + kUserBlock;
      std::memcpy(q, m_Toc + size_t(entry) * kTocEntryBytes, kTocEntryBytes);
      PutBcdTime(q + 3, running++);
      // Each entry stands on three blocks in a row.
      if ((k + 1) % 3 == 0) entry = entry == lastEntry ? 0 : entry + 1;
    }
    if (m_Drive.Write_1(static_cast<uint32_t>(address), group, false, kRawBlock) != 0) return false;
    address += group;
    left -= group;
  }
  return true;
}

bool FamilyAWriter::WritePregap() {
  for (int32_t written = 0; written < kPregapBlocks; written += kPregapPiece) {
    uint8_t* buffer = m_Drive.GetTransferBuffer();
    std::memset(buffer, 0, size_t{kPregapPiece} * kRawBlock);
    for (int32_t k = 0; k < kPregapPiece; ++k) {
      uint8_t* q = buffer + size_t(k) * kRawBlock + kUserBlock;
      const int32_t block = written + k;
      q[0] = 0x01;
      q[1] = 0x01;
      PutBcdTime(q + 3, kPregapBlocks - block);
      PutBcdTime(q + 7, block);
      q[15] = kPauseBit;
    }
    const int32_t address = -kPregapBlocks + written;
    if (m_Drive.Write_1(static_cast<uint32_t>(address), kPregapPiece, false, kRawBlock) != 0) return false;
    DebugTrace("BlockCount: %d, Zaehler: %d\n, Adresse: %d ", kPregapPiece, written + kPregapPiece,
               address + kPregapPiece);
  }
  return true;
}

bool FamilyAWriter::PrepareDAO(const DiscInfo& disc) {
  // The lead-in's table holds the tracks, A0h, A1h and A2h; more tracks
  // would run past its end.
  if (disc.trackCount > kMaxTracks) {
    m_Drive.SetErrorText("A disc written at once in raw mode holds at most 59 tracks.");
    return false;
  }
  DebugTrace("PrepareDAO: Das ist die Klasse %s\n", m_Member.traceName);
  m_Raw = false;
  const int tracks = disc.trackCount;
  m_Raw = true;
  m_Layout = disc;
  if (tracks == 0) {
    m_Drive.SetErrorText("The disc has no track.");
    return false;
  }
  if (m_Member.probesDrive) {
    ProbeDrive();
    ProbeDrive();
    uint8_t cdb[10] = {0x52, 0x01};
    cdb[5] = 0xFF;
    cdb[8] = 0x1C;
    if (m_Drive.ExecCommand(10, cdb, 28, kDataIn) != 0) return false;
    if (!WaitUntilReady(m_Drive, kReadyPause)) return false;
    TraceBlock(m_Drive.GetTransferBuffer(), "Beginn TRACK INFO Block", "Ende TRACK INFO Block");
    const uint8_t start[6] = {0x1B, 0, 0, 0, 0x01, 0};
    if (m_Drive.ExecCommand(6, start, 0, kNoData) != 0) return false;
    if (!WaitUntilReady(m_Drive, kReadyPause)) return false;
  }
  int32_t leadIn = 0;
  if (!ReadLeadInLength(leadIn)) return false;
  if (m_Member.probesDrive) {
    uint8_t cdb[10] = {0x5A, 0, kWriteParametersPage};
    cdb[8] = 0x48;
    if (m_Drive.ExecCommand(10, cdb, 72, kDataIn) != 0) return false;
  }
  if (!SelectRawWriting()) return false;
  Sleep(10000);
  DebugTrace("TOC Beginn\n");
  BuildToc(disc);
  // The lead-in and the pregap are whole raw blocks already.
  m_Raw = false;
  if (!WriteLeadIn(leadIn, tracks) || !WritePregap()) return FailAfterFlush(m_Drive);
  m_Raw = true;
  return true;
}

bool FamilyAWriter::EndDAO(const DiscInfo& disc) {
  const TrackInfo& last = disc.TrackOrSpare(disc.trackCount - 1);
  const int32_t trackLength = last.length.ToFrames();
  int32_t address = last.start.ToLba() + trackLength + kLbaOffset;
  int32_t absolute = address + kLbaOffset;
  m_Raw = false;
  const auto writeRun = [&](int32_t blocks, uint8_t track, int32_t relative, uint8_t pause) {
    for (int32_t done = 0; done < blocks; done += kLeadOutPiece) {
      uint8_t* buffer = m_Drive.GetTransferBuffer();
      std::memset(buffer, 0, size_t{kLeadOutPiece} * kRawBlock);
      for (int32_t k = 0; k < kLeadOutPiece; ++k) {
        uint8_t* q = buffer + size_t(k) * kRawBlock + kUserBlock;
        q[0] = 0x01;
        q[1] = track;
        q[2] = 0x01;
        PutBcdTime(q + 3, relative + done + k);
        PutBcdTime(q + 7, absolute++);
        q[15] = pause;
      }
      DebugTrace("msf:%d:%d:%d    amsf:%d:%d:%d", 0, 0, relative + done, 0, 0, absolute);
      if (SendRawBlocks(address, kLeadOutPiece) != 0) return false;
      address += kLeadOutPiece;
    }
    return true;
  };
  if (!writeRun(kPostGapBlocks, static_cast<uint8_t>(disc.trackCount), trackLength, kPauseBit)) return false;
  if (!writeRun(kLeadOutBlocks, kLeadOutTrack, 0, 0)) return false;
  const uint8_t cdb[10] = {0x35};
  return m_Drive.ExecCommand(10, cdb, 0, kNoData) == 0;
}

// Drive family B writing a disc at once: the session-at-once page, the
// cue sheet, the blocks before the first track (P1-P5), and the end
// (E1-E4).
#include <windows.h>

#include <cstring>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/CueSheet.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/FamilyBRecorders.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr int32_t kPregapBlocks = 150;
constexpr uint16_t kRawBlock = 2352;
constexpr uint16_t kSessionPause = 150;

// The settling time after a disc written at once, by the speed code.
DWORD SettlingMilliseconds(int16_t speedCode) {
  if (speedCode == 0) return 130000;
  if (speedCode == 2) return 40000;
  return 70000;
}

}  // namespace

bool FamilyBRecorder::PrepareDAO(const DiscInfo& disc, int) {
  using P = FamilyBMember::PrepareForm;
  const P form = m_Member.prepare;
  if (form != P::P2 && form != P::P5) DebugTrace("%s :: PrepareDAO\n", m_Member.className);
  if (disc.trackCount == 0) return false;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  const bool fromDrive = form == P::P5;
  uint8_t* page = StartParameterList(fromDrive);
  if (!page) return false;
  page[2] = SessionAtOnceWriteType(config.testWrite != 0);
  page[8] = SessionFormatOfDiscType(disc.discType);
  if (fromDrive) {
    std::memset(page + 10, 0, 4);
    SetBigEndian16(page + 14, kSessionPause);
  }
  if (SelectParameters(form == P::P3, fromDrive) != 0) return false;
  if (form == P::P3 && !SetSpeed(m_DaoSpeed)) return false;
  if (form != P::P5) {
    uint8_t cdb[10] = {0x52, 0x01};
    SetBigEndian32(cdb + 2, 0xFF);
    SetBigEndian16(cdb + 7, 28);
    if (ExecCommand(10, cdb, 28, kDataIn) != 0) return false;
  }
  const CueSheetForm cueForm{static_cast<uint8_t>(form == P::P1 ? 0x00 : 0x01)};
  const size_t entries = BuildCueSheet(disc, cueForm, GetTransferBuffer());
  if (entries == 0) {
    SetErrorText("The disc's tracks do not fit into a cue sheet.");
    return false;
  }
  DebugTrace(form == P::P5 ? "Dev_Yamaha401 :: PrepareDAO jasdjhasdjhgasd" : "%s :: PrepareDAO\n", m_Member.className);
  if (SendCueSheet(*this, entries) != 0) return false;
  if (form == P::P5) {
    // The drive writes the 150 blocks before the first track itself.
    uint8_t cdb[12] = {0xAA};
    SetBigEndian32(cdb + 2, static_cast<uint32_t>(-kPregapBlocks));
    SetBigEndian32(cdb + 6, kPregapBlocks);
    return ExecCommand(12, cdb, 0, kDataOut) == 0;
  }
  Sleep(5000);
  if (form == P::P2) {
    constexpr uint16_t piece = 25;
    std::memset(GetTransferBuffer(), 0, size_t{piece} * kRawBlock);
    // Started one after the other without waiting; the transport ends
    // each before it starts the next.
    for (int32_t at = -kPregapBlocks; at < 0; at += piece) {
      SetNoWait();
      Write_1(static_cast<uint32_t>(at), piece, false, kRawBlock);
    }
    DebugTrace("PrepareDAO: END\n");
    return true;
  }
  DebugTrace("PrepareDAO: END\n");
  if (form == P::P4) return true;
  constexpr uint16_t piece = 10;
  std::memset(GetTransferBuffer(), 0, size_t{piece} * kRawBlock);
  for (int32_t at = -kPregapBlocks; at < 0; at += piece)
    if (Write_1(static_cast<uint32_t>(at), piece, false, kRawBlock) != 0) return false;
  return true;
}

bool FamilyBRecorder::EndDAO(const DiscInfo&) {
  using E = FamilyBMember::EndForm;
  switch (m_Member.end) {
    case E::E1:
      DebugTrace("ENDDAO");
      return EndDaoFlush(*this);
    case E::E2: {
      DebugTrace("ENDDAO");
      WriteConfig config;
      if (GetConfig(0, config) != 0) return false;
      const DWORD settle = SettlingMilliseconds(config.speedCode);
      for (DWORD waited = 0; waited <= settle; waited += 1000) {
        TestUnitReady();
        Sleep(1000);
      }
      return true;
    }
    case E::E3:
      FlushCacheStatus(*this);
      return EndDaoFlush(*this);
    case E::E4:
      DebugTrace("ENDDAO");
      return FlushCacheStatus(*this) == 0;
  }
  return false;
}

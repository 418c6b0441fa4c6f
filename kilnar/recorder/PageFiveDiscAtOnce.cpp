// The page-05 recorders' disc-at-once start: the session-at-once page,
// the cue sheet and the 150 blocks before the first track. Both lines
// share it; the shadow line reads the disc information and sets the
// track speed on the way.
#include <windows.h>

#include <cstring>

#include "kilnar/recorder/CueSheet.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/PageFiveRecorders.h"
#include "kilnar/recorder/SharedDriveOperations.h"

namespace {

constexpr uint32_t kPregapBlocks = 150;
constexpr uint16_t kPregapPiece = 10;
constexpr uint16_t kRawBlock = 2352;

}  // namespace

bool PageFiveRecorder::PrepareDAO(const DiscInfo& disc, int) {
  if (disc.trackCount == 0) return false;
  WriteConfig config;
  if (GetConfig(0, config) != 0) return false;
  DebugTrace("Speed: %d", config.speedCode);
  const bool shadowLine = m_Member.IsShadowLine();
  if (shadowLine) ReadDiscInformationTwice();
  uint8_t* list = StartWriteParameters(256);
  list[10] = SessionAtOnceWriteType(config.testWrite != 0);
  list[16] = SessionFormatOfDiscType(disc.discType);
  if (SelectWriteParameters() != 0) return false;
  Sleep(3000);
  if (shadowLine) {
    SetTrackSpeed(config.speedCode);
    Sleep(5000);
  }
  if (ReadInvisibleTrack() != 0) return false;
  DebugTrace("PrepareDAO\n");
  const size_t entries = BuildCueSheet(disc, CueSheetForm{m_Member.firstPregapForm}, GetTransferBuffer());
  if (entries == 0) {
    SetErrorText("The disc's tracks do not fit into a cue sheet.");
    return false;
  }
  if (SendCueSheet(*this, entries) != 0) return false;
  Sleep(5000);
  if (m_Member.writesDaoPregap) {
    std::memset(GetTransferBuffer(), 0, size_t{kPregapPiece} * kRawBlock);
    for (uint32_t written = 0; written < kPregapBlocks; written += kPregapPiece) {
      const int32_t address = static_cast<int32_t>(written) - static_cast<int32_t>(kPregapBlocks);
      if (Write_1(static_cast<uint32_t>(address), kPregapPiece, false, kRawBlock) != 0) return false;
    }
  }
  DebugTrace("PrepareDAO: END\n");
  return true;
}

bool PageFiveRecorder::EndDAO(const DiscInfo&) { return EndDaoFlush(*this); }

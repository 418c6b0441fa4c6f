#include "DiscAtOnceWriting.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "RawSector.h"
#include "ReadWhole.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace kilnartool {
namespace {

constexpr uint32_t kPieceBlocks = 20;
constexpr int32_t kPregapBlocks = 150;
constexpr uint16_t kDiscTypeData = 1;

std::unique_ptr<DiscInfo> OneDataTrack(uint32_t blocks) {
  auto disc = std::make_unique<DiscInfo>();
  disc->tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), static_cast<int32_t>(blocks), kPregapBlocks);
  disc->trackCount = 1;
  disc->SetDiscType(kDiscTypeData);
  return disc;
}

}  // namespace

bool WriteImageAtOnce(ScsiDevice& recorder, int fd, uint32_t blocks, const std::string& imageName, std::string& error) {
  const auto disc = OneDataTrack(blocks);
  if (!recorder.PrepareDAO(*disc, 0)) {
    error = recorder.GetErrorText();
    return false;
  }
  const uint16_t size = recorder.GetDataBlockSize();
  const bool raw = size == kRawSectorSize;
  if (!raw && size != kUserDataSize) {
    error = "the recorder writes blocks of " + std::to_string(size) + " bytes";
    return false;
  }
  std::vector<uint8_t> piece(size_t{kPieceBlocks} * kUserDataSize);
  for (uint32_t done = 0; done < blocks;) {
    const uint32_t n = std::min(kPieceBlocks, blocks - done);
    if (!ReadWhole(fd, piece.data(), size_t{n} * kUserDataSize)) {
      error = "cannot read " + imageName;
      return false;
    }
    uint8_t* buffer = recorder.GetTransferBuffer();
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* user = piece.data() + size_t{i} * kUserDataSize;
      if (raw) MakeMode1Sector(static_cast<int32_t>(done + i), user, buffer + size_t{i} * kRawSectorSize);
      else std::copy(user, user + kUserDataSize, buffer + size_t{i} * kUserDataSize);
    }
    if (recorder.Write_1(done, static_cast<uint16_t>(n), done + n == blocks, size) != 0) {
      error = recorder.GetErrorText();
      return false;
    }
    done += n;
  }
  if (!recorder.EndDAO(*disc)) {
    error = recorder.GetErrorText();
    return false;
  }
  return true;
}

}  // namespace kilnartool

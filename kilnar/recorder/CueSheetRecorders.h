// Two ATAPI recorder classes that write a disc at once the MMC way: the
// session described in a cue sheet, the drive writing lead-in, table of
// contents and lead-out itself, the host sending the main data from the
// first pregap on. Track-at-once they write as Dev_ATAPIRecorder.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/AtapiRecorder.h"

class Dev_Delta : public Dev_ATAPIRecorder {
 public:
  explicit Dev_Delta(ScsiMan* manager) : Dev_ATAPIRecorder(manager) {}

  const char* GetClassName() const override { return "Dev_Delta"; }

  const uint32_t* GetSpeeds() override;
  // WRITE(10), handed over as a 12-byte command block.
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  bool PrepareDAO(const DiscInfo& disc, int ignored) override;
  // The post-gap of 150 zero blocks after the last track, then the flush.
  bool EndDAO(const DiscInfo& disc) override;
  uint16_t GetDataBlockSize() override { return 2352; }
  uint16_t GetMode2BlockSize() override { return 2352; }

 protected:
  // The cue sheet of the layout, SEND CUE SHEET, and the WRITE(12) at
  // -150 that carries the first pregap's length without data.
  bool SendCueSheetAndStart(const DiscInfo& disc);
};

class Dev_MMP3Ver8RW : public Dev_Delta {
 public:
  explicit Dev_MMP3Ver8RW(ScsiMan* manager) : Dev_Delta(manager) {}

  const char* GetClassName() const override { return "Dev_MMP3Ver8RW"; }

  bool CanBlank() override { return true; }
  bool ReservedFlagD() override { return false; }
  bool BlankDisc() override;
  bool BlankSession() override;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  bool PrepareDAO(const DiscInfo& disc, int ignored) override;
};

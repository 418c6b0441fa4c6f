// The generic recorder class of MMC CD-R/RW drives over ATAPI, and its thin
// subclass for one Sony model: speeds from the write speeds of page 2Ah,
// the write configuration and per-track write parameters in mode page 05h
// (track-at-once, next session allowed), WRITE(12), the cache flush, the
// session close with its long waits and the next writable address of the
// invisible track. Its waits go by SleepSeconds and GetTickCount, so the
// layer's clock drives them, and are bounded. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/MmcDevice.h"

class Dev_ATAPIRecorder : public MmcDevice {
 public:
  explicit Dev_ATAPIRecorder(ScsiMan* manager);

  const char* GetClassName() const override { return "Dev_ATAPIRecorder"; }

  const uint32_t* GetSpeeds() override;
  int16_t GetMaxSpeed() override;
  bool SetSpeed(uint16_t factor) override;
  uint32_t GetFreeBlocks() override;
  int16_t GetConfig(int ignored, WriteConfig& config) override;
  int16_t SetConfig(const WriteConfig& config, uint16_t ignored) override;
  int32_t FirstWriteAdress(int = 0, int = 1, int = 0, int = 0) override;
  int16_t WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t value1, uint32_t value2,
                     uint32_t blocks, uint32_t nextAddress, uint8_t testWrite) override;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  int16_t FlushCache(int, int, uint16_t track, uint32_t nextAddress, uint8_t audioFlag, uint8_t testWrite) override;
  int16_t Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) override;
  bool CanBlank() override { return false; }
  bool ReservedFlagB() override { return true; }
  bool ReservedFlagC() override { return true; }
  bool ReservedFlagE() override { return false; }
  bool ReservedFlagF() override { return false; }

 protected:
  // MODE SELECT(10) with PF of the 60-byte parameter list in the transfer
  // buffer, in a 10-byte command block or a 12-byte one.
  int16_t SelectWriteParameters(int cdbLength = 10);
  // Starts the parameter list with the first 52 bytes of page 05h as the
  // drive reports it after eight zero header bytes; the page's place in
  // the list, null when the drive reports none.
  uint8_t* ListFromReportedPage();
};

class Dev_Sony928 : public Dev_ATAPIRecorder {
 public:
  explicit Dev_Sony928(ScsiMan* manager) : Dev_ATAPIRecorder(manager) {}

  const char* GetClassName() const override { return "Dev_Sony928"; }

  const uint32_t* GetSpeeds() override;
  int16_t GetMaxSpeed() override { return 8; }
  bool CanLoad() override { return false; }
};

// The recorder class of drives that speak the MMC command set: speeds and
// the configuration from the capabilities page 2Ah, SET CD SPEED, READ CD
// for raw, Mode 2 and audio blocks, session numbers from the full TOC,
// START STOP UNIT for the tray and MODE SENSE(10) for mode pages. It
// writes nothing itself: the ATAPI recorder class and its drive classes
// bring the writing commands. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/ScsiDevice.h"

class MmcDevice : public ScsiDevice {
 public:
  static constexpr int kSpeedListSize = 10;

  explicit MmcDevice(ScsiMan* manager);

  const char* GetClassName() const override { return "MmcDevice"; }

  const uint32_t* GetSpeeds() override;
  int16_t GetMaxSpeed() override;
  bool SetSpeed(uint16_t factor) override;
  bool ReadFullToc(DiscInfo& disc) override;
  int16_t Read_1(uint32_t address, uint16_t count, uint16_t size) override;
  int16_t ReadCDDA(uint32_t address, uint16_t count, bool subchannel = false) override;
  bool CanLoad() override;
  int16_t Eject() override;
  int16_t Load() override;
  void ProbeLoad() override;
  bool ReservedFlagB() override { return false; }
  int16_t GetConfig(int ignored, WriteConfig& config) override;
  int16_t SetConfig(const WriteConfig& config, uint16_t flag) override;
  // The page in the transfer buffer (valid until the drive's next
  // command), or null when the drive does not give it.
  virtual uint8_t* ModeSense(uint8_t page);

  uint16_t GetBlockSize() const { return m_BlockSize; }

 protected:
  // Fills the speed list by the speed v (kilobytes a second / 176): 1, 2
  // and 4 end it there, anything else gives 1, 2, 4, 6.
  const uint32_t* FillSpeedList(uint32_t v);
  // The speed list by the speed at this offset of page 2Ah; null when the
  // page cannot be read.
  const uint32_t* SpeedsFromCapabilities(uint32_t offset);
  // The medium flags, medium kind and pause of a configuration by the
  // medium type: `type` decides flags 1 and 3 and the kind, `bits` gives
  // flag 2 (its bit 1).
  static void FillMediumFields(WriteConfig& config, uint8_t type, uint8_t bits);

  uint16_t m_BlockSize = 2048;
  uint8_t m_CanLoad = 0;
  uint32_t m_Speeds[kSpeedListSize] = {};
};

// CD addresses: 75 frames (blocks) a second; a logical block address (LBA)
// counts from the program area, which starts at 00:02:00, so
// LBA = minute x 4500 + second x 75 + frame - 150. A block count written
// as minutes, seconds and frames (a duration) has no such offset. SCSI
// answers may give the three bytes in binary-coded decimal (BCD). Meant for
// addresses from -150 (00:00:00) up; all divisions truncate toward zero and
// fields keep the low eight bits of what they are given.
#pragma once

#include <cstdint>

constexpr int32_t kFramesPerSecond = 75;
constexpr int32_t kFramesPerMinute = 60 * kFramesPerSecond;
// Where LBA 0 lies: 00:02:00.
constexpr int32_t kLbaOffset = 150;

struct Msf {
  uint8_t minute = 0;
  uint8_t second = 0;
  uint8_t frame = 0;

  Msf() = default;
  Msf(uint8_t m, uint8_t s, uint8_t f) : minute(m), second(s), frame(f) {}

  int32_t ToFrames() const;
  int32_t ToLba() const;
  void FromFrames(int32_t frames);
  void FromLba(int32_t lba);

  bool operator==(const Msf&) const = default;
};

uint16_t BcdToBinary(uint8_t bcd);
// For values 0 to 99.
uint8_t BinaryToBcd(uint8_t value);
void LbaToMsf(int32_t lba, uint8_t& minute, uint8_t& second, uint8_t& frame);
int32_t MsfToLba(uint8_t minute, uint8_t second, uint8_t frame);
int32_t BcdMsfToLba(uint8_t minute, uint8_t second, uint8_t frame);

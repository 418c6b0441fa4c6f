#include "kilnar/recorder/CdAddress.h"

int32_t Msf::ToFrames() const { return (minute * 60 + second) * kFramesPerSecond + frame; }

int32_t Msf::ToLba() const { return MsfToLba(minute, second, frame); }

void Msf::FromFrames(int32_t frames) {
  minute = static_cast<uint8_t>(frames / kFramesPerMinute);
  second = static_cast<uint8_t>(frames / kFramesPerSecond % 60);
  frame = static_cast<uint8_t>(frames % kFramesPerSecond);
}

void Msf::FromLba(int32_t lba) { FromFrames(lba + kLbaOffset); }

uint16_t BcdToBinary(uint8_t bcd) { return static_cast<uint16_t>((bcd >> 4) * 10 + (bcd & 0x0F)); }

uint8_t BinaryToBcd(uint8_t value) { return static_cast<uint8_t>((value / 10) << 4 | value % 10); }

void LbaToMsf(int32_t lba, uint8_t& minute, uint8_t& second, uint8_t& frame) {
  const int32_t frames = lba + kLbaOffset;
  minute = static_cast<uint8_t>(frames / kFramesPerMinute);
  second = static_cast<uint8_t>(frames % kFramesPerMinute / kFramesPerSecond);
  frame = static_cast<uint8_t>(frames % kFramesPerSecond);
}

int32_t MsfToLba(uint8_t minute, uint8_t second, uint8_t frame) {
  return minute * kFramesPerMinute + second * kFramesPerSecond + frame - kLbaOffset;
}

int32_t BcdMsfToLba(uint8_t minute, uint8_t second, uint8_t frame) {
  return MsfToLba(static_cast<uint8_t>(BcdToBinary(minute)), static_cast<uint8_t>(BcdToBinary(second)),
                  static_cast<uint8_t>(BcdToBinary(frame)));
}

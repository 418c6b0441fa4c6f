// Arbitrary bytes as a recorder's answers to READ TOC (every form, the
// full TOC included), READ TRACK INFORMATION (of track FFh too), the reads
// of the volume descriptors, READ DISC INFORMATION and MODE SENSE(10)
// (page 2Ah and 05h), given to the emulated recorder as scripted replies,
// while the common recorder class reads the disc's layout, next writable
// address and label, and the ATAPI recorder class its sessions, speeds,
// configuration and free blocks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/ScsiDevice.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"

namespace {

std::string DataReply(const uint8_t* data, size_t size) {
  std::string reply = "data";
  char hex[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", data[i]);
    reply += hex;
  }
  return reply;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool configured = [] {
    setenv("TWL_RECORDER", "emulated:/tmp/twl-fuzz-recorder-answers.img", 1);
    setenv("TWL_RECORDER_ADAPTER", "scsi:8", 1);
    setenv("TWL_RECORDER_INQUIRY", "NOBODY  FUZZED ANSWERS", 1);
    return true;
  }();
  (void)configured;
  TwlTestRecorderReset();
  // The input is cut into answers: each piece a length byte (times 8) and
  // that many bytes, given in turn to READ TOC, READ TRACK INFORMATION and
  // READ(10), READ DISC INFORMATION and MODE SENSE(10); every command
  // beyond the pieces gets the last one.
  const uint8_t opcodes[] = {0x43, 0x52, 0x28, 0x51, 0x5A};
  constexpr int kKinds = sizeof opcodes;
  uint32_t occurrence[kKinds] = {};
  size_t at = 0;
  for (int piece = 0; at < size && piece < 64; ++piece) {
    const size_t length = std::min<size_t>(static_cast<size_t>(data[at]) * 8, size - at - 1);
    const int which = piece % kKinds;
    const std::string reply = DataReply(data + at + 1, length);
    TwlTestRecorderAddReply(opcodes[which], ++occurrence[which], reply.c_str());
    TwlTestRecorderAddReply(opcodes[which], 0, reply.c_str());
    at += 1 + length;
  }
  ScsiMan manager;
  if (!manager.FindHostAdapters()) return 0;
  ScsiDevice device(&manager);
  if (!device.Open(0, 0)) return 0;
  device.GetTrackCount();
  device.GetSessionCount();
  int32_t start = 0;
  device.GetLastSessionStart(start);
  auto disc = std::make_unique<DiscInfo>();
  device.ReadDiscInfo(*disc, nullptr);
  for (uint16_t form : {0x00, 0x40, 0xC0}) device.ReadToc(form, 1);
  device.ReadTrackInformation(1);
  device.FirstWriteAdress(0, 1, 0, 0);
  bool bridge = false;
  char label[32];
  device.ReadVolumeLabel(static_cast<uint32_t>(start), bridge, label, sizeof label);

  Dev_ATAPIRecorder recorder(&manager);
  if (!recorder.Open(0, 0)) return 0;
  auto sessions = std::make_unique<DiscInfo>();
  recorder.ReadDiscInfo(*sessions, nullptr);
  recorder.ReadFullToc(*sessions);
  recorder.GetFreeBlocks();
  recorder.FirstWriteAdress(0, 1, 0, 0);
  recorder.GetSpeeds();
  recorder.GetMaxSpeed();
  WriteConfig config;
  recorder.GetConfig(0, config);
  recorder.WriteTrack(0, 1, 1, 0, 0, 0, 0, 0);
  return 0;
}

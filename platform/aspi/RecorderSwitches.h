// The switches of the ASPI stand-in, read from the environment: which
// recorders stand behind it and how the emulated one behaves.
#pragma once

#include <cstdint>
#include <string>

namespace twl::aspi {

enum class RecorderKind { Emulated, Sg, None };

struct RecorderFaults {
  bool noMedium = false;
  uint32_t notReady = 0;          // the first N medium commands
  int64_t writeError = -1;        // the WRITE covering this LBA
  int64_t underrun = -1;          // the track ends at this LBA
  uint32_t longWrite = 0;         // the next N WRITEs
  bool unitAttention = false;     // the first command
};

struct RecorderSwitches {
  RecorderKind kind = RecorderKind::Sg;
  std::string discPath;
  std::string inquiry = "MITSUMI CR-2801TE";  // bytes 8-35, padded with spaces
  std::string adapterIdentifier = "atapi";
  uint8_t adapterTargets = 0;
  bool rewritable = false;
  uint32_t leadOutStart = 359849;
  RecorderFaults faults;
  std::string repliesPath;
  std::string logPath;
  // What was wrong with the switches, for one line on stderr.
  std::string problems;
};

RecorderSwitches ReadRecorderSwitches();

// The 28 INQUIRY text bytes: vendor 8, product 16, revision 4.
std::string InquiryText(const std::string& configured);

}  // namespace twl::aspi

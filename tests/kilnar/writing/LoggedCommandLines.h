// Command lines of the emulated recorder's log that the sequence tables of
// the recorder classes share: what identification, the free blocks, the
// ATAPI recorder's configuration and the end of a track send. The tables
// live in namespaces inside this one, so these names come first.
#pragma once

#include <string>
#include <vector>

namespace sequence_tables {

using Lines = std::vector<std::string>;

const std::string kInquiry = "12 00 00 00 2c 00 | in 44 | good";
const std::string kDiscInformation32 = "51 00 00 00 00 00 00 00 20 00 | in 32 | good";
const std::string kDiscInformation256 = "51 00 00 00 00 00 00 00 22 00 | in 256 | good";
const std::string kInvisibleTrack = "52 01 00 00 00 ff 00 00 1c 00 | in 28 | good";
const std::string kReady = "00 00 00 00 00 00 | none | good";
const std::string kSynchronize = "35 00 00 00 00 00 00 00 00 00 | none | good";
// GetConfig of the ATAPI recorder: pages 2Ah and 05h.
const Lines kAtapiGetConfig = {"5a 00 2a 00 00 00 00 1c 00 00 | in 7168 | good",
                               "5a 00 05 00 00 00 00 1c 00 00 | in 7168 | good"};
const std::string kModeSense05 = "5a 00 05 00 00 00 00 1c 00 00 | in 7168 | good";
// SET CD SPEED at 4x: 4 x 177 kilobytes a second for reading and writing.
const std::string kAtapiSpeed = "bb 00 02 c4 02 c4 00 00 00 00 00 00 | none | good";
// Page 05h's first sixteen bytes for a data track: track-at-once, next
// session allowed, mode 1, pause 150.
const std::string kTrackPage = "05 32 01 c4 08 00 00 00 00 00 00 00 00 00 00 96";

inline Lines Append(Lines lines, const Lines& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

}  // namespace sequence_tables
